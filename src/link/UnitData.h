#pragma once
// TDataModule1: owner of the configuration port and of the receive buffer
// that its poll fills for the programming worker.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

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

 private:
  mutable std::mutex bufferMutex_;
  std::array<uint8_t, kReceiveBufferSize> receiveBuffer_{};
  std::atomic<int32_t> receivedCount_{0};
};

}  // namespace tivolan
