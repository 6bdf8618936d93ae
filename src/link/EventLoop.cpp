#include "link/EventLoop.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "link/Clock.h"

namespace tivolan {

void EventLoop::Post(Task task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

int EventLoop::StartTimer(unsigned periodMs, Task tick) {
  int id = 0;
  {
    std::lock_guard lock(mutex_);
    id = nextId_++;
    timers_[id] = Timer{periodMs, TickCountMs() + periodMs, std::make_shared<Task>(std::move(tick))};
  }
  wake_.notify_all();
  return id;
}

void EventLoop::StopTimer(int id) {
  std::lock_guard lock(mutex_);
  timers_.erase(id);
}

void EventLoop::Quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

bool EventLoop::RunOne(std::unique_lock<std::mutex>& lock) {
  if (!tasks_.empty()) {
    Task task = std::move(tasks_.front());
    tasks_.erase(tasks_.begin());
    lock.unlock();
    task();
    lock.lock();
    return true;
  }
  const int64_t now = TickCountMs();
  for (auto& [id, timer] : timers_) {
    if (timer.due > now) continue;
    timer.due = now + timer.periodMs;
    auto tick = timer.tick;  // the timer may be stopped while it runs
    lock.unlock();
    (*tick)();
    lock.lock();
    return true;
  }
  return false;
}

bool EventLoop::RunUntil(const std::function<bool()>& done) {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    lock.unlock();
    if (done()) return true;
    lock.lock();
    if (RunOne(lock)) continue;
    int64_t next = TickCountMs() + 50;  // also re-checks `done` now and then
    for (const auto& [id, timer] : timers_) next = std::min(next, timer.due);
    const int64_t wait = std::max<int64_t>(0, next - TickCountMs());
    wake_.wait_for(lock, std::chrono::milliseconds(wait), [&] { return quit_ || !tasks_.empty(); });
  }
  quit_ = false;
  return false;
}

void LoopPollTimer::Start(unsigned periodMs, std::function<void()> onTick) {
  std::lock_guard lock(mutex_);
  if (id_ != 0) loop_.StopTimer(id_);
  id_ = loop_.StartTimer(periodMs, std::move(onTick));
}

void LoopPollTimer::Stop() {
  std::lock_guard lock(mutex_);
  if (id_ != 0) loop_.StopTimer(id_);
  id_ = 0;
}

}  // namespace tivolan
