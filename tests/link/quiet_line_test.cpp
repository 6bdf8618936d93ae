// Before a request the line must be quiet: bytes that come unasked (the
// rest of an answer that missed its limit, a device that keeps talking) are
// drained, never taken for the answer, and the request goes out only once
// they stopped. The worker's exchange against a device the test plays on a
// pseudo-terminal, with bytes queued when the request is due, and against a
// line that is never quiet: outcomes that do not depend on the machine's load.
#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/Frames.h"
#include "link/UnitDevProg.h"
#include "support/FrameBytes.h"
#include "support/PtyPair.h"

namespace tivolan {
namespace {

using test::Bytes;
using Clock = std::chrono::steady_clock;

struct Codes final : LinkReporter {
  void LinkStatusMessage(LinkStatus code, int) override { codes.push_back(code); }
  std::vector<LinkStatus> codes;
};

// The device: sends `unasked` at once, then answers the first request it has
// received with `answer`; notes when it began and when the request came.
class Device {
 public:
  Device(const test::PtyPair& pty, Bytes unasked, Bytes answer)
      : pty_(pty), unasked_(std::move(unasked)), answer_(std::move(answer)), thread_([this] { Run(); }) {}
  ~Device() {
    stop_ = true;
    thread_.join();
  }
  Clock::duration QuietBeforeRequest() const { return Clock::duration(requestAt_.load() - start_); }

 private:
  void Run() {
    if (!unasked_.empty()) pty_.Send(unasked_);
    while (!stop_ && received_ < kRequestLength) Listen(5);
    if (received_ >= kRequestLength) pty_.Send(answer_);
  }
  void Listen(int ms) {
    pollfd p{pty_.Master(), POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0) return;
    uint8_t buf[64];
    const ssize_t n = ::read(pty_.Master(), buf, sizeof buf);
    if (n <= 0) return;
    if (received_ < kRequestLength && received_ + static_cast<std::size_t>(n) >= kRequestLength)
      requestAt_ = Clock::now().time_since_epoch().count();
    received_ += static_cast<std::size_t>(n);
  }

  const test::PtyPair& pty_;
  Bytes unasked_;
  Bytes answer_;
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> received_{0};
  const Clock::rep start_ = Clock::now().time_since_epoch().count();
  std::atomic<Clock::rep> requestAt_{Clock::rep{0}};
  std::thread thread_;
};

struct UnaskedCase {
  const char* name;
  Bytes unasked;
  Millis quietBefore;  // the request goes out after the line was quiet this long
};
void PrintTo(const UnaskedCase& c, std::ostream* os) { *os << c.name; }

// The answer to a request of block 2, and one of other content as a late
// answer would be.
const Bytes kAnswer = test::Sealed({0x7E, 0x0F, 0x44, 0x02, 0x00, 0x01, 0x00, 0x00, 0, 0, 0, 0, 0, 0});
const Bytes kLateAnswer = test::Sealed({0x7E, 0x0F, 0x44, 0x02, 0x12, 0x34, 0x01, 0x01, 9, 9, 9, 9, 9, 9});

class QuietLine : public ::testing::TestWithParam<UnaskedCase> {
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

  test::PtyPair pty;
  TDataModule1 dataModule{CreateSystemSerialDevice(), nullptr};  // polled by `poller`
  SharedData data;
  Codes reports;
  std::atomic<bool> stopPolling{false};
  std::thread poller;
};

TEST_P(QuietLine, TheRequestWaitsForUnaskedBytesToStopAndTheirAnswerIsNeverTaken) {
  const UnaskedCase& c = GetParam();
  ASSERT_TRUE(dataModule.cmprtdrvr1.Open());
  TThreadBuff worker(ExchangeContext{dataModule, data, reports, CancelToken{}}, LinkMode::Read);
  Device device(pty, c.unasked, kAnswer);
  // Due once the unasked bytes are queued, however long the device took.
  const auto until = Clock::now() + std::chrono::seconds(10);
  while (!c.unasked.empty() && dataModule.cmprtdrvr1.InputQueued() == 0 && dataModule.ReceivedCount() == 0 &&
         Clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(worker.Exchange(MakeRequestFrame(2)));
  const auto got = dataModule.TakeSnapshot();
  EXPECT_EQ(Bytes(got.bytes.begin(), got.bytes.begin() + static_cast<long>(got.count)), kAnswer);
  EXPECT_GE(device.QuietBeforeRequest(), c.quietBefore) << "the request went out on a line not yet quiet";
  dataModule.cmprtdrvr1.Close();
}

Bytes Repeated(const Bytes& frame, std::size_t times) {
  Bytes all;
  for (std::size_t i = 0; i < times; ++i) all.insert(all.end(), frame.begin(), frame.end());
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, QuietLine,
    ::testing::Values(UnaskedCase{"AQuietLine", {}, limits::kQuietAtOpen},
                      UnaskedCase{"LateAnswersQueued", Repeated(kLateAnswer, 10), limits::kLineQuiet}),
    [](const ::testing::TestParamInfo<UnaskedCase>& p) { return std::string(p.param.name); });

// Input always queued: a device that keeps talking, whatever the load. It
// is given up, and no request goes out.
struct TalkingLine final : SerialDevice {
  bool Open(const std::string&) override { return open = true; }
  bool Close() override { return !(open = false); }
  bool IsOpen() const override { return open; }
  bool SetState(const LineSettings&) override { return true; }
  bool SetQueueSizes(uint32_t, uint32_t) override { return true; }
  bool SetTimeouts(const CommTimeouts&) override { return true; }
  bool Purge(bool, bool) override { return true; }
  bool QueryQueues(QueueState& q) override { return (q = QueueState{1, 0}), true; }
  long Read(uint8_t*, uint32_t) override { return 0; }
  long Write(const uint8_t*, uint32_t n) override { return (requests += n > 0), static_cast<long>(n); }
  bool ModemStatus(uint32_t&) override { return false; }
  bool open = false;
  int requests = 0;
};

TEST(TalkingLine, IsGivenUpAfterTalkingForTheDrainLimitAndNoRequestGoesOut) {
  auto line = std::make_unique<TalkingLine>();
  TalkingLine& talking = *line;
  TDataModule1 dataModule(std::move(line), nullptr);
  ASSERT_TRUE(dataModule.cmprtdrvr1.Open());
  SharedData data;
  Codes reports;
  const auto start = Clock::now();
  EXPECT_FALSE(TThreadBuff(ExchangeContext{dataModule, data, reports, CancelToken{}}, LinkMode::Read)
                   .Exchange(MakeRequestFrame(2)));
  EXPECT_GE(Clock::now() - start, limits::kDrainMost);
  EXPECT_EQ(talking.requests, 0);
}

}  // namespace
}  // namespace tivolan
