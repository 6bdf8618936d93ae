// The contents of GSM blocks 2 to 4 as values: what a device or a file
// holds comes back byte for byte through unpack and pack, and the write
// frame is its data behind the header, sealed.
#include <gtest/gtest.h>

#include "link/GsmRecords.h"
#include "support/FrameBytes.h"

namespace tivolan {
namespace {

using test::Ascii;
using test::Bytes;
using test::Concat;

struct RecordsCase {
  const char* name;
  uint8_t block;
  Bytes data;  // as the block's frame carries it
  friend void PrintTo(const RecordsCase& c, std::ostream* os) { *os << c.name; }
};

// Unpacked into its value type and packed again; and the frame written.
std::pair<BlockData, Frame> RoundTrip(uint8_t block, const Bytes& data) {
  switch (block) {
    case kDestBlock: {
      const DestSettings s = DestSettings::Unpack(data);
      return {s.Pack(), *WriteFrame(s)};
    }
    case kGprsBlock: {
      const GprsSettings s = GprsSettings::Unpack(data);
      return {s.Pack(), WriteFrame(s)};
    }
    default: {
      const SmsList s = SmsList::Unpack(data);
      return {s.Pack(), WriteFrame(s)};
    }
  }
}

class GsmRecordsRoundTrip : public ::testing::TestWithParam<RecordsCase> {};

TEST_P(GsmRecordsRoundTrip, ComesBackByteForByte) {
  const RecordsCase& c = GetParam();
  const auto [packed, frame] = RoundTrip(c.block, c.data);
  EXPECT_EQ(packed, c.data);
  const Bytes header{0x7E, static_cast<uint8_t>(c.data.size() + 5), 0x57, c.block};
  EXPECT_EQ(Bytes(frame.begin(), frame.end()), test::Sealed(Concat({header, c.data})));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, GsmRecordsRoundTrip,
    ::testing::Values(
        RecordsCase{"FreshBlockTwo", 2, {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        // 2 attempts, SIM "1", Voice; then an empty record and a host
        RecordsCase{"PhoneAndHost", 2,
                    Concat({{0x12, 0x34, 0x01, 0x01, 0x0D, 0x48}, Ascii("+79031234567"), {0x00, 0x07, 0x73},
                            Ascii("host:1"), {0x00, 0x00}})},
        // attempts 7, SIM 3, protocol 5: the bits as the device keeps them
        RecordsCase{"FieldsBeyondTheLists", 2, {0x00, 0x07, 0x02, 0x05, 0x02, 0xFD, 'x', 0x01, 0x2A, 0x00, 0x00, 0x00}},
        RecordsCase{"Sim1Internet", 3, Concat({{0x0B}, Ascii("internet"), {0x00, 0x00, 0x00, 0x00}})},
        RecordsCase{"Sim2WithUserAndPassword", 3,
                    Concat({{0x00, 0x18}, Ascii("internet.mts.ru"), {0x00}, Ascii("zuk"), {0x00}, Ascii("zuk"), {0x00}})},
        RecordsCase{"NoAccessPoint", 3, {0x00, 0x00}},
        RecordsCase{"TwoRecipients", 4,
                    {0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x01, 0x40, 0x09, 0x13, 0x32, 0x54,
                     0x76, 0x0F, 0xFF, 0xFF, 0x00}},
        RecordsCase{"EmptyList", 4, {0x00}}));

}  // namespace
}  // namespace tivolan
