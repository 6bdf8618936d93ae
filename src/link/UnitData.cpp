#include "link/UnitData.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tivolan {

TDataModule1::TDataModule1(std::unique_ptr<SerialDevice> device, PollTimer* timer)
    : cmprtdrvr1(std::move(device), timer, kConfigPortSettings) {
  cmprtdrvr1.SetOnReceiveData(
      [this](TCommPortDriver&, const uint8_t* data, uint32_t count) { cmprtdrvr1ReceiveData(data, count); });
}

void TDataModule1::cmprtdrvr1ReceiveData(const uint8_t* data, uint32_t count) {
  std::lock_guard lock(bufferMutex_);
  const int32_t had = receivedCount_.load(std::memory_order_relaxed);
  const std::size_t at = static_cast<std::size_t>(std::max(had, 0));
  if (at < kReceiveBufferSize) {
    const std::size_t room = kReceiveBufferSize - at;
    std::memcpy(receiveBuffer_.data() + at, data, std::min<std::size_t>(room, count));
  }
  const int64_t total = static_cast<int64_t>(had) + count;
  receivedCount_.store(static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max())),
                       std::memory_order_release);
}

void TDataModule1::ClearReceiveBuffer() {
  std::lock_guard lock(bufferMutex_);
  receiveBuffer_.fill(0);
  receivedCount_.store(0, std::memory_order_release);
}

uint8_t TDataModule1::ReceivedByte(std::size_t i) const {
  std::lock_guard lock(bufferMutex_);
  return i < kReceiveBufferSize ? receiveBuffer_[i] : 0;
}

TDataModule1::Snapshot TDataModule1::TakeSnapshot() const {
  std::lock_guard lock(bufferMutex_);
  Snapshot s;
  s.bytes = receiveBuffer_;
  s.count = static_cast<std::size_t>(std::max(receivedCount_.load(std::memory_order_acquire), 0));
  return s;
}

void TDataModule1::SetOwedAnswer(const std::string& port, Time until) {
  std::lock_guard lock(owedMutex_);
  owed_ = OwedAnswer{port, until};
}

std::optional<TDataModule1::Time> TDataModule1::OwedAnswerUntil(const std::string& port) const {
  std::lock_guard lock(owedMutex_);
  if (!owed_ || owed_->port != port) return std::nullopt;
  return owed_->until;
}

void TDataModule1::ClearOwedAnswer(const std::string& port) {
  std::lock_guard lock(owedMutex_);
  if (owed_ && owed_->port == port) owed_.reset();
}

}  // namespace tivolan
