#pragma once
// When a line is quiet enough for a request to go out, and when draining it
// is given up. Answers carry no request number, so bytes that come while no
// answer is awaited are drained until none has come for limits::kLineQuiet.
// Before any byte comes, the watch lasts its first period (kQuietAtOpen
// right after the port opened) and, while an answer may still come, until
// then; once bytes came, that answer has come. A line that talks on for
// limits::kDrainMost from its first byte is given up. The watch is told the
// time instead of reading a clock, so that a test can play the time.
#include <chrono>

#include "link/Deadline.h"

namespace tivolan {

class QuietWatch {
 public:
  using Clock = std::chrono::steady_clock;
  using Time = Clock::time_point;
  enum class Verdict { Wait, Quiet, GiveUp };

  // From `start`: silent for `firstQuiet`, and until `owedUntil` when later.
  QuietWatch(Time start, Millis firstQuiet, Time owedUntil = {});

  // Bytes arrived by `now`.
  void Heard(Time now);
  Verdict At(Time now) const;
  bool HeardAny() const { return heard_; }

 private:
  Time quietAt_;
  Time giveUpAt_ = Time::max();
  bool heard_ = false;
};

}  // namespace tivolan
