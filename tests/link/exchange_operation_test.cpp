// The one exchange operation: cancellation, the wait for its end, starts
// while the last worker closes the port. Over a pseudo-terminal against the
// simulator, as the programs run it.
#include <gtest/gtest.h>

#include <thread>

#include "link/ExchangeOperation.h"
#include "support/SimFixture.h"

namespace tivolan {
namespace {

using sim::Fault;
using test::Device;
using test::SimFixture;
using test::Codes;
using test::Numbers;

struct CancelCase {
  const char* name;
  Fault fault;
  LinkMode mode;
  LinkStatus cancelAfter;  // the report after which the interrupt comes...
  int delayMs;             // ...this much later
  Codes codes;             // the reports that reached the owner
};
void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }

class ExchangeCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(ExchangeCancel, EndsWithinItsDeadlineWithThePortClosedAndNothingStored) {
  const CancelCase& c = GetParam();
  SimFixture f(Device(1, c.fault));
  const ImageBuffer before = f.data.ConfigBuffer;
  std::atomic<bool> interrupted{false};
  std::thread later;
  const ExchangeOutcome outcome = RunExchange(
      f.loop, f.dataModule, f.data, c.mode,
      [&](LinkStatus code, int) {
        if (code != c.cancelAfter || later.joinable()) return;
        later = std::thread([&] {
          std::this_thread::sleep_for(std::chrono::milliseconds(c.delayMs));
          interrupted = true;
        });
      },
      nullptr, &interrupted);
  later.join();
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_TRUE(outcome.ended) << "the worker ended within limits::kShutdown";
  EXPECT_EQ(Numbers(outcome.codes), c.codes) << "no report after the cancel";
  EXPECT_EQ(outcome.finalCode, std::nullopt);
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
  if (c.mode == LinkMode::Read) {
    EXPECT_EQ(f.data.ConfigBuffer, before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ExchangeCancel,
    ::testing::Values(CancelCase{"waiting for the first byte", Fault::NoAnswer, LinkMode::Read,
                                 LinkStatus::StatusPortOpened, 300, {2}},
                      CancelCase{"in the middle of an answer", Fault::Truncated, LinkMode::Read,
                                 LinkStatus::StatusAnswerReceived, 100, {2, 3}},
                      CancelCase{"during a stalled write", Fault::Stall, LinkMode::Write, LinkStatus::StatusPortOpened,
                                 60, {2}}));

// The stall alone, not cancelled: the frame cannot go out, so there is no
// answer to wait for and the exchange fails at once with "no link".
TEST(ExchangeStall, AFrameThatCannotGoOutIsNoLinkWithoutWaitingForAnAnswer) {
  SimFixture f(Device(1, Fault::Stall));
  EXPECT_EQ(Numbers(f.Run(LinkMode::Write).codes), (Codes{2, 7}));
  EXPECT_LT(f.MsBetween(LinkStatus::StatusPortOpened, LinkStatus::StatusNoLink), limits::kAnswerStart.count());
  EXPECT_TRUE(f.Sim().ReceivedFrames().empty());
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
}

// An owner whose report handler starts the next exchange (the window's
// final report re-enables its buttons, and a click can come at once).
TEST(ExchangeOperationStarts, AStartFromTheFinalReportRunsOnceTheLastWorkerEnded) {
  SimFixture f(Device(1));
  std::vector<LinkStatus> codes;
  int reads = 0;
  ExchangeOperation* self = nullptr;
  ExchangeOperation operation(
      f.dataModule, f.data, [&](ExchangeOperation::Task t) { f.loop.Post(std::move(t)); },
      [&](LinkStatus code, int) {
        codes.push_back(code);
        if (code == LinkStatus::StatusReadDone && ++reads == 1) self->Start(LinkMode::Read);
      });
  self = &operation;
  operation.Start(LinkMode::Read);
  f.loop.RunUntil([&] { return !operation.Running(); });
  using enum LinkStatus;
  EXPECT_EQ(codes, (std::vector<LinkStatus>{StatusPortOpened, StatusAnswerReceived, StatusAnswerReceived,
                                            StatusReadDone, StatusPortOpened, StatusAnswerReceived,
                                            StatusAnswerReceived, StatusReadDone}));
  EXPECT_EQ(f.Sim().ReceivedFrames().size(), 2u);
  EXPECT_FALSE(f.dataModule.cmprtdrvr1.IsOpen());
}

// The owner learns when the port is free again: after the final report, and
// after a failed exchange only once the line was drained.
class ExchangeOperationEnds : public ::testing::TestWithParam<Fault> {};

TEST_P(ExchangeOperationEnds, OnceAfterTheFinalReportWithThePortClosed) {
  SimFixture f(Device(1, GetParam()));
  int finals = 0;
  std::vector<bool> portClosedAtEnd;
  ExchangeOperation operation(
      f.dataModule, f.data, [&](ExchangeOperation::Task t) { f.loop.Post(std::move(t)); },
      [&](LinkStatus code, int) { finals += IsFinalStatus(code); });
  operation.SetOnEnded([&] {
    EXPECT_EQ(finals, 1);
    portClosedAtEnd.push_back(!f.dataModule.cmprtdrvr1.IsOpen());
  });
  operation.Start(LinkMode::Read);
  f.loop.RunUntil([&] { return !portClosedAtEnd.empty(); });
  EXPECT_FALSE(operation.Running());
  EXPECT_EQ(portClosedAtEnd, std::vector<bool>{true});
}

INSTANTIATE_TEST_SUITE_P(Devices, ExchangeOperationEnds,
                         ::testing::Values(Fault::None, Fault::NoAnswer, Fault::Truncated));

TEST(ExchangeOperationStarts, AClosedOperationStartsNothing) {
  SimFixture f(Device(1));
  int reports = 0;
  ExchangeOperation operation(
      f.dataModule, f.data, [&](ExchangeOperation::Task t) { f.loop.Post(std::move(t)); },
      [&](LinkStatus, int) { ++reports; });
  EXPECT_TRUE(operation.Close());
  operation.Start(LinkMode::Read);
  EXPECT_FALSE(operation.Running());
  f.loop.RunUntil([&] { return true; });
  EXPECT_EQ(reports, 0);
  EXPECT_TRUE(f.Sim().ReceivedFrames().empty());
}

}  // namespace
}  // namespace tivolan
