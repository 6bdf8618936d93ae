// Before a request the line must be quiet: bytes that come unasked (the
// rest of an answer that missed its limit, a device that keeps talking) are
// drained, never taken for the answer, and the request goes out only once
// they stopped. The worker's exchange against a device the test plays on a
// pseudo-terminal, with bytes still arriving when the request is due.
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

// The device: sends `unasked` at the line's pace, then answers the first
// request it has received with `answer`; notes when the request came.
class Device {
 public:
  Device(const test::PtyPair& pty, Bytes unasked, Bytes answer)
      : pty_(pty), unasked_(std::move(unasked)), answer_(std::move(answer)), thread_([this] { Run(); }) {}
  ~Device() {
    stop_ = true;
    thread_.join();
  }
  // The request arrived after the last unasked byte went out.
  bool RequestAfterUnasked() const { return requestAt_.load() >= unaskedEnd_.load(); }
  std::size_t Received() const { return received_; }

 private:
  void Run() {
    for (uint8_t byte : unasked_) {
      if (stop_) return;
      pty_.Send({byte});
      Listen(1);  // about one byte time at 9600 baud
    }
    unaskedEnd_ = Clock::now().time_since_epoch().count();
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
  std::atomic<Clock::rep> unaskedEnd_{Clock::rep{0}};
  std::atomic<Clock::rep> requestAt_{Clock::rep{0}};
  std::thread thread_;
};

struct UnaskedCase {
  const char* name;
  Bytes unasked;
  bool answered;  // the exchange takes the device's answer to its request
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
  // Due while the unasked bytes are still coming.
  const auto until = Clock::now() + std::chrono::seconds(1);
  while (!c.unasked.empty() && dataModule.cmprtdrvr1.InputQueued() == 0 && dataModule.ReceivedCount() == 0 &&
         Clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const bool answered = worker.Exchange(MakeRequestFrame(2));
  EXPECT_EQ(answered, c.answered);
  if (c.answered) {
    const auto got = dataModule.TakeSnapshot();
    EXPECT_EQ(Bytes(got.bytes.begin(), got.bytes.begin() + static_cast<long>(got.count)), kAnswer);
    EXPECT_TRUE(device.RequestAfterUnasked()) << "the request went out into bytes still arriving";
  } else {
    EXPECT_EQ(device.Received(), 0u) << "no request goes out on a line that never went quiet";
  }
  dataModule.cmprtdrvr1.Close();
}

Bytes Repeated(const Bytes& frame, std::size_t times) {
  Bytes all;
  for (std::size_t i = 0; i < times; ++i) all.insert(all.end(), frame.begin(), frame.end());
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, QuietLine,
    ::testing::Values(UnaskedCase{"AQuietLine", {}, true},
                      // About 160 ms of answers at 9600 baud: purging once, as
                      // a request would, leaves their rest to mix with its answer.
                      UnaskedCase{"LateAnswersStillArriving", Repeated(kLateAnswer, 10), true},
                      // Longer than limits::kDrainMost.
                      UnaskedCase{"ADeviceThatKeepsTalking", Repeated(kLateAnswer, 200), false}),
    [](const ::testing::TestParamInfo<UnaskedCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace tivolan
