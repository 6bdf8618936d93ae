#pragma once
// sim::SimPort for the widget tests on Windows: tivolan-sim as a process on
// the Linux side, reached as COMn through the COM bridge. What it received
// comes from its log; what it holds, from those frames fed to a simulator
// of the same setup here.
#include <memory>
#include <string>
#include <vector>

#include "sim/PanelSimulator.h"
#include "win/ComBridge.h"

namespace tivolan::sim {

struct SimOptions {
  DeviceSetup device;
  bool bootloader = false;
};

class SimPort {
 public:
  explicit SimPort(SimOptions options);
  // The port box's text for it ("COM12").
  const std::string& SlavePath() const { return bridge_->Port(); }
  void Start() {}  // the process answers from the start

  std::vector<Bytes> ReceivedFrames() const;
  std::size_t ReceivedFrameCount() const { return ReceivedFrames().size(); }
  std::size_t ReceivedBlockCount() const { return ReceivedFrames().size(); }
  Bytes Payload() const;
  Bytes Block(int block) const;  // a GSM block, 2..4

 private:
  PanelSimulator Replay() const;  // what the received frames made of it

  SimOptions options_;
  std::unique_ptr<test::ComBridge> bridge_;
};

}  // namespace tivolan::sim
