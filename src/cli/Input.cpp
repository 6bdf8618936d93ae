#include "cli/Input.h"

#include <istream>

namespace tivolan::cli {

std::optional<std::string> ReadStandardInput(std::istream& in, std::size_t limit) {
  std::string text;
  char buffer[1 << 14];
  while (text.size() <= limit && in) {
    in.read(buffer, static_cast<std::streamsize>(sizeof buffer));
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  if (text.size() > limit + 1) text.resize(limit + 1);
  return text;
}

}  // namespace tivolan::cli
