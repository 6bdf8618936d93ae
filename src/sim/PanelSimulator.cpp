#include "sim/PanelSimulator.h"

#include <algorithm>

#include "link/BCC.h"
#include "link/Frames.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"

namespace tivolan::sim {
namespace {

struct FaultNameRow {
  Fault fault;
  const char* name;
};
constexpr FaultNameRow kFaultNames[] = {
    {Fault::None, "none"},          {Fault::NoAnswer, "no-answer"},      {Fault::Truncated, "truncated"},
    {Fault::BadChecksum, "bad-crc"}, {Fault::WrongType, "wrong-type"},   {Fault::ReadBackDiffers, "readback"},
    {Fault::Delay, "delay"},         {Fault::Oversized, "oversized"},    {Fault::HangUp, "hangup"},
    {Fault::Stall, "stall"},        {Fault::Reject, "reject"},           {Fault::ZeroVerdict, "zero-verdict"},
    {Fault::ExtraVerdictBytes, "extra-verdict-bytes"},
};

// Block 2 of a fresh device: device number 1, no GPRS, no SMS, five empty
// destinations. Blocks 3 and 4 hold a short empty record.
Bytes DefaultBlock(int block) {
  if (block == 2) return {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  return Bytes(10, 0x00);
}

}  // namespace

std::optional<Fault> ParseFault(const std::string& name) {
  for (const auto& row : kFaultNames)
    if (name == row.name) return row.fault;
  return std::nullopt;
}

const char* FaultName(Fault fault) {
  for (const auto& row : kFaultNames)
    if (row.fault == fault) return row.name;
  return "?";
}

Bytes MakeFrame(uint8_t command, uint8_t block, const Bytes& data) {
  Bytes frame{kFrameStart, static_cast<uint8_t>(data.size() + 5), command, block};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(FrameChecksum(frame.data(), frame.size()));
  return frame;
}

PanelSimulator::PanelSimulator(DeviceSetup setup) : setup_(std::move(setup)) {
  payload_ = setup_.payload;
  if (payload_.empty()) {
    const auto defaults = DefaultPayload(setup_.type);
    payload_.assign(defaults.begin(), defaults.end());
  }
  for (int b = 2; b <= 4; ++b) {
    Bytes& data = blocks_[static_cast<std::size_t>(b - 2)];
    data = setup_.blocks[static_cast<std::size_t>(b - 2)];
    if (data.empty()) data = DefaultBlock(b);
  }
}

std::vector<Reply> PanelSimulator::Feed(const uint8_t* data, std::size_t count, std::vector<Bytes>* completed) {
  pending_.insert(pending_.end(), data, data + count);
  std::vector<Reply> replies;
  for (;;) {
    // Anything before a start byte is line noise.
    const auto start = std::find(pending_.begin(), pending_.end(), kFrameStart);
    pending_.erase(pending_.begin(), start);
    if (pending_.size() < 2) break;
    const std::size_t length = pending_[1];
    if (length < 5) {
      pending_.erase(pending_.begin());
      continue;
    }
    if (pending_.size() < length) break;
    Bytes frame(pending_.begin(), pending_.begin() + static_cast<long>(length));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(length));
    ++frameCount_;
    if (frames_.size() == kFrameLogSize) frames_.pop_front();
    frames_.push_back(frame);
    if (completed) completed->push_back(frame);
    if (FrameChecksum(frame.data(), length - 1) != frame[length - 1]) continue;  // a device stays silent
    if (auto reply = Answer(frame)) replies.push_back(std::move(*reply));
  }
  return replies;
}

// Block-1 answer: the "block" byte is the device type, then the version.
Bytes PanelSimulator::ConfigAnswer() const {
  const bool wrong = setup_.fault == Fault::WrongType && (setup_.faultBlock == 0 || setup_.faultBlock == 1);
  const int type = wrong ? setup_.wrongType : setup_.type;
  Bytes data{static_cast<uint8_t>(setup_.version)};
  data.insert(data.end(), payload_.begin(), payload_.end());
  return MakeFrame(kCmdAnswer, static_cast<uint8_t>(type), data);
}

Bytes PanelSimulator::BlockAnswer(int block) const { return MakeFrame(kCmdAnswer, static_cast<uint8_t>(block), Block(block)); }

std::optional<Reply> PanelSimulator::Answer(const Bytes& frame) {
  const uint8_t command = frame[2];
  const int block = frame[3];
  if (block < 1 || block > 4) return std::nullopt;
  bool readBack = false;
  if (command == kCmdWrite) {
    Bytes data(frame.begin() + 4, frame.end() - 1);
    if (block == 1) {
      // A frame of another layout does not fit: the device keeps its image
      // and answers with it, naming its own type.
      if (data.size() == payload_.size()) payload_ = data;
    } else {
      blocks_[static_cast<std::size_t>(block - 2)] = data;
    }
    readBack = true;
  } else if (command != kCmdRead) {
    return std::nullopt;
  }
  return Deliver(block == 1 ? ConfigAnswer() : BlockAnswer(block), readBack, block);
}

int PanelSimulator::NextDelay() {
  const std::vector<int>& delays = setup_.delays;
  if (delays.empty()) return setup_.delayMs;
  return delays[std::min(delayed_++, delays.size() - 1)];
}

Reply PanelSimulator::Deliver(Bytes answer, bool isWriteReadBack, int block) {
  Reply reply;
  const bool faulty = setup_.faultBlock == 0 || setup_.faultBlock == block;
  switch (faulty ? setup_.fault : Fault::None) {
    case Fault::None:
    case Fault::WrongType:
    case Fault::Stall:  // once the line is let go, answers are normal
    case Fault::Reject:
    case Fault::ZeroVerdict:
    case Fault::ExtraVerdictBytes: break;  // verdicts are the boot loader's; a panel has none
    case Fault::NoAnswer: return Reply{};
    case Fault::Truncated: answer.resize(answer.size() - 3); break;
    case Fault::BadChecksum: answer.back() ^= 0x5A; break;
    case Fault::ReadBackDiffers:
      if (isWriteReadBack) {
        // Block 1: the last data byte. Blocks 2..4: the first, as the check
        // of block 2 leaves its last data byte out.
        answer[block > 1 && answer.size() > 5 ? 4 : answer.size() - 2] ^= 0x01;
        answer.back() = FrameChecksum(answer.data(), answer.size() - 1);
      }
      break;
    case Fault::Delay: reply.delayMs = NextDelay(); break;
    case Fault::Oversized: {
      answer.resize(230, 0x00);
      answer[1] = 230;
      answer.back() = FrameChecksum(answer.data(), answer.size() - 1);
      break;
    }
    case Fault::HangUp:
      answer.resize(answer.size() / 2);
      reply.hangUpAfter = true;
      break;
  }
  reply.bytes = std::move(answer);
  return reply;
}

}  // namespace tivolan::sim
