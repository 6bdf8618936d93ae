#include "link/LinkStatus.h"

namespace tivolan {
namespace {
constexpr bool RowsInCodeOrder() {
  for (int i = 0; i < kLinkStatusCount; ++i)
    if (kLinkStatuses[static_cast<std::size_t>(i)].code != i) return false;
  return true;
}
static_assert(RowsInCodeOrder(), "a row stands at its code's position");
}  // namespace

const StatusRow* FindStatus(int code) {
  if (code < 0 || code >= kLinkStatusCount) return nullptr;
  return &kLinkStatuses[static_cast<std::size_t>(code)];
}

const char* StatusText(int code) {
  const StatusRow* row = FindStatus(code);
  return row ? row->text : nullptr;
}

bool IsFinalStatus(int code) {
  const StatusRow* row = FindStatus(code);
  return row && row->final;
}

std::string StatusMessage(LinkStatus code, int deviceVersion) {
  std::string text = RowOf(code).text;
  if (code == StatusReadDone) text += std::to_string(deviceVersion);
  return text;
}

}  // namespace tivolan
