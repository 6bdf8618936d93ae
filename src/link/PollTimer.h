#pragma once
// The periodic callback that drives a port's receive poll. The owner's event
// loop provides it (a QTimer in the desktop program, EventLoop elsewhere);
// ticks run on the owner's thread, Start and Stop may be called from any.
#include <functional>

namespace tivolan {

class PollTimer {
 public:
  virtual ~PollTimer() = default;
  // (Re)starts ticking every `periodMs`; the first tick comes one period later.
  virtual void Start(unsigned periodMs, std::function<void()> onTick) = 0;
  virtual void Stop() = 0;
};

}  // namespace tivolan
