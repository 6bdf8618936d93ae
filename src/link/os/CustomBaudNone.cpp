#include "link/os/CustomBaud.h"

namespace tivolan {
// Only the rates termios names are available here.
bool SetCustomBaud(int, uint32_t) { return false; }
}  // namespace tivolan
