#pragma once
// The programming exchange against the in-process simulator over a real
// pseudo-terminal: the worker, the receive poll and the reports run exactly
// as in the programs.
#include <chrono>
#include <vector>

#include "link/EventLoop.h"
#include "link/ExchangeOperation.h"
#include "link/GsmBlocks.h"
#include "link/UnitData.h"
#include "model/DefaultImages.h"
#include "sim/SimPort.h"
#include "support/RecordingPrompter.h"
#include "support/StatusCodes.h"

namespace tivolan::test {

struct TimedCode {
  LinkStatus code;
  double atMs;  // since the exchange started
};

class SimFixture {
 public:
  explicit SimFixture(sim::SimOptions options) : sim_(std::move(options)) {
    dataModule.cmprtdrvr1.SetPortName(sim_.SlavePath());
    sim_.Start();
    SelectType(1);
  }

  void SelectType(int type) {
    RecordingPrompter prompter;
    data.DeviceType = static_cast<uint8_t>(type);
    SetDefaultImage(data.ConfigBuffer, type, prompter);
  }

  // `gsm`: the GSM block steps, as the programs run them; without, a
  // configuration that uses GSM fails.
  ExchangeOutcome Run(LinkMode mode, const GsmBlockSteps* steps = nullptr) {
    timed.clear();
    const auto start = std::chrono::steady_clock::now();
    return RunExchange(
        loop, dataModule, data, mode,
        [&](LinkStatus code, int) {
          const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
          timed.push_back({code, ms});
        },
        steps);
  }
  ExchangeOutcome RunWithGsm(LinkMode mode) { return Run(mode, &gsm); }

  double MsBetween(LinkStatus fromCode, LinkStatus toCode) const {
    double from = -1;
    for (const auto& t : timed) {
      if (t.code == fromCode && from < 0) from = t.atMs;
      if (t.code == toCode && from >= 0) return t.atMs - from;
    }
    return -1;
  }

  sim::SimPort& Sim() { return sim_; }

  EventLoop loop;
  LoopPollTimer timer{loop};
  TDataModule1 dataModule{CreateSystemSerialDevice(), &timer};
  SharedData data;
  GsmBlockExchange gsm;
  std::vector<TimedCode> timed;

 private:
  sim::SimPort sim_;
};

inline sim::SimOptions Device(int type, sim::Fault fault = sim::Fault::None, int version = 3) {
  sim::SimOptions o;
  o.device.type = type;
  o.device.version = version;
  o.device.fault = fault;
  return o;
}

}  // namespace tivolan::test
