#pragma once
// A port held open by another program that takes no lock, as a terminal
// program or a script does: a child process opens the device and then
// sleeps as "sleep".
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace tivolan::test {

class HeldPort {
 public:
  explicit HeldPort(const std::string& path) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
      if (fd < 0 || ::dup2(fd, 0) < 0) {
        (void)!::write(ready[1], "n", 1);
        ::_exit(1);
      }
      ::execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
      (void)!::write(ready[1], "n", 1);
      ::_exit(127);
    }
    ::close(ready[1]);
    // The pipe closes without a byte once "sleep" runs with the device open.
    char c = 0;
    holding_ = pid_ > 0 && ::read(ready[0], &c, 1) == 0;
    ::close(ready[0]);
  }
  ~HeldPort() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  HeldPort(const HeldPort&) = delete;
  HeldPort& operator=(const HeldPort&) = delete;

  bool Holding() const { return holding_; }
  pid_t Pid() const { return pid_; }
  // As the port's state names it.
  std::string Name() const { return "процесс " + std::to_string(pid_) + " (sleep)"; }

 private:
  pid_t pid_ = -1;
  bool holding_ = false;
};

}  // namespace tivolan::test
