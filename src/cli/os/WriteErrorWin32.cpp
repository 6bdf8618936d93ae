#include "cli/os/WriteError.h"

#include <windows.h>

#include <cerrno>

namespace tivolan::cli {

int LastWriteError() {
  const int error = errno;
  if (error != EINVAL) return error;
  const DWORD system = GetLastError();
  return system == ERROR_NO_DATA || system == ERROR_BROKEN_PIPE ? EPIPE : error;
}

}  // namespace tivolan::cli
