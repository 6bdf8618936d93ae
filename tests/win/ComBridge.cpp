#include "win/ComBridge.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX  // std::min, not the macro
#endif
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>

namespace tivolan::test {
namespace {

struct WinsockStarted {
  WinsockStarted() {
    WSADATA data;
    ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockStarted() {
    if (ok) WSACleanup();
  }
  bool ok = false;
};

SOCKET Connect() {
  static WinsockStarted winsock;
  const char* port = std::getenv("TIVOLAN_COM_BRIDGE");
  if (!port || !*port)
    throw std::runtime_error("TIVOLAN_COM_BRIDGE is not set: run the suite through scripts/test-windows");
  if (!winsock.ok) throw std::runtime_error("Winsock did not start");
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) throw std::runtime_error("no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    closesocket(s);
    throw std::runtime_error(std::string("the COM bridge does not answer on port ") + port);
  }
  // Short commands in lock step: no waiting for more to send.
  const BOOL noDelay = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  return s;
}

}  // namespace

ComBridge::ComBridge(const std::string& request) : socket_(Connect()) {
  try {
    port_ = Call(request);
  } catch (...) {
    closesocket(static_cast<SOCKET>(socket_));
    throw;
  }
}

ComBridge::~ComBridge() { closesocket(static_cast<SOCKET>(socket_)); }

std::string ComBridge::Call(const std::string& line) {
  std::lock_guard lock(mutex_);
  const std::string out = line + "\n";
  std::size_t done = 0;
  while (done < out.size()) {
    const int n = send(static_cast<SOCKET>(socket_), out.data() + done, static_cast<int>(out.size() - done), 0);
    if (n <= 0) throw std::runtime_error("the COM bridge went away");
    done += static_cast<std::size_t>(n);
  }
  const std::string reply = ReadLine();
  if (reply == "OK") return {};
  if (reply.rfind("OK ", 0) == 0) return reply.substr(3);
  throw std::runtime_error("COM bridge, " + line.substr(0, line.find(' ')) + ": " + reply);
}

std::string ComBridge::ReadLine() {
  for (;;) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    char buffer[4096];
    const int n = recv(static_cast<SOCKET>(socket_), buffer, sizeof buffer, 0);
    if (n <= 0) throw std::runtime_error("the COM bridge went away");
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

std::string HexOf(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::vector<uint8_t> BytesOfHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace tivolan::test
