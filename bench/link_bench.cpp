// Reads and writes a simulated panel N times over a pseudo-terminal, paced
// at 9600 baud, and prints the median time of each next to the floor the
// protocol's own timing allows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "link/ExchangeOperation.h"
#include "model/DefaultImages.h"
#include "sim/SimPort.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double WireMs(int bytes) { return bytes * 10.0 * 1000.0 / 9600.0; }

}  // namespace

int main(int argc, char** argv) {
  using namespace tivolan;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  sim::SimOptions options;
  sim::SimPort port(options);
  port.Start();
  EventLoop loop;
  LoopPollTimer timer(loop);
  TDataModule1 dm(CreateSystemSerialDevice(), &timer);
  dm.cmprtdrvr1.SetPortName(port.SlavePath());
  SharedData data;
  struct Quiet final : Prompter {
    void Show(const MessageBox&) override {}
    bool AskYesNo(const MessageBox&) override { return true; }
  } quiet;
  SetDefaultImage(data.ConfigBuffer, 1, quiet);

  std::vector<double> reads, writes;
  for (int i = 0; i < runs; ++i) {
    for (LinkMode mode : {LinkMode::Read, LinkMode::Write}) {
      const auto start = std::chrono::steady_clock::now();
      const auto outcome = RunExchange(loop, dm, data, mode);
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (outcome.finalCode > 1) {
        std::fprintf(stderr, "exchange failed with code %d\n", outcome.finalCode);
        return 1;
      }
      (mode == LinkMode::Read ? reads : writes).push_back(ms);
    }
  }
  const double poll = dm.cmprtdrvr1.PollingDelay();
  const double readWire = WireMs(10 + 47);
  const double writeWire = WireMs(46 + 47);
  // The answer reaches the worker at the first poll tick after it is
  // complete (the poll starts with the port), then at the worker's next step.
  std::printf("runs: %d, type 1 panel, 9600 baud, receive poll %.0f ms\n", runs, poll);
  std::printf("read : median %7.1f ms   floor %7.1f ms (wire %.1f ms, first poll tick %.0f ms)\n", Median(reads),
              std::max(readWire, poll), readWire, poll);
  std::printf("write: median %7.1f ms   floor %7.1f ms (wire %.1f ms, first poll tick %.0f ms)\n", Median(writes),
              std::max(writeWire, poll), writeWire, poll);
  return 0;
}
