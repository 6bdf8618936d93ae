#include "link/CPDrv.h"

#include <algorithm>
#include <cmath>

#include "link/Clock.h"

namespace tivolan {
namespace {

constexpr uint32_t kMinBufSize = 128;
constexpr uint32_t kMaxBufSize = 8192;
constexpr uint16_t kMinPollingDelay = 5;

uint32_t ClampBufSize(uint32_t size) { return std::clamp(size, kMinBufSize, kMaxBufSize); }

}  // namespace

uint32_t BaudRateTableValue(TBaudRate rate) {
  static constexpr uint32_t kRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                        14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  return kRates[static_cast<std::size_t>(rate)];
}

TCommPortDriver::TCommPortDriver(std::unique_ptr<SerialDevice> device, PollTimer* timer)
    : device_(std::move(device)), timer_(timer), portName_(NumberedPortPath(2)), scratch_(inBufSize_, 0) {}

TCommPortDriver::TCommPortDriver(std::unique_ptr<SerialDevice> device, PollTimer* timer,
                                 const PortSettings& settings)
    : TCommPortDriver(std::move(device), timer) {
  Configure(settings);
}

TCommPortDriver::~TCommPortDriver() { Close(); }

void TCommPortDriver::Configure(const PortSettings& settings) {
  SetPort(TPortNumber::pnCustom);
  SetPortName(DefaultPortPath());
  if (settings.baudRate == TBaudRate::brCustom)
    SetBaudRateValue(settings.customRate);
  else
    SetBaudRate(settings.baudRate);
  SetHwFlow(THwFlowControl::hfNONE);
  SetInBufSize(settings.queueSize);
  SetOutBufSize(settings.queueSize);
  SetPollingDelay(static_cast<uint16_t>(settings.pollingDelay.count()));
  SetEnableDTROnOpen(false);
  SetOutputTimeout(static_cast<uint16_t>(limits::kWriteStall.count()));
  SetInputTimeout(static_cast<uint32_t>(settings.inputTimeout.count()));
}

bool TCommPortDriver::IsOpen() const {
  std::lock_guard lock(mutex_);
  return device_->IsOpen();
}

bool TCommPortDriver::Open() {
  {
    std::lock_guard lock(mutex_);
    if (device_->IsOpen()) return true;
    if (!device_->Open(portName_)) return false;
    if (!ApplySettingsLocked()) {
      CloseLocked();
      return false;
    }
    // Reads never wait: the poll only takes what is already queued.
    device_->SetTimeouts(CommTimeouts{1, 0, 1, 0, 10});
  }
  StartTimer();
  return true;
}

bool TCommPortDriver::Close() {
  StopTimer();
  std::lock_guard lock(mutex_);
  return CloseLocked();
}

bool TCommPortDriver::CloseLocked() {
  if (!device_->IsOpen()) return false;
  return device_->Close();
}

bool TCommPortDriver::ApplySettings() {
  std::lock_guard lock(mutex_);
  return ApplySettingsLocked();
}

bool TCommPortDriver::ApplySettingsLocked() {
  if (!device_->IsOpen()) return false;
  LineSettings s;  // 8N1, the only line the devices speak
  s.baudRate = baudRateValue_;
  s.dtrEnable = enableDTROnOpen_;
  switch (hwFlow_) {
    case THwFlowControl::hfNONE: s.rts = RtsControl::Disable; break;
    case THwFlowControl::hfNONERTSON: s.rts = RtsControl::Enable; break;
    case THwFlowControl::hfRTSCTS:
      s.rts = RtsControl::Handshake;
      s.ctsOutFlow = true;
      break;
  }
  // The XON and XOFF limits are a quarter of the input queue. The cap of 4096
  // once asked for Windows NT could never bind: the queue is at most kMaxBufSize.
  s.xonXoff = swFlow_ == TSwFlowControl::sfXONXOFF;
  if (s.xonXoff) s.xonLimit = inBufSize_ / 4;
  if (!device_->SetState(s)) return false;
  if (!PurgeLocked(true, true)) return false;
  return device_->SetQueueSizes(inBufSize_, outBufSize_);
}

bool TCommPortDriver::Purge(bool input, bool output) {
  std::lock_guard lock(mutex_);
  return PurgeLocked(input, output);
}

bool TCommPortDriver::PurgeLocked(bool input, bool output) {
  if (!device_->IsOpen() || !device_->Purge(input, output)) return false;
  packetStart_ = -1;
  return true;
}

uint16_t TCommPortDriver::OutputFreeSpace() {
  std::lock_guard lock(mutex_);
  return OutputFreeSpaceLocked();
}

uint16_t TCommPortDriver::OutputFreeSpaceLocked() {
  QueueState q;
  if (!device_->IsOpen()) return 0xFFFF;
  if (!device_->QueryQueues(q)) return 0;
  return static_cast<uint16_t>(q.outQueue >= outBufSize_ ? 0 : outBufSize_ - q.outQueue);
}

uint32_t TCommPortDriver::WriteWithTimeout(const uint8_t* data, uint32_t count, uint32_t timeoutMs,
                                           const CancelToken* cancel) {
  if (!IsOpen()) return 0;
  Deadline stall(Millis(timeoutMs), cancel);
  uint32_t sent = 0;
  while (count > 0 && !stall.Cancelled()) {
    long written = 0;
    {
      std::lock_guard lock(mutex_);
      const uint16_t free = OutputFreeSpaceLocked();
      if (free > 0 && device_->IsOpen()) {
        // A failed write counts as no progress, not as one byte sent.
        written = std::max<long>(0, device_->Write(data, std::min<uint32_t>(count, free)));
      }
    }
    if (written > 0) {
      sent += static_cast<uint32_t>(written);
      data += written;
      count -= static_cast<uint32_t>(written);
      stall.Restart();
      continue;
    }
    if (!stall.Sleep(Millis{1})) break;  // let the line drain
  }
  return sent;
}

uint32_t TCommPortDriver::Write(const uint8_t* data, uint32_t count, const CancelToken* cancel) {
  return WriteWithTimeout(data, count, outputTimeout_, cancel);
}

LineState TCommPortDriver::LineStatus() {
  std::lock_guard lock(mutex_);
  uint32_t lines = 0;
  if (!device_->IsOpen() || !device_->ModemStatus(lines)) return 0;
  LineState state = 0;
  if (lines & kModemCts) state |= lsCTS;
  if (lines & kModemDsr) state |= lsDSR;
  if (lines & kModemRing) state |= lsRING;
  if (lines & kModemCd) state |= lsCD;
  return state;
}

uint32_t TCommPortDriver::InputQueued() {
  std::lock_guard lock(mutex_);
  QueueState q;
  if (!device_->IsOpen() || !device_->QueryQueues(q)) return 0;
  return q.inQueue;
}

void TCommPortDriver::PollTimerMessage() {
  bool lost = false;
  {
    std::lock_guard lock(mutex_);
    if (!device_->IsOpen()) return;
    QueueState q;
    if (device_->QueryQueues(q)) {
      if (packetSize_ <= 0)
        DeliverStream(q.inQueue);
      else
        DeliverPackets(q.inQueue);
    }
    lost = onLineLost_ && device_->IsOpen() && device_->HungUp();
  }
  if (lost) onLineLost_(*this);  // outside the lock: the handler may close the port
}

long TCommPortDriver::ReadInto(uint32_t count) {
  return device_->Read(scratch_.data(), std::min<uint32_t>(count, static_cast<uint32_t>(scratch_.size())));
}

void TCommPortDriver::DeliverStream(uint32_t queued) {
  if (queued == 0) return;
  const long got = ReadInto(queued);
  if (got > 0 && onReceiveData_) onReceiveData_(*this, scratch_.data(), static_cast<uint32_t>(got));
}

void TCommPortDriver::DeliverPackets(uint32_t queued) {
  const uint32_t size = static_cast<uint32_t>(packetSize_);
  if (queued >= size) {
    do {
      const long got = ReadInto(size);
      if (got > 0 && onReceivePacket_) onReceivePacket_(*this, scratch_.data(), static_cast<uint32_t>(got));
      packetStart_ += PacketDurationMs();
      queued -= size;
      if (queued == 0) packetStart_ = -1;
    } while (queued >= size);
  } else if (packetTimeout_ > 0 && packetStart_ != -1 && TickCountMs() - packetStart_ > packetTimeout_) {
    ReadInto(queued);  // a partial packet that timed out is dropped
    packetStart_ = -1;
  } else if (queued > 0 && packetStart_ == -1) {
    packetStart_ = TickCountMs();
  }
}

int64_t TCommPortDriver::PacketDurationMs() const {
  // A custom rate has no table value; its programmed number stands in.
  uint32_t rate = BaudRateTableValue(baudRate_);
  if (rate == 0) rate = baudRateValue_;
  if (rate < 10) return 0;
  return std::llround(static_cast<double>(packetSize_) / (rate / 10) * 1000.0);
}

void TCommPortDriver::StartTimer() {
  if (timer_) timer_->Start(pollingDelay_, [this] { PollTimerMessage(); });
}

void TCommPortDriver::StopTimer() {
  if (timer_) timer_->Stop();
}

void TCommPortDriver::Reapply() {
  std::lock_guard lock(mutex_);
  if (device_->IsOpen()) ApplySettingsLocked();  // a failure here is ignored
}

void TCommPortDriver::SetPort(TPortNumber port) {
  if (IsOpen()) return;
  port_ = port;
  if (port != TPortNumber::pnCustom) portName_ = NumberedPortPath(static_cast<int>(port));
}

std::string TCommPortDriver::PortName() const {
  std::lock_guard lock(mutex_);
  return portName_;
}

void TCommPortDriver::SetPortName(const std::string& name) {
  std::lock_guard lock(mutex_);
  if (device_->IsOpen()) return;
  portName_ = name;
  port_ = TPortNumber::pnCustom;
}

void TCommPortDriver::SetBaudRate(TBaudRate rate) {
  baudRate_ = rate;
  if (rate != TBaudRate::brCustom) baudRateValue_ = BaudRateTableValue(rate);
  Reapply();
}

void TCommPortDriver::SetBaudRateValue(uint32_t rate) {
  baudRate_ = TBaudRate::brCustom;
  baudRateValue_ = rate;
  Reapply();
}

void TCommPortDriver::SetHwFlow(THwFlowControl flow) { hwFlow_ = flow; Reapply(); }
void TCommPortDriver::SetSwFlow(TSwFlowControl flow) { swFlow_ = flow; Reapply(); }

void TCommPortDriver::SetInBufSize(uint32_t size) {
  if (IsOpen()) return;
  inBufSize_ = ClampBufSize(size);
  scratch_.assign(inBufSize_, 0);
  SetPacketSize(packetSize_);
}

void TCommPortDriver::SetOutBufSize(uint32_t size) {
  if (IsOpen()) return;
  outBufSize_ = ClampBufSize(size);
}

void TCommPortDriver::SetPacketSize(int16_t size) {
  if (size <= 0) {
    packetSize_ = -1;
    return;
  }
  packetSize_ = static_cast<int16_t>(std::min<uint32_t>(static_cast<uint32_t>(size), kMaxBufSize));
  if (static_cast<uint32_t>(packetSize_) > inBufSize_) SetInBufSize(static_cast<uint32_t>(packetSize_));
  // The scratch buffer could not grow (port open, or above its maximum): a
  // packet never exceeds what one read can hold.
  if (static_cast<uint32_t>(packetSize_) > inBufSize_) packetSize_ = static_cast<int16_t>(inBufSize_);
}

void TCommPortDriver::SetPacketTimeout(int32_t timeoutMs) {
  if (timeoutMs < 1)
    packetTimeout_ = -1;
  else if (timeoutMs < pollingDelay_)
    packetTimeout_ = pollingDelay_ + pollingDelay_ * 40 / 100;
  else
    packetTimeout_ = timeoutMs;
}

void TCommPortDriver::SetPollingDelay(uint16_t delayMs) {
  delayMs = std::max(delayMs, kMinPollingDelay);
  if (delayMs == pollingDelay_) return;
  const bool open = IsOpen();
  if (open) StopTimer();
  pollingDelay_ = delayMs;
  if (open) StartTimer();
  SetPacketTimeout(packetTimeout_);
}

}  // namespace tivolan
