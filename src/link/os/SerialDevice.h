#pragma once
// The operating system's serial communications, as TCommPortDriver uses them.
// One implementation per platform: termios on POSIX, the Win32 comm API.
#include <cstdint>
#include <memory>
#include <string>

namespace tivolan {

enum class RtsControl { Disable, Enable, Handshake };

struct LineSettings {
  uint32_t baudRate = 9600;
  int byteSize = 8;  // 5..8
  int parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int stopBits = 0;  // 0 one, 1 one and a half, 2 two
  bool dtrEnable = false;
  RtsControl rts = RtsControl::Disable;
  bool ctsOutFlow = false;
  bool xonXoff = false;
  uint32_t xonLimit = 0;  // with xonXoff: the XON and the XOFF limit
};

struct CommTimeouts {
  uint32_t readInterval = 0;
  uint32_t readTotalMultiplier = 0;
  uint32_t readTotalConstant = 0;
  uint32_t writeTotalMultiplier = 0;
  uint32_t writeTotalConstant = 0;
};

struct QueueState {
  uint32_t inQueue = 0;
  uint32_t outQueue = 0;
};

enum ModemLine : uint32_t { kModemCts = 1, kModemDsr = 2, kModemRing = 4, kModemCd = 8 };

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  // Opens for reading and writing, exclusively; never blocks on a modem line.
  virtual bool Open(const std::string& path) = 0;
  virtual bool Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual bool SetState(const LineSettings& settings) = 0;
  virtual bool SetQueueSizes(uint32_t input, uint32_t output) = 0;
  virtual bool SetTimeouts(const CommTimeouts& timeouts) = 0;
  virtual bool Purge(bool input, bool output) = 0;
  // Queue fill; also clears pending line errors.
  virtual bool QueryQueues(QueueState& state) = 0;
  // Bytes read or written, -1 on failure.
  virtual long Read(uint8_t* into, uint32_t count) = 0;
  virtual long Write(const uint8_t* from, uint32_t count) = 0;
  virtual bool ModemStatus(uint32_t& lines) = 0;
  // The other end has gone (a USB adapter pulled, a pseudo-terminal's
  // master closed). Devices that cannot tell say false.
  virtual bool HungUp() { return false; }
};

std::unique_ptr<SerialDevice> CreateSystemSerialDevice();

// Device path of the numbered port COMn (n = 1..16).
std::string NumberedPortPath(int n);
// The driver's built-in port name.
std::string DefaultPortPath();

}  // namespace tivolan
