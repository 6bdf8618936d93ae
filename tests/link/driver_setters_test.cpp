#include <gtest/gtest.h>

#include "link/CPDrv.h"
#include "link/UnitData.h"
#include "support/PtyPair.h"

namespace tivolan {
namespace {

// Counts starts and stops of the receive poll.
class CountingTimer final : public PollTimer {
 public:
  void Start(unsigned periodMs, std::function<void()>) override {
    ++starts;
    period = periodMs;
  }
  void Stop() override { ++stops; }
  int starts = 0;
  int stops = 0;
  unsigned period = 0;
};

TCommPortDriver MakeDriver(PollTimer* timer = nullptr) { return TCommPortDriver(CreateSystemSerialDevice(), timer); }

TEST(DriverDefaults, ComponentDefaults) {
  auto d = MakeDriver();
  EXPECT_EQ(d.Port(), TPortNumber::pnCOM2);
  EXPECT_EQ(d.PortName(), NumberedPortPath(2));
  EXPECT_EQ(d.BaudRate(), TBaudRate::br9600);
  EXPECT_EQ(d.BaudRateValue(), 9600u);
  EXPECT_EQ(d.HwFlow(), THwFlowControl::hfNONERTSON);
  EXPECT_EQ(d.InBufSize(), 2048u);
  EXPECT_EQ(d.ScratchBuffer().size(), 2048u);
  EXPECT_EQ(d.OutBufSize(), 2048u);
  EXPECT_EQ(d.PacketSize(), -1);
  EXPECT_EQ(d.PacketTimeout(), -1);
  EXPECT_EQ(d.PollingDelay(), 50);
  EXPECT_TRUE(d.EnableDTROnOpen());
  EXPECT_EQ(d.OutputTimeout(), 500);
  EXPECT_EQ(d.InputTimeout(), 200u);
  EXPECT_FALSE(d.IsOpen());
  EXPECT_EQ(d.OutputFreeSpace(), 0xFFFF);
  EXPECT_EQ(d.LineStatus(), 0);
}

TEST(DriverDefaults, TheTwoInstances) {
  auto config = MakeDriver();
  ConfigureConfigPort(config);
  EXPECT_EQ(config.Port(), TPortNumber::pnCustom);
  EXPECT_EQ(config.PortName(), DefaultPortPath());
  EXPECT_EQ(config.BaudRateValue(), 9600u);
  EXPECT_EQ(config.HwFlow(), THwFlowControl::hfNONE);
  EXPECT_EQ(config.InBufSize(), 1024u);
  EXPECT_EQ(config.ScratchBuffer().size(), 1024u);
  EXPECT_EQ(config.PollingDelay(), 500);
  EXPECT_FALSE(config.EnableDTROnOpen());
  EXPECT_EQ(config.OutputTimeout(), 200);

  auto update = MakeDriver();
  ConfigureUpdatePort(update);
  EXPECT_EQ(update.BaudRate(), TBaudRate::brCustom);
  EXPECT_EQ(update.BaudRateValue(), 115200u);
  EXPECT_EQ(update.InBufSize(), 256u);
  EXPECT_EQ(update.OutBufSize(), 256u);
  EXPECT_EQ(update.PollingDelay(), 10);
  EXPECT_EQ(update.InputTimeout(), 10u);
}

TEST(DriverSetters, PortAndPortName) {
  auto d = MakeDriver();
  d.SetPort(TPortNumber::pnCOM12);
  EXPECT_EQ(d.PortName(), NumberedPortPath(12));
  d.SetPortName("/dev/ttyUSB0");
  EXPECT_EQ(d.Port(), TPortNumber::pnCustom);
  EXPECT_EQ(d.PortName(), "/dev/ttyUSB0");
  d.SetPort(TPortNumber::pnCustom);
  EXPECT_EQ(d.PortName(), "/dev/ttyUSB0") << "pnCustom keeps the name";
}

TEST(DriverSetters, BaudRates) {
  auto d = MakeDriver();
  d.SetBaudRate(TBaudRate::br115200);
  EXPECT_EQ(d.BaudRateValue(), 115200u);
  d.SetBaudRateValue(31250);
  EXPECT_EQ(d.BaudRate(), TBaudRate::brCustom);
  EXPECT_EQ(d.BaudRateValue(), 31250u);
  d.SetBaudRate(TBaudRate::brCustom);
  EXPECT_EQ(d.BaudRateValue(), 31250u) << "brCustom does no table lookup";
  EXPECT_EQ(BaudRateTableValue(TBaudRate::br256000), 256000u);
  EXPECT_EQ(BaudRateTableValue(TBaudRate::br110), 110u);
}

TEST(DriverSetters, BufferSizesAreClampedAndTheScratchBufferFollows) {
  auto d = MakeDriver();
  d.SetInBufSize(50);
  EXPECT_EQ(d.InBufSize(), 128u);
  EXPECT_EQ(d.ScratchBuffer().size(), 128u);
  d.SetInBufSize(10000);
  EXPECT_EQ(d.InBufSize(), 8192u);
  EXPECT_EQ(d.ScratchBuffer().size(), 8192u);
  d.SetOutBufSize(1);
  EXPECT_EQ(d.OutBufSize(), 128u);
  d.SetOutBufSize(1u << 20);
  EXPECT_EQ(d.OutBufSize(), 8192u);
}

TEST(DriverSetters, PacketSizeRaisesTheInputBufferAndNeverExceedsIt) {
  auto d = MakeDriver();
  d.SetPacketSize(0);
  EXPECT_EQ(d.PacketSize(), -1);
  d.SetPacketSize(3000);
  EXPECT_EQ(d.PacketSize(), 3000);
  EXPECT_EQ(d.InBufSize(), 3000u);
  d.SetPacketSize(20000);  // beyond the largest buffer
  EXPECT_EQ(d.PacketSize(), 8192);
  EXPECT_EQ(d.InBufSize(), 8192u);
  d.SetInBufSize(200);  // re-runs the packet size setter
  EXPECT_EQ(d.InBufSize(), 8192u);
}

TEST(DriverSetters, PacketTimeoutFollowsThePollingDelay) {
  auto d = MakeDriver();
  d.SetPacketTimeout(0);
  EXPECT_EQ(d.PacketTimeout(), -1);
  d.SetPacketTimeout(30);
  EXPECT_EQ(d.PacketTimeout(), 70);
  d.SetPacketTimeout(80);
  EXPECT_EQ(d.PacketTimeout(), 80);
  d.SetPollingDelay(500);
  EXPECT_EQ(d.PacketTimeout(), 700) << "re-run with the current timeout";
  d.SetPacketTimeout(30);
  EXPECT_EQ(d.PacketTimeout(), 700);
}

TEST(DriverSetters, PollingDelayMinimumAndRestartOnlyOnChangeWhileOpen) {
  test::PtyPair pty;
  CountingTimer timer;
  auto d = MakeDriver(&timer);
  d.SetPollingDelay(0);
  EXPECT_EQ(d.PollingDelay(), 5);
  EXPECT_EQ(timer.starts, 0) << "closed: no timer";
  d.SetPortName(pty.SlavePath());
  ASSERT_TRUE(d.Open());
  EXPECT_EQ(timer.starts, 1);
  EXPECT_EQ(timer.period, 5u);
  d.SetPollingDelay(5);
  EXPECT_EQ(timer.starts, 1) << "same value: nothing happens";
  d.SetPollingDelay(40);
  EXPECT_EQ(timer.starts, 2);
  EXPECT_EQ(timer.period, 40u);
  EXPECT_TRUE(d.Close());
}

TEST(DriverSetters, NameAndSizesAreIgnoredWhileOpen) {
  test::PtyPair pty;
  auto d = MakeDriver();
  d.SetPortName(pty.SlavePath());
  ASSERT_TRUE(d.Open());
  EXPECT_TRUE(d.Open()) << "already open is success";
  d.SetPortName("/dev/ttyS9");
  d.SetPort(TPortNumber::pnCOM3);
  d.SetInBufSize(4096);
  d.SetOutBufSize(4096);
  EXPECT_EQ(d.PortName(), pty.SlavePath());
  EXPECT_EQ(d.Port(), TPortNumber::pnCustom);
  EXPECT_EQ(d.InBufSize(), 2048u);
  EXPECT_EQ(d.OutBufSize(), 2048u);
  d.SetPacketSize(3000);  // cannot grow the buffer now
  EXPECT_EQ(d.PacketSize(), 2048);
  EXPECT_TRUE(d.Close());
  EXPECT_FALSE(d.Close()) << "closing a closed port does nothing";
}

}  // namespace
}  // namespace tivolan
