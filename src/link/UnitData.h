#pragma once
// TDataModule1: owner of the configuration port. Its poll fills the receive
// buffer of the exchange that holds the port.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "link/CPDrv.h"
#include "link/Frames.h"
#include "link/ReceiveBuffer.h"

namespace tivolan {

// cmprtdrvr1: 9600 baud, 1 KiB queues.
inline constexpr PortSettings kConfigPortSettings{TBaudRate::br9600, 0, 1024, limits::kConfigPoll,
                                                  limits::kConfigInputTimeout};

class TDataModule1 {
 public:
  TDataModule1(std::unique_ptr<SerialDevice> device, PollTimer* timer);

  TCommPortDriver cmprtdrvr1;

  // An exchange holds the port with a receive buffer of its own until it
  // releases it; meanwhile another one is refused (one port, one exchange).
  bool Claim(ReceiveBuffer& buffer);
  void Release(ReceiveBuffer& buffer);
  // Where the port delivers now: the holder's buffer, else the module's own
  // (bytes no exchange waits for).
  ReceiveBuffer& Receiving();

  // A delivery of cmprtdrvr1, appended to Receiving().
  void cmprtdrvr1ReceiveData(const uint8_t* data, uint32_t count);
  // Of Receiving(), for the steps run without Claim.
  void ClearReceiveBuffer() { Receiving().Clear(); }
  int32_t ReceivedCount() { return Receiving().Count(); }
  uint8_t ReceivedByte(std::size_t i) { return Receiving().Byte(i); }
  ReceiveBuffer::Snapshot TakeSnapshot() { return Receiving().TakeSnapshot(); }

  // An answer that may still come on a port until `until`: a request there
  // got not a byte of it. A worker records it when it leaves the wait to the
  // next exchange, which waits for it before its first request on that port.
  using Time = std::chrono::steady_clock::time_point;
  void SetOwedAnswer(const std::string& port, Time until);
  // When the answer owed on `port` stops being awaited; none when none is.
  std::optional<Time> OwedAnswerUntil(const std::string& port) const;
  void ClearOwedAnswer(const std::string& port);
  // Whether a worker whose request got no answer waits for it before it
  // closes the port (a program that ends with its exchange: tivolan-cli),
  // or leaves the wait to the next exchange (the window's, by default).
  bool WaitsForOwedAnswerBeforeClose() const { return waitBeforeClose_; }
  void SetWaitsForOwedAnswerBeforeClose(bool wait) { waitBeforeClose_ = wait; }

 private:
  struct OwedAnswer {
    std::string port;
    Time until;
  };
  mutable std::mutex owedMutex_;
  std::optional<OwedAnswer> owed_;
  std::atomic<bool> waitBeforeClose_{false};

  std::mutex slotMutex_;  // a delivery never meets a buffer being released
  ReceiveBuffer idle_;
  ReceiveBuffer* holder_ = nullptr;
};

}  // namespace tivolan
