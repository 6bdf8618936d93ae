#pragma once
#include <cstdint>

namespace tivolan {
// Programs a rate that termios has no constant for; false where unsupported.
bool SetCustomBaud(int fd, uint32_t baud);
}  // namespace tivolan
