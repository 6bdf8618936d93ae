// tivolan-cli and the terminals around it: a reader that goes away in the
// middle of a write never stops the exchange, the user's own terminal is no
// port, and a port is left with the line settings it had.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "support/CliBench.h"
#include "support/PtyPair.h"
#include "support/SimHelp.h"

namespace tivolan {
namespace {

using test::RunResult;

class CliTerminal : public ::testing::Test, protected test::CliBench {
 protected:
  CliTerminal() : CliBench("tivolan-cli-terminal") {}
  // A simulator logging what it receives, one line a frame or block, to `log`.
  std::string LoggedSim(const std::string& args, const char* log) { return Sim(args + " --log " + Path(log)); }
  std::size_t Lines(const char* log) const {
    const std::string text = Text(log);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }
};

// Firmware of `blocks` blocks of 64 data bytes.
std::string Firmware(int blocks) {
  std::string block = "0040";
  for (int i = 0; i < 64; ++i) block += "A5";
  std::string text;
  for (int i = 0; i < blocks; ++i) text += block;
  return text;
}

struct ClosedReaderCase {
  const char* name;
  const char* sim;
  std::vector<std::string> command;  // "{port}" and "{file}" filled in
  int status;
  std::size_t received;  // frames or blocks the device must have got
};
void PrintTo(const ClosedReaderCase& c, std::ostream* os) { *os << c.name; }

class CliClosedReader : public CliTerminal, public ::testing::WithParamInterface<ClosedReaderCase> {};

// `2>&1 | head -1`: the reader leaves after the first line. The exchange goes
// on to its end; the status is its own when it failed, else 4 for the
// messages that did not get out.
TEST_P(CliClosedReader, TheExchangeEndsAsItWouldAndTheStatusSaysWhatHappened) {
  const ClosedReaderCase& c = GetParam();
  const std::string gsm = Path("gsm.cf8");
  ASSERT_EQ(Tool({"read", "--port", LoggedSim(test::kGsmPanelArgs, "source.log"), "-o", gsm}).status, 0);
  const std::string firmware = Write("f.enc", Firmware(60));
  std::vector<std::string> args = c.command;
  for (auto& a : args) {
    if (a == "{port}") a = LoggedSim(c.sim, "device.log");
    if (a == "{file}") a = args[0] == "firmware" ? firmware : gsm;
  }
  Tool(args, "{ \"$0\" \"$@\" 2>&1; echo $? >status; } | head -1");
  EXPECT_EQ(std::atoi(Text("status").c_str()), c.status);
  EXPECT_EQ(Lines("device.log"), c.received) << Text("device.log");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliClosedReader,
    ::testing::Values(
        ClosedReaderCase{"write", test::kGsmPanelArgs, {"write", "--port", "{port}", "{file}"}, 4, 4},
        ClosedReaderCase{"firmware", "--bootloader", {"firmware", "--port", "{port}", "{file}"}, 4, 60},
        ClosedReaderCase{"write_that_fails", "--type 1 --fault readback --fault-block 3",
                         {"write", "--port", "{port}", "{file}"}, 10, 3}),
    [](const ::testing::TestParamInfo<ClosedReaderCase>& row) { return std::string(row.param.name); });

// The user's terminal, as the program's controlling terminal: a session of
// its own on a pseudo-terminal, set as a person's terminal is.
class CliOwnTerminal : public CliTerminal, public ::testing::WithParamInterface<std::vector<std::string>> {
 protected:
  CliOwnTerminal() {
    termios t{};
    ::tcgetattr(pty.Master(), &t);
    t.c_lflag |= ICANON | ECHO | ISIG;
    ::cfsetspeed(&t, B38400);
    ::tcsetattr(pty.Master(), TCSANOW, &t);
    before = t;
  }
  // Runs the tool with the terminal as its controlling terminal and
  // standard input; the outputs go to files.
  int RunOnTerminal(std::vector<std::string> args) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setsid();
      const int tty = ::open(pty.SlavePath().c_str(), O_RDWR);  // becomes the controlling terminal
      ::dup2(tty, 0);
      ::dup2(::open(Path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
      ::dup2(::open(Path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      std::vector<char*> argv{const_cast<char*>(TIVOLAN_CLI_PATH)};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(TIVOLAN_CLI_PATH, argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  test::PtyPair pty;
  termios before{};
};

TEST_P(CliOwnTerminal, IsRefusedWithSixAndTheReasonAndLeftAsItWas) {
  std::vector<std::string> args = GetParam();
  for (auto& a : args)
    if (a == "{file}") a = Write("f.enc", Firmware(1));
  EXPECT_EQ(RunOnTerminal(args), 6) << Text("err");
  EXPECT_NE((Text("err") + Text("out")).find("это не последовательный порт: это терминал, в котором запущена программа"),
            std::string::npos)
      << Text("err") << Text("out");
  EXPECT_TRUE(pty.Receive(1, 100).empty()) << "bytes were written to the terminal";
  const termios after = pty.SlaveSettings();
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), before.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));
}

INSTANTIATE_TEST_SUITE_P(Commands, CliOwnTerminal,
                         ::testing::Values(std::vector<std::string>{"read", "--port", "/dev/tty"},
                                           std::vector<std::string>{"firmware", "--port", "/dev/tty", "{file}"},
                                           std::vector<std::string>{"ports", "/dev/tty"}));

// The simulator's line is left at its own speed, not at the 9600 or 115200
// baud the program set while it talked.
TEST_F(CliTerminal, APortIsLeftWithTheLineSettingsItHad) {
  const std::string panel = Sim("--type 1 --log /dev/null");
  const std::string loader = Sim("--bootloader --log /dev/null");
  auto speed = [](const std::string& port) -> std::optional<speed_t> {
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    const bool got = fd >= 0 && ::tcgetattr(fd, &t) == 0;
    if (fd >= 0) ::close(fd);
    return got ? std::optional(::cfgetospeed(&t)) : std::nullopt;
  };
  const auto panelSpeed = speed(panel);
  const auto loaderSpeed = speed(loader);
  ASSERT_TRUE(panelSpeed && loaderSpeed);
  ASSERT_NE(*panelSpeed, B9600);
  ASSERT_EQ(Tool({"read", "--port", panel}).status, 0);
  ASSERT_EQ(Tool({"firmware", "--port", loader, Write("f.enc", Firmware(2))}).status, 0);
  EXPECT_EQ(speed(panel), panelSpeed);
  EXPECT_EQ(speed(loader), loaderSpeed);
}

}  // namespace
}  // namespace tivolan
