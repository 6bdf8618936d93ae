// tivolan-cli and the terminals around it: a reader that goes away in the
// middle of a write never stops the exchange, the user's own terminal is no
// port, and a port is left with the line settings it had.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "support/CliBench.h"
#include "support/PtyPair.h"
#include "support/SimHelp.h"

namespace tivolan {
namespace {

class CliTerminal : public ::testing::Test, protected test::CliBench {
 protected:
  CliTerminal() : CliBench("tivolan-cli-terminal") {}
  // Firmware of `blocks` blocks of 64 data bytes.
  std::string Firmware(int blocks) {
    std::string text;
    while (blocks-- > 0) text += "0040" + std::string(128, 'A');
    return Write("f.enc", text);
  }
  // The command run with the terminal as its controlling terminal, as from a
  // person's shell: in a session of its own that opens the terminal first.
  test::RunResult OnTerminal(const std::vector<std::string>& args, const test::PtyPair& pty) {
    return Tool(args, "exec setsid sh -c 'exec <\"$0\"; exec \"$@\"' '" + pty.SlavePath() + "' \"$0\" \"$@\"");
  }
};

// `2>&1 | head -1`: the reader leaves after the first line. The exchange goes
// on to its end (`received`: the frames or blocks the device got); the
// status is its own when it failed, else 4 for the messages that did not get
// out.
struct ClosedReaderCase {
  const char* name;
  const char* sim;
  int status;
  std::size_t received;
};
class CliClosedReader : public CliTerminal, public ::testing::WithParamInterface<ClosedReaderCase> {};

TEST_P(CliClosedReader, TheExchangeEndsAsItWouldAndTheStatusSaysWhatHappened) {
  const ClosedReaderCase& c = GetParam();
  const bool firmware = std::string(c.sim) == "--bootloader";
  const std::string file = firmware ? Firmware(60) : Path("gsm.cf8");
  if (!firmware) {
    const std::string source = Sim(std::string(test::kGsmPanelArgs) + " --log /dev/null");
    ASSERT_EQ(Tool({"read", "--port", source, "-o", file}).status, 0);
  }
  const std::string port = Sim(std::string(c.sim) + " --log " + Path("device.log"));
  Tool({firmware ? "firmware" : "write", "--port", port, file}, "{ \"$0\" \"$@\" 2>&1; echo $? >status; } | head -1");
  EXPECT_EQ(std::atoi(Text("status").c_str()), c.status);
  const std::string log = Text("device.log");
  EXPECT_EQ(static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')), c.received) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliClosedReader,
    ::testing::Values(ClosedReaderCase{"write", test::kGsmPanelArgs, 4, 4},
                      ClosedReaderCase{"firmware", "--bootloader", 4, 60},
                      ClosedReaderCase{"write_that_fails", "--type 1 --fault readback --fault-block 3", 10, 3}),
    [](const ::testing::TestParamInfo<ClosedReaderCase>& row) { return std::string(row.param.name); });

class CliOwnTerminal : public CliTerminal, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(CliOwnTerminal, IsRefusedWithSixAndTheReasonAndLeftAsItWas) {
  test::PtyPair pty;
  termios before{};
  ::tcgetattr(pty.Master(), &before);
  before.c_lflag |= ICANON | ECHO;  // as a shell leaves it
  ::tcsetattr(pty.Master(), TCSANOW, &before);
  std::vector<std::string> args = GetParam();
  std::replace(args.begin(), args.end(), std::string("{file}"), Firmware(1));
  const test::RunResult r = OnTerminal(args, pty);
  EXPECT_EQ(r.status, 6) << r.err;
  EXPECT_NE((r.out + r.err).find("это не последовательный порт: это терминал, в котором запущена программа"),
            std::string::npos) << r.out << r.err;
  EXPECT_TRUE(pty.Receive(1, 100).empty()) << "bytes were written to the terminal";
  const termios after = pty.SlaveSettings();
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO), ICANON | ECHO);
  EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));
}

INSTANTIATE_TEST_SUITE_P(Commands, CliOwnTerminal,
                         ::testing::Values(std::vector<std::string>{"read", "--port", "/dev/tty"},
                                           std::vector<std::string>{"firmware", "--port", "/dev/tty", "{file}"},
                                           std::vector<std::string>{"ports", "/dev/tty"}));

// The simulators' lines keep their own speed, not the 9600 or 115200 baud
// the program set while it talked.
TEST_F(CliTerminal, APortIsLeftWithTheLineSettingsItHad) {
  const std::string panel = Sim("--type 1 --log /dev/null");
  const std::string loader = Sim("--bootloader --log /dev/null");
  auto speed = [](const std::string& port) {
    termios t{};
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::tcgetattr(fd, &t);
    return ::close(fd), ::cfgetospeed(&t);
  };
  const speed_t own = speed(panel);
  ASSERT_NE(own, B9600);
  ASSERT_EQ(Tool({"read", "--port", panel}).status, 0);
  ASSERT_EQ(Tool({"firmware", "--port", loader, Firmware(2)}).status, 0);
  EXPECT_EQ(speed(panel), own);
  EXPECT_EQ(speed(loader), own);
}

}  // namespace
}  // namespace tivolan
