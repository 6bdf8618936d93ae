#pragma once
// Frames of the configuration link: 0x7E, length L (whole frame), command,
// block, data, CRC-8 of bytes 0 .. L-2. No escaping; the length byte alone
// delimits a frame.
#include <array>
#include <cstddef>
#include <cstdint>

#include "model/ConfigBuffer.h"

namespace tivolan {

inline constexpr uint8_t kFrameStart = 0x7E;
inline constexpr uint8_t kCmdRead = 0x52;    // 'R'
inline constexpr uint8_t kCmdWrite = 0x57;   // 'W'
inline constexpr uint8_t kCmdAnswer = 0x44;  // 'D'
inline constexpr std::size_t kMaxFrame = 201;
inline constexpr std::size_t kRequestLength = 10;

using RequestFrame = std::array<uint8_t, kRequestLength>;

// Read request of a block: 7E 0A 52 block 00 00 00 00 00 crc.
RequestFrame MakeRequestFrame(uint8_t block);

// Fills header and checksum of the block-1 write frame held in `buffer` for a
// device type; returns its length L (46, 48, 16), or 0 for an unknown type.
int CompleteWriteFrame(ImageBuffer& buffer, int type);

// Stores the checksum of a frame whose byte 1 already holds its length.
void SealFrame(uint8_t* frame);

// The answer of a device as it arrived: bytes below `count`.
struct Answer {
  const uint8_t* bytes;
  std::size_t count;
};

// Acceptance of every answer: something arrived, the count equals the frame's
// own length byte, and the checksum matches. The count must also fit the
// receive buffer: what would lie beyond it was never stored.
bool LengthMatches(const Answer& a);
bool AnswerAccepted(const Answer& a, std::size_t capacity = kMaxFrame);

// Further checks, applied after acceptance.
// Read block 1: a 0x44 frame whose type byte is 1..3.
bool IsConfigAnswer(const Answer& a);
// Read blocks 3, 4: 0x7E, length above 5, 0x44; otherwise the answer is ignored.
bool IsUsableBlockAnswer(const Answer& a);
// Write block 1: answer type byte equals the selected type.
bool WriteAnswerTypeMatches(const Answer& a, int type);
// Write block 1: read-back bytes 5..5+n-1 equal frame bytes 4..4+n-1.
bool WriteReadBackMatches(const Answer& a, const ImageBuffer& frame, int type);
// Write block 2: 0x7E, block 2, 0x44, and bytes 4..L-3 equal those of the frame.
bool DestWriteAnswerMatches(const Answer& a, const uint8_t* frame);
// Write blocks 3, 4: bytes 4..L-2 equal those of the frame; header not compared.
bool BlockWriteAnswerMatches(const Answer& a, const uint8_t* frame);

}  // namespace tivolan
