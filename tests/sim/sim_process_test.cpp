// tivolan-sim as a process: the program's exchange against it, and its log.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "link/CPDrv.h"
#include "link/ExchangeOperation.h"
#include "link/Frames.h"
#include "model/DefaultImages.h"
#include "sim/PanelSimulator.h"
#include "sim/SimPort.h"
#include "support/SimHelp.h"
#include "support/Processes.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {
using test::FaultListInHelp;

using test::StartSim;
int Stop(pid_t pid) { return test::StopProcess(pid); }

TEST(SimProcess, AnswersTheProgramAndLogsEveryFrameInHex) {
  const std::string log = ::testing::TempDir() + "tivolan-sim-" + std::to_string(::getpid()) + ".log";
  std::remove(log.c_str());
  std::string port;
  const pid_t pid = StartSim("--type 2 --device-version 5 --no-pacing --log " + log, port);
  ASSERT_GT(pid, 0);
  ASSERT_EQ(port.rfind("/dev/pts/", 0), 0u) << port;

  EventLoop loop;
  LoopPollTimer timer(loop);
  TDataModule1 dm(CreateSystemSerialDevice(), &timer);
  dm.cmprtdrvr1.SetPortName(port);
  SharedData data;
  const auto read = RunExchange(loop, dm, data, LinkMode::Read);
  EXPECT_EQ(read.finalCode, LinkStatus::StatusReadDone);
  EXPECT_EQ(read.param, 2);
  EXPECT_EQ(data.DeviceVersion, 5);
  EXPECT_EQ(Stop(pid), 0);

  std::ifstream in(log);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "7E 0A 52 01 00 00 00 00 00 E3");
  std::remove(log.c_str());
}

TEST(SimProcess, RefusesOptionsItDoesNotKnow) {
  for (const char* args : {"--type 4", "--fault nonsense", "--image 00", "--bogus", "--device-version", "--delays 1200",
                           "--fault delay --delays 1200,", "--fault delay --delays 1200,x"}) {
    std::string port;
    const pid_t pid = StartSim(std::string(args) + " 2>/dev/null", port);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 2) << args;
    EXPECT_TRUE(port.empty()) << args;
  }
}


TEST(SimProcess, HelpListsEveryFault) {
  const auto run = test::RunProgram(TIVOLAN_SIM_PATH, {"--help"});
  EXPECT_EQ(run.status, 0);
  const auto listed = FaultListInHelp(run.out);
  int named = 0;
  // The faults are numbered from None on; FaultName says "?" past the last.
  for (int i = static_cast<int>(sim::Fault::None) + 1;; ++i) {
    const std::string name = sim::FaultName(static_cast<sim::Fault>(i));
    if (name == "?") break;
    EXPECT_EQ(sim::ParseFault(name), static_cast<sim::Fault>(i)) << name;
    EXPECT_TRUE(listed.count(name)) << name << " missing from:\n" << run.out;
    ++named;
  }
  EXPECT_GE(named, static_cast<int>(sim::Fault::Stall));
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes one read request through the program's driver to a simulator
// started with `args`; returns the bytes the driver got out and the log.
struct StallRun {
  uint32_t sent = 0;
  std::string log;
  int exitStatus = -1;
};
StallRun WriteToSim(const std::string& args, uint16_t outputTimeoutMs, const sim::Bytes& request) {
  const std::string log = ::testing::TempDir() + "tivolan-sim-stall-" + std::to_string(::getpid()) + ".log";
  std::remove(log.c_str());
  StallRun run;
  std::string port;
  const pid_t pid = StartSim(args + " --no-pacing --log " + log, port);
  if (pid <= 0 || port.empty()) return run;
  {
    TCommPortDriver driver(CreateSystemSerialDevice(), nullptr);
    driver.SetPortName(port);
    driver.SetOutputTimeout(outputTimeoutMs);
    if (driver.Open()) run.sent = driver.Write(request.data(), static_cast<uint32_t>(request.size()));
    // Time for the simulator to hear a frame that did go out.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  run.exitStatus = Stop(pid);
  run.log = Slurp(log);
  std::remove(log.c_str());
  return run;
}

TEST(SimProcess, StallHoldsTheLineUntilStoppedOrForTheGivenDelay) {
  const auto r = MakeRequestFrame(1);
  const sim::Bytes request(r.begin(), r.end());

  // Longer than the answer delay's default: without --delay the line stays held.
  const auto held = WriteToSim("--fault stall", 2500, request);
  EXPECT_EQ(held.exitStatus, 0);
  EXPECT_EQ(held.sent, 0u);
  EXPECT_EQ(held.log, "") << "no frame reached the simulator";

  const auto timed = WriteToSim("--fault stall --delay 200", 10000, request);
  EXPECT_EQ(timed.exitStatus, 0);
  EXPECT_EQ(timed.sent, request.size()) << "the driver's write went through once the line was let go";
  EXPECT_EQ(timed.log, sim::Hex(request) + "\n");
}

}  // namespace
}  // namespace tivolan
