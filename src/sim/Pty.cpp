#include "sim/Pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

namespace tivolan::sim {

Pty::Pty() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    if (master_ >= 0) ::close(master_);
    throw std::runtime_error("cannot create a pseudo-terminal");
  }
  slavePath_ = ::ptsname(master_);
  // Holding the slave open keeps the pair alive between the program's opens;
  // otherwise the master would see a hang-up each time the program closes.
  keeper_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios t{};
  ::tcgetattr(master_, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(master_, TCSANOW, &t);
}

Pty::~Pty() {
  if (keeper_ >= 0) ::close(keeper_);
  CloseMaster();
}

termios Pty::SlaveSettings() const {
  termios t{};
  ::tcgetattr(master_, &t);
  return t;
}

// The stop is on the slave's terminal, not on one descriptor, so it holds
// for every open of the slave path, including the program's reopens.
bool Pty::HoldOutput(bool hold) {
  return keeper_ >= 0 && ::tcflow(keeper_, hold ? TCOOFF : TCOON) == 0;
}

void Pty::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

}  // namespace tivolan::sim
