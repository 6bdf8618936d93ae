#pragma once
// The boot loader a panel starts with its jumper set, as far as the
// firmware update relies on it: length-prefixed blocks in, one verdict byte
// out per block, optionally with one fault.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "sim/PanelSimulator.h"

namespace tivolan::sim {

constexpr uint8_t kVerdictAccepted = 0x11;
constexpr uint8_t kVerdictRejected = 0x22;
// What Fault::ExtraVerdictBytes appends to every verdict.
inline const Bytes kExtraVerdictBytes{0x55, 0xAA};
// The boot loader's fixed line speed.
constexpr uint32_t kBootloaderBaud = 115200;

class BootloaderSimulator {
 public:
  // Uses setup.fault and setup.atBlock; the rest of a panel's setup does not
  // apply.
  explicit BootloaderSimulator(DeviceSetup setup);

  // The log keeps this many of the newest blocks, as the panel's frame log.
  static constexpr std::size_t kBlockLogSize = 256;

  // Feeds received bytes; returns one reply per complete block, in order (a
  // block left without verdict gets a reply without bytes, so replies pair
  // with blocks). Each complete block, with its two length bytes, goes to
  // the log and, when `completed` is given, is appended there too.
  std::vector<Reply> Feed(const uint8_t* data, std::size_t count, std::vector<Bytes>* completed = nullptr);

  // The newest blocks received (at most kBlockLogSize), oldest first.
  const std::deque<Bytes>& Blocks() const { return blocks_; }
  // Every block received since the start, including those the log dropped.
  std::size_t BlockCount() const { return blockCount_; }

 private:
  Reply Verdict(std::size_t blockNumber) const;

  DeviceSetup setup_;
  Bytes pending_;
  std::deque<Bytes> blocks_;
  std::size_t blockCount_ = 0;
};

// A block: N (two bytes, most significant first), then the N data bytes.
Bytes MakeBootBlock(const Bytes& data);

}  // namespace tivolan::sim
