#pragma once
// TCommPortDriver: one serial device opened by path, programmed line, writes
// with a stall time-out, and reception by polling on the owner's thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/Deadline.h"
#include "link/PollTimer.h"
#include "link/os/SerialDevice.h"

namespace tivolan {

// pnCustom, then pnCOM1 .. pnCOM16 (ordinal n is COMn).
enum class TPortNumber : uint8_t { pnCustom = 0, pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6,
  pnCOM7, pnCOM8, pnCOM9, pnCOM10, pnCOM11, pnCOM12, pnCOM13, pnCOM14, pnCOM15, pnCOM16 };
enum class TBaudRate : uint8_t { brCustom, br110, br300, br600, br1200, br2400, br4800, br9600,
  br14400, br19200, br38400, br56000, br57600, br115200, br128000, br256000 };
enum class THwFlowControl : uint8_t { hfNONE, hfNONERTSON, hfRTSCTS };
enum class TSwFlowControl : uint8_t { sfNONE, sfXONXOFF };

// LineStatus bits: lsCTS, lsDSR, lsRING, lsCD.
enum LineStateBit : uint8_t { lsCTS = 1, lsDSR = 2, lsRING = 4, lsCD = 8 };
using LineState = uint8_t;

// Rate of a symbolic value; 0 for brCustom.
uint32_t BaudRateTableValue(TBaudRate rate);

// What one of the program's ports is given when it is built, beyond what
// both share (a name set before each open, no handshake, no DTR, writes that
// give up after limits::kWriteStall); the rest keeps the driver's defaults.
struct PortSettings {
  TBaudRate baudRate;
  uint32_t customRate;  // the rate when baudRate is brCustom
  uint32_t queueSize;   // input and output
  Millis pollingDelay;
  Millis inputTimeout;
};

class TCommPortDriver {
 public:
  // The pointer refers to the scratch buffer and is valid only during the call.
  using TReceiveDataEvent = std::function<void(TCommPortDriver& sender, const uint8_t* data, uint32_t count)>;
  using TReceivePacketEvent = TReceiveDataEvent;

  // `timer` may be null: then nothing polls unless the owner calls
  // PollTimerMessage itself.
  TCommPortDriver(std::unique_ptr<SerialDevice> device, PollTimer* timer);
  // One of the program's ports: the driver's defaults, then `settings`.
  TCommPortDriver(std::unique_ptr<SerialDevice> device, PollTimer* timer, const PortSettings& settings);
  ~TCommPortDriver();
  TCommPortDriver(const TCommPortDriver&) = delete;
  TCommPortDriver& operator=(const TCommPortDriver&) = delete;

  // Takes `settings` while closed, as the program's ports are built.
  void Configure(const PortSettings& settings);

  bool Open();
  bool Close();
  bool IsOpen() const;
  bool ApplySettings();
  bool Purge(bool input, bool output);
  uint16_t OutputFreeSpace();
  // Gives up once no byte went out for `timeoutMs`, or at once when `cancel`
  // is cancelled; returns the bytes sent.
  uint32_t WriteWithTimeout(const uint8_t* data, uint32_t count, uint32_t timeoutMs,
                            const CancelToken* cancel = nullptr);
  uint32_t Write(const uint8_t* data, uint32_t count, const CancelToken* cancel = nullptr);
  LineState LineStatus();
  // Bytes waiting in the driver's input queue that no poll has taken yet;
  // 0 when closed or when the queue cannot be read.
  uint32_t InputQueued();
  // One receive poll tick.
  void PollTimerMessage();

  TPortNumber Port() const { return port_; }
  void SetPort(TPortNumber port);
  std::string PortName() const;
  void SetPortName(const std::string& name);
  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRate rate);
  uint32_t BaudRateValue() const { return baudRateValue_; }
  void SetBaudRateValue(uint32_t rate);
  THwFlowControl HwFlow() const { return hwFlow_; }
  void SetHwFlow(THwFlowControl flow);
  void SetSwFlow(TSwFlowControl flow);
  uint32_t InBufSize() const { return inBufSize_; }
  void SetInBufSize(uint32_t size);
  uint32_t OutBufSize() const { return outBufSize_; }
  void SetOutBufSize(uint32_t size);
  int16_t PacketSize() const { return packetSize_; }
  void SetPacketSize(int16_t size);
  int32_t PacketTimeout() const { return packetTimeout_; }
  void SetPacketTimeout(int32_t timeoutMs);
  uint16_t PollingDelay() const { return pollingDelay_; }
  void SetPollingDelay(uint16_t delayMs);
  bool EnableDTROnOpen() const { return enableDTROnOpen_; }
  void SetEnableDTROnOpen(bool on) { enableDTROnOpen_ = on; }
  uint16_t OutputTimeout() const { return outputTimeout_; }
  void SetOutputTimeout(uint16_t ms) { outputTimeout_ = ms; }
  uint32_t InputTimeout() const { return inputTimeout_; }
  void SetInputTimeout(uint32_t ms) { inputTimeout_ = ms; }
  void SetOnReceiveData(TReceiveDataEvent handler) { onReceiveData_ = std::move(handler); }
  void SetOnReceivePacket(TReceivePacketEvent handler) { onReceivePacket_ = std::move(handler); }
  // Fired by a poll tick that finds the line gone; only asked when set.
  using TLineLostEvent = std::function<void(TCommPortDriver& sender)>;
  void SetOnLineLost(TLineLostEvent handler) { onLineLost_ = std::move(handler); }

  // The receive scratch buffer, for tests of its size and allocation.
  const std::vector<uint8_t>& ScratchBuffer() const { return scratch_; }

 private:
  bool ApplySettingsLocked();
  bool PurgeLocked(bool input, bool output);
  bool CloseLocked();
  void Reapply();
  void StartTimer();
  void StopTimer();
  void DeliverStream(uint32_t queued);
  void DeliverPackets(uint32_t queued);
  long ReadInto(uint32_t count);
  int64_t PacketDurationMs() const;
  uint16_t OutputFreeSpaceLocked();

  std::unique_ptr<SerialDevice> device_;
  PollTimer* timer_;
  mutable std::recursive_mutex mutex_;  // guards the open state against a poll tick

  TPortNumber port_ = TPortNumber::pnCOM2;
  std::string portName_;
  TBaudRate baudRate_ = TBaudRate::br9600;
  uint32_t baudRateValue_ = 9600;
  THwFlowControl hwFlow_ = THwFlowControl::hfNONERTSON;
  TSwFlowControl swFlow_ = TSwFlowControl::sfNONE;
  uint32_t inBufSize_ = 2048;
  uint32_t outBufSize_ = 2048;
  int16_t packetSize_ = -1;
  int32_t packetTimeout_ = -1;
  uint16_t pollingDelay_ = 50;
  bool enableDTROnOpen_ = true;
  uint16_t outputTimeout_ = 500;
  uint32_t inputTimeout_ = 200;
  TReceiveDataEvent onReceiveData_;
  TReceivePacketEvent onReceivePacket_;
  TLineLostEvent onLineLost_;

  std::vector<uint8_t> scratch_;
  int64_t packetStart_ = -1;
};

}  // namespace tivolan
