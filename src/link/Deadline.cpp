#include "link/Deadline.h"

#include <algorithm>
#include <thread>

namespace tivolan {

void CancelToken::Cancel() {
  {
    std::lock_guard lock(state_->mutex);
    state_->cancelled = true;
  }
  state_->wake.notify_all();
}

bool CancelToken::Cancelled() const {
  std::lock_guard lock(state_->mutex);
  return state_->cancelled;
}

bool CancelToken::SleepFor(Millis duration) const {
  std::unique_lock lock(state_->mutex);
  return !state_->wake.wait_for(lock, duration, [this] { return state_->cancelled; });
}

bool Deadline::Sleep(Millis step) const {
  const auto left = std::chrono::duration_cast<Millis>(end_ - Clock::now());
  const Millis nap = std::clamp(left, Millis{0}, step);
  if (cancel_) {
    if (!cancel_->SleepFor(nap)) return false;
  } else {
    std::this_thread::sleep_for(nap);
  }
  return !Passed();
}

}  // namespace tivolan
