#pragma once
// The Windows suite's line to the Linux side (tests/win/host/com_bridge.cpp),
// which scripts/test-windows starts and names in TIVOLAN_COM_BRIDGE (a TCP
// port on 127.0.0.1). One session per connection: "PTY" makes a
// pseudo-terminal, "SIM <args>" starts tivolan-sim; either is mapped as a COM
// port through $WINEPREFIX/dosdevices and goes away with the connection.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tivolan::test {

class ComBridge {
 public:
  // Throws std::runtime_error when the bridge is not there or refuses.
  explicit ComBridge(const std::string& request);
  ~ComBridge();
  ComBridge(const ComBridge&) = delete;
  ComBridge& operator=(const ComBridge&) = delete;

  // "COM12".
  const std::string& Port() const { return port_; }
  // Sends one command line, returns the reply after "OK"; throws on "ERR".
  std::string Call(const std::string& line);

 private:
  std::string ReadLine();

  uintptr_t socket_;
  std::string port_;
  std::string pending_;
  std::mutex mutex_;
};

std::string HexOf(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> BytesOfHex(const std::string& hex);

}  // namespace tivolan::test
