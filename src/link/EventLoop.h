#pragma once
// A small event loop for the programs without a GUI toolkit (the command-line
// tool, the benchmark, tests): posted tasks and periodic timers, run on the
// thread that calls Run.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "link/PollTimer.h"

namespace tivolan {

class EventLoop {
 public:
  using Task = std::function<void()>;

  // Any thread.
  void Post(Task task);
  int StartTimer(unsigned periodMs, Task tick);  // returns the timer id
  void StopTimer(int id);
  void Quit();

  // Runs tasks and timer ticks until `done` holds (checked after each task
  // and tick) or Quit is called. Returns false when Quit ended it.
  bool RunUntil(const std::function<bool()>& done);

 private:
  struct Timer {
    unsigned periodMs;
    int64_t due;
    std::shared_ptr<Task> tick;
  };
  bool RunOne(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Task> tasks_;
  std::map<int, Timer> timers_;
  int nextId_ = 1;
  bool quit_ = false;
};

// PollTimer on an EventLoop.
class LoopPollTimer final : public PollTimer {
 public:
  explicit LoopPollTimer(EventLoop& loop) : loop_(loop) {}
  ~LoopPollTimer() override { Stop(); }
  void Start(unsigned periodMs, std::function<void()> onTick) override;
  void Stop() override;

 private:
  EventLoop& loop_;
  std::mutex mutex_;
  int id_ = 0;
};

}  // namespace tivolan
