// Before a request the line must be quiet: bytes that come unasked (the
// rest of an answer that missed its limit, a late answer, a device that
// keeps talking) are drained, never taken for the answer. The rule is played
// with explicit time; the worker's exchange against a device on a
// pseudo-terminal, and against a line that never goes quiet, shows it wired
// in whatever the machine's load.
#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "link/Frames.h"
#include "link/QuietWatch.h"
#include "link/UnitDevProg.h"
#include "support/CountingDevice.h"
#include "support/FrameBytes.h"
#include "support/PtyPair.h"

namespace tivolan {
namespace {

using test::Bytes;
using Clock = std::chrono::steady_clock;
using Verdict = QuietWatch::Verdict;
using limits::kDrainMost;
using limits::kLateAnswerMost;
using limits::kLineQuiet;
using limits::kQuietAtOpen;

// A watch from time 0; bytes heard at the given times (ms); the first
// verdict other than Wait and when it comes.
struct WatchCase {
  const char* name;
  Millis firstQuiet;
  std::optional<Millis> owedUntil;
  std::vector<Millis> heard;
  Verdict verdict;
  Millis at;
};
void PrintTo(const WatchCase& c, std::ostream* os) { *os << c.name; }

// Bytes every `gap` from 0 to `until`.
std::vector<Millis> Every(Millis gap, Millis until) {
  std::vector<Millis> times;
  for (Millis t{0}; t <= until; t += gap) times.push_back(t);
  return times;
}

class QuietRule : public ::testing::TestWithParam<WatchCase> {};

TEST_P(QuietRule, GivesItsVerdictAtTheTimeItsConstantsSay) {
  const WatchCase& c = GetParam();
  const QuietWatch::Time zero{};
  QuietWatch watch(zero, c.firstQuiet, c.owedUntil ? zero + *c.owedUntil : zero);
  std::size_t next = 0;
  for (Millis t{0}; t <= kLateAnswerMost + 2 * kDrainMost; ++t) {
    for (; next < c.heard.size() && c.heard[next] == t; ++next) watch.Heard(zero + t);
    const Verdict v = watch.At(zero + t);
    if (v == Verdict::Wait) continue;
    EXPECT_EQ(v, c.verdict);
    EXPECT_EQ(t.count(), c.at.count());
    return;
  }
  FAIL() << "no verdict";
}

INSTANTIATE_TEST_SUITE_P(
    Timelines, QuietRule,
    ::testing::Values(
        WatchCase{"SilentAfterOpening", kQuietAtOpen, {}, {}, Verdict::Quiet, kQuietAtOpen},
        WatchCase{"AByteWhileListeningWaitsForTheLineToBeQuietAfterIt", kQuietAtOpen, {}, {Millis{200}},
                  Verdict::Quiet, Millis{200} + kLineQuiet},
        WatchCase{"AnOwedAnswerIsAwaitedUntilItCanNoLongerCome", kQuietAtOpen, kLateAnswerMost, {}, Verdict::Quiet,
                  kLateAnswerMost},
        WatchCase{"AnOwedAnswerThatCameEndsTheWait", kQuietAtOpen, kLateAnswerMost, {Millis{2500}, Millis{2550}},
                  Verdict::Quiet, Millis{2550} + kLineQuiet},
        WatchCase{"GapsJustShorterThanTheQuietNeverCount", kLineQuiet, {}, Every(kLineQuiet - Millis{1}, 4 * kDrainMost),
                  Verdict::GiveUp, kDrainMost},
        WatchCase{"ATalkingLineIsGivenUpFromItsFirstByte", kQuietAtOpen, kLateAnswerMost,
                  Every(Millis{10}, 4 * kDrainMost + Millis{1000}), Verdict::GiveUp, kDrainMost},
        WatchCase{"AGapAsLongAsTheQuietEndsTheTalk", kLineQuiet, {}, {Millis{0}, Millis{300}, Millis{600}},
                  Verdict::Quiet, Millis{600} + kLineQuiet}),
    [](const ::testing::TestParamInfo<WatchCase>& p) { return std::string(p.param.name); });

struct Codes final : LinkReporter {
  void LinkStatusMessage(LinkStatus code, int) override { codes.push_back(code); }
  std::vector<LinkStatus> codes;
};

// The answer to a request of block 2, and one of other content as a late
// answer would be.
const Bytes kAnswer = test::Sealed({0x7E, 0x0F, 0x44, 0x02, 0x00, 0x01, 0x00, 0x00, 0, 0, 0, 0, 0, 0});
const Bytes kLateAnswer = test::Sealed({0x7E, 0x0F, 0x44, 0x02, 0x12, 0x34, 0x01, 0x01, 9, 9, 9, 9, 9, 9});

// The device: sends `unasked` at once (all of it is queued before the
// request is due), then answers the first request with kAnswer; notes when
// the request came.
class Device {
 public:
  Device(const test::PtyPair& pty, Bytes unasked) : pty_(pty), thread_([this, unasked] { Run(unasked); }) {}
  ~Device() {
    stop_ = true;
    thread_.join();
  }
  Clock::time_point RequestAt() const { return Clock::time_point(Clock::duration(requestAt_.load())); }

 private:
  void Run(const Bytes& unasked) {
    if (!unasked.empty()) pty_.Send(unasked);
    std::size_t received = 0;
    while (!stop_ && received < kRequestLength) {
      pollfd p{pty_.Master(), POLLIN, 0};
      if (::poll(&p, 1, 5) <= 0) continue;
      uint8_t buf[64];
      const ssize_t n = ::read(pty_.Master(), buf, sizeof buf);
      if (n > 0) received += static_cast<std::size_t>(n);
    }
    if (received < kRequestLength) return;
    requestAt_ = Clock::now().time_since_epoch().count();
    pty_.Send(kAnswer);
  }

  const test::PtyPair& pty_;
  std::atomic<bool> stop_{false};
  std::atomic<Clock::rep> requestAt_{Clock::rep{0}};
  std::thread thread_;
};

class QuietLine : public ::testing::Test {
 protected:
  QuietLine() {
    dataModule.cmprtdrvr1.SetPortName(pty.SlavePath());
    poller = std::thread([this] {
      while (!stopPolling) {
        dataModule.cmprtdrvr1.PollTimerMessage();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  }
  ~QuietLine() override {
    stopPolling = true;
    poller.join();
  }
  TThreadBuff Worker() { return TThreadBuff(ExchangeContext{dataModule, data, reports, CancelToken{}}, LinkMode::Read); }
  Bytes Received() const {
    const auto got = dataModule.TakeSnapshot();
    return Bytes(got.bytes.begin(), got.bytes.begin() + static_cast<long>(got.count));
  }

  test::PtyPair pty;
  TDataModule1 dataModule{CreateSystemSerialDevice(), nullptr};  // polled by `poller`
  SharedData data;
  Codes reports;
  std::atomic<bool> stopPolling{false};
  std::thread poller;
};

TEST_F(QuietLine, TheFirstRequestAfterOpeningWaitsForTheLineToBeQuiet) {
  ASSERT_TRUE(dataModule.cmprtdrvr1.Open());
  const auto opened = Clock::now();
  TThreadBuff worker = Worker();
  Device device(pty, {});
  ASSERT_TRUE(worker.Exchange(MakeRequestFrame(2)));
  EXPECT_EQ(Received(), kAnswer);
  EXPECT_GE(device.RequestAt() - opened, kQuietAtOpen);
}

TEST_F(QuietLine, LateAnswersQueuedWhenTheRequestIsDueAreDrainedAndNeverTaken) {
  ASSERT_TRUE(dataModule.cmprtdrvr1.Open());
  TThreadBuff worker = Worker();
  Bytes late;
  for (int i = 0; i < 10; ++i) late.insert(late.end(), kLateAnswer.begin(), kLateAnswer.end());
  const auto sent = Clock::now();
  Device device(pty, late);
  // Queued when the request is due, however long the device took to send them.
  while (dataModule.cmprtdrvr1.InputQueued() == 0 && dataModule.ReceivedCount() == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(worker.Exchange(MakeRequestFrame(2)));
  EXPECT_EQ(Received(), kAnswer);
  EXPECT_GE(device.RequestAt() - sent, kLineQuiet) << "the request went out before the line was quiet";
}

// Input always queued: a line that never goes quiet, whatever the machine's
// load. No request goes out.
class TalkingLine final : public SerialDevice {
 public:
  explicit TalkingLine(std::atomic<int>& writes) : inner_(writes) {}
  bool Open(const std::string& path) override { return inner_.Open(path); }
  bool Close() override { return inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  bool SetState(const LineSettings& s) override { return inner_.SetState(s); }
  bool SetQueueSizes(uint32_t i, uint32_t o) override { return inner_.SetQueueSizes(i, o); }
  bool SetTimeouts(const CommTimeouts& t) override { return inner_.SetTimeouts(t); }
  bool Purge(bool i, bool o) override { return inner_.Purge(i, o); }
  bool QueryQueues(QueueState& q) override {
    q = QueueState{1, 0};
    return IsOpen();
  }
  long Read(uint8_t*, uint32_t) override { return 0; }
  long Write(const uint8_t* from, uint32_t n) override { return inner_.Write(from, n); }
  bool ModemStatus(uint32_t& lines) override { return inner_.ModemStatus(lines); }

 private:
  test::CountingDevice inner_;
};

TEST(TalkingLine, IsGivenUpAndNoRequestGoesOut) {
  test::PtyPair pty;
  std::atomic<int> writes{0};
  TDataModule1 dataModule(std::make_unique<TalkingLine>(writes), nullptr);
  dataModule.cmprtdrvr1.SetPortName(pty.SlavePath());
  ASSERT_TRUE(dataModule.cmprtdrvr1.Open());
  SharedData data;
  Codes reports;
  TThreadBuff worker(ExchangeContext{dataModule, data, reports, CancelToken{}}, LinkMode::Read);
  const auto start = Clock::now();
  EXPECT_FALSE(worker.Exchange(MakeRequestFrame(2)));
  EXPECT_GE(Clock::now() - start, kDrainMost);
  EXPECT_EQ(writes, 0);
}

}  // namespace
}  // namespace tivolan
