#include "link/LinkStatus.h"

namespace tivolan {
namespace {
constexpr bool RowsInCodeOrder() {
  for (std::size_t i = 0; i < kLinkStatusCount; ++i)
    if (static_cast<std::size_t>(kLinkStatuses[i].code) != i) return false;
  return true;
}
static_assert(RowsInCodeOrder(), "a row stands at its code's position");
}  // namespace

std::string StatusMessage(LinkStatus code, int deviceVersion) {
  std::string text = RowOf(code).text;
  if (code == LinkStatus::StatusReadDone) text += std::to_string(deviceVersion);
  return text;
}

}  // namespace tivolan
