#include "sim/PanelSimulator.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "link/BCC.h"
#include "link/Frames.h"
#include "link/GsmRecords.h"
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
  if (block == kDestBlock) return DestSettings{}.Pack();
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
  const auto frame = Frame::Make(command, block, data);
  if (!frame) throw std::length_error(std::to_string(data.size()) + " data bytes do not fit a frame");
  return Bytes(frame->begin(), frame->end());
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
    if (data.size() > Frame::kMaxData)
      throw std::length_error("block " + std::to_string(b) + " holds more than " + std::to_string(Frame::kMaxData) +
                              " bytes");
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
    const std::size_t length = pending_[kFrameLengthByte];
    if (length < kFrameOverhead) {
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
    const auto accepted = Frame::Accept(frame);
    if (!accepted) continue;  // a device stays silent
    if (auto reply = Answer(*accepted)) replies.push_back(std::move(*reply));
  }
  return replies;
}

std::optional<Reply> PanelSimulator::Answer(const Frame& frame) {
  const uint8_t command = frame.Command();
  const int block = frame.Block();
  if (block < 1 || block > 4) return std::nullopt;
  bool readBack = false;
  if (command == kCmdWrite) {
    const Bytes data(frame.Data().begin(), frame.Data().end());
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
  if (block > 1) return Deliver(static_cast<uint8_t>(block), Block(block), readBack, block);
  // Block-1 answer: the "block" byte is the device type, then the version.
  const int version = setup_.version + (setup_.counter ? blockOneFrames_ : 0);
  ++blockOneFrames_;
  Bytes data{static_cast<uint8_t>(version)};
  data.insert(data.end(), payload_.begin(), payload_.end());
  if (command == kCmdRead && ++blockOneReads_ == setup_.changeAfterReads) ChangeImage();
  return Deliver(static_cast<uint8_t>(setup_.type), std::move(data), readBack, block);
}

void PanelSimulator::ChangeImage() {
  if (!setup_.changedPayload.empty())
    payload_ = setup_.changedPayload;
  else if (!payload_.empty())
    payload_[0] ^= 0x01;
}

int PanelSimulator::NextDelay() {
  const std::vector<int>& delays = setup_.delays;
  if (delays.empty()) return setup_.delayMs;
  return delays[std::min(delayed_++, delays.size() - 1)];
}

Reply PanelSimulator::Deliver(uint8_t blockByte, Bytes data, bool isWriteReadBack, int block) {
  Reply reply;
  const bool faulty = setup_.faultBlock == 0 || setup_.faultBlock == block;
  const Fault fault = faulty ? setup_.fault : Fault::None;
  // Block 1: the last data byte. Blocks 2..4: the first, as the check of
  // block 2 leaves its last data byte out.
  if (fault == Fault::ReadBackDiffers && isWriteReadBack && !data.empty())
    data[block > 1 ? 0 : data.size() - 1] ^= 0x01;
  // The answer names another device type (block 1) or another block.
  if (fault == Fault::WrongType) blockByte = static_cast<uint8_t>(setup_.wrongType);
  Bytes answer = MakeFrame(kCmdAnswer, blockByte, data);
  switch (fault) {
    case Fault::None:
    case Fault::WrongType:
    case Fault::Stall:  // once the line is let go, answers are normal
    case Fault::Reject:
    case Fault::ZeroVerdict:
    case Fault::ExtraVerdictBytes: break;  // verdicts are the boot loader's; a panel has none
    case Fault::NoAnswer: return Reply{};
    case Fault::Truncated: answer.resize(answer.size() - 3); break;
    case Fault::BadChecksum: answer.back() ^= 0x5A; break;
    case Fault::ReadBackDiffers: break;  // in the data, above
    case Fault::Delay: reply.delayMs = NextDelay(); break;
    case Fault::Oversized: {
      // Longer than any frame may be, so no Frame holds it: its length byte
      // and checksum are set as a frame's would be.
      answer.resize(230, 0x00);
      answer[kFrameLengthByte] = 230;
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
