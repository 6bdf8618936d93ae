#include "link/Frames.h"

#include <algorithm>

#include "link/BCC.h"
#include "model/DeviceCatalogue.h"

namespace tivolan {

RequestFrame MakeRequestFrame(uint8_t block) {
  RequestFrame f{kFrameStart, static_cast<uint8_t>(kRequestLength), kCmdRead, block, 0, 0, 0, 0, 0, 0};
  f[kRequestLength - 1] = FrameChecksum(f.data(), kRequestLength - 1);
  return f;
}

void SealFrame(uint8_t* frame) {
  const std::size_t length = frame[1];
  frame[length - 1] = FrameChecksum(frame, length - 1);
}

int CompleteWriteFrame(ImageBuffer& buffer, int type) {
  const int length = WriteFrameLength(type);
  if (length == 0) return 0;
  buffer[0] = kFrameStart;
  buffer[1] = static_cast<uint8_t>(length);
  buffer[2] = kCmdWrite;
  buffer[3] = 1;
  SealFrame(buffer.data());
  return length;
}

bool LengthMatches(const Answer& a) { return a.count >= 2 && a.bytes[1] == a.count; }

bool AnswerAccepted(const Answer& a, std::size_t capacity) {
  if (a.count == 0 || a.count > capacity || !LengthMatches(a)) return false;
  return FrameChecksum(a.bytes, a.count - 1) == a.bytes[a.count - 1];
}

bool IsConfigAnswer(const Answer& a) {
  return a.count >= 4 && a.bytes[0] == kFrameStart && a.bytes[2] == kCmdAnswer &&
         IsKnownDeviceType(a.bytes[3]);
}

bool IsUsableBlockAnswer(const Answer& a) {
  return a.count >= 3 && a.bytes[0] == kFrameStart && a.bytes[1] > 5 && a.bytes[2] == kCmdAnswer;
}

bool WriteAnswerTypeMatches(const Answer& a, int type) { return a.count >= 4 && a.bytes[3] == type; }

bool WriteReadBackMatches(const Answer& a, const ImageBuffer& frame, int type) {
  const std::size_t n = static_cast<std::size_t>(PayloadSize(type));
  if (n == 0 || a.count < 5 + n) return false;
  return std::equal(frame.begin() + 4, frame.begin() + 4 + static_cast<long>(n), a.bytes + 5);
}

namespace {
// Compares bytes 4 .. last of the answer with those of the sent frame.
bool SameRange(const Answer& a, const uint8_t* frame, std::size_t last) {
  if (last < 4) return true;
  if (a.count <= last) return false;
  return std::equal(frame + 4, frame + last + 1, a.bytes + 4);
}
}  // namespace

bool DestWriteAnswerMatches(const Answer& a, const uint8_t* frame) {
  if (a.count < 4 || a.bytes[0] != kFrameStart || a.bytes[3] != 2 || a.bytes[2] != kCmdAnswer)
    return false;
  const std::size_t length = frame[1];
  return length < 3 || SameRange(a, frame, length - 3);
}

bool BlockWriteAnswerMatches(const Answer& a, const uint8_t* frame) {
  const std::size_t length = frame[1];
  return length < 2 || SameRange(a, frame, length - 2);
}

}  // namespace tivolan
