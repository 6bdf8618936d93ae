#include <gtest/gtest.h>

#include <vector>

#include "link/BCC.h"
#include "link/Frames.h"
#include "model/ConfigBuffer.h"

namespace tivolan {
namespace {

using Bytes = std::vector<uint8_t>;

struct RequestCase {
  uint8_t block;
  Bytes expected;
  friend void PrintTo(const RequestCase& c, std::ostream* os) { *os << "block " << int(c.block); }
};

class RequestFrames : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestFrames, AreTenBytesWithTheirChecksum) {
  const auto frame = MakeRequestFrame(GetParam().block);
  EXPECT_EQ(Bytes(frame.begin(), frame.end()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, RequestFrames,
    ::testing::Values(RequestCase{1, {0x7E, 0x0A, 0x52, 0x01, 0, 0, 0, 0, 0, 0xE3}},
                      RequestCase{2, {0x7E, 0x0A, 0x52, 0x02, 0, 0, 0, 0, 0, 0xEC}},
                      RequestCase{3, {0x7E, 0x0A, 0x52, 0x03, 0, 0, 0, 0, 0, 0xE9}},
                      RequestCase{4, {0x7E, 0x0A, 0x52, 0x04, 0, 0, 0, 0, 0, 0xF2}}));

TEST(WriteFrame, ConcentratorWithZeroPayloadEndsInF0) {
  ImageBuffer buffer{};
  buffer.fill(0xAA);
  for (int i = 4; i < 15; ++i) buffer[static_cast<std::size_t>(i)] = 0;
  ASSERT_EQ(CompleteWriteFrame(buffer, 3), 16);
  const Bytes expected{0x7E, 0x10, 0x57, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0};
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 16), expected);
  EXPECT_EQ(buffer[16], 0xAA) << "nothing beyond the frame is touched";
}

TEST(WriteFrame, LengthsPerTypeAndUnknownType) {
  ImageBuffer buffer{};
  EXPECT_EQ(CompleteWriteFrame(buffer, 1), 46);
  EXPECT_EQ(buffer[1], 46);
  EXPECT_EQ(buffer[45], FrameChecksum(buffer.data(), 45));
  EXPECT_EQ(CompleteWriteFrame(buffer, 2), 48);
  EXPECT_EQ(buffer[47], FrameChecksum(buffer.data(), 47));
  ImageBuffer untouched{};
  EXPECT_EQ(CompleteWriteFrame(untouched, 4), 0);
  EXPECT_EQ(untouched, ImageBuffer{});
}

Bytes Sealed(Bytes frame) {
  frame[1] = static_cast<uint8_t>(frame.size());
  frame.back() = FrameChecksum(frame.data(), frame.size() - 1);
  return frame;
}

TEST(AnswerAcceptance, LengthThenChecksum) {
  Bytes good = Sealed({0x7E, 0, 0x44, 0x03, 0x05, 0x7E, 0x7E, 0});  // 0x7E inside needs nothing
  EXPECT_TRUE(AnswerAccepted({good.data(), good.size()}));

  Bytes badCrc = good;
  badCrc.back() ^= 1;
  EXPECT_FALSE(AnswerAccepted({badCrc.data(), badCrc.size()}));

  EXPECT_FALSE(AnswerAccepted({good.data(), 0}));
  EXPECT_FALSE(AnswerAccepted({good.data(), 1}));
  EXPECT_FALSE(AnswerAccepted({good.data(), good.size() - 1})) << "short of its own length";
}

TEST(AnswerAcceptance, FortySevenBytesClaimingFortySixAreRejected) {
  Bytes frame(47, 0x11);
  frame[0] = 0x7E;
  frame[1] = 46;
  frame[45] = FrameChecksum(frame.data(), 45);  // the first 46 bytes are a valid frame
  EXPECT_FALSE(AnswerAccepted({frame.data(), frame.size()}));
  EXPECT_TRUE(AnswerAccepted({frame.data(), 46}));
}

TEST(AnswerAcceptance, NothingBeyondTheBufferCapacityIsAccepted) {
  Bytes frame(201, 0);
  frame[1] = 201;
  frame[200] = FrameChecksum(frame.data(), 200);
  EXPECT_TRUE(AnswerAccepted({frame.data(), 201}));
  EXPECT_FALSE(AnswerAccepted({frame.data(), 201}, 200));
}

TEST(FurtherChecks, ConfigAnswerNeedsStartCommandAndKnownType) {
  Bytes a{0x7E, 10, 0x44, 0x02, 5};
  EXPECT_TRUE(IsConfigAnswer({a.data(), a.size()}));
  a[3] = 4;
  EXPECT_FALSE(IsConfigAnswer({a.data(), a.size()}));
  a[3] = 0;
  EXPECT_FALSE(IsConfigAnswer({a.data(), a.size()}));
  a = {0x7E, 10, 0x57, 0x01, 5};
  EXPECT_FALSE(IsConfigAnswer({a.data(), a.size()}));
  a = {0x7F, 10, 0x44, 0x01, 5};
  EXPECT_FALSE(IsConfigAnswer({a.data(), a.size()}));
}

TEST(FurtherChecks, Block34AnswerMustBeADataFrameLongerThanFive) {
  Bytes a{0x7E, 6, 0x44, 3, 9, 0};
  EXPECT_TRUE(IsUsableBlockAnswer({a.data(), a.size()}));
  a[1] = 5;
  EXPECT_FALSE(IsUsableBlockAnswer({a.data(), a.size()}));
  a = {0x7E, 6, 0x45, 3, 9, 0};
  EXPECT_FALSE(IsUsableBlockAnswer({a.data(), a.size()}));
}

TEST(FurtherChecks, Block1ReadBackComparesThePayloadOneByteFurtherOn) {
  ImageBuffer frame{};
  for (int i = 4; i < 15; ++i) frame[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i * 3);
  CompleteWriteFrame(frame, 3);
  Bytes answer{0x7E, 17, 0x44, 3, 7};
  answer.insert(answer.end(), frame.begin() + 4, frame.begin() + 15);
  answer.push_back(0);
  const Answer a{answer.data(), answer.size()};
  EXPECT_TRUE(WriteAnswerTypeMatches(a, 3));
  EXPECT_FALSE(WriteAnswerTypeMatches(a, 1));
  EXPECT_TRUE(WriteReadBackMatches(a, frame, 3));
  answer[15] ^= 0x01;  // last payload byte
  EXPECT_FALSE(WriteReadBackMatches({answer.data(), answer.size()}, frame, 3));
}

TEST(FurtherChecks, Block2ReadBackSkipsTheLastDataByte) {
  Bytes frame{0x7E, 14, 0x57, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes answer = frame;
  answer[2] = 0x44;
  answer[12] ^= 0xFF;  // offset L-2: not compared
  EXPECT_TRUE(DestWriteAnswerMatches({answer.data(), answer.size()}, frame.data()));
  answer[11] ^= 0xFF;  // offset L-3: compared
  EXPECT_FALSE(DestWriteAnswerMatches({answer.data(), answer.size()}, frame.data()));
  answer = frame;
  answer[2] = 0x44;
  answer[3] = 3;
  EXPECT_FALSE(DestWriteAnswerMatches({answer.data(), answer.size()}, frame.data()));
}

TEST(FurtherChecks, Blocks34ReadBackComparesUpToTheLastDataByteButNotTheHeader) {
  Bytes frame{0x7E, 8, 0x57, 4, 1, 2, 3, 0};
  Bytes answer{0x00, 0, 0x00, 9, 1, 2, 3, 0};
  EXPECT_TRUE(BlockWriteAnswerMatches({answer.data(), answer.size()}, frame.data()));
  answer[6] = 4;
  EXPECT_FALSE(BlockWriteAnswerMatches({answer.data(), answer.size()}, frame.data()));
  EXPECT_FALSE(BlockWriteAnswerMatches({answer.data(), 5}, frame.data())) << "too short to compare";
}

}  // namespace
}  // namespace tivolan
