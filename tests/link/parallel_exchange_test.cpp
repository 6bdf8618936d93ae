// Two exchanges at once in one process, each on its own port and its own
// configuration, with one set of GSM block steps between them as a program
// has: what each device received, and what each configuration holds after.
#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "support/FrameBytes.h"
#include "support/SimFixture.h"

namespace tivolan {
namespace {

using test::Bytes;
using test::Device;
using test::Frame;
using test::Sealed;
using test::SimFixture;

Bytes Request(uint8_t block) { return Sealed({0x7E, 0x0A, 0x52, block, 0, 0, 0, 0, 0}); }

// A type-2 panel that uses GSM: block 2 with both flags and one host.
sim::SimOptions GsmPanel() {
  sim::SimOptions o = Device(2);
  const auto defaults = DefaultPayload(2);
  o.device.payload.assign(defaults.begin(), defaults.end());
  o.device.payload[34] = 2;  // byte 38: GSM-KVT
  o.device.payload[5] = 0x5A;
  o.device.blocks = {Bytes{0x00, 0x2A, 1, 1, 0x06, 0x23, 'h', 'o', 's', 't', 'A', 0, 0, 0, 0},
                     Bytes{0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0},
                     Bytes{0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00}};
  return o;
}

TEST(ParallelExchanges, TwoPortsTwoConfigurationsNeitherTouchesTheOther) {
  SimFixture reading(GsmPanel());
  SimFixture writing(Device(1));
  reading.SelectType(1);  // the device's type comes from its answer
  writing.data.ConfigBuffer[38] = 2;
  const Bytes w2 = Sealed({0x7E, 0x13, 0x57, 0x02, 0x04, 0xD2, 0, 0, 0x05, 0x41, '1', '2', '3', '4', 0, 0, 0, 0});
  writing.data.DestTX_Buffer = test::ValuesOf<DestSettings>(w2);
  CompleteWriteFrame(writing.data.ConfigBuffer, 1);  // as the write seals it
  const SharedData written = writing.data;

  const GsmBlockExchange steps{};  // one for both, as a program holds one
  std::latch start(2);
  ExchangeOutcome read, write;
  std::thread a([&] { start.arrive_and_wait(), read = reading.Run(LinkMode::Read, &steps); });
  std::thread b([&] { start.arrive_and_wait(), write = writing.Run(LinkMode::Write, &steps); });
  a.join();
  b.join();

  EXPECT_EQ(read.finalCode, LinkStatus::StatusReadDone);
  EXPECT_EQ(write.finalCode, LinkStatus::StatusWriteDone);
  EXPECT_EQ(reading.Sim().ReceivedFrames(), (std::vector<Bytes>{Request(1), Request(2), Request(3), Request(4)}));
  const auto sent = writing.Sim().ReceivedFrames();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], Bytes(written.ConfigBuffer.begin(), written.ConfigBuffer.begin() + 46));
  EXPECT_EQ(sent[1], w2);

  EXPECT_EQ(reading.data.ConfigBuffer[9], 0x5A) << "the read configuration holds its device's image";
  ASSERT_TRUE(reading.data.DestTX_Buffer.records[0]);
  EXPECT_EQ(reading.data.DestTX_Buffer.records[0]->text[0], 'h') << "and its device's destinations";
  EXPECT_EQ(reading.data.GprsTX_Buffer.sims[0].apn[0], 'i');
  ASSERT_FALSE(reading.data.SmsTX_Buffer.records.empty());
  EXPECT_EQ(reading.data.SmsTX_Buffer.records[0].kind, 0x02);
  EXPECT_EQ(writing.data.ConfigBuffer, written.ConfigBuffer) << "nothing read landed in the written one";
  EXPECT_EQ(writing.data.DestTX_Buffer, written.DestTX_Buffer);
  EXPECT_EQ(writing.data.GprsTX_Buffer, written.GprsTX_Buffer);
}

}  // namespace
}  // namespace tivolan
