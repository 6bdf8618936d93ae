#pragma once
// One read or write run the way the desktop program runs it: the same worker,
// the receive poll and the reports on the calling thread's EventLoop. Used by
// the command-line tool, the benchmark and the tests.
#include <functional>
#include <vector>

#include "link/EventLoop.h"
#include "link/UnitDevProg.h"

namespace tivolan {

struct ExchangeOutcome {
  int finalCode = -1;
  int param = 0;
  std::vector<int> codes;  // every report in order
};

// `dataModule` must poll through a LoopPollTimer on `loop`. `onReport` runs
// on the calling thread for every code, before the worker goes on.
ExchangeOutcome RunExchange(EventLoop& loop, TDataModule1& dataModule, SharedData& data, LinkMode mode,
                            const std::function<void(int code, int param)>& onReport = {},
                            GsmBlockSteps* gsm = nullptr);

}  // namespace tivolan
