// Why a port cannot be opened, told from what the system shows.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <utility>

#include "link/os/SerialDevice.h"
#include "platform/PortState.h"
#include "support/HeldPort.h"
#include "support/Processes.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

// A pseudo-terminal whose slave nobody holds: the test keeps the master.
class FreePty {
 public:
  FreePty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) path_ = ::ptsname(master_);
  }
  ~FreePty() {
    if (master_ >= 0) ::close(master_);
  }
  const std::string& Path() const { return path_; }

 private:
  int master_ = -1;
  std::string path_;
};

TEST(PortState, AFreePseudoTerminal) {
  FreePty pty;
  ASSERT_FALSE(pty.Path().empty());
  const PortState s = DiagnosePort(pty.Path());
  EXPECT_EQ(s.condition, PortCondition::Free);
  EXPECT_EQ(DescribePortState(s), "свободен");
}

TEST(PortState, APortHeldByAnotherProcessNamesIt) {
  FreePty pty;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY);
    char c = fd >= 0 ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    ::pause();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  const PortState s = DiagnosePort(pty.Path());
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(s.condition, PortCondition::InUse);
  ASSERT_EQ(s.holders.size(), 1u);
  EXPECT_EQ(s.holders[0].rfind("процесс " + std::to_string(child) + " (", 0), 0u) << s.holders[0];
  EXPECT_EQ(DescribePortState(s).rfind("занят: процесс " + std::to_string(child), 0), 0u) << DescribePortState(s);
}

// Who else has the line open decides whether the serial device opens it: a
// program holding it without a lock would take the device's answers, while
// the pty's other end (the simulator keeps its slave open too) and this
// program itself are no users.
enum class Holder { Nobody, SleepingProcess, ThisProcess };
struct HoldCase {
  const char* name;
  bool simulator;  // tivolan-sim on the other end; else this test holds the master
  Holder holder;
  bool opens;
  const char* described;  // {sleep} and {sim} stand for the processes' names
  friend void PrintTo(const HoldCase& c, std::ostream* os) { *os << c.name; }
};
class PortHeld : public ::testing::TestWithParam<HoldCase> {};

std::string Filled(std::string text, const std::string& sleep, const std::string& sim) {
  for (const auto& [key, value] : {std::pair<std::string, std::string>{"{sleep}", sleep}, {"{sim}", sim}})
    if (const auto at = text.find(key); at != std::string::npos) text.replace(at, key.size(), value);
  return text;
}

TEST_P(PortHeld, OpensOnlyWhenNoOtherProgramUsesTheLine) {
  const HoldCase& c = GetParam();
  FreePty pty;
  std::string path;
  struct Stopped {
    pid_t pid;
    ~Stopped() {
      if (pid > 0) test::StopProcess(pid);
    }
  } const sim{c.simulator ? test::StartSim("--type 1", path) : -1};
  if (!c.simulator) path = pty.Path();
  ASSERT_FALSE(path.empty());
  std::optional<test::HeldPort> held;
  if (c.holder == Holder::SleepingProcess) {
    ASSERT_TRUE(held.emplace(path).Holding());
  }
  const int own = c.holder == Holder::ThisProcess ? ::open(path.c_str(), O_RDWR | O_NOCTTY) : -1;

  const auto device = CreateSystemSerialDevice();
  EXPECT_EQ(device->Open(path), c.opens);
  device->Close();
  const PortState s = DiagnosePort(path);
  EXPECT_EQ(DescribePortState(s), Filled(c.described, held ? held->Name() : "",
                                         "процесс " + std::to_string(sim.pid) + " (tivolan-sim)"));
  EXPECT_EQ(s.condition, c.opens ? PortCondition::Free : PortCondition::InUse);
  // A refusal leaves nothing behind: once the holder has gone the port opens.
  held.reset();
  EXPECT_TRUE(device->Open(path));
  device->Close();
  if (own >= 0) ::close(own);
}

INSTANTIATE_TEST_SUITE_P(
    Holders, PortHeld,
    ::testing::Values(HoldCase{"Nobody", false, Holder::Nobody, true, "свободен"},
                      HoldCase{"ASleepingProcess", false, Holder::SleepingProcess, false, "занят: {sleep}"},
                      HoldCase{"ThisProgramOnAnotherDescriptor", false, Holder::ThisProcess, true, "свободен"},
                      HoldCase{"TheSimulatorOnTheOtherEnd", true, Holder::Nobody, true,
                               "свободен; на другом конце: {sim}"},
                      HoldCase{"AProcessBesideTheSimulator", true, Holder::SleepingProcess, false,
                               "занят: {sleep}; на другом конце: {sim}"}),
    [](const ::testing::TestParamInfo<HoldCase>& row) { return std::string(row.param.name); });

// Run as a user without access: root may open anything, so the check runs
// in a child that has dropped to "nobody". The advice to join a group is
// given only where joining it opens the port.
struct PermissionCase {
  const char* name;
  const char* group;  // of the device node
  mode_t mode;
  const char* says;
  const char* never;
};
class PortWithoutPermission : public ::testing::TestWithParam<PermissionCase> {};

TEST_P(PortWithoutPermission, SaysWhatGivesAccess) {
  const PermissionCase& c = GetParam();
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
  const passwd* nobody = ::getpwnam("nobody");
  if (!nobody) GTEST_SKIP() << "no user nobody";
  const group* owner = ::getgrnam(c.group);
  if (!owner) GTEST_SKIP() << "no group " << c.group << " on this system";
  FreePty pty;
  ASSERT_EQ(::chown(pty.Path().c_str(), 0, owner->gr_gid), 0);
  ASSERT_EQ(::chmod(pty.Path().c_str(), c.mode), 0);
  int result[2];
  ASSERT_EQ(::pipe(result), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) ::_exit(2);
    const PortState s = DiagnosePort(pty.Path());
    const std::string line = std::to_string(static_cast<int>(s.condition)) + "|" + DescribePortState(s);
    (void)!::write(result[1], line.data(), line.size());
    ::_exit(0);
  }
  ::close(result[1]);
  std::string line;
  char buffer[512];
  for (ssize_t n; (n = ::read(result[0], buffer, sizeof buffer)) > 0;) line.append(buffer, static_cast<std::size_t>(n));
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(line.substr(0, 2), std::to_string(static_cast<int>(PortCondition::NoPermission)) + "|") << line;
  EXPECT_NE(line.find(c.says), std::string::npos) << line;
  EXPECT_EQ(line.find(c.never), std::string::npos) << line;
}

// As a serial adapter's node is set up (root, group dialout, 0660), and
// nodes that no group may open.
INSTANTIATE_TEST_SUITE_P(
    Nodes, PortWithoutPermission,
    ::testing::Values(
        PermissionCase{"DialoutReadWrite", "dialout", 0660,
                       "нет доступа: порт доступен группе dialout; выполните sudo usermod -aG dialout \"$USER\"", "udev"},
        PermissionCase{"RootOnly", "root", 0600, "нет доступа: порт доступен только пользователю root; дайте доступ",
                       "usermod"},
        PermissionCase{"RootGroupReadWrite", "root", 0660, "порт доступен только пользователю root", "usermod"},
        PermissionCase{"DialoutReadOnly", "dialout", 0640, "группе dialout правилом udev", "usermod"}),
    [](const ::testing::TestParamInfo<PermissionCase>& row) { return std::string(row.param.name); });

TEST(PortState, WhatIsNoSerialPortOrNoDeviceAtAll) {
  test::TempDir dir("tivolan-port-state");
  const std::string file = dir.Write("port", "x");
  EXPECT_EQ(DescribePortState(DiagnosePort("/dev/null")), "это не последовательный порт: это устройство, но не терминал");
  EXPECT_EQ(DescribePortState(DiagnosePort(dir.dir.string())), "это не последовательный порт: это папка");
  EXPECT_EQ(DescribePortState(DiagnosePort(file)), "это не последовательный порт: это обычный файл");
  EXPECT_EQ(DiagnosePort(dir.Path("absent")).condition, PortCondition::Missing);
  EXPECT_EQ(DescribePortState(DiagnosePort(dir.Path("absent"))), "нет такого устройства (адаптер отключён?)");
}

TEST(PortState, TheAdapterIsNamedWhenKnown) {
  PortState s;
  s.condition = PortCondition::Free;
  s.adapter = "FTDI FT232R USB UART";
  EXPECT_EQ(DescribePortState(s), "свободен (FTDI FT232R USB UART)");
  s.condition = PortCondition::InUse;
  s.holders = {"процесс 7 (minicom)", "файл блокировки /run/lock/LCK..ttyUSB0"};
  EXPECT_EQ(DescribePortState(s),
            "занят: процесс 7 (minicom), файл блокировки /run/lock/LCK..ttyUSB0 (FTDI FT232R USB UART)");
}

}  // namespace
}  // namespace tivolan
