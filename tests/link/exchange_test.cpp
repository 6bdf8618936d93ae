// The programming exchange end to end over a pseudo-terminal.
#include <gtest/gtest.h>

#include "link/BCC.h"
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

Bytes Payload(const ImageBuffer& buffer, std::size_t n) {
  return Bytes(buffer.begin() + 4, buffer.begin() + 4 + static_cast<long>(n));
}

TEST(ExchangeRead, TypeOnePanelReportsEachStepAndStoresTheAnswer) {
  auto options = Device(1);
  options.device.payload = Payload(ImageBuffer{}, 41);
  options.device.payload[39] = 0x55;  // a value no default has
  SimFixture f(options);
  const auto outcome = f.Run(LinkMode::Read);
  EXPECT_EQ(Numbers(outcome.codes), (Codes{2, 3, 3, 0}));
  EXPECT_EQ(outcome.param, 1);
  EXPECT_EQ(f.data.DeviceVersion, 3);
  EXPECT_EQ(Payload(f.data.ConfigBuffer, 41), options.device.payload);
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
  const auto frames = f.Sim().ReceivedFrames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], (Bytes{0x7E, 0x0A, 0x52, 0x01, 0, 0, 0, 0, 0, 0xE3}));
  EXPECT_TRUE(f.Sim().Mismatches().empty());
}

TEST(ExchangeRead, AnotherTypeIsReportedWithItsValues) {
  auto options = Device(2, Fault::None, 7);
  options.device.payload = Payload(ImageBuffer{}, 43);
  options.device.payload[42] = 5;  // network number 5
  SimFixture f(options);
  const auto outcome = f.Run(LinkMode::Read);
  EXPECT_EQ(outcome.finalCode, LinkStatus::StatusReadDone);
  EXPECT_EQ(outcome.param, 2);
  EXPECT_EQ(f.data.DeviceType, 1) << "the window switches the type, not the worker";
  EXPECT_EQ(f.data.ConfigBuffer[46], 5);
  EXPECT_EQ(f.data.DeviceVersion, 7);
}

TEST(ExchangeWrite, WithoutGsmReportsTwoThreeThreeOneAndSendsTheSealedFrame) {
  SimFixture f(Device(1));
  f.data.ConfigBuffer[43] = 7;  // siren time, an edit
  const auto outcome = f.Run(LinkMode::Write);
  EXPECT_EQ(Numbers(outcome.codes), (Codes{2, 3, 3, 1}));
  const auto frames = f.Sim().ReceivedFrames();
  ASSERT_EQ(frames.size(), 1u);
  ASSERT_EQ(frames[0].size(), 46u);
  EXPECT_EQ(Bytes(frames[0].begin(), frames[0].begin() + 4), (Bytes{0x7E, 46, 0x57, 0x01}));
  EXPECT_EQ(frames[0][45], FrameChecksum(frames[0].data(), 45));
  EXPECT_EQ(Bytes(frames[0].begin() + 4, frames[0].end() - 1), Payload(f.data.ConfigBuffer, 41));
  EXPECT_EQ(f.Sim().Payload()[39], 7);
}

TEST(ExchangeWrite, ConcentratorFrameEndsInItsChecksum) {
  SimFixture f(Device(3));
  f.SelectType(3);
  for (int i = 4; i < 15; ++i) f.data.ConfigBuffer[static_cast<std::size_t>(i)] = 0;
  const auto outcome = f.Run(LinkMode::Write);
  EXPECT_EQ(outcome.finalCode, LinkStatus::StatusWriteDone);
  const auto frames = f.Sim().ReceivedFrames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], (Bytes{0x7E, 0x10, 0x57, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0}));
}

TEST(ExchangeFailures, PortThatCannotBeOpened) {
  SimFixture f(Device(1));
  f.dataModule.cmprtdrvr1.SetPortName("/dev/does-not-exist");
  const ImageBuffer before = f.data.ConfigBuffer;
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), (Codes{6}));
  EXPECT_EQ(f.data.ConfigBuffer, before);
}

TEST(ExchangeFailures, NoDeviceGivesUpAboutOnePointZeroFiveSecondsAfterSending) {
  SimFixture f(Device(1, Fault::NoAnswer));
  const ImageBuffer before = f.data.ConfigBuffer;
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), (Codes{2, 7}));
  const double ms = f.MsBetween(LinkStatus::StatusPortOpened, LinkStatus::StatusNoLink);
  EXPECT_GT(ms, 1000);
  EXPECT_LT(ms, 1400);
  EXPECT_EQ(f.data.ConfigBuffer, before);
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
}

TEST(ExchangeFailures, AnAnswerThatNeverCompletesEndsAbout800MsLater) {
  SimFixture f(Device(1, Fault::Truncated));
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), (Codes{2, 3, 7}));
  const double ms = f.MsBetween(LinkStatus::StatusAnswerReceived, LinkStatus::StatusNoLink);
  EXPECT_GT(ms, 750);
  EXPECT_LT(ms, 1100);
}

struct NoLinkCase {
  Fault fault;
  Codes codes;
  friend void PrintTo(const NoLinkCase& c, std::ostream* os) { *os << sim::FaultName(c.fault); }
};
class ExchangeNoLink : public ::testing::TestWithParam<NoLinkCase> {};

TEST_P(ExchangeNoLink, LeavesEverythingAsItWas) {
  SimFixture f(Device(1, GetParam().fault));
  const ImageBuffer before = f.data.ConfigBuffer;
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), GetParam().codes);
  EXPECT_EQ(f.data.ConfigBuffer, before);
  EXPECT_EQ(f.data.DeviceVersion, 0);
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Faults, ExchangeNoLink,
                         ::testing::Values(NoLinkCase{Fault::BadChecksum, {2, 3, 7}},
                                           NoLinkCase{Fault::Oversized, {2, 3, 7}},
                                           NoLinkCase{Fault::HangUp, {2, 3, 7}},
                                           NoLinkCase{Fault::WrongType, {2, 3, 3, 9}}));

TEST(ExchangeFailures, DelayedAnswerWithinTheWaitSucceeds) {
  auto options = Device(1, Fault::Delay);
  options.device.delayMs = 400;
  SimFixture f(options);
  EXPECT_EQ(f.Run(LinkMode::Read).finalCode, LinkStatus::StatusReadDone);
}

TEST(ExchangeFailures, DelayedAnswerBeyondTheWaitIsNoLink) {
  auto options = Device(1, Fault::Delay);
  options.device.delayMs = 1700;
  SimFixture f(options);
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), (Codes{2, 7}));
}

TEST(ExchangeFailures, ReadBackThatDiffersIsAWriteError) {
  SimFixture f(Device(2, Fault::ReadBackDiffers));
  f.SelectType(2);
  EXPECT_EQ(Numbers(f.Run(LinkMode::Write).codes), (Codes{2, 3, 3, 8}));
}

TEST(ExchangeFailures, ConcentratorConfigurationToATypeOnePanel) {
  SimFixture f(Device(1));
  f.SelectType(3);
  EXPECT_EQ(Numbers(f.Run(LinkMode::Write).codes), (Codes{2, 3, 3, 9}));
  EXPECT_EQ(f.Sim().Payload().size(), 41u) << "the panel kept its own image";
}

TEST(ExchangeFailures, TypeOneVersionTwoIsRefusedAndNothingIsStored) {
  auto options = Device(1, Fault::None, 2);
  options.device.payload = Payload(ImageBuffer{}, 41);
  SimFixture f(options);
  const ImageBuffer before = f.data.ConfigBuffer;
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), (Codes{2, 3, 3, 11}));
  EXPECT_EQ(f.data.ConfigBuffer, before);
  EXPECT_EQ(f.data.DeviceVersion, 0);
}

TEST(ExchangeFailures, OlderVersionsAreFineForTheOtherTypes) {
  SimFixture f(Device(3, Fault::None, 1));
  EXPECT_EQ(f.Run(LinkMode::Read).finalCode, LinkStatus::StatusReadDone);
  EXPECT_EQ(f.data.DeviceVersion, 1);
}

TEST(ExchangeFailures, GsmConfigurationCannotBeReadYetAndChangesNothing) {
  auto options = Device(1);
  options.device.payload = Payload(ImageBuffer{}, 41);
  options.device.payload[34] = 2;  // byte 38: GSM-KVT
  SimFixture f(options);
  const ImageBuffer before = f.data.ConfigBuffer;
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), (Codes{2, 3, 3, 4, 10}));
  EXPECT_EQ(f.data.ConfigBuffer, before);
}

TEST(ExchangeFailures, ALineAtAnotherSpeedIsReportedAndUnanswered) {
  SimFixture f(Device(1));
  f.dataModule.cmprtdrvr1.SetBaudRate(TBaudRate::br4800);
  EXPECT_EQ(Numbers(f.Run(LinkMode::Read).codes), (Codes{2, 7}));
  ASSERT_FALSE(f.Sim().Mismatches().empty());
  EXPECT_NE(f.Sim().Mismatches()[0].find("speed 4800"), std::string::npos);
}

TEST(ExchangeRepeat, ReadsAndWritesAgainAfterEveryFinalCode) {
  SimFixture f(Device(1));
  EXPECT_EQ(f.Run(LinkMode::Read).finalCode, LinkStatus::StatusReadDone);
  EXPECT_EQ(f.Run(LinkMode::Write).finalCode, LinkStatus::StatusWriteDone);
  EXPECT_EQ(f.Run(LinkMode::Read).finalCode, LinkStatus::StatusReadDone);
  EXPECT_EQ(f.Sim().ReceivedFrames().size(), 3u);
}

}  // namespace
}  // namespace tivolan
