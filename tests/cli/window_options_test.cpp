// tivolan --help and --version answer on the terminal, as Qt programs do,
// and need no display: the test takes every display away.
#include <gtest/gtest.h>

#include "support/Processes.h"

namespace tivolan {
namespace {

struct OptionCase {
  const char* option;
  const char* begins;  // the first line of the answer
  std::vector<const char*> texts;
};
class WindowOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(WindowOptions, AnswerWithoutADisplayAndExitZero) {
  const OptionCase& c = GetParam();
  const test::RunResult r = test::RunProgram(
      "/bin/sh", {"-c", "unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; exec \"$0\" \"$@\"", TIVOLAN_WINDOW_PATH, c.option});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind(c.begins, 0), 0u) << r.out;
  for (const char* text : c.texts) EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
  EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Options, WindowOptions,
    ::testing::Values(OptionCase{"--version", "tivolan (Тиволан) " TIVOLAN_PROJECT_VERSION "\n", {}},
                      OptionCase{"-V", "tivolan (Тиволан) " TIVOLAN_PROJECT_VERSION "\n", {}},
                      OptionCase{"--help", "Usage: tivolan [options] [FILE]\n",
                                 {"messages are in Russian", "help is in English", "--port <PORT>", "-V, --version", "open at start"}},
                      OptionCase{"-h", "Usage: tivolan [options] [FILE]\n", {"-h, --help"}}));

// Words the window does not know are refused before it opens (exit 2), not
// left unseen; Qt's own options are not among them.
struct RefusalCase {
  std::vector<std::string> words;
  const char* said;
};
class WindowRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(WindowRefusals, SayWhyAndExitTwo) {
  std::vector<std::string> args{"-c", "QT_QPA_PLATFORM=offscreen exec timeout 30 \"$0\" -style fusion \"$@\"",
                                TIVOLAN_WINDOW_PATH};
  args.insert(args.end(), GetParam().words.begin(), GetParam().words.end());
  const test::RunResult r = test::RunProgram("/bin/sh", args);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(std::string("tivolan: ") + GetParam().said + "\nTry 'tivolan --help'.\n"), std::string::npos)
      << r.err;
}

INSTANTIATE_TEST_SUITE_P(Words, WindowRefusals,
                         ::testing::Values(RefusalCase{{"--bogus"}, "Unknown option '--bogus'."},
                                           RefusalCase{{"--port"}, "Missing value after '--port'."},
                                           RefusalCase{{"a.cf8", "b.cf8"}, "Only one file can be opened, not 2: 'a.cf8', 'b.cf8'."}));

TEST(WindowOptionsOutput, AStandardOutputThatCannotBeWrittenIsAFailure) {
  const test::RunResult r = test::RunProgram(
      "/bin/sh", {"-c", "unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; exec \"$0\" \"$@\" >/dev/full", TIVOLAN_WINDOW_PATH,
                  "--version"});
  EXPECT_EQ(r.status, 4);
}

}  // namespace
}  // namespace tivolan
