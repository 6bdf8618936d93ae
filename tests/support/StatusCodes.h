#pragma once
// The worker's reports as the numbers of the status table (0..11), in which
// the expected sequences are written, and by name when a check fails.
#include <optional>
#include <ostream>
#include <vector>

#include "link/LinkStatus.h"

namespace tivolan {

inline void PrintTo(LinkStatus code, std::ostream* os) {
  const auto n = static_cast<std::size_t>(code);
  if (n < kLinkStatusCount)
    *os << RowOf(code).name;
  else
    *os << "no status (" << n << ")";
}

namespace test {

using Codes = std::vector<int>;

inline int Number(LinkStatus code) { return static_cast<int>(code); }
// -1 when there was none.
inline int Number(const std::optional<LinkStatus>& code) { return code ? Number(*code) : -1; }

inline Codes Numbers(const std::vector<LinkStatus>& codes) {
  Codes numbers;
  for (LinkStatus code : codes) numbers.push_back(Number(code));
  return numbers;
}

}  // namespace test
}  // namespace tivolan
