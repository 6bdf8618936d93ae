#include <gtest/gtest.h>

#include "link/BCC.h"
#include "link/Frames.h"
#include "sim/PanelSimulator.h"
#include "sim/SimPort.h"

namespace tivolan::sim {
namespace {

Bytes Request(uint8_t block) {
  const auto r = MakeRequestFrame(block);
  return Bytes(r.begin(), r.end());
}

TEST(PanelSimulator, AnswersAReadOfBlockOneWithTypeVersionAndPayload) {
  PanelSimulator device(DeviceSetup{});
  const Bytes request = Request(1);
  const auto replies = device.Feed(request.data(), request.size());
  ASSERT_EQ(replies.size(), 1u);
  const Bytes& a = replies[0].bytes;
  ASSERT_EQ(a.size(), 47u);
  EXPECT_EQ(a[1], 47);
  EXPECT_EQ(a[2], 0x44);
  EXPECT_EQ(a[3], 1);
  EXPECT_EQ(a[4], 3);
  EXPECT_EQ(a[5], 0x78) << "first byte of the default payload";
  EXPECT_EQ(a[46], FrameChecksum(a.data(), 46));
}

TEST(PanelSimulator, FindsFramesInNoiseAndAcrossChunksAndIgnoresBadOnes) {
  PanelSimulator device(DeviceSetup{});
  Bytes stream{0x00, 0x13, 0x7E, 0x02};  // noise, then a start byte with a length that is no frame
  const Bytes r2 = Request(2);
  stream.insert(stream.end(), r2.begin(), r2.end());
  Bytes bad = Request(3);
  bad.back() ^= 1;
  stream.insert(stream.end(), bad.begin(), bad.end());
  const Bytes r4 = Request(4);
  stream.insert(stream.end(), r4.begin(), r4.end());
  std::vector<Reply> replies;
  std::vector<Bytes> completed;
  for (std::size_t i = 0; i < stream.size(); i += 3) {  // in pieces
    auto got = device.Feed(stream.data() + i, std::min<std::size_t>(3, stream.size() - i), &completed);
    replies.insert(replies.end(), got.begin(), got.end());
  }
  ASSERT_EQ(replies.size(), 2u) << "the frame with a bad checksum goes unanswered";
  EXPECT_EQ(replies[0].bytes[3], 2);
  EXPECT_EQ(replies[1].bytes[3], 4);
  EXPECT_EQ(completed, (std::vector<Bytes>{r2, bad, r4})) << "unanswered frames are still received";
  EXPECT_EQ(device.Frames().size(), 3u);
}

TEST(PanelSimulator, StoresWritesAndAnswersWithTheReadBack) {
  DeviceSetup setup;
  setup.type = 3;
  PanelSimulator device(setup);
  Bytes payload(11, 0x5A);
  const Bytes write = MakeFrame(0x57, 1, payload);
  const auto replies = device.Feed(write.data(), write.size());
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(device.Payload(), payload);
  EXPECT_EQ(Bytes(replies[0].bytes.begin() + 5, replies[0].bytes.end() - 1), payload);
  const Bytes block2 = MakeFrame(0x57, 2, {0, 7, 1, 0, 0, 0, 0, 0, 0});
  device.Feed(block2.data(), block2.size());
  EXPECT_EQ(device.Block(2), (Bytes{0, 7, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(PanelSimulator, FaultsShapeTheAnswer) {
  const Bytes request = Request(1);
  auto answer = [&](Fault fault) {
    DeviceSetup setup;
    setup.fault = fault;
    setup.delayMs = 123;
    PanelSimulator device(setup);
    const auto replies = device.Feed(request.data(), request.size());
    return replies.empty() ? Reply{} : replies[0];
  };
  EXPECT_TRUE(answer(Fault::NoAnswer).bytes.empty());
  EXPECT_EQ(answer(Fault::Truncated).bytes.size(), 44u);
  EXPECT_EQ(answer(Fault::Truncated).bytes[1], 47);
  const Bytes bad = answer(Fault::BadChecksum).bytes;
  EXPECT_NE(bad.back(), FrameChecksum(bad.data(), bad.size() - 1));
  EXPECT_EQ(answer(Fault::WrongType).bytes[3], 9);
  EXPECT_EQ(answer(Fault::Delay).delayMs, 123);
  EXPECT_EQ(answer(Fault::Oversized).bytes.size(), 230u);
  EXPECT_TRUE(answer(Fault::HangUp).hangUpAfter);
  EXPECT_EQ(answer(Fault::Stall).bytes, answer(Fault::None).bytes) << "a stall holds the line, not the answer";
  EXPECT_EQ(answer(Fault::Stall).delayMs, 0);
  EXPECT_EQ(ParseFault("stall"), Fault::Stall);
  EXPECT_EQ(ParseFault("readback"), Fault::ReadBackDiffers);
  EXPECT_EQ(ParseFault("nonsense"), std::nullopt);
}

// --delays: each faulty answer takes the next delay, the last one holds;
// answers of other blocks are not counted and come at once.
struct DelaysCase {
  const char* name;
  std::vector<int> delays;
  int faultBlock;
  std::vector<uint8_t> requests;  // blocks asked in turn
  std::vector<int> wanted;        // the delay of each answer
};
class PanelSimulatorDelays : public ::testing::TestWithParam<DelaysCase> {};

TEST_P(PanelSimulatorDelays, EachFaultyAnswerTakesTheNextDelay) {
  const DelaysCase& c = GetParam();
  DeviceSetup setup;
  setup.fault = Fault::Delay;
  setup.delayMs = 1500;
  setup.delays = c.delays;
  setup.faultBlock = c.faultBlock;
  PanelSimulator device(setup);
  std::vector<int> delays;
  for (uint8_t block : c.requests) {
    const Bytes request = Request(block);
    for (const Reply& r : device.Feed(request.data(), request.size())) delays.push_back(r.delayMs);
  }
  EXPECT_EQ(delays, c.wanted);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PanelSimulatorDelays,
    ::testing::Values(DelaysCase{"NoListIsTheDelayEveryTime", {}, 0, {1, 1, 1}, {1500, 1500, 1500}},
                      DelaysCase{"LateOnceThenAtOnce", {1200, 0}, 0, {1, 1, 1}, {1200, 0, 0}},
                      DelaysCase{"TheLastHolds", {1200, 700}, 0, {1, 2, 3, 4}, {1200, 700, 700, 700}},
                      DelaysCase{"OnlyTheFaultyBlockCounts", {1200, 0}, 3, {1, 2, 3, 4, 1, 2, 3}, {0, 0, 1200, 0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<DelaysCase>& p) { return std::string(p.param.name); });

// A frame the device ignores (no such command), numbered in its data.
Bytes Numbered(uint32_t n) {
  return MakeFrame(0x3F, 1, {static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
}

TEST(PanelSimulatorLog, KeepsOnlyTheNewestFramesInOrderAndCountsThemAll) {
  const std::size_t kept = PanelSimulator::kFrameLogSize;
  const uint32_t sent = 20000;
  PanelSimulator device(DeviceSetup{});
  Bytes stream;
  for (uint32_t i = 0; i < sent; ++i) {
    const Bytes f = Numbered(i);
    stream.insert(stream.end(), f.begin(), f.end());
  }
  std::size_t largest = 0;
  std::size_t completed = 0;
  for (std::size_t i = 0; i < stream.size(); i += 37) {  // pieces that cut frames
    std::vector<Bytes> done;
    device.Feed(stream.data() + i, std::min<std::size_t>(37, stream.size() - i), &done);
    for (const auto& f : done)
      ASSERT_EQ(f, Numbered(static_cast<uint32_t>(completed++))) << "each frame once, in order";
    largest = std::max(largest, device.Frames().size());
  }
  EXPECT_EQ(completed, sent);
  EXPECT_EQ(device.FrameCount(), sent);
  EXPECT_LE(largest, kept);
  ASSERT_EQ(device.Frames().size(), kept);
  for (std::size_t k = 0; k < kept; ++k)
    ASSERT_EQ(device.Frames()[k], Numbered(static_cast<uint32_t>(sent - kept + k))) << k;
}

TEST(PanelSimulatorLog, AShortExchangeKeepsEveryFrame) {
  PanelSimulator device(DeviceSetup{});
  std::vector<Bytes> sent;
  for (uint8_t block = 1; block <= 4; ++block) {
    sent.push_back(Request(block));
    device.Feed(sent.back().data(), sent.back().size());
  }
  EXPECT_EQ(std::vector<Bytes>(device.Frames().begin(), device.Frames().end()), sent);
  EXPECT_EQ(device.FrameCount(), sent.size());
}

TEST(Hex, RoundTripAndRejects) {
  EXPECT_EQ(Hex({0x7E, 0x0A, 0xE3}), "7E 0A E3");
  EXPECT_EQ(ParseHex("7e 0A e3"), (Bytes{0x7E, 0x0A, 0xE3}));
  EXPECT_EQ(ParseHex("7E0"), std::nullopt);
  EXPECT_EQ(ParseHex("7G"), std::nullopt);
}

}  // namespace
}  // namespace tivolan::sim
