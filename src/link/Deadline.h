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
// awaited (the rest of an answer that missed its limit, noise) are drained
// until the line has been quiet this long, far beyond any gap inside a frame.
inline constexpr Millis kLineQuiet{10 * kWaitStep};
// A line that talks on for this long from its first unasked byte is given up
// (a device that keeps talking, noise).
inline constexpr Millis kDrainMost{40 * kWaitStep};
// A request that got not a byte of an answer may still be answered until this
// long after it went out. Until then its answer is awaited and drained: the
// port stays open, or the next exchange on the port waits before its first
// request, so that the answer is never taken for a later request's.
inline constexpr Millis kLateAnswerMost{120 * kWaitStep};
// Right after the port opened nothing is known of what an earlier program
// asked: the first request waits for the line to be quiet this long, and an
// answer still on its way is heard and drained. It ends well before the
// first receive poll (kConfigPoll), which takes the answer of a device that
// answers in time (a block-1 request and its answer are on the wire for at
// most 100 ms), so that costs nothing.
inline constexpr Millis kQuietAtOpen{5 * kWaitStep};
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
