#include "win/SimPortWin.h"

#include <algorithm>
#include <sstream>

#include "model/HexText.h"

namespace tivolan::sim {
namespace {

// tivolan-sim's arguments for what the tests set.
std::string Arguments(const SimOptions& o) {
  const DeviceSetup& d = o.device;
  std::string args = o.bootloader ? "--bootloader" : "--type " + std::to_string(d.type);
  if (!o.bootloader && d.version != 3) args += " --version " + std::to_string(d.version);
  if (!d.payload.empty()) args += " --image " + test::HexOf(d.payload);
  for (int b = 2; b <= 4; ++b)
    if (!d.blocks[static_cast<std::size_t>(b - 2)].empty())
      args += " --block " + std::to_string(b) + "=" + test::HexOf(d.blocks[static_cast<std::size_t>(b - 2)]);
  if (d.fault != Fault::None) args += std::string(" --fault ") + FaultName(d.fault);
  if (d.faultBlock != 0) args += " --fault-block " + std::to_string(d.faultBlock);
  if (o.bootloader && d.fault != Fault::None) args += " --at-block " + std::to_string(d.atBlock);
  if (d.delayMs != 0) args += " --delay " + std::to_string(d.delayMs);
  if (!d.delays.empty()) {
    args += " --delays ";
    for (std::size_t i = 0; i < d.delays.size(); ++i) args += (i ? "," : "") + std::to_string(d.delays[i]);
  }
  if (d.counter) args += " --counter";
  if (d.changeAfterReads != 0) args += " --change-after " + std::to_string(d.changeAfterReads);
  if (!d.changedPayload.empty()) args += " --changed-image " + test::HexOf(d.changedPayload);
  return args;
}

}  // namespace

SimPort::SimPort(SimOptions options)
    : options_(std::move(options)), bridge_(std::make_unique<test::ComBridge>("SIM " + Arguments(options_))) {}

// The log holds a line of hex pairs per frame (or block), and the line
// settings it found wrong, which are no frame.
std::vector<Bytes> SimPort::ReceivedFrames() const {
  const Bytes log = test::BytesOfHex(bridge_->Call("LOG"));
  std::istringstream lines(std::string(log.begin(), log.end()));
  std::vector<Bytes> frames;
  for (std::string line; std::getline(lines, line);) {
    line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
    if (const auto bytes = tivolan::BytesOfHex(line); bytes && !bytes->empty()) frames.push_back(*bytes);
  }
  return frames;
}

PanelSimulator SimPort::Replay() const {
  PanelSimulator replay(options_.device);
  for (const Bytes& frame : ReceivedFrames()) replay.Feed(frame.data(), frame.size());
  return replay;
}

Bytes SimPort::Payload() const { return Replay().Payload(); }

Bytes SimPort::Block(int block) const { return Replay().Block(block); }

}  // namespace tivolan::sim
