#include <gtest/gtest.h>

#include "link/CPDrv.h"
#include "link/Firmware.h"
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

// A device that opens without hardware and keeps the line settings it was given.
class SettingsDevice final : public SerialDevice {
 public:
  explicit SettingsDevice(LineSettings& given) : given_(given) {}
  bool Open(const std::string&) override { return open_ = true; }
  bool Close() override { return !(open_ = false); }
  bool IsOpen() const override { return open_; }
  bool SetState(const LineSettings& s) override {
    given_ = s;
    return true;
  }
  bool SetQueueSizes(uint32_t, uint32_t) override { return true; }
  bool SetTimeouts(const CommTimeouts&) override { return true; }
  bool Purge(bool, bool) override { return true; }
  bool QueryQueues(QueueState&) override { return true; }
  long Read(uint8_t*, uint32_t) override { return 0; }
  long Write(const uint8_t*, uint32_t n) override { return static_cast<long>(n); }
  bool ModemStatus(uint32_t&) override { return false; }

 private:
  LineSettings& given_;
  bool open_ = false;
};

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
  TCommPortDriver config(CreateSystemSerialDevice(), nullptr, kConfigPortSettings);
  EXPECT_EQ(config.Port(), TPortNumber::pnCustom);
  EXPECT_EQ(config.PortName(), DefaultPortPath());
  EXPECT_EQ(config.BaudRateValue(), 9600u);
  EXPECT_EQ(config.HwFlow(), THwFlowControl::hfNONE);
  EXPECT_EQ(config.InBufSize(), 1024u);
  EXPECT_EQ(config.ScratchBuffer().size(), 1024u);
  EXPECT_EQ(config.PollingDelay(), 500);
  EXPECT_FALSE(config.EnableDTROnOpen());
  EXPECT_EQ(config.OutputTimeout(), 200);

  auto update = MakeUpdatePort(CreateSystemSerialDevice(), nullptr);
  EXPECT_EQ(update.BaudRate(), TBaudRate::brCustom);
  EXPECT_EQ(update.BaudRateValue(), 115200u);
  EXPECT_EQ(update.InBufSize(), 256u);
  EXPECT_EQ(update.OutBufSize(), 256u);
  EXPECT_EQ(update.PollingDelay(), 10);
  EXPECT_EQ(update.InputTimeout(), 10u);

  // What both share.
  for (const TCommPortDriver* port : {&config, &update}) {
    EXPECT_EQ(port->Port(), TPortNumber::pnCustom);
    EXPECT_EQ(port->PortName(), DefaultPortPath());
    EXPECT_EQ(port->HwFlow(), THwFlowControl::hfNONE);
    EXPECT_FALSE(port->EnableDTROnOpen());
    EXPECT_EQ(port->OutputTimeout(), 200);
  }
  EXPECT_EQ(config.OutBufSize(), 1024u);
  EXPECT_EQ(config.InputTimeout(), 200u);
}

struct XonCase {
  TSwFlowControl flow;
  uint32_t inBufSize;
  bool xonXoff;
  uint32_t limit;
};
class DriverXonLimit : public ::testing::TestWithParam<XonCase> {};

// A quarter of the input queue, also for the largest queue; no limit is
// given for a line without XON/XOFF.
TEST_P(DriverXonLimit, IsAQuarterOfTheInputQueueWhenXonXoffIsOn) {
  const XonCase& c = GetParam();
  LineSettings given;
  given.xonLimit = 12345;
  TCommPortDriver d(std::make_unique<SettingsDevice>(given), nullptr);
  d.SetSwFlow(c.flow);
  d.SetInBufSize(c.inBufSize);
  ASSERT_TRUE(d.Open());
  EXPECT_EQ(given.xonXoff, c.xonXoff);
  EXPECT_EQ(given.xonLimit, c.limit);
  EXPECT_EQ(given.byteSize, 8) << "8N1";
  EXPECT_EQ(given.parity, 0);
  EXPECT_EQ(given.stopBits, 0);
}

INSTANTIATE_TEST_SUITE_P(Queues, DriverXonLimit,
                         ::testing::Values(XonCase{TSwFlowControl::sfXONXOFF, 1024, true, 256},
                                           XonCase{TSwFlowControl::sfXONXOFF, 8192, true, 2048},
                                           XonCase{TSwFlowControl::sfXONXOFF, 50, true, 32},
                                           XonCase{TSwFlowControl::sfNONE, 1024, false, 0}));

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
