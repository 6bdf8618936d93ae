#include "link/ReceiveBuffer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tivolan {

void ReceiveBuffer::Append(const uint8_t* data, uint32_t count) {
  std::lock_guard lock(mutex_);
  const int32_t had = count_.load(std::memory_order_relaxed);
  const std::size_t at = static_cast<std::size_t>(std::max(had, 0));
  if (at < kReceiveBufferSize) {
    const std::size_t room = kReceiveBufferSize - at;
    std::memcpy(bytes_.data() + at, data, std::min<std::size_t>(room, count));
  }
  const int64_t total = static_cast<int64_t>(had) + count;
  count_.store(static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max())),
               std::memory_order_release);
}

void ReceiveBuffer::Clear() {
  std::lock_guard lock(mutex_);
  bytes_.fill(0);
  count_.store(0, std::memory_order_release);
}

uint8_t ReceiveBuffer::Byte(std::size_t i) const {
  std::lock_guard lock(mutex_);
  return i < kReceiveBufferSize ? bytes_[i] : 0;
}

ReceiveBuffer::Snapshot ReceiveBuffer::TakeSnapshot() const {
  std::lock_guard lock(mutex_);
  Snapshot s;
  s.bytes = bytes_;
  s.count = static_cast<std::size_t>(std::max(count_.load(std::memory_order_acquire), 0));
  return s;
}

}  // namespace tivolan
