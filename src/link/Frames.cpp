#include "link/Frames.h"

#include "link/BCC.h"
#include "model/DeviceCatalogue.h"

namespace tivolan {

std::optional<Frame> Frame::Make(uint8_t command, uint8_t block, std::span<const uint8_t> data) {
  if (data.size() > kMaxData) return std::nullopt;
  Frame f;
  f.size_ = data.size() + kFrameOverhead;
  f.bytes_[0] = kFrameStart;
  f.bytes_[kFrameLengthByte] = static_cast<uint8_t>(f.size_);
  f.bytes_[2] = command;
  f.bytes_[3] = block;
  std::copy(data.begin(), data.end(), f.bytes_.begin() + kFrameHeader);
  f.bytes_[f.size_ - 1] = FrameChecksum(f.bytes_.data(), f.size_ - 1);
  return f;
}

std::optional<Frame> Frame::Accept(Answer received, std::size_t capacity) {
  if (received.empty() || received.size() > std::min(capacity, kMaxFrame) || !LengthMatches(received))
    return std::nullopt;
  if (FrameChecksum(received.data(), received.size() - 1) != received.back()) return std::nullopt;
  Frame f;
  f.size_ = received.size();
  std::copy(received.begin(), received.end(), f.bytes_.begin());
  return f;
}

std::span<const uint8_t> Frame::Data() const {
  if (size_ < kFrameOverhead) return {};
  return {bytes_.data() + kFrameHeader, size_ - kFrameOverhead};
}

Frame MakeRequestFrame(uint8_t block) {
  constexpr std::array<uint8_t, kRequestLength - kFrameOverhead> kNothing{};
  return *Frame::Make(kCmdRead, block, kNothing);
}

int CompleteWriteFrame(ImageBuffer& buffer, int type) {
  const int n = PayloadSize(type);
  if (n == 0) return 0;
  const auto frame = Frame::Make(kCmdWrite, 1, StoredData(buffer).first(static_cast<std::size_t>(n)));
  StoreFrame(*frame, buffer);
  return static_cast<int>(frame->size());
}

bool LengthMatches(Answer a) { return a.size() > kFrameLengthByte && a[kFrameLengthByte] == a.size(); }

bool AnswerAccepted(Answer a, std::size_t capacity) { return Frame::Accept(a, capacity).has_value(); }

bool IsConfigAnswer(Answer a) {
  return a.size() >= 4 && a[0] == kFrameStart && a[2] == kCmdAnswer && IsKnownDeviceType(a[3]);
}

bool IsBlockAnswer(Answer a, uint8_t block) {
  return a.size() >= kFrameOverhead && a[0] == kFrameStart && a[2] == kCmdAnswer && a[3] == block;
}

bool IsUsableBlockAnswer(Answer a) {
  return a.size() >= 3 && a[0] == kFrameStart && a[1] > 5 && a[2] == kCmdAnswer;
}

namespace {
// Type byte, version, the type's configuration bytes: start, length, command
// and checksum around them.
bool HasLayoutLength(Answer a, int type) {
  return a.size() == kFrameOverhead + 1 + static_cast<std::size_t>(PayloadSize(type));
}
}  // namespace

bool WriteAnswerTypeMatches(Answer a, int type) { return IsConfigAnswer(a) && a[3] == type && HasLayoutLength(a, type); }

bool WriteReadBackMatches(Answer a, const ImageBuffer& frame, int type) {
  const std::size_t n = static_cast<std::size_t>(PayloadSize(type));
  if (n == 0 || a.size() < 5 + n) return false;
  const auto sent = StoredData(frame).first(n);
  return std::equal(sent.begin(), sent.end(), a.begin() + 5);
}

namespace {
// Compares the first `count` data bytes of the answer with those sent.
bool SameData(Answer a, const Frame& sent, std::size_t count) {
  if (count == 0) return true;
  if (a.size() < kFrameHeader + count) return false;
  const auto data = sent.Data().first(count);
  return std::equal(data.begin(), data.end(), a.begin() + kFrameHeader);
}
}  // namespace

bool DestWriteAnswerMatches(Answer a, const Frame& sent) {
  if (!IsBlockAnswer(a, 2)) return false;
  const std::size_t data = sent.Data().size();
  return data < 2 || SameData(a, sent, data - 1);
}

bool BlockWriteAnswerMatches(Answer a, const Frame& sent) {
  return IsBlockAnswer(a, sent.Block()) && SameData(a, sent, sent.Data().size());
}

uint8_t ParseConfigAnswer(Answer a, StagedConfig& staged) {
  constexpr uint8_t kNoDevice = 255;
  if (!IsConfigAnswer(a) || !HasLayoutLength(a, a[3])) return kNoDevice;
  const int type = a[3];
  const std::size_t n = static_cast<std::size_t>(PayloadSize(type));
  std::copy_n(a.begin() + 5, n, staged.config.begin() + kPayloadStart);
  staged.version = a[4];
  return static_cast<uint8_t>(type);
}

}  // namespace tivolan
