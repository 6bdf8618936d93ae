#pragma once
// The panels on the other end of the link, as far as the program relies on
// them: frames in, answers out, optionally with one fault.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "link/Frames.h"

namespace tivolan::sim {

using Bytes = std::vector<uint8_t>;

enum class Fault {
  None,
  NoAnswer,       // never answers
  Truncated,      // the length byte promises more than is sent
  BadChecksum,    // the last byte is wrong
  WrongType,      // the answer names another device type (block 1) or another block
  ReadBackDiffers,  // a write's read-back differs in one byte
  Delay,          // the answer comes late
  Oversized,      // a frame longer than 201 bytes
  HangUp,         // the line drops in the middle of an answer
  Stall,          // the line is held from the start: the program's writes make no progress
  // Boot loader only (NoAnswer and HangUp apply there too).
  Reject,             // the verdict is 0x22
  ZeroVerdict,        // the verdict is 0x00
  ExtraVerdictBytes,  // every verdict is followed by other bytes
};

// Parses a fault name as the command line gives it; nullopt when unknown.
std::optional<Fault> ParseFault(const std::string& name);
const char* FaultName(Fault fault);

struct DeviceSetup {
  int type = 1;
  int version = 3;
  Bytes payload;                    // empty: the type's defaults
  std::array<Bytes, 3> blocks;      // data of blocks 2..4 (after the block byte); empty: defaults
  Fault fault = Fault::None;
  int delayMs = 0;                  // Fault::Delay; Fault::Stall: how long the line is held, 0 until released
  std::vector<int> delays;          // Fault::Delay: the faulty answers' delays in turn, the last one for
                                    // every later answer; empty: delayMs for each
  int wrongType = 9;                // Fault::WrongType: the type (block 1) or block byte named
  int faultBlock = 0;               // the block whose answers carry the fault; 0: every block
  int atBlock = 1;                  // boot loader: the block (1-based, counted from the start) that meets the fault
  bool counter = false;             // the version byte counts the block-1 frames: `version` for the first, one
                                    // more for each next, so that an answer shows which request it answers
  int changeAfterReads = 0;         // after answering this many block-1 reads the image changes, as when
                                    // someone edits the panel or swaps it; 0: never
  Bytes changedPayload;             // the image then; empty: the first configuration byte's lowest bit flips
};

// What the device does after a frame: an answer, and how it is sent.
struct Reply {
  Bytes bytes;
  int delayMs = 0;
  bool hangUpAfter = false;  // the line drops once `bytes` went out
  bool atOnce = false;       // `bytes` go out in one write instead of paced
};

class PanelSimulator {
 public:
  explicit PanelSimulator(DeviceSetup setup);

  // The log keeps this many of the newest frames, so a long soak does not
  // grow without bound.
  static constexpr std::size_t kFrameLogSize = 256;

  // Feeds received bytes; returns one reply per complete frame that deserves
  // one. Each complete frame goes to the log and, when `completed` is given,
  // is appended there too.
  std::vector<Reply> Feed(const uint8_t* data, std::size_t count, std::vector<Bytes>* completed = nullptr);

  const Bytes& Payload() const { return payload_; }
  const Bytes& Block(int block) const { return blocks_[static_cast<std::size_t>(block - 2)]; }
  // The newest frames received (at most kFrameLogSize), oldest first.
  const std::deque<Bytes>& Frames() const { return frames_; }
  // Every frame received since the start, including those the log dropped.
  std::size_t FrameCount() const { return frameCount_; }
  int Type() const { return setup_.type; }

 private:
  std::optional<Reply> Answer(const Frame& frame);
  // The answer of `block` with its fault: `blockByte` is the device type for
  // block 1, else the block.
  Reply Deliver(uint8_t blockByte, Bytes data, bool isWriteReadBack, int block);
  int NextDelay();
  void ChangeImage();

  DeviceSetup setup_;
  Bytes payload_;
  std::array<Bytes, 3> blocks_;
  Bytes pending_;
  std::deque<Bytes> frames_;
  std::size_t frameCount_ = 0;
  std::size_t delayed_ = 0;  // faulty answers delayed so far
  int blockOneFrames_ = 0;   // block-1 frames answered so far
  int blockOneReads_ = 0;    // block-1 reads answered so far
};

// A frame: 0x7E, length, command, block, data, checksum; std::length_error
// when the data do not fit one.
Bytes MakeFrame(uint8_t command, uint8_t block, const Bytes& data);

}  // namespace tivolan::sim
