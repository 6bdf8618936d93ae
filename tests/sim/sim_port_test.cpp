// The simulator on its pseudo-terminal, driven through the program's serial
// driver.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/CPDrv.h"
#include "link/Frames.h"
#include "sim/SimPort.h"
#include "support/ProgramPort.h"

namespace tivolan::sim {
namespace {
using test::ProgramPort;

// A frame the device ignores (no such command), numbered in its data.
Bytes Numbered(uint32_t n) {
  return MakeFrame(0x3F, 1, {static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
}

// Waits until the simulator has counted `count` frames; false after `ms`.
bool AwaitFrames(const SimPort& sim, std::size_t count, int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (sim.ReceivedFrameCount() < count) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A read request for `block`, as the program sends it.
Bytes Request(uint8_t block) {
  const auto r = MakeRequestFrame(block);
  return Bytes(r.begin(), r.end());
}


SimOptions Stalling(int stallMs = 0) {
  SimOptions options;
  options.pacing = false;
  options.device.fault = Fault::Stall;
  options.device.delayMs = stallMs;
  return options;
}

TEST(SimPortLog, LogsAndCountsEveryFrameLongAfterTheKeptLogIsFull) {
  std::mutex linesMutex;
  std::vector<std::string> lines;
  SimOptions options;
  options.pacing = false;
  options.log = [&](const std::string& line) {
    std::lock_guard lock(linesMutex);
    lines.push_back(line);
  };
  SimPort sim(options);
  sim.Start();
  TCommPortDriver port(CreateSystemSerialDevice(), nullptr);
  port.SetPortName(sim.SlavePath());
  ASSERT_TRUE(port.Open());

  const std::size_t kept = PanelSimulator::kFrameLogSize;
  const std::size_t sent = 4 * kept;
  Bytes stream;
  std::vector<std::string> expectedLines;
  for (uint32_t i = 0; i < sent; ++i) {
    const Bytes f = Numbered(i);
    stream.insert(stream.end(), f.begin(), f.end());
    expectedLines.push_back(Hex(f));
  }
  ASSERT_EQ(port.Write(stream.data(), static_cast<uint32_t>(stream.size())), stream.size());
  ASSERT_TRUE(AwaitFrames(sim, sent, 10000)) << sim.ReceivedFrameCount();
  sim.Stop();

  EXPECT_EQ(sim.ReceivedFrameCount(), sent);
  const auto frames = sim.ReceivedFrames();
  ASSERT_EQ(frames.size(), kept);
  for (std::size_t k = 0; k < kept; ++k) ASSERT_EQ(frames[k], Numbered(static_cast<uint32_t>(sent - kept + k))) << k;
  std::lock_guard lock(linesMutex);
  ASSERT_EQ(lines.size(), sent);
  EXPECT_EQ(lines, expectedLines) << "one log line per frame, in order";
}

TEST(SimPortStall, WithoutTheFaultTheWriteGoesThroughAndIsAnswered) {
  SimOptions options;
  options.pacing = false;
  SimPort sim(options);
  sim.Start();
  EXPECT_FALSE(sim.Stalled());
  ProgramPort program(sim, {.outputTimeoutMs = 100});
  ASSERT_TRUE(program.port.Open());
  const Bytes request = Request(2);
  EXPECT_EQ(program.Write(request), request.size());
  ASSERT_TRUE(AwaitFrames(sim, 1, 2000));
  EXPECT_EQ(sim.ReceivedFrames(), std::vector<Bytes>{request});
  const Bytes answer = MakeFrame(kCmdAnswer, 2, sim.Block(2));
  ASSERT_TRUE(program.AwaitReceived(answer.size(), 2000));
  EXPECT_EQ(program.received, answer);
}

TEST(SimPortStall, AHeldLineTakesNoByteAndTheSimulatorHearsNoFrame) {
  SimPort sim(Stalling());
  sim.Start();
  ProgramPort program(sim, {.outputTimeoutMs = 100});
  ASSERT_TRUE(program.port.Open());
  const Bytes request = Request(1);
  EXPECT_EQ(program.Write(request), 0u) << "the driver gives up after its output timeout";
  Bytes big(3000, 0x55);  // more than the driver's queue: still nothing goes
  EXPECT_EQ(program.Write(big), 0u);
  EXPECT_TRUE(sim.Stalled()) << "held until released";
  EXPECT_EQ(sim.ReceivedFrameCount(), 0u);
  EXPECT_TRUE(sim.ReceivedFrames().empty());
}

TEST(SimPortStall, AReopenedPortIsStillHeld) {
  SimPort sim(Stalling());
  sim.Start();
  const Bytes request = Request(1);
  for (int open = 0; open < 2; ++open) {
    ProgramPort program(sim, {.outputTimeoutMs = 50});
    ASSERT_TRUE(program.port.Open());
    EXPECT_EQ(program.Write(request), 0u) << "open " << open;
  }
  EXPECT_EQ(sim.ReceivedFrameCount(), 0u);
}

TEST(SimPortStall, ReleasedLineCarriesTheNextFrameAndItsAnswer) {
  SimPort sim(Stalling());
  sim.Start();
  ProgramPort program(sim, {.outputTimeoutMs = 100});
  ASSERT_TRUE(program.port.Open());
  ASSERT_EQ(program.Write(Request(1)), 0u);
  sim.Release();
  EXPECT_FALSE(sim.Stalled());
  const Bytes request = Request(3);
  EXPECT_EQ(program.Write(request), request.size());
  ASSERT_TRUE(AwaitFrames(sim, 1, 2000));
  EXPECT_EQ(sim.ReceivedFrames(), std::vector<Bytes>{request}) << "the stalled frame never went out";
  const Bytes answer = MakeFrame(kCmdAnswer, 3, sim.Block(3));
  ASSERT_TRUE(program.AwaitReceived(answer.size(), 2000));
  EXPECT_EQ(program.received, answer);
}

TEST(SimPortStall, AStallOfGivenLengthEndsByItself) {
  SimPort sim(Stalling(300));
  EXPECT_TRUE(sim.Stalled()) << "in force before the simulator runs";
  sim.Start();
  ProgramPort program(sim, {.outputTimeoutMs = 10000});  // the driver keeps trying until the line frees
  ASSERT_TRUE(program.port.Open());
  const Bytes request = Request(1);
  EXPECT_EQ(program.Write(request), request.size());
  EXPECT_FALSE(sim.Stalled());
  ASSERT_TRUE(AwaitFrames(sim, 1, 2000));
  EXPECT_EQ(sim.ReceivedFrames(), std::vector<Bytes>{request});
}

}  // namespace
}  // namespace tivolan::sim
