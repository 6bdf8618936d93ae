#include "transmission/PhoneText.h"

#include <algorithm>
#include <string_view>

namespace tivolan {

std::string StripPhoneSeparators(const std::string& text) {
  constexpr std::string_view kSeparators = "+()-. ";
  std::string out;
  std::copy_if(text.begin(), text.end(), std::back_inserter(out),
               [&](char c) { return kSeparators.find(c) == std::string_view::npos; });
  return out;
}

}  // namespace tivolan
