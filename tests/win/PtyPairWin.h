#pragma once
// support/PtyPair.h on Windows: the pseudo-terminal is on the Linux side,
// made by the COM bridge and mapped as COMn; the code under test opens
// \\.\COMn through Wine's serial layer, and the test plays the device on the
// master through the bridge. SlaveSettings() is the Linux pseudo-terminal's
// termios as Wine set it, so that the shared tests check what reached the
// line, with Linux's values of the termios constants.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "win/ComBridge.h"

using tcflag_t = unsigned int;
using speed_t = unsigned int;

struct termios {
  tcflag_t c_iflag = 0;
  tcflag_t c_oflag = 0;
  tcflag_t c_cflag = 0;
  tcflag_t c_lflag = 0;
  speed_t speed = 0;
};
inline speed_t cfgetospeed(const termios* t) { return t->speed; }

// Linux (asm-generic/termbits.h).
inline constexpr tcflag_t IGNBRK = 0000001, BRKINT = 0000002, INPCK = 0000020, ISTRIP = 0000040,
                          INLCR = 0000100, IGNCR = 0000200, ICRNL = 0000400, IXON = 0002000, IXOFF = 0010000;
inline constexpr tcflag_t OPOST = 0000001;
inline constexpr tcflag_t CSIZE = 0000060, CS5 = 0000000, CS6 = 0000020, CS7 = 0000040, CS8 = 0000060,
                          CSTOPB = 0000100, CREAD = 0000200, PARENB = 0000400, PARODD = 0001000,
                          CLOCAL = 0004000, CRTSCTS = 020000000000;
inline constexpr tcflag_t ISIG = 0000001, ICANON = 0000002, ECHO = 0000010, IEXTEN = 0100000;
inline constexpr speed_t B1200 = 0000011, B2400 = 0000013, B4800 = 0000014, B9600 = 0000015,
                         B19200 = 0000016, B38400 = 0000017, B57600 = 0010001, B115200 = 0010002;

namespace tivolan::test {

class PtyPair {
 public:
  PtyPair() : bridge_("PTY"), path_("\\\\.\\" + bridge_.Port()) {}

  const std::string& SlavePath() const { return path_; }

  termios SlaveSettings() const {
    std::istringstream fields(bridge_.Call("SETTINGS"));
    termios t;
    fields >> t.c_iflag >> t.c_oflag >> t.c_cflag >> t.c_lflag >> t.speed;
    return t;
  }

  void Send(const std::vector<uint8_t>& bytes) const { bridge_.Call("SEND " + HexOf(bytes)); }

  // Windows suite only: the line stops taking bytes (as with CTS low), or
  // the device side goes away.
  void Hold(bool hold) const { bridge_.Call(hold ? "HOLD 1" : "HOLD 0"); }
  void HangUp() const { bridge_.Call("HANGUP"); }

  // Reads until `count` bytes arrived or `timeoutMs` passed.
  std::vector<uint8_t> Receive(std::size_t count, int timeoutMs) const {
    return BytesOfHex(bridge_.Call("RECV " + std::to_string(count) + " " + std::to_string(timeoutMs)));
  }

 private:
  mutable ComBridge bridge_;
  const std::string path_;
};

}  // namespace tivolan::test
