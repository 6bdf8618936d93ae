#include "cli/os/WriteError.h"

#include <cerrno>

namespace tivolan::cli {

int LastWriteError() { return errno; }

}  // namespace tivolan::cli
