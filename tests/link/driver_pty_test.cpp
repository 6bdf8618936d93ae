// TCommPortDriver over a real pseudo-terminal pair.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "link/CPDrv.h"
#include "link/EventLoop.h"
#include "support/CountingDevice.h"
#include "support/PtyPair.h"
#ifdef _WIN32
#include "win/Wine.h"
#endif

namespace tivolan {
namespace {

using Bytes = std::vector<uint8_t>;

class DriverOverPty : public ::testing::Test {
 protected:
  DriverOverPty() : driver(std::make_unique<test::CountingDevice>(writes), nullptr) {
    driver.SetPortName(pty.SlavePath());
    driver.SetOnReceiveData([this](TCommPortDriver&, const uint8_t* data, uint32_t count) {
      deliveries.emplace_back(data, data + count);
    });
  }
  test::PtyPair pty;
  std::atomic<int> writes{0};
  TCommPortDriver driver;
  std::vector<Bytes> deliveries;
};

TEST_F(DriverOverPty, OpensRaw8N1AtTheProgrammedSpeedWithoutFlowControl) {
  driver.SetHwFlow(THwFlowControl::hfNONE);
  ASSERT_TRUE(driver.Open());
  const termios t = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_FALSE(t.c_cflag & PARENB);
  EXPECT_FALSE(t.c_cflag & CSTOPB);
  EXPECT_FALSE(t.c_cflag & CRTSCTS);
  EXPECT_TRUE(t.c_cflag & CLOCAL) << "never waits for a modem line";
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL));
  EXPECT_FALSE(t.c_oflag & OPOST);
}

TEST_F(DriverOverPty, SettersReapplyWhileOpen) {
  ASSERT_TRUE(driver.Open());
  driver.SetBaudRate(TBaudRate::br115200);
  termios t = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&t), B115200);
  driver.SetBaudRateValue(4800);
  t = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&t), B4800);
  // Parity, data and stop bits cannot be seen here: a pseudo-terminal keeps 8N1.
}

TEST_F(DriverOverPty, ThreeHundredBytesWithA256ByteQueueGoOutInPieces) {
  driver.SetOutBufSize(256);
  ASSERT_TRUE(driver.Open());
  Bytes data(300);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(driver.Write(data.data(), 300), 300u);
  EXPECT_GE(writes.load(), 2);
  EXPECT_EQ(pty.Receive(300, 2000), data);
}

TEST_F(DriverOverPty, AStalledLineReturnsWhatWasSentSoFar) {
  driver.SetOutputTimeout(100);
  ASSERT_TRUE(driver.Open());
  Bytes data(256 * 1024, 0x55);  // far more than the terminal buffers hold; nobody reads
  const uint32_t sent = driver.Write(data.data(), static_cast<uint32_t>(data.size()));
  EXPECT_GT(sent, 0u);
  EXPECT_LT(sent, data.size());
}

TEST_F(DriverOverPty, BurstsBetweenTwoTicksArriveInOneCallAndAnIdleTickCallsNothing) {
  ASSERT_TRUE(driver.Open());
  driver.PollTimerMessage();
  EXPECT_TRUE(deliveries.empty());
  pty.Send({0x7E, 0x0A});
  pty.Send({0x44, 0x01});
  pty.Send({0x03, 0x7E});
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  driver.PollTimerMessage();
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_EQ(deliveries[0], (Bytes{0x7E, 0x0A, 0x44, 0x01, 0x03, 0x7E}));
  driver.PollTimerMessage();
  EXPECT_EQ(deliveries.size(), 1u);
}

TEST_F(DriverOverPty, PacketDeliveryCutsWholePacketsAndDiscardsAStaleRest) {
  std::vector<Bytes> packets;
  driver.SetOnReceivePacket([&](TCommPortDriver&, const uint8_t* d, uint32_t n) { packets.emplace_back(d, d + n); });
  driver.SetPacketSize(4);
  driver.SetPacketTimeout(60);
  ASSERT_TRUE(driver.Open());
  pty.Send({1, 2, 3, 4, 5, 6, 7, 8, 9});
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  driver.PollTimerMessage();
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(packets[1], (Bytes{5, 6, 7, 8}));
  driver.PollTimerMessage();  // the partial packet starts its clock
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  driver.PollTimerMessage();
  EXPECT_EQ(packets.size(), 2u) << "pmDiscard drops the rest";
  EXPECT_TRUE(deliveries.empty()) << "no stream delivery in packet mode";
}

TEST_F(DriverOverPty, PurgeDropsWhatWasQueued) {
  ASSERT_TRUE(driver.Open());
  pty.Send({1, 2, 3});
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_TRUE(driver.Purge(true, true));
  driver.PollTimerMessage();
  EXPECT_TRUE(deliveries.empty());
  driver.Close();
  EXPECT_FALSE(driver.Purge(true, true));
}

TEST_F(DriverOverPty, ThePollTimerRunsOnlyWhileOpen) {
  EventLoop loop;
  LoopPollTimer timer(loop);
  TCommPortDriver polled(CreateSystemSerialDevice(), &timer);
  polled.SetPortName(pty.SlavePath());
  polled.SetPollingDelay(20);
  std::atomic<int> got{0};
  polled.SetOnReceiveData([&](TCommPortDriver&, const uint8_t*, uint32_t n) { got += static_cast<int>(n); });
  ASSERT_TRUE(polled.Open());
  pty.Send({1, 2, 3, 4, 5});
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  loop.RunUntil([&] { return got == 5 || std::chrono::steady_clock::now() > until; });
  EXPECT_EQ(got.load(), 5);
  EXPECT_TRUE(polled.Close());
}

TEST_F(DriverOverPty, OpenAndCloseFromAnotherThreadWhilePolling) {
  EventLoop loop;
  LoopPollTimer timer(loop);
  TCommPortDriver polled(CreateSystemSerialDevice(), &timer);
  polled.SetPortName(pty.SlavePath());
  polled.SetPollingDelay(5);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      EXPECT_TRUE(polled.Open());
      pty.Send({0x11});
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      EXPECT_TRUE(polled.Close());
    }
    done = true;
  });
  loop.RunUntil([&] { return done.load(); });
  worker.join();
  EXPECT_FALSE(polled.IsOpen());
}

TEST(DriverOpen, RefusesPathsThatAreNoPortsAtOnce) {
  for (const char* path : {"/dev/nonexistent-tty", "/dev/null", "", "/"}) {
    TCommPortDriver d(CreateSystemSerialDevice(), nullptr);
    d.SetPortName(path);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(d.Open()) << path;
    EXPECT_FALSE(d.IsOpen());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(d.Write(reinterpret_cast<const uint8_t*>("x"), 1), 0u);
  }
}

TEST(DriverOpen, SecondOpenerOfTheSamePortIsRefused) {
#ifdef _WIN32
  if (test::RunningUnderWine()) GTEST_SKIP() << test::kWineSharesPorts;
#endif
  test::PtyPair pty;
  TCommPortDriver first(CreateSystemSerialDevice(), nullptr);
  TCommPortDriver second(CreateSystemSerialDevice(), nullptr);
  first.SetPortName(pty.SlavePath());
  second.SetPortName(pty.SlavePath());
  ASSERT_TRUE(first.Open());
  EXPECT_FALSE(second.Open());
  first.Close();
  EXPECT_TRUE(second.Open());
}

}  // namespace
}  // namespace tivolan
