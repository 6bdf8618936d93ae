// The Win32 serial backend over Wine's COM mapping, beyond the shared
// driver tests (link/driver_pty_test.cpp runs here too): what the DCB turns
// into on the line, the port states Windows reports, and what Wine cannot
// show.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "link/CPDrv.h"
#include "link/Firmware.h"
#include "link/os/SerialDevice.h"
#include "link/os/ThreadPriority.h"
#include "platform/PortState.h"
#include "support/PtyPair.h"
#include "win/Wine.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tivolan {
namespace {

using Bytes = std::vector<uint8_t>;

std::unique_ptr<TCommPortDriver> DriverOn(const test::PtyPair& pty) {
  auto d = std::make_unique<TCommPortDriver>(CreateSystemSerialDevice(), nullptr);
  d->SetPortName(pty.SlavePath());
  return d;
}

TEST(Win32Serial, NumberedPortsAreDevicePaths) {
  // COM10 and above open only by their device path.
  EXPECT_EQ(NumberedPortPath(1), "\\\\.\\COM1");
  EXPECT_EQ(NumberedPortPath(12), "\\\\.\\COM12");
  EXPECT_EQ(DefaultPortPath(), "\\\\.\\COM1");
}

TEST(Win32Serial, HardwareFlowControlReachesTheLine) {
  test::PtyPair pty;
  auto d = DriverOn(pty);
  d->SetHwFlow(THwFlowControl::hfRTSCTS);
  ASSERT_TRUE(d->Open());
  EXPECT_TRUE(pty.SlaveSettings().c_cflag & CRTSCTS);
  d->SetHwFlow(THwFlowControl::hfNONE);
  EXPECT_FALSE(pty.SlaveSettings().c_cflag & CRTSCTS);
}

TEST(Win32Serial, SoftwareFlowControlReachesTheLine) {
  test::PtyPair pty;
  auto d = DriverOn(pty);
  d->SetSwFlow(TSwFlowControl::sfXONXOFF);
  ASSERT_TRUE(d->Open());
  termios t = pty.SlaveSettings();
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  d->SetSwFlow(TSwFlowControl::sfNONE);
  t = pty.SlaveSettings();
  EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
}

TEST(Win32Serial, TheUpdatePortRunsAt115200) {
  test::PtyPair pty;
  TCommPortDriver d = MakeUpdatePort(CreateSystemSerialDevice(), nullptr);
  d.SetPortName(pty.SlavePath());
  ASSERT_TRUE(d.Open());
  const termios t = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&t), B115200);
}

TEST(Win32Serial, BytesBothWaysAtOnceEachSideSeesAllInOrder) {
  test::PtyPair pty;
  auto d = DriverOn(pty);
  Bytes got;
  d->SetOnReceiveData([&](TCommPortDriver&, const uint8_t* data, uint32_t n) { got.insert(got.end(), data, data + n); });
  ASSERT_TRUE(d->Open());
  Bytes toDevice(1000), toProgram(1000);
  for (std::size_t i = 0; i < 1000; ++i) {
    toDevice[i] = static_cast<uint8_t>(i * 7);
    toProgram[i] = static_cast<uint8_t>(255 - i);
  }
  pty.Send(toProgram);
  EXPECT_EQ(d->Write(toDevice.data(), 1000), 1000u);
  EXPECT_EQ(pty.Receive(1000, 3000), toDevice);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (got.size() < 1000 && std::chrono::steady_clock::now() < until) {
    d->PollTimerMessage();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(got, toProgram);
}

TEST(Win32Serial, AHeldLineTakesNothingUntilReleased) {
  test::PtyPair pty;
  auto d = DriverOn(pty);
  d->SetOutputTimeout(100);
  ASSERT_TRUE(d->Open());
  pty.Hold(true);
  Bytes data(64 * 1024, 0x33);
  const uint32_t sent = d->Write(data.data(), static_cast<uint32_t>(data.size()));
  EXPECT_LT(sent, data.size()) << "the write gives up after the output time-out";
  pty.Hold(false);
  const Bytes more{1, 2, 3};
  EXPECT_EQ(d->Write(more.data(), 3), 3u);
}

TEST(Win32PortState, FreeAndMissing) {
  test::PtyPair pty;
  const PortState free = DiagnosePort(pty.SlavePath());
  EXPECT_EQ(free.condition, PortCondition::Free) << DescribePortState(free);
  auto d = DriverOn(pty);
  EXPECT_TRUE(d->Open()) << "the probe has closed the port again";
  const PortState missing = DiagnosePort("\\\\.\\COM251");
  EXPECT_EQ(missing.condition, PortCondition::Missing) << DescribePortState(missing);
  EXPECT_EQ(DescribePortState(missing), "нет такого устройства (адаптер отключён?)");
}

TEST(Win32PortState, APortAnotherProgramHoldsIsInUse) {
  if (test::RunningUnderWine()) GTEST_SKIP() << test::kWineSharesPorts;
  test::PtyPair pty;
  auto holder = DriverOn(pty);
  ASSERT_TRUE(holder->Open());
  const PortState held = DiagnosePort(pty.SlavePath());
  EXPECT_EQ(held.condition, PortCondition::InUse) << DescribePortState(held);
}

TEST(Win32Serial, AMissingPortIsRefusedAtOnce) {
  TCommPortDriver d(CreateSystemSerialDevice(), nullptr);
  d.SetPortName("\\\\.\\COM252");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(d.Open());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(Win32Serial, ModemLinesAreRead) {
  test::PtyPair pty;
  auto device = CreateSystemSerialDevice();
  ASSERT_TRUE(device->Open(pty.SlavePath()));
  uint32_t lines = 0;
  if (!device->ModemStatus(lines))
    GTEST_SKIP() << "Wine maps COMn to a pseudo-terminal, which has no modem lines: GetCommModemStatus "
                    "(CTS, DSR, RING, CD) cannot be emulated";
  EXPECT_EQ(lines & ~static_cast<uint32_t>(kModemCts | kModemDsr | kModemRing | kModemCd), 0u);
}

TEST(Win32Serial, TheDeviceSideGoingAwayIsALostLine) {
  test::PtyPair pty;
  auto d = DriverOn(pty);
  int lost = 0;
  d->SetOnLineLost([&](TCommPortDriver&) { ++lost; });
  ASSERT_TRUE(d->Open());
  d->PollTimerMessage();
  EXPECT_EQ(lost, 0) << "a quiet line is not a lost one";
  pty.HangUp();
  d->PollTimerMessage();
  EXPECT_EQ(lost, 1);
}

TEST(Win32Serial, AnUnpluggedUsbAdapterIsALostLine) {
  GTEST_SKIP() << "Wine cannot emulate a USB adapter pulled out (Windows' drivers then fail every call with "
                  "ERROR_ACCESS_DENIED, ERROR_BAD_COMMAND or ERROR_DEVICE_NOT_CONNECTED); the device side of "
                  "a pseudo-terminal going away (ERROR_NOT_READY) is what it shows, tested above";
}

TEST(Win32ThreadPriority, TheWorkerRunsOneStepBelowNormal) {
  int seen = 0;
  std::thread worker([&] {
    LowerCurrentThreadPriority();
    seen = GetThreadPriority(GetCurrentThread());
  });
  worker.join();
  EXPECT_EQ(seen, THREAD_PRIORITY_BELOW_NORMAL);
}

}  // namespace
}  // namespace tivolan
