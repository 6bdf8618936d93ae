#pragma once
// One raw pseudo-terminal pair: the program opens the slave like a serial
// port, the device side works on the master.
#include <termios.h>

#include <string>

namespace tivolan::sim {

class Pty {
 public:
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  int Master() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }
  // On Linux the master reports the settings the program gave the slave.
  termios SlaveSettings() const;
  // The device side goes away: the program's next read sees a hang-up.
  void CloseMaster();
  // Suspends (or resumes) the slave's output, as a device holding CTS low
  // would: the program's writes then make no progress (EAGAIN when it opened
  // the port non-blocking) and nothing reaches the master. False on failure.
  bool HoldOutput(bool hold);

 private:
  int master_ = -1;
  int keeper_ = -1;
  std::string slavePath_;
};

}  // namespace tivolan::sim
