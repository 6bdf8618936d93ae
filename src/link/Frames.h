#pragma once
// Frames of the configuration link: 0x7E, length L (whole frame), command,
// block, data, CRC-8 of bytes 0 .. L-2. No escaping; the length byte alone
// delimits a frame.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/ConfigBuffer.h"

namespace tivolan {

inline constexpr uint8_t kFrameStart = 0x7E;
inline constexpr uint8_t kCmdRead = 0x52;    // 'R'
inline constexpr uint8_t kCmdWrite = 0x57;   // 'W'
inline constexpr uint8_t kCmdAnswer = 0x44;  // 'D'
inline constexpr std::size_t kMaxFrame = 201;
inline constexpr std::size_t kRequestLength = 10;
inline constexpr std::size_t kFrameLengthByte = 1;  // where a frame says how long it is
inline constexpr std::size_t kFrameHeader = 4;    // start, length, command, block
inline constexpr std::size_t kFrameOverhead = 5;  // ...and the checksum

// Bytes of an answer as they arrived, all `size()` of them.
using Answer = std::span<const uint8_t>;

// One frame as a value. Built from command, block and data, it carries its
// length and checksum; taken from received bytes, it is there only when
// their count is its length byte and its checksum holds. Frames compare
// byte for byte.
class Frame {
 public:
  static constexpr std::size_t kMaxData = kMaxFrame - kFrameOverhead;

  // nullopt when the data do not fit a frame.
  static std::optional<Frame> Make(uint8_t command, uint8_t block, std::span<const uint8_t> data);
  // The acceptance of every answer: something arrived, the count equals the
  // frame's own length byte and fits `capacity` (what would lie beyond was
  // never stored), and the checksum matches.
  static std::optional<Frame> Accept(Answer received, std::size_t capacity = kMaxFrame);

  // Command and block of a frame shorter than its header read as 0.
  uint8_t Command() const { return bytes_[2]; }
  uint8_t Block() const { return bytes_[3]; }
  // Between the block byte and the checksum.
  std::span<const uint8_t> Data() const;

  Answer Bytes() const { return {bytes_.data(), size_}; }
  const uint8_t* data() const { return bytes_.data(); }
  std::size_t size() const { return size_; }
  const uint8_t* begin() const { return bytes_.data(); }
  const uint8_t* end() const { return bytes_.data() + size_; }

  friend bool operator==(const Frame& a, const Frame& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  std::array<uint8_t, kMaxFrame> bytes_{};
  std::size_t size_ = 0;
};

// Read request of a block: 7E 0A 52 block 00 00 00 00 00 crc.
Frame MakeRequestFrame(uint8_t block);

// Fills header and checksum of the block-1 write frame held in `buffer` for a
// device type; returns its length L (46, 48, 16), or 0 for an unknown type.
int CompleteWriteFrame(ImageBuffer& buffer, int type);

bool LengthMatches(Answer a);
// Frame::Accept as a yes or no.
bool AnswerAccepted(Answer a, std::size_t capacity = kMaxFrame);

// Further checks, applied after acceptance. Answers carry no request
// number: an answer is taken only as what its request asked for, the block
// and the frame kind, and for block 1 the length of its type's layout.
// Read block 1: a 0x44 frame whose type byte is 1..3.
bool IsConfigAnswer(Answer a);
// An answer to a request of `block` (2..4): 0x7E, 0x44, that block.
bool IsBlockAnswer(Answer a, uint8_t block);
// Read blocks 3, 4: 0x7E, length above 5, 0x44; otherwise the answer is
// ignored (an answer of another block is none to the request: it fails).
bool IsUsableBlockAnswer(Answer a);
// Write block 1: a configuration answer of the selected type, as long as
// that type's layout.
bool WriteAnswerTypeMatches(Answer a, int type);
// Write block 1: read-back bytes 5..5+n-1 equal frame bytes 4..4+n-1.
bool WriteReadBackMatches(Answer a, const ImageBuffer& frame, int type);
// Write block 2: 0x7E, block 2, 0x44, and bytes 4..L-3 equal those of the
// frame sent (its last data byte is not compared).
bool DestWriteAnswerMatches(Answer a, const Frame& sent);
// Write blocks 3, 4: an answer of the block sent whose bytes 4..L-2 equal
// those of the frame sent; its length byte not compared.
bool BlockWriteAnswerMatches(Answer a, const Frame& sent);

// The answer to the block-1 request, parsed into a copy of ConfigBuffer:
// the payload lands one index lower, header and checksum stay.
struct StagedConfig {
  ImageBuffer config{};
  uint8_t version = 0;
};
// Returns the device type 1..3, or 255 for no device answer, or one whose
// length is not its type's (nothing copied).
uint8_t ParseConfigAnswer(Answer answer, StagedConfig& staged);

// Send-ready storage: ConfigBuffer holds one frame at its start, byte 1 its
// length. The bytes behind the frame are no part of it and stay as they are.
template <std::size_t N>
using FrameStorage = std::array<uint8_t, N>;

// Stores a whole frame; false, with nothing changed, when it does not fit.
template <std::size_t N>
bool StoreFrame(const Frame& frame, FrameStorage<N>& storage) {
  if (frame.size() > N) return false;
  std::copy(frame.begin(), frame.end(), storage.begin());
  return true;
}

// The frame held, when its length byte fits the storage and its checksum
// holds; what was built since it was sealed last (a page changes a field in
// place) is no frame until the next build.
template <std::size_t N>
std::optional<Frame> StoredFrame(const FrameStorage<N>& storage) {
  static_assert(N >= kFrameOverhead);
  const std::size_t length = storage[kFrameLengthByte];
  if (length < kFrameOverhead || length > N) return std::nullopt;
  return Frame::Accept({storage.data(), length});
}

// The data region, whatever byte 1 says: what a device or a file left there
// is read within the storage's bytes, and a page changes a field in place.
template <std::size_t N>
std::span<const uint8_t> StoredData(const FrameStorage<N>& storage) {
  return std::span<const uint8_t>(storage).subspan(kFrameHeader);
}
template <std::size_t N>
std::span<uint8_t> StoredData(FrameStorage<N>& storage) {
  return std::span<uint8_t>(storage).subspan(kFrameHeader);
}

}  // namespace tivolan
