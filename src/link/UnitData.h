#pragma once
// TDataModule1: owner of the configuration port and of the receive buffer
// that its poll fills for the programming worker.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "link/CPDrv.h"
#include "link/Frames.h"

namespace tivolan {

inline constexpr std::size_t kReceiveBufferSize = 201;

// cmprtdrvr1: 9600 baud, 1 KiB queues.
inline constexpr PortSettings kConfigPortSettings{TBaudRate::br9600, 0, 1024, limits::kConfigPoll,
                                                  limits::kConfigInputTimeout};

class TDataModule1 {
 public:
  TDataModule1(std::unique_ptr<SerialDevice> device, PollTimer* timer);

  TCommPortDriver cmprtdrvr1;

  // Appends a delivery of cmprtdrvr1. Bytes beyond the buffer are not stored,
  // but they are counted, so that such an answer can never be accepted.
  void cmprtdrvr1ReceiveData(const uint8_t* data, uint32_t count);
  void ClearReceiveBuffer();

  // Bytes received since the last clear (the worker polls this).
  int32_t ReceivedCount() const { return receivedCount_.load(std::memory_order_acquire); }
  // Byte i of the receive buffer, 0 beyond what was stored.
  uint8_t ReceivedByte(std::size_t i) const;
  // A copy of the stored bytes and the count, taken together.
  struct Snapshot {
    std::array<uint8_t, kReceiveBufferSize> bytes{};
    std::size_t count = 0;
    Answer AsAnswer() const { return Answer{bytes.data(), count}; }
  };
  Snapshot TakeSnapshot() const;

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

  mutable std::mutex bufferMutex_;
  std::array<uint8_t, kReceiveBufferSize> receiveBuffer_{};
  std::atomic<int32_t> receivedCount_{0};
};

}  // namespace tivolan
