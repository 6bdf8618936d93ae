#include <gtest/gtest.h>

#include <vector>

#include "link/UnitData.h"
#include "link/UnitDevProg.h"

namespace tivolan {
namespace {

TEST(ReceiveBuffer, AppendsAndNeverStoresBeyondItsCapacity) {
  TDataModule1 dm(CreateSystemSerialDevice(), nullptr);
  std::vector<uint8_t> chunk(150, 0xAB);
  dm.cmprtdrvr1ReceiveData(chunk.data(), 100);
  EXPECT_EQ(dm.ReceivedCount(), 100);
  dm.cmprtdrvr1ReceiveData(chunk.data(), 150);
  EXPECT_EQ(dm.ReceivedCount(), 250) << "counted, so such an answer can never be accepted";
  const auto snapshot = dm.TakeSnapshot();
  EXPECT_EQ(snapshot.bytes[200], 0xAB);
  EXPECT_FALSE(AnswerAccepted(snapshot.AsAnswer(), kReceiveBufferSize));
  EXPECT_EQ(dm.ReceivedByte(250), 0);
  dm.ClearReceiveBuffer();
  EXPECT_EQ(dm.ReceivedCount(), 0);
  EXPECT_EQ(dm.ReceivedByte(0), 0);
}

TEST(ParseConfigAnswer, CopiesThePayloadOneIndexLowerAndNothingElse) {
  TDataModule1 dm(CreateSystemSerialDevice(), nullptr);
  std::vector<uint8_t> answer{0x7E, 17, 0x44, 3, 9};
  for (uint8_t i = 0; i < 11; ++i) answer.push_back(static_cast<uint8_t>(0xA0 + i));
  answer.push_back(0);
  dm.cmprtdrvr1ReceiveData(answer.data(), static_cast<uint32_t>(answer.size()));
  StagedConfig staged;
  staged.config.fill(0x11);
  EXPECT_EQ(ParseConfigAnswer(dm.TakeSnapshot(), staged), 3);
  EXPECT_EQ(staged.version, 9);
  EXPECT_EQ(staged.config[3], 0x11);
  EXPECT_EQ(staged.config[4], 0xA0);
  EXPECT_EQ(staged.config[14], 0xAA);
  EXPECT_EQ(staged.config[15], 0x11) << "checksum slot untouched";
}

TEST(ParseConfigAnswer, RefusesAnswersThatAreNoConfiguration) {
  TDataModule1 dm(CreateSystemSerialDevice(), nullptr);
  const std::vector<std::vector<uint8_t>> answers{
      {0x7E, 6, 0x57, 1, 3, 0},         // not an answer
      {0x7E, 6, 0x44, 4, 3, 0},         // type 4
      {0x7E, 8, 0x44, 1, 3, 1, 2, 0},   // type 1 but far too short for its payload
  };
  for (const auto& a : answers) {
    dm.ClearReceiveBuffer();
    dm.cmprtdrvr1ReceiveData(a.data(), static_cast<uint32_t>(a.size()));
    StagedConfig staged;
    EXPECT_EQ(ParseConfigAnswer(dm.TakeSnapshot(), staged), 255);
    EXPECT_EQ(staged.config, ImageBuffer{});
  }
}

}  // namespace
}  // namespace tivolan
