#include "sim/SimPort.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <stdexcept>

#include "model/HexText.h"

namespace tivolan::sim {
namespace {

uint32_t SpeedValue(speed_t speed) {
  struct Pair {
    speed_t code;
    uint32_t baud;
  };
  static const Pair kSpeeds[] = {{B110, 110},       {B300, 300},     {B600, 600},       {B1200, 1200},
                                 {B2400, 2400},     {B4800, 4800},   {B9600, 9600},     {B19200, 19200},
                                 {B38400, 38400},   {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};
  for (const auto& p : kSpeeds)
    if (p.code == speed) return p.baud;
  return 0;
}

void SleepMs(double ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(ms * 1000)));
}

}  // namespace

std::string Hex(const Bytes& bytes) { return HexOf(bytes, " "); }

std::optional<Bytes> ParseHex(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) digits += c;
  return BytesOfHex(digits);
}

SimPort::SimPort(SimOptions options)
    : options_(std::move(options)), device_(options_.device), loader_(options_.device) {
  // Held before the path is handed out, so even the first frame stalls.
  if (options_.device.fault == Fault::Stall) {
    if (!pty_.HoldOutput(true)) throw std::runtime_error("cannot hold the pseudo-terminal's line");
    stalled_ = true;
    if (options_.device.delayMs > 0)
      stallEnds_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.device.delayMs);
  }
}

SimPort::~SimPort() {
  Stop();
}

void SimPort::Start() {
  thread_ = std::thread([this] { Run(); });
}

void SimPort::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void SimPort::Run(const std::atomic<bool>* externalStop) {
  uint8_t buffer[512];
  while (!stop_ && !hungUp_ && !(externalStop && *externalStop)) {
    int waitMs = 50;
    if (stalled_ && stallEnds_) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*stallEnds_ - std::chrono::steady_clock::now());
      if (left.count() <= 0) Release();
      else waitMs = std::min<int>(waitMs, static_cast<int>(left.count()));
    }
    pollfd p{pty_.Master(), POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0 || !(p.revents & POLLIN)) continue;
    const ssize_t n = ::read(pty_.Master(), buffer, sizeof buffer);
    if (n > 0) Serve(buffer, static_cast<std::size_t>(n));
  }
}

bool SimPort::Present() const {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_).count();
  return ms >= options_.presentAfterMs && (options_.absentAfterMs < 0 || ms < options_.absentAfterMs);
}

uint32_t SimPort::ExpectedBaud() const {
  if (options_.expectedBaud != 0) return options_.expectedBaud;
  return options_.bootloader ? kBootloaderBaud : 9600;
}

uint32_t SimPort::LineBaud(std::string* mismatch) const {
  const termios t = pty_.SlaveSettings();
  const uint32_t baud = SpeedValue(::cfgetospeed(&t));
  const uint32_t expected = ExpectedBaud();
  std::string problems;
  if (baud != expected) problems += " speed " + std::to_string(baud);
  if ((t.c_cflag & CSIZE) != CS8 || (t.c_cflag & (PARENB | CSTOPB))) problems += " not 8N1";
  if (t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN) || t.c_oflag & OPOST || t.c_iflag & (ICRNL | INLCR | IXON | ISTRIP))
    problems += " not raw";
  if (!problems.empty()) *mismatch = "line settings mismatch:" + problems;
  return baud == 0 ? expected : baud;
}

void SimPort::Serve(const uint8_t* data, std::size_t count) {
  std::vector<Reply> replies;
  std::vector<Bytes> newFrames;
  {
    std::lock_guard lock(mutex_);
    // Feed names the frames it completed: the kept log is bounded, so its
    // size says nothing once full.
    replies = options_.bootloader ? loader_.Feed(data, count, &newFrames) : device_.Feed(data, count, &newFrames);
  }
  for (const auto& frame : newFrames)
    if (options_.log) options_.log(Hex(frame));
  if (newFrames.empty() || !Present()) return;
  std::string mismatch;
  const uint32_t baud = LineBaud(&mismatch);
  if (!mismatch.empty()) {
    if (options_.log) options_.log(mismatch);
    std::lock_guard lock(mutex_);
    mismatches_.push_back(mismatch);
  }
  // At another speed a real device hears only noise.
  if (baud != ExpectedBaud()) return;
  for (std::size_t i = 0; i < replies.size() && !hungUp_; ++i)
    Send(replies[i], newFrames[std::min(i, newFrames.size() - 1)].size());
}

void SimPort::Send(const Reply& reply, std::size_t requestBytes) {
  const termios t = pty_.SlaveSettings();
  const uint32_t baud = SpeedValue(::cfgetospeed(&t));
  const double msPerByte = options_.pacing && baud ? 10000.0 / baud : 0.0;
  SleepMs(msPerByte * static_cast<double>(requestBytes));  // the request is still on the wire
  SleepMs(reply.delayMs);
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t sent = 0; sent < reply.bytes.size() && !stop_;) {
    std::size_t due = reply.bytes.size();
    if (msPerByte > 0 && !reply.atOnce) {
      const double elapsed =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      due = std::min(reply.bytes.size(), static_cast<std::size_t>(elapsed / msPerByte) + 1);
    }
    if (due > sent) {
      const ssize_t n = ::write(pty_.Master(), reply.bytes.data() + sent, due - sent);
      if (n > 0) sent += static_cast<std::size_t>(n);
    }
    if (sent < reply.bytes.size()) SleepMs(msPerByte > 0 ? msPerByte : 1);
  }
  // After part of an answer, the line drops once the program's poll (500 ms)
  // has taken it, so the program sees an answer start and then lose its
  // line; with nothing sent it drops at once.
  if (reply.hangUpAfter) HangUp(reply.bytes.empty() ? 0 : 700);
}

void SimPort::HangUp(double afterMs) {
  SleepMs(afterMs);
  hungUp_ = true;
  pty_.CloseMaster();
}

void SimPort::Release() {
  if (stalled_.exchange(false)) pty_.HoldOutput(false);
}

std::vector<Bytes> SimPort::ReceivedFrames() const {
  std::lock_guard lock(mutex_);
  return {device_.Frames().begin(), device_.Frames().end()};
}

std::size_t SimPort::ReceivedFrameCount() const {
  std::lock_guard lock(mutex_);
  return device_.FrameCount();
}

std::vector<Bytes> SimPort::ReceivedBlocks() const {
  std::lock_guard lock(mutex_);
  return {loader_.Blocks().begin(), loader_.Blocks().end()};
}

std::size_t SimPort::ReceivedBlockCount() const {
  std::lock_guard lock(mutex_);
  return loader_.BlockCount();
}

std::vector<std::string> SimPort::Mismatches() const {
  std::lock_guard lock(mutex_);
  return mismatches_;
}

Bytes SimPort::Payload() const {
  std::lock_guard lock(mutex_);
  return device_.Payload();
}

Bytes SimPort::Block(int block) const {
  std::lock_guard lock(mutex_);
  return device_.Block(block);
}

}  // namespace tivolan::sim
