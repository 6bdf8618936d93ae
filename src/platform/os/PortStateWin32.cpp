// Windows tells why a port cannot be opened only through the open itself.
#include <windows.h>

#include "platform/PortState.h"

namespace tivolan {

PortState DiagnosePort(const std::string& path) {
  PortState s;
  s.path = path;
  const std::wstring wide(path.begin(), path.end());  // port names are ASCII ("\\.\COM3")
  HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    ::CloseHandle(h);
    s.condition = PortCondition::Free;
    return s;
  }
  switch (::GetLastError()) {
    case ERROR_ACCESS_DENIED: s.condition = PortCondition::InUse; break;  // Windows opens ports exclusively
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: s.condition = PortCondition::Missing; break;
    default: s.condition = PortCondition::Unknown; break;
  }
  return s;
}

}  // namespace tivolan
