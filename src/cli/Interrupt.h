#pragma once
// Ctrl+C (SIGINT) and SIGTERM while the tool talks to a device: instead of
// ending the process with the port open mid-frame, they set a flag that the
// exchange polls, so that it is cancelled and the port closed. Outside the
// guard the signals keep their usual effect, so a question on the terminal
// can still be left with Ctrl+C.
#include <atomic>

namespace tivolan::cli {

class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;
  const std::atomic<bool>& Flag() const;
  // How many signals came since the guard was made.
  int Count() const;
};

}  // namespace tivolan::cli
