// A write that fails or is cancelled after a block went out says which
// blocks went out, so that the front ends can warn that the device may hold
// part of the new configuration. Through RunExchange (the tool) and through
// the operation's owner (the window), against the simulator.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "support/FrameBytes.h"
#include "support/SimFixture.h"

namespace tivolan {
namespace {

using sim::Fault;
using test::Bytes;
using test::Sealed;
using test::SimFixture;
using Blocks = std::vector<int>;

// A type 1 configuration with GSM, block 2 with the GPRS and SMS flags, and
// the frames of blocks 3 and 4: a write sends W1 to W4.
void PrepareGsmWrite(SharedData& data) {
  data.ConfigBuffer[38] = 2;
  const Bytes w2 = Sealed({0x7E, 27, 0x57, 0x02, 0x12, 0x34, 0x01, 0x01, 0x0D, 0x49, '+', '7', '9', '0', '3', '1', '2',
                           '3', '4', '5', '6', '7', 0, 0, 0, 0});
  const Bytes w3 = Sealed({0x7E, 18, 0x57, 0x03, 0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0});
  const Bytes w4 = Sealed({0x7E, 16, 0x57, 0x04, 0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00});
  test::HoldFrames(data, w2, w3, w4);
}

sim::SimOptions Panel(Fault fault, int faultBlock) {
  sim::SimOptions o = test::Device(1, fault);
  o.device.faultBlock = faultBlock;
  return o;
}

// The blocks of the write frames the device received whole.
Blocks WrittenTo(sim::SimPort& device) {
  Blocks blocks;
  for (const auto& frame : device.ReceivedFrames())
    if (frame.size() > 3 && frame[2] == 0x57) blocks.push_back(frame[3]);
  return blocks;
}

struct UnfinishedCase {
  const char* name;
  LinkMode mode;
  Fault fault;
  int faultBlock;
  std::optional<LinkStatus> cancelAfter;  // Ctrl+C 300 ms after this report
  int finalCode;                          // -1: cancelled first
  Blocks sent;
  bool unfinished;
};
void PrintTo(const UnfinishedCase& c, std::ostream* os) { *os << c.name; }

class UnfinishedWrite : public ::testing::TestWithParam<UnfinishedCase> {};

TEST_P(UnfinishedWrite, TheOutcomeNamesTheBlocksThatWentOut) {
  const UnfinishedCase& c = GetParam();
  SimFixture f(Panel(c.fault, c.faultBlock));
  PrepareGsmWrite(f.data);
  std::atomic<bool> interrupted{false};
  std::thread later;
  const ExchangeOutcome outcome = RunExchange(
      f.loop, f.dataModule, f.data, c.mode,
      [&](LinkStatus code, int) {
        if (code != c.cancelAfter || later.joinable()) return;
        later = std::thread([&] {
          std::this_thread::sleep_for(std::chrono::milliseconds(300));
          interrupted = true;
        });
      },
      &f.gsm, &interrupted);
  if (later.joinable()) later.join();
  EXPECT_EQ(test::Number(outcome.finalCode), c.finalCode);
  EXPECT_EQ(outcome.cancelled, c.cancelAfter.has_value());
  EXPECT_EQ(outcome.blocksSent, c.sent);
  EXPECT_EQ(outcome.blocksSent, WrittenTo(f.Sim())) << "what the device received";
  EXPECT_EQ(outcome.WriteUnfinished(), c.unfinished);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, UnfinishedWrite,
    ::testing::Values(
        UnfinishedCase{"AllFourBlocksConfirmed", LinkMode::Write, Fault::None, 0, {}, 1, {1, 2, 3, 4}, false},
        UnfinishedCase{"BlockOneUnanswered", LinkMode::Write, Fault::NoAnswer, 1, {}, 7, {1}, true},
        UnfinishedCase{"BlockOneReadBackDiffers", LinkMode::Write, Fault::ReadBackDiffers, 1, {}, 8, {1}, true},
        UnfinishedCase{"BlockTwoReadBackDiffers", LinkMode::Write, Fault::ReadBackDiffers, 2, {}, 10, {1, 2}, true},
        UnfinishedCase{"BlockThreeUnanswered", LinkMode::Write, Fault::NoAnswer, 3, {}, 10, {1, 2, 3}, true},
        UnfinishedCase{"BlockFourUnanswered", LinkMode::Write, Fault::NoAnswer, 4, {}, 10, {1, 2, 3, 4}, true},
        UnfinishedCase{"AFrameThatCannotGoOut", LinkMode::Write, Fault::Stall, 0, {}, 7, {}, false},
        UnfinishedCase{"CancelledWaitingForBlockOne", LinkMode::Write, Fault::NoAnswer, 1,
                       LinkStatus::StatusPortOpened, -1, {1}, true},
        UnfinishedCase{"CancelledWaitingForBlockTwo", LinkMode::Write, Fault::NoAnswer, 2,
                       LinkStatus::StatusGsmWriting, -1, {1, 2}, true},
        UnfinishedCase{"AReadSendsNoBlock", LinkMode::Read, Fault::None, 0, {}, 0, {}, false}),
    [](const ::testing::TestParamInfo<UnfinishedCase>& p) { return std::string(p.param.name); });

// The window's side: the owner asks the operation, from the final report or
// after closing it in the middle of a write.
TEST(UnfinishedWriteOwner, AsksTheBlocksFromTheFinalReport) {
  SimFixture f(Panel(Fault::NoAnswer, 3));
  PrepareGsmWrite(f.data);
  Blocks atFinal;
  ExchangeOperation* self = nullptr;
  ExchangeOperation operation(
      f.dataModule, f.data, [&](ExchangeOperation::Task t) { f.loop.Post(std::move(t)); },
      [&](LinkStatus code, int) {
        if (IsFinalStatus(code)) atFinal = self->BlocksSent();
      });
  self = &operation;
  operation.Start(LinkMode::Write, &f.gsm);
  f.loop.RunUntil([&] { return !operation.Running(); });
  EXPECT_EQ(atFinal, (Blocks{1, 2, 3}));
  EXPECT_EQ(operation.BlocksSent(), atFinal);
}

TEST(UnfinishedWriteOwner, AsksTheBlocksAfterClosingInTheMiddleOfAWrite) {
  SimFixture f(Panel(Fault::NoAnswer, 2));
  PrepareGsmWrite(f.data);
  ExchangeOperation operation(
      f.dataModule, f.data, [&](ExchangeOperation::Task t) { f.loop.Post(std::move(t)); },
      [&](LinkStatus code, int) {
        if (code == LinkStatus::StatusGsmWriting) f.loop.StartTimer(300, [&] { f.loop.Quit(); });
      });
  operation.Start(LinkMode::Write, &f.gsm);
  f.loop.RunUntil([&] { return !operation.Running(); });  // ends with the timer's Quit
  ASSERT_TRUE(operation.Close());
  EXPECT_EQ(operation.BlocksSent(), (Blocks{1, 2}));
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
}

TEST(UnfinishedWriteText, NamesTheBlocksSent) {
  EXPECT_EQ(UnfinishedWriteText({1}),
            "Запись не завершена: прибор может содержать часть новой конфигурации, запишите её ещё раз "
            "(отправлен блок 1 - настройки прибора)");
  EXPECT_EQ(UnfinishedWriteText({1, 2, 3}),
            "Запись не завершена: прибор может содержать часть новой конфигурации, запишите её ещё раз "
            "(отправлены блоки 1 - настройки прибора, 2 - направления доставки, 3 - GPRS)");
}

}  // namespace
}  // namespace tivolan
