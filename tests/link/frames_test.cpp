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
  EXPECT_FALSE(WriteAnswerTypeMatches({answer.data(), answer.size() - 1}, 3)) << "shorter than the type's layout";
  EXPECT_TRUE(WriteReadBackMatches(a, frame, 3));
  answer[15] ^= 0x01;  // last payload byte
  EXPECT_FALSE(WriteReadBackMatches({answer.data(), answer.size()}, frame, 3));
}

TEST(FurtherChecks, Block2ReadBackSkipsTheLastDataByte) {
  const Frame frame = *Frame::Make(0x57, 2, Bytes{0, 1, 0, 0, 0, 0, 0, 0, 0});
  Bytes answer(frame.begin(), frame.end());
  answer[2] = 0x44;
  answer[12] ^= 0xFF;  // offset L-2: not compared
  EXPECT_TRUE(DestWriteAnswerMatches({answer.data(), answer.size()}, frame));
  answer[11] ^= 0xFF;  // offset L-3: compared
  EXPECT_FALSE(DestWriteAnswerMatches({answer.data(), answer.size()}, frame));
  answer.assign(frame.begin(), frame.end());
  answer[2] = 0x44;
  answer[3] = 3;
  EXPECT_FALSE(DestWriteAnswerMatches({answer.data(), answer.size()}, frame));
}

TEST(FurtherChecks, Blocks34ReadBackComparesTheBlockAndUpToTheLastDataByteButNotTheLength) {
  const Frame frame = *Frame::Make(0x57, 4, Bytes{1, 2, 3});
  Bytes answer{0x7E, 0, 0x44, 4, 1, 2, 3, 0};
  EXPECT_TRUE(BlockWriteAnswerMatches({answer.data(), answer.size()}, frame));
  answer[3] = 3;
  EXPECT_FALSE(BlockWriteAnswerMatches({answer.data(), answer.size()}, frame)) << "another block's answer";
  answer[3] = 4;
  answer[6] = 4;
  EXPECT_FALSE(BlockWriteAnswerMatches({answer.data(), answer.size()}, frame));
  EXPECT_FALSE(BlockWriteAnswerMatches({answer.data(), 5}, frame)) << "too short to compare";
}

// Moved with the parsing of block-1 answers from the worker.
TEST(ParseConfigAnswer, CopiesThePayloadOneIndexLowerAndNothingElse) {
  std::vector<uint8_t> answer{0x7E, 17, 0x44, 3, 9};
  for (uint8_t i = 0; i < 11; ++i) answer.push_back(static_cast<uint8_t>(0xA0 + i));
  answer.push_back(0);
  StagedConfig staged;
  staged.config.fill(0x11);
  EXPECT_EQ(ParseConfigAnswer({answer.data(), answer.size()}, staged), 3);
  EXPECT_EQ(staged.version, 9);
  EXPECT_EQ(staged.config[3], 0x11);
  EXPECT_EQ(staged.config[4], 0xA0);
  EXPECT_EQ(staged.config[14], 0xAA);
  EXPECT_EQ(staged.config[15], 0x11) << "checksum slot untouched";
}

TEST(ParseConfigAnswer, RefusesAnswersThatAreNoConfiguration) {
  const std::vector<std::vector<uint8_t>> answers{
      {0x7E, 6, 0x57, 1, 3, 0},         // not an answer
      {0x7E, 6, 0x44, 4, 3, 0},         // type 4
      {0x7E, 8, 0x44, 1, 3, 1, 2, 0},   // type 1 but far too short for its payload
      // type 3 one byte too long: another block's answer (block 3, 18 bytes)
      {0x7E, 18, 0x44, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const auto& a : answers) {
    StagedConfig staged;
    EXPECT_EQ(ParseConfigAnswer({a.data(), a.size()}, staged), 255);
    EXPECT_EQ(staged.config, ImageBuffer{});
  }
}


// What a frame storage holds is taken only as a whole, sealed frame: a
// length byte of 0, one shorter than a header or beyond the storage, or a
// stale checksum gives no frame, and nothing is read or written outside.
struct StoredCase {
  const char* name;
  Bytes held;   // the storage's first bytes; the rest is 0xEE
  bool frame;   // a frame of byte 1's length is taken
  friend void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.name; }
};

class StoredFrames : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredFrames, AreWholeAndSealedOrNone) {
  const StoredCase& c = GetParam();
  FrameStorage<16> storage;
  storage.fill(0xEE);
  std::copy(c.held.begin(), c.held.end(), storage.begin());
  const auto frame = StoredFrame(storage);
  ASSERT_EQ(frame.has_value(), c.frame);
  if (!frame) return;
  EXPECT_EQ(Bytes(frame->begin(), frame->end()), Bytes(storage.begin(), storage.begin() + storage[1]));
  // Built again from its parts it is the same frame, byte for byte.
  EXPECT_EQ(Frame::Make(frame->Command(), frame->Block(), frame->Data()), frame);
  FrameStorage<16> copy;
  copy.fill(0x11);
  ASSERT_TRUE(StoreFrame(*frame, copy));
  EXPECT_EQ(Bytes(copy.begin(), copy.begin() + storage[1]), Bytes(frame->begin(), frame->end()));
  if (storage[1] < copy.size()) {
    EXPECT_EQ(copy[storage[1]], 0x11) << "nothing behind the frame is written";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Storage, StoredFrames,
    ::testing::Values(StoredCase{"LengthZero", {0x7E, 0x00, 0x57, 0x02}, false},
                      StoredCase{"ShorterThanAHeader", {0x7E, 0x04, 0x57, 0x02}, false},
                      StoredCase{"StaleChecksum", {0x7E, 0x06, 0x57, 0x04, 0x00, 0x00}, false},
                      StoredCase{"BeyondTheStorage", {0x7E, 0x11, 0x57, 0x02}, false},
                      StoredCase{"NoData", Sealed({0x7E, 0x05, 0x57, 0x04, 0x00}), true},
                      StoredCase{"FillsTheStorage", Sealed(Bytes(16, 0x7E)), true},
                      StoredCase{"BlockOneWrite", Sealed({0x7E, 0x0A, 0x57, 0x01, 1, 2, 3, 4, 5, 0}), true}));

TEST(FrameValue, DataBeyondTheLargestFrameMakeNoFrame) {
  EXPECT_EQ(Frame::Make(kCmdWrite, 3, Bytes(Frame::kMaxData, 0))->size(), kMaxFrame);
  EXPECT_FALSE(Frame::Make(kCmdWrite, 3, Bytes(Frame::kMaxData + 1, 0)));
}

}  // namespace
}  // namespace tivolan
