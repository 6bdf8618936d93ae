#pragma once
// Every time limit of the link, named once, and the two helpers that keep
// them: a cancellation token that wakes a sleeping worker at once, and a
// deadline that a waiting loop asks whether its time is up.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace tivolan {

using Millis = std::chrono::milliseconds;

namespace limits {
// The worker sleeps in steps of this while it waits for an answer.
inline constexpr Millis kWaitStep{50};
// After the first step, the device has this long to send its first bytes...
inline constexpr Millis kAnswerStart{20 * kWaitStep};
// ...and then this long to complete its frame.
inline constexpr Millis kAnswerComplete{16 * kWaitStep};
// Answers carry no request number, so bytes that come while no answer is
// awaited (an answer that missed its limit, noise) are drained until the line
// has been quiet this long. That is far beyond any gap inside a frame, and a
// device that starts its answer up to this long after the answer limit is
// still heard and drained, not taken for the answer to the next request.
inline constexpr Millis kLineQuiet{10 * kWaitStep};
// A line that never goes quiet for kLineQuiet is given up after this long
// (a device that keeps talking, noise).
inline constexpr Millis kDrainMost{40 * kWaitStep};
// A write that makes no progress for this long gives up (the port's output
// time-out).
inline constexpr Millis kWriteStall{200};
// The boot loader has this long to give its verdict on a firmware block.
inline constexpr Millis kVerdictWait{4000};
// The configuration port's receive poll: the answer wait (kAnswerStart and
// kAnswerComplete) spans several periods, so an answer reaches the worker in
// one or a few chunks.
inline constexpr Millis kConfigPoll{500};
// The update port's receive poll: every firmware block waits for its verdict
// byte, so a slower poll would add to each block.
inline constexpr Millis kUpdatePoll{10};
// The configuration port's input time-out: given to the driver with its
// settings, read by no operation (a read only takes what is queued).
inline constexpr Millis kConfigInputTimeout{200};
// The update port's input time-out, stored the same way.
inline constexpr Millis kUpdateInputTimeout{10};
// A cancelled worker has this long to close the port and end.
inline constexpr Millis kShutdown{3000};
}  // namespace limits

// Shared by whoever cancels and whoever waits; copies share one state.
class CancelToken {
 public:
  CancelToken() : state_(std::make_shared<State>()) {}
  void Cancel();
  bool Cancelled() const;
  // Sleeps for `duration` unless cancelled meanwhile; true when not cancelled.
  bool SleepFor(Millis duration) const;

 private:
  struct State {
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool cancelled = false;
  };
  std::shared_ptr<State> state_;
};

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;
  // `cancel` may be null: then only the time ends the wait.
  explicit Deadline(Millis limit, const CancelToken* cancel = nullptr)
      : limit_(limit), end_(Clock::now() + limit), cancel_(cancel) {}

  bool Passed() const { return Clock::now() >= end_; }
  bool Cancelled() const { return cancel_ && cancel_->Cancelled(); }
  // Progress was made: the limit counts again from now.
  void Restart() { end_ = Clock::now() + limit_; }
  // Sleeps `step`, or less where the deadline comes first; false when the
  // wait is over (cancelled, or the deadline passed).
  bool Sleep(Millis step) const;

 private:
  Millis limit_;
  Clock::time_point end_;
  const CancelToken* cancel_;
};

}  // namespace tivolan
