#include <gtest/gtest.h>

#include <vector>

#include "link/UnitData.h"

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

}  // namespace
}  // namespace tivolan
