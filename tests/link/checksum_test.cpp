#include <gtest/gtest.h>

#include <cstring>

#include "link/BCC.h"
#include "link/Frames.h"

namespace tivolan {
namespace {

// An independent reference: CRC-8 with the forward polynomial 0x1D computed
// bit by bit on bit-reversed input, reversed at the end. Same CRC, different
// arithmetic from the table code.
uint8_t Reverse(uint8_t v) {
  uint8_t r = 0;
  for (int i = 0; i < 8; ++i) r = static_cast<uint8_t>(r | (((v >> i) & 1) << (7 - i)));
  return r;
}
uint8_t ReferenceCrc(const uint8_t* data, std::size_t n) {
  uint8_t crc = 0;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= Reverse(data[i]);
    for (int b = 0; b < 8; ++b) crc = static_cast<uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x1D : crc << 1);
  }
  return Reverse(crc);
}

TEST(FrameChecksum, TableMatchesIndependentReferenceForEverySingleByte) {
  for (int i = 0; i < 256; ++i) {
    const uint8_t byte = static_cast<uint8_t>(i);
    EXPECT_EQ(CrcTable[static_cast<std::size_t>(i)], ReferenceCrc(&byte, 1)) << "entry " << i;
  }
}

TEST(FrameChecksum, KnownTableEntriesAndCheckValue) {
  EXPECT_EQ(CrcTable[0x00], 0x00);
  EXPECT_EQ(CrcTable[0x01], 0x64);
  EXPECT_EQ(CrcTable[0x02], 0xC8);
  EXPECT_EQ(CrcTable[0x80], 0xB8);
  EXPECT_EQ(CrcTable[0xFF], 0x23);
  const char* digits = "123456789";
  EXPECT_EQ(FrameChecksum(reinterpret_cast<const uint8_t*>(digits), 9), 0x56);
}

TEST(FrameChecksum, LongRandomishInputAgreesWithReference) {
  uint8_t data[1000];
  uint32_t x = 12345;
  for (auto& b : data) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  EXPECT_EQ(FrameChecksum(data, sizeof data), ReferenceCrc(data, sizeof data));
  EXPECT_EQ(FrameChecksum(data, 0), 0);
}

}  // namespace
}  // namespace tivolan
