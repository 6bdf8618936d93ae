// tivolan-sim as a process: the program's exchange against it, and its log.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "link/ExchangeOperation.h"
#include "model/DefaultImages.h"
#include "support/Processes.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {

using test::StartSim;
int Stop(pid_t pid) { return test::StopProcess(pid); }

TEST(SimProcess, AnswersTheProgramAndLogsEveryFrameInHex) {
  const std::string log = ::testing::TempDir() + "tivolan-sim-" + std::to_string(::getpid()) + ".log";
  std::remove(log.c_str());
  std::string port;
  const pid_t pid = StartSim("--type 2 --version 5 --no-pacing --log " + log, port);
  ASSERT_GT(pid, 0);
  ASSERT_EQ(port.rfind("/dev/pts/", 0), 0u) << port;

  EventLoop loop;
  LoopPollTimer timer(loop);
  TDataModule1 dm(CreateSystemSerialDevice(), &timer);
  dm.cmprtdrvr1.SetPortName(port);
  SharedData data;
  const auto read = RunExchange(loop, dm, data, LinkMode::Read);
  EXPECT_EQ(read.finalCode, 0);
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
  for (const char* args : {"--type 4", "--fault nonsense", "--image 00", "--bogus", "--version"}) {
    std::string port;
    const pid_t pid = StartSim(std::string(args) + " 2>/dev/null", port);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 2) << args;
    EXPECT_TRUE(port.empty()) << args;
  }
}

}  // namespace
}  // namespace tivolan
