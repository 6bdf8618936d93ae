#include "link/QuietWatch.h"

#include <algorithm>

namespace tivolan {

QuietWatch::QuietWatch(Time start, Millis firstQuiet, Time owedUntil)
    : quietAt_(std::max(start + firstQuiet, owedUntil)) {}

void QuietWatch::Heard(Time now) {
  if (!heard_) giveUpAt_ = now + limits::kDrainMost;
  heard_ = true;
  quietAt_ = now + limits::kLineQuiet;
}

QuietWatch::Verdict QuietWatch::At(Time now) const {
  if (now >= quietAt_) return Verdict::Quiet;
  return now >= giveUpAt_ ? Verdict::GiveUp : Verdict::Wait;
}

}  // namespace tivolan
