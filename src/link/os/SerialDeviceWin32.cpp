// Win32 comm API implementation of the serial device.
#include <windows.h>

#include <string>

#include "link/os/SerialDevice.h"

namespace tivolan {
namespace {

class Win32SerialDevice final : public SerialDevice {
 public:
  ~Win32SerialDevice() override { Close(); }

  bool Open(const std::string& path) override {
    if (handle_ != INVALID_HANDLE_VALUE) return true;
    // No sharing: while any other program holds the port Windows refuses
    // this open, so there is no holder to look for as on POSIX.
    handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    // A serial line is a character device with line settings (not a file,
    // NUL or the console); they are kept to be given back at the close.
    savedState_.DCBlength = sizeof(DCB);
    if (GetFileType(handle_) != FILE_TYPE_CHAR || !GetCommState(handle_, &savedState_) ||
        !GetCommTimeouts(handle_, &savedTimeouts_)) {
      CloseHandle(handle_);
      handle_ = INVALID_HANDLE_VALUE;
      return false;
    }
    return true;
  }

  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    // The line is left as it was found, for whoever uses the port next.
    SetCommState(handle_, &savedState_);
    SetCommTimeouts(handle_, &savedTimeouts_);
    const BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

  bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

  bool SetState(const LineSettings& s) override {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = s.baudRate;
    dcb.fBinary = 1;
    if (s.dtrEnable) dcb.fDtrControl = DTR_CONTROL_ENABLE;
    switch (s.rts) {
      case RtsControl::Disable: dcb.fRtsControl = RTS_CONTROL_DISABLE; break;
      case RtsControl::Enable: dcb.fRtsControl = RTS_CONTROL_ENABLE; break;
      case RtsControl::Handshake: dcb.fRtsControl = RTS_CONTROL_HANDSHAKE; break;
    }
    dcb.fOutxCtsFlow = s.ctsOutFlow ? 1 : 0;
    if (s.xonXoff) {
      dcb.fOutX = 1;
      dcb.fInX = 1;
      dcb.XonLim = static_cast<WORD>(s.xonLimit);
      dcb.XoffLim = static_cast<WORD>(s.xonLimit);
    }
    dcb.ByteSize = static_cast<BYTE>(s.byteSize);
    dcb.Parity = static_cast<BYTE>(s.parity);
    dcb.StopBits = static_cast<BYTE>(s.stopBits);
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return SetCommState(handle_, &dcb) != FALSE;
  }

  bool SetQueueSizes(uint32_t input, uint32_t output) override {
    return SetupComm(handle_, input, output) != FALSE;
  }

  bool SetTimeouts(const CommTimeouts& t) override {
    COMMTIMEOUTS ct{t.readInterval, t.readTotalMultiplier, t.readTotalConstant, t.writeTotalMultiplier,
                    t.writeTotalConstant};
    return SetCommTimeouts(handle_, &ct) != FALSE;
  }

  bool Purge(bool input, bool output) override {
    DWORD flags = 0;
    if (input) flags |= PURGE_RXABORT | PURGE_RXCLEAR;
    if (output) flags |= PURGE_TXABORT | PURGE_TXCLEAR;
    return PurgeComm(handle_, flags) != FALSE;
  }

  bool QueryQueues(QueueState& state) override {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(handle_, &errors, &stat)) return false;
    state.inQueue = stat.cbInQue;
    state.outQueue = stat.cbOutQue;
    return true;
  }

  long Read(uint8_t* into, uint32_t count) override {
    DWORD done = 0;
    if (!ReadFile(handle_, into, count, &done, nullptr)) return -1;
    return static_cast<long>(done);
  }

  long Write(const uint8_t* from, uint32_t count) override {
    DWORD done = 0;
    if (!WriteFile(handle_, from, count, &done, nullptr)) return -1;
    return static_cast<long>(done);
  }

  // A pulled USB adapter leaves the handle open with every call failing
  // (usbser and FTDI say ERROR_ACCESS_DENIED, ERROR_BAD_COMMAND or
  // ERROR_DEVICE_NOT_CONNECTED; Wine, when a pseudo-terminal's device side
  // goes, ERROR_NOT_READY). On an open port a failing ClearCommError means
  // the device is gone.
  bool HungUp() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    DWORD errors = 0;
    COMSTAT stat{};
    return ClearCommError(handle_, &errors, &stat) == FALSE;
  }

  bool ModemStatus(uint32_t& lines) override {
    DWORD bits = 0;
    if (!GetCommModemStatus(handle_, &bits)) return false;
    lines = 0;
    if (bits & MS_CTS_ON) lines |= kModemCts;
    if (bits & MS_DSR_ON) lines |= kModemDsr;
    if (bits & MS_RING_ON) lines |= kModemRing;
    if (bits & MS_RLSD_ON) lines |= kModemCd;
    return true;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DCB savedState_{};  // the line settings found at the open
  COMMTIMEOUTS savedTimeouts_{};
};

}  // namespace

std::unique_ptr<SerialDevice> CreateSystemSerialDevice() { return std::make_unique<Win32SerialDevice>(); }

std::string NumberedPortPath(int n) { return "\\\\.\\COM" + std::to_string(n); }

std::string DefaultPortPath() { return "\\\\.\\COM1"; }

}  // namespace tivolan
