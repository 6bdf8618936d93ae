// termios implementation of the serial device.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "link/os/CustomBaud.h"
#include "link/os/PortHolders.h"
#include "link/os/SerialDevice.h"

namespace tivolan {
namespace {

bool StandardSpeed(uint32_t baud, speed_t& out) {
  struct Pair {
    uint32_t baud;
    speed_t code;
  };
  static const Pair kSpeeds[] = {{110, B110},       {300, B300},     {600, B600},     {1200, B1200},
                                 {2400, B2400},     {4800, B4800},   {9600, B9600},   {19200, B19200},
                                 {38400, B38400},   {57600, B57600}, {115200, B115200},
                                 {230400, B230400}};
  for (const auto& p : kSpeeds)
    if (p.baud == baud) {
      out = p.code;
      return true;
    }
  return false;
}

tcflag_t CharSize(int byteSize) {
  switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

class PosixSerialDevice final : public SerialDevice {
 public:
  ~PosixSerialDevice() override { Close(); }

  bool Open(const std::string& path) override {
    if (fd_ >= 0) return true;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // A serial line is a terminal device, and never the user's own terminal
    // (frames written there, and a raw mode left behind). No sharing: a
    // second program (or instance) must not talk to the device too.
    termios settings{};
    if (!::isatty(fd) || IsOwnTerminal(fd) || ::tcgetattr(fd, &settings) != 0 ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    ::ioctl(fd, TIOCEXCL);
    fd_ = fd;
    // The lock and the exclusive flag keep out only programs that ask for
    // them; a terminal program or a script holding the device without either
    // would take the device's answers. Looked for once nobody new can open it.
    if (HeldByAnotherProgram()) {
      Close();
      return false;
    }
    saved_ = settings;
    return true;
  }

  bool Close() override {
    if (fd_ < 0) return false;
    // The line is left as it was found, for whoever uses the port next.
    if (saved_) ::tcsetattr(fd_, TCSANOW, &*saved_);
    saved_.reset();
    // The exclusive flag outlives the descriptor on a pseudo-terminal.
    ::ioctl(fd_, TIOCNXCL);
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

  bool IsOpen() const override { return fd_ >= 0; }

  bool SetState(const LineSettings& s) override {
    termios tio{};
    if (fd_ < 0 || ::tcgetattr(fd_, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag = static_cast<tcflag_t>(tio.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS));
    tio.c_cflag |= CLOCAL | CREAD | CharSize(s.byteSize);
#ifdef CMSPAR
    tio.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
    if (s.parity >= 3) tio.c_cflag |= CMSPAR | PARENB | (s.parity == 3 ? PARODD : 0);
#endif
    if (s.parity == 1) tio.c_cflag |= PARENB | PARODD;
    if (s.parity == 2) tio.c_cflag |= PARENB;
    if (s.stopBits != 0) tio.c_cflag |= CSTOPB;
    if (s.ctsOutFlow) tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    if (s.xonXoff) tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    speed_t speed{};
    const bool standard = StandardSpeed(s.baudRate, speed);
    if (standard) {
      ::cfsetispeed(&tio, speed);
      ::cfsetospeed(&tio, speed);
    }
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return false;
    if (!standard && !SetCustomBaud(fd_, s.baudRate)) return false;
    SetModemLine(TIOCM_DTR, s.dtrEnable);
    if (s.rts != RtsControl::Handshake) SetModemLine(TIOCM_RTS, s.rts == RtsControl::Enable);
    return true;
  }

  // The kernel's queues have fixed sizes; the driver keeps its own limits.
  bool SetQueueSizes(uint32_t, uint32_t) override { return fd_ >= 0; }

  bool SetTimeouts(const CommTimeouts& t) override {
    writeWaitMs_ = static_cast<int>(t.writeTotalConstant);
    return fd_ >= 0;
  }

  bool Purge(bool input, bool output) override {
    if (fd_ < 0) return false;
    if (!input && !output) return true;
    const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return ::tcflush(fd_, which) == 0;
  }

  bool QueryQueues(QueueState& state) override {
    int in = 0;
    int out = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &in) != 0) return false;
    if (::ioctl(fd_, TIOCOUTQ, &out) != 0) out = 0;
    state.inQueue = static_cast<uint32_t>(in < 0 ? 0 : in);
    state.outQueue = static_cast<uint32_t>(out < 0 ? 0 : out);
    return true;
  }

  long Read(uint8_t* into, uint32_t count) override {
    if (fd_ < 0) return -1;
    const ssize_t n = ::read(fd_, into, count);
    if (n < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return static_cast<long>(n);
  }

  long Write(const uint8_t* from, uint32_t count) override {
    if (fd_ < 0) return -1;
    ssize_t n = ::write(fd_, from, count);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      // Like the Win32 write time-out: wait a little for room, then give up.
      pollfd p{fd_, POLLOUT, 0};
      if (::poll(&p, 1, writeWaitMs_) > 0) n = ::write(fd_, from, count);
    }
    if (n < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return static_cast<long>(n);
  }

  bool HungUp() override {
    if (fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  }

  bool ModemStatus(uint32_t& lines) override {
    int bits = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCMGET, &bits) != 0) return false;
    lines = 0;
    if (bits & TIOCM_CTS) lines |= kModemCts;
    if (bits & TIOCM_DSR) lines |= kModemDsr;
    if (bits & TIOCM_RNG) lines |= kModemRing;
    if (bits & TIOCM_CAR) lines |= kModemCd;
    return true;
  }

 private:
  bool HeldByAnotherProgram() const {
    struct stat info {};
    return ::fstat(fd_, &info) == 0 && !FindPortHolders(info.st_rdev).users.empty();
  }

  // Devices without modem lines (pseudo-terminals) refuse this; that is fine.
  void SetModemLine(int line, bool on) { ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line); }

  int fd_ = -1;
  int writeWaitMs_ = 10;
  std::optional<termios> saved_;  // the line settings found at the open
};

}  // namespace

std::unique_ptr<SerialDevice> CreateSystemSerialDevice() { return std::make_unique<PosixSerialDevice>(); }

std::string NumberedPortPath(int n) { return "/dev/ttyS" + std::to_string(n - 1); }

std::string DefaultPortPath() { return "/dev/ttyS0"; }

}  // namespace tivolan
