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

 private:
  int master_ = -1;
  int keeper_ = -1;
  std::string slavePath_;
};

}  // namespace tivolan::sim
