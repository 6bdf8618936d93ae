#pragma once
// The bytes an exchange received since its last clear. Each exchange owns
// one: the port's poll appends on its thread while the worker reads on its
// own, so nothing of one exchange's answer can reach another.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "link/Frames.h"

namespace tivolan {

inline constexpr std::size_t kReceiveBufferSize = 201;

class ReceiveBuffer {
 public:
  // Bytes beyond the buffer are not stored, but they are counted, so that
  // such an answer can never be accepted.
  void Append(const uint8_t* data, uint32_t count);
  void Clear();
  // Bytes received since the last clear (the worker polls this).
  int32_t Count() const { return count_.load(std::memory_order_acquire); }
  // Byte i, 0 beyond what was stored.
  uint8_t Byte(std::size_t i) const;
  // A copy of the stored bytes and the count, taken together.
  struct Snapshot {
    std::array<uint8_t, kReceiveBufferSize> bytes{};
    std::size_t count = 0;
    Answer AsAnswer() const { return Answer{bytes.data(), count}; }
  };
  Snapshot TakeSnapshot() const;

 private:
  mutable std::mutex mutex_;
  std::array<uint8_t, kReceiveBufferSize> bytes_{};
  std::atomic<int32_t> count_{0};
};

}  // namespace tivolan
