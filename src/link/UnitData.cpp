#include "link/UnitData.h"

namespace tivolan {

TDataModule1::TDataModule1(std::unique_ptr<SerialDevice> device, PollTimer* timer)
    : cmprtdrvr1(std::move(device), timer, kConfigPortSettings) {
  cmprtdrvr1.SetOnReceiveData(
      [this](TCommPortDriver&, const uint8_t* data, uint32_t count) { cmprtdrvr1ReceiveData(data, count); });
}

bool TDataModule1::Claim(ReceiveBuffer& buffer) {
  std::lock_guard lock(slotMutex_);
  if (holder_) return false;
  holder_ = &buffer;
  return true;
}

void TDataModule1::Release(ReceiveBuffer& buffer) {
  std::lock_guard lock(slotMutex_);
  if (holder_ == &buffer) holder_ = nullptr;
}

ReceiveBuffer& TDataModule1::Receiving() {
  std::lock_guard lock(slotMutex_);
  return holder_ ? *holder_ : idle_;
}

void TDataModule1::cmprtdrvr1ReceiveData(const uint8_t* data, uint32_t count) {
  std::lock_guard lock(slotMutex_);
  (holder_ ? *holder_ : idle_).Append(data, count);
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
