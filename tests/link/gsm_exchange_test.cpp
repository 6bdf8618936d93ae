// The GSM blocks after block 1, over a pseudo-terminal against the
// simulator: the order of the exchanges, the codes, the bytes on the wire,
// and what a failure at each block leaves behind.
#include <gtest/gtest.h>

#include "support/FrameBytes.h"
#include "link/LinkStatus.h"
#include "support/SimFixture.h"

namespace tivolan {
namespace {

using sim::Bytes;
using sim::Fault;
using test::Device;
using test::SimFixture;
using test::Codes;
using test::Numbers;
using test::Frame;
using test::Sealed;


// Block 2 data (after the block byte): device number 4660, the GPRS and SMS
// flags as given, destination 1 a CSD phone, four empty records.
Bytes Block2(uint8_t gprs, uint8_t sms) {
  return {0x12, 0x34, gprs, sms, 0x0D, 0x49, '+', '7', '9', '0', '3', '1', '2', '3', '4', '5', '6', '7', 0, 0, 0, 0};
}
const Bytes kBlock3{0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0};  // SIM 1 "internet", SIM 2 none
const Bytes kBlock4{0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00};  // one recipient

// A panel of type 1 (or the concentrator) whose configuration uses GSM.
sim::SimOptions GsmDevice(int type, Bytes block2, Fault fault = Fault::None, int faultBlock = 0) {
  sim::SimOptions o = Device(type, fault);
  const auto defaults = DefaultPayload(type);
  o.device.payload.assign(defaults.begin(), defaults.end());
  o.device.payload[type == 3 ? 6 : 34] = type == 3 ? 1 : 2;  // byte 10 / byte 38
  o.device.blocks = {std::move(block2), kBlock3, kBlock4};
  o.device.faultBlock = faultBlock;
  return o;
}

Bytes Request(uint8_t block) { return Sealed({0x7E, 0x0A, 0x52, block, 0, 0, 0, 0, 0}); }


TEST(GsmRead, WithTheSmsFlagOnlyReadsBlocksOneTwoAndFour) {
  SimFixture f(GsmDevice(1, Block2(0, 1)));
  const auto outcome = f.RunWithGsm(LinkMode::Read);
  EXPECT_EQ(Numbers(outcome.codes), (Codes{2, 3, 3, 4, 3, 3, 0}));
  EXPECT_EQ(f.Sim().ReceivedFrames(), (std::vector<Bytes>{Request(1), Request(2), Request(4)}));
  Bytes dest{0x7E, 27, 0x44, 0x02};
  for (uint8_t b : Block2(0, 1)) dest.push_back(b);
  EXPECT_EQ(f.data.DestTX_Buffer, test::ValuesOf<DestSettings>(Sealed(dest)));
  EXPECT_EQ(f.data.SmsTX_Buffer, test::ValuesOf<SmsList>(Sealed({0x7E, 16, 0x44, 0x04, 0x02, 0x03, 0x97, 0x30, 0x21,
                                                                  0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00})));
  EXPECT_TRUE(f.data.GprsTX_Buffer.NoAccessPoint()) << "block 3 was not read";
}

TEST(GsmRead, AConcentratorWithGprsAndNoSmsReportsTwoThreeThreeFourThreeThreeZero) {
  SimFixture f(GsmDevice(3, Block2(1, 0)));
  f.SelectType(3);
  const auto outcome = f.RunWithGsm(LinkMode::Read);
  EXPECT_EQ(Numbers(outcome.codes), (Codes{2, 3, 3, 4, 3, 3, 0}));
  EXPECT_EQ(outcome.param, 3);
  EXPECT_EQ(f.Sim().ReceivedFrames(), (std::vector<Bytes>{Request(1), Request(2), Request(3)}));
  EXPECT_EQ(f.data.GprsTX_Buffer, test::ValuesOf<GprsSettings>(Sealed({0x7E, 18, 0x44, 0x03, 0x0B, 'i', 'n', 't', 'e',
                                                                       'r', 'n', 'e', 't', 0, 0, 0, 0})));
}

TEST(GsmRead, ABlockTwoAnswerLongerThanItsBufferFailsTheStep) {
  Bytes longBlock2 = Block2(0, 0);
  longBlock2.resize(146, 0);  // a frame of 151 bytes
  SimFixture f(GsmDevice(1, longBlock2));
  const SharedData before = f.data;
  EXPECT_EQ(Numbers(f.RunWithGsm(LinkMode::Read).codes), (Codes{2, 3, 3, 4, 3, 10}));
  EXPECT_EQ(f.data.DestTX_Buffer, before.DestTX_Buffer);
  EXPECT_EQ(f.data.ConfigBuffer, before.ConfigBuffer);
}

struct BlockFault {
  Fault fault;
  int block;
  Codes codes;
  friend void PrintTo(const BlockFault& c, std::ostream* os) { *os << sim::FaultName(c.fault) << " at block " << c.block; }
};
class GsmReadFailure : public ::testing::TestWithParam<BlockFault> {};

// Whatever block fails, the read stores nothing: not block 1, not the GSM
// blocks read before the failure.
TEST_P(GsmReadFailure, LeavesEveryBufferAsItWas) {
  const BlockFault& c = GetParam();
  SimFixture f(GsmDevice(1, Block2(1, 1), c.fault, c.block));
  const SharedData before = f.data;
  EXPECT_EQ(Numbers(f.RunWithGsm(LinkMode::Read).codes), c.codes);
  EXPECT_EQ(f.data.ConfigBuffer, before.ConfigBuffer);
  EXPECT_EQ(f.data.DestTX_Buffer, before.DestTX_Buffer);
  EXPECT_EQ(f.data.GprsTX_Buffer, before.GprsTX_Buffer);
  EXPECT_EQ(f.data.SmsTX_Buffer, before.SmsTX_Buffer);
  EXPECT_EQ(f.data.DeviceVersion, before.DeviceVersion);
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Blocks, GsmReadFailure,
                         ::testing::Values(BlockFault{Fault::NoAnswer, 2, {2, 3, 3, 4, 10}},
                                           BlockFault{Fault::BadChecksum, 2, {2, 3, 3, 4, 3, 10}},
                                           BlockFault{Fault::NoAnswer, 3, {2, 3, 3, 4, 3, 10}},
                                           BlockFault{Fault::BadChecksum, 3, {2, 3, 3, 4, 3, 3, 10}},
                                           BlockFault{Fault::NoAnswer, 4, {2, 3, 3, 4, 3, 3, 10}},
                                           BlockFault{Fault::Truncated, 4, {2, 3, 3, 4, 3, 3, 3, 10}},
                                           // an answer naming another block answers another request
                                           BlockFault{Fault::WrongType, 2, {2, 3, 3, 4, 3, 10}},
                                           BlockFault{Fault::WrongType, 3, {2, 3, 3, 4, 3, 3, 10}}));

class GsmWrite : public ::testing::Test {
 protected:
  // A type 1 configuration with GSM, block 2 with both flags, and the two
  // frames the commit step builds.
  void Prepare(SimFixture& f) {
    f.data.ConfigBuffer[38] = 2;
    Bytes dest = Sealed({0x7E, 27, 0x57, 0x02, 0x12, 0x34, 0x01, 0x01, 0x0D, 0x49, '+', '7', '9', '0', '3', '1', '2', '3',
                         '4', '5', '6', '7', 0, 0, 0, 0});
    test::HoldFrames(f.data, dest, kW3, kW4);
    w2 = dest;
  }
  const Bytes kW3 = Sealed({0x7E, 18, 0x57, 0x03, 0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0});
  const Bytes kW4 = Sealed({0x7E, 16, 0x57, 0x04, 0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00});
  Bytes w2;
};

TEST_F(GsmWrite, APanelWithBlocksThreeAndFourSendsWOneToWFourByteForByte) {
  SimFixture f(Device(1));
  Prepare(f);
  const auto outcome = f.RunWithGsm(LinkMode::Write);
  EXPECT_EQ(Numbers(outcome.codes), (Codes{2, 3, 3, 5, 3, 3, 3, 1}));
  const auto frames = f.Sim().ReceivedFrames();
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0].size(), 46u);
  EXPECT_EQ(frames[1], w2);
  EXPECT_EQ(frames[2], kW3);
  EXPECT_EQ(frames[3], kW4);
  EXPECT_EQ(f.Sim().Block(3), Bytes(kW3.begin() + 4, kW3.end() - 1)) << "the device holds block 3";
}

struct WriteFault {
  Fault fault;
  int block;
  std::size_t framesSent;
  friend void PrintTo(const WriteFault& c, std::ostream* os) { *os << sim::FaultName(c.fault) << " at block " << c.block; }
};
class GsmWriteFailure : public GsmWrite, public ::testing::WithParamInterface<WriteFault> {};

TEST_P(GsmWriteFailure, EndsWithTheGsmErrorAndSendsNothingAfterIt) {
  const WriteFault& c = GetParam();
  // The fault only at the block under test.
  auto options = Device(1, c.fault);
  options.device.faultBlock = c.block;
  SimFixture g(options);
  Prepare(g);
  const auto outcome = g.RunWithGsm(LinkMode::Write);
  EXPECT_EQ(outcome.finalCode, LinkStatus::StatusGsmError);
  EXPECT_EQ(g.Sim().ReceivedFrames().size(), c.framesSent);
  EXPECT_FALSE(g.dataModule.cmprtdrvr1.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Blocks, GsmWriteFailure,
                         ::testing::Values(WriteFault{Fault::ReadBackDiffers, 2, 2}, WriteFault{Fault::NoAnswer, 2, 2},
                                           WriteFault{Fault::ReadBackDiffers, 3, 3},
                                           WriteFault{Fault::BadChecksum, 3, 3},
                                           WriteFault{Fault::ReadBackDiffers, 4, 4},
                                           WriteFault{Fault::WrongType, 3, 3}));

}  // namespace
}  // namespace tivolan
