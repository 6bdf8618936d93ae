#pragma once
// A pseudo-terminal pair for tests: the code under test opens the slave path
// like a serial port, the test plays the device on the master.
#ifdef _WIN32
#include "win/PtyPairWin.h"  // the same class, over Wine's COM mapping
#else
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/Pty.h"

namespace tivolan::test {

class PtyPair {
 public:
  const std::string& SlavePath() const { return pty_.SlavePath(); }
  int Master() const { return pty_.Master(); }
  termios SlaveSettings() const { return pty_.SlaveSettings(); }

  void Send(const std::vector<uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(Master(), bytes.data() + done, bytes.size() - done);
      if (n <= 0) throw std::runtime_error("pty write failed");
      done += static_cast<std::size_t>(n);
    }
  }

  // Reads until `count` bytes arrived or `timeoutMs` passed.
  std::vector<uint8_t> Receive(std::size_t count, int timeoutMs) const {
    std::vector<uint8_t> out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{Master(), POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      uint8_t buf[4096];
      const ssize_t n = ::read(Master(), buf, std::min(sizeof(buf), count - out.size()));
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

 private:
  sim::Pty pty_;
};

}  // namespace tivolan::test
#endif
