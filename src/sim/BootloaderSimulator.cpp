#include "sim/BootloaderSimulator.h"

namespace tivolan::sim {

Bytes MakeBootBlock(const Bytes& data) {
  Bytes block{static_cast<uint8_t>(data.size() >> 8), static_cast<uint8_t>(data.size())};
  block.insert(block.end(), data.begin(), data.end());
  return block;
}

BootloaderSimulator::BootloaderSimulator(DeviceSetup setup) : setup_(std::move(setup)) {}

std::vector<Reply> BootloaderSimulator::Feed(const uint8_t* data, std::size_t count, std::vector<Bytes>* completed) {
  pending_.insert(pending_.end(), data, data + count);
  std::vector<Reply> replies;
  std::size_t used = 0;
  // Nothing marks a block's start: every byte belongs to the block whose
  // length came first, so a block may arrive in any number of pieces.
  while (pending_.size() - used >= 2) {
    const std::size_t size = 2 + (std::size_t{pending_[used]} << 8 | pending_[used + 1]);
    if (pending_.size() - used < size) break;
    Bytes block(pending_.begin() + static_cast<long>(used), pending_.begin() + static_cast<long>(used + size));
    used += size;
    ++blockCount_;
    if (blocks_.size() == kBlockLogSize) blocks_.pop_front();
    blocks_.push_back(block);
    if (completed) completed->push_back(std::move(block));
    replies.push_back(Verdict(blockCount_));
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(used));
  return replies;
}

Reply BootloaderSimulator::Verdict(std::size_t blockNumber) const {
  Reply reply;
  reply.bytes = {kVerdictAccepted};
  const bool atFaultBlock = setup_.atBlock > 0 && blockNumber == static_cast<std::size_t>(setup_.atBlock);
  switch (setup_.fault) {
    case Fault::Reject:
      if (atFaultBlock) reply.bytes = {kVerdictRejected};
      break;
    case Fault::ZeroVerdict:
      if (atFaultBlock) reply.bytes = {0x00};
      break;
    case Fault::NoAnswer:
      if (atFaultBlock) reply.bytes.clear();
      break;
    case Fault::HangUp:
      // The line drops before the verdict: nothing goes out.
      if (atFaultBlock) {
        reply.bytes.clear();
        reply.hangUpAfter = true;
      }
      break;
    case Fault::ExtraVerdictBytes:
      // Together, so the program most likely gets them in one delivery.
      reply.bytes.insert(reply.bytes.end(), kExtraVerdictBytes.begin(), kExtraVerdictBytes.end());
      reply.atOnce = true;
      break;
    default: break;  // a panel's faults shape frames, which a boot loader does not send
  }
  return reply;
}

}  // namespace tivolan::sim
