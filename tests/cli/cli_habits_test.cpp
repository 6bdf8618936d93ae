// tivolan-cli as a Unix user expects it to behave: --version, "-o -", the
// exit status of ports, escaped names, aligned columns, one language in a
// message, and a firmware file checked without a device.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include "files/FileIO.h"
#include "model/CodePage.h"
#include "support/CliBench.h"
#include "support/HeldPort.h"
#include "support/Processes.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;
using test::RunResult;

class CliHabits : public ::testing::Test, protected test::CliBench {
 protected:
  CliHabits() : CliBench("tivolan-cli-habits") {}
};

TEST_F(CliHabits, VersionNamesTheProgramAndTheProjectsVersion) {
  for (const char* option : {"--version", "-V"}) {
    const RunResult r = Tool({option});
    EXPECT_EQ(r.status, 0) << option;
    EXPECT_EQ(r.out, std::string("tivolan-cli (Тиволан) ") + TIVOLAN_PROJECT_VERSION + "\n") << option;
    EXPECT_EQ(r.err, "") << option;
  }
  EXPECT_EQ(Tool({"--version"}, "exec \"$0\" \"$@\" >/dev/full").status, 4);
}

// "-o -" is standard output, with the bytes a file would get, and never a file named "-".
struct StandardOutputCase {
  const char* sim;  // nullptr: no device
  std::vector<std::string> args;
};
class CliStandardOutput : public CliHabits, public ::testing::WithParamInterface<StandardOutputCase> {};

TEST_P(CliStandardOutput, GivesTheFilesBytesAndCreatesNoFileNamedDash) {
  const StandardOutputCase& c = GetParam();
  const std::string port = c.sim ? Sim(c.sim) : "";
  std::vector<std::string> args = c.args;
  if (c.sim) args.insert(args.begin() + 1, {"--port", port});
  std::vector<std::string> toFile = args;
  toFile.insert(toFile.end(), {"-o", "./-"});  // the way to a file of that name
  args.insert(args.end(), {"-o", "-"});
  const RunResult out = Tool(args);
  ASSERT_EQ(out.status, 0) << out.err;
  EXPECT_FALSE(fs::exists(dir / "-"));
  ASSERT_EQ(Tool(toFile).status, 0);
  EXPECT_EQ(out.out, Text("-"));
  EXPECT_EQ(out.out.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n", 0), 0u) << out.out;
}

INSTANTIATE_TEST_SUITE_P(Verbs, CliStandardOutput,
                         ::testing::Values(StandardOutputCase{"--type 3", {"read"}},
                                           StandardOutputCase{nullptr, {"defaults", "--type", "2"}}));

// ports PORT...: 6 when a port named cannot be used, and the port's line says why.
struct PortsCase {
  const char* name;
  std::vector<std::string> ports;  // "{sim}": a free simulated port, "{held}": one another process holds
  int status;
  const char* text;
};
class CliPorts : public CliHabits, public ::testing::WithParamInterface<PortsCase> {};

TEST_P(CliPorts, ExitSixWhenAPortNamedCannotBeUsed) {
  const PortsCase& c = GetParam();
  const std::string sim = Sim("--type 1");
  const std::string other = Sim("--type 1");
  const test::HeldPort held(other);
  ASSERT_TRUE(held.Holding());
  std::vector<std::string> args{"ports"};
  for (const auto& p : c.ports) args.push_back(p == "{sim}" ? sim : p == "{held}" ? other : p);
  const RunResult r = Tool(args);
  EXPECT_EQ(r.status, c.status) << r.out << r.err;
  EXPECT_NE(r.out.find(c.text), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    States, CliPorts,
    ::testing::Values(PortsCase{"free", {"{sim}"}, 0, "свободен"},
                      PortsCase{"held", {"{held}"}, 6, "занят: процесс"},
                      PortsCase{"missing", {"/dev/tivolan-no-such-port"}, 6, "нет такого устройства"},
                      PortsCase{"no_serial_port", {"/dev/null"}, 6, "это не последовательный порт"},
                      PortsCase{"no_port_name", {"ttyUSB0"}, 6, "это не имя порта"},
                      PortsCase{"one_of_two", {"{sim}", "/dev/null"}, 6, "свободен"}),
    [](const ::testing::TestParamInfo<PortsCase>& row) { return std::string(row.param.name); });

// The state column starts at one character column on every line, whatever
// bytes the names take, and a name cannot put a control character on the
// terminal. Port names are /dev paths: the link lives in /dev/shm.
TEST_F(CliHabits, PortsAlignsByCharactersAndEscapesNames) {
  const std::string sim = Sim("--type 1");
  const std::string prefix = "/dev/shm/tivolan-" + std::to_string(::getpid()) + "-";
  const std::string forged = prefix + "a\nb\x1b[2J";
  fs::create_symlink(sim, forged);
  const RunResult r = Tool({"ports", prefix + "порт", sim, forged});
  fs::remove(forged);
  const std::string escaped = prefix + "a\\nb\\x1b[2J";
  EXPECT_EQ(r.status, 6) << "the Cyrillic name names no device";
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
  ASSERT_NE(r.out.find(escaped + "  свободен; на другом конце: процесс"), std::string::npos) << r.out;
  std::istringstream lines(r.out);
  std::vector<std::size_t> columns;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t state = line.find_first_not_of(' ', line.find("  "));
    columns.push_back(Utf8Length(line.substr(0, state)));
  }
  EXPECT_EQ(columns, std::vector<std::size_t>(3, Utf8Length(escaped) + 2)) << r.out;
}

// Russian messages carry no English words: what is left of the text once the
// paths, the tool's name and its options are taken out has no Latin word.
struct RussianCase {
  const char* name;
  std::vector<std::string> args;  // "{dir}" stands for the test's folder
  int status;
  const char* text;
};
class CliOneLanguage : public CliHabits, public ::testing::WithParamInterface<RussianCase> {};

TEST_P(CliOneLanguage, AMessageIsRussianThroughout) {
  const RussianCase& c = GetParam();
  Write("f.enc", "0001AA");
  fs::create_directory(dir / "folder.cf8");
  std::vector<std::string> args;
  for (const auto& a : c.args) args.push_back(std::regex_replace(a, std::regex("\\{dir\\}"), dir.string()));
  const RunResult r = Tool(args);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
  std::vector<std::string> known{"tivolan-cli", "--port", " ports"};
  for (const auto& a : args)
    if (a.find('/') != std::string::npos) known.push_back(a);  // the paths, as given
  std::sort(known.begin(), known.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
  std::string rest = r.err;
  for (const std::string& word : known)
    for (std::size_t at; (at = rest.find(word)) != std::string::npos;) rest.erase(at, word.size());
  EXPECT_FALSE(std::regex_search(rest, std::regex("[A-Za-z]{2,}"))) << rest;
  EXPECT_EQ(r.err.find("Выберите другой порт"), std::string::npos) << "the window's advice, not the tool's";
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CliOneLanguage,
    ::testing::Values(
        RussianCase{"no_folder", {"defaults", "--type", "1", "-o", "{dir}/absent/x.cf8"}, 4, "Файл не сохранён: папки нет"},
        RussianCase{"a_folder", {"defaults", "--type", "1", "-o", "{dir}/folder.cf8"}, 4, "это папка, а не файл"},
        RussianCase{"no_file", {"show", "{dir}/absent.cf8"}, 3, "файла нет"},
        RussianCase{"backup_folder", {"write", "--port", "/dev/null", "{dir}/f.enc", "--backup", "/proc/self"}, 4,
                    "нельзя создать файл: "},
        RussianCase{"no_firmware_file", {"firmware", "--check", "{dir}/absent.enc"}, 3, "absent.enc: файла нет"},
        RussianCase{"read_port", {"read", "--port", "/dev/tivolan-no-such-port"}, 6,
                    "Невозможно открыть последовательный порт.\nОшибка порта\nПричина: "},
        RussianCase{"firmware_port", {"firmware", "--port", "/dev/tivolan-no-such-port", "{dir}/f.enc"}, 6,
                    "\nУкажите другой порт в --port; какие порты есть и свободны ли они, покажет tivolan-cli ports\n"}),
    [](const ::testing::TestParamInfo<RussianCase>& row) { return std::string(row.param.name); });

// firmware --check: the blocks of a good file, where and why a bad one fails.
struct CheckCase {
  const char* file;  // nullptr: no such file
  int status;
  const char* out;
  const char* err;
};
class CliFirmwareCheck : public CliHabits, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CliFirmwareCheck, ListsTheBlocksOrSaysWhereTheFileFails) {
  const CheckCase& c = GetParam();
  const std::string file = c.file ? Write("f.enc", c.file) : Path("f.enc");
  const RunResult r = Tool({"firmware", "--check", file});
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_EQ(r.out, std::regex_replace(c.out, std::regex("\\{file\\}"), file));
  EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, CliFirmwareCheck,
    ::testing::Values(
        CheckCase{"0002AABB0003ccddee", 0,
                  "блок  с байта  байт данных\n   1        0            2\n   2        4            3\n"
                  "{file}: прошивка без ошибок, блоков: 2, байт: 9\n",
                  ""},
        CheckCase{"0000", 0, "блок  с байта  байт данных\n   1        0            0\n{file}: прошивка без ошибок, блоков: 1, байт: 2\n",
                  ""},
        CheckCase{"", 3, "", "Файл прошивки пуст"},
        CheckCase{"0003AABBCC\n", 3, "", "f.enc: знак 11: байт 0x0A не шестнадцатеричная цифра"},
        CheckCase{"0009AABB", 3, "", "f.enc: блок 1 с байта 0 объявляет 9 байт данных, а после его длины в файле 2"},
        CheckCase{"0001AA00", 3, "", "f.enc: блок 2 с байта 3: в файле остался 1 байт"},
        CheckCase{nullptr, 3, "", "Ошибка: Файл не найден\n"}));

// A Unix user's habits: "--" ends the options, an option's value after "=",
// "-" a file read from standard input; a file name holding an escape sequence
// does not reach the terminal raw.
struct ArgumentCase {
  const char* name;
  std::vector<std::string> args;
  const char* input;  // the file on standard input
  int status;
  const char* out;
  const char* err;
};
class CliArguments : public CliHabits, public ::testing::WithParamInterface<ArgumentCase> {};

TEST_P(CliArguments, AreReadAsUnixToolsReadThem) {
  const ArgumentCase& c = GetParam();
  ASSERT_EQ(Tool({"defaults", "--type", "3", "-o", Path("k.cf8")}).status, 0);
  fs::copy_file(dir / "k.cf8", dir / "-k.cf8");
  Write("f.enc", "0002AABB");
  Write("junk.cf8", "junk");
  const RunResult r = Tool(c.args, std::string("exec \"$0\" \"$@\" <") + c.input);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
  EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "-"));
}

INSTANTIATE_TEST_SUITE_P(
    Words, CliArguments,
    ::testing::Values(
        ArgumentCase{"double_dash", {"show", "--", "-k.cf8"}, "/dev/null", 0, "Концентратор", ""},
        ArgumentCase{"equals", {"defaults", "--type=2", "--output=-"}, "/dev/null", 0, "<device ID=\"2\"", ""},
        ArgumentCase{"port_equals", {"firmware", "--port=/dev/tivolan-no-such-port", "f.enc"}, "/dev/null", 6,
                     "", "Причина: /dev/tivolan-no-such-port: нет такого устройства"},
        ArgumentCase{"flag_with_value", {"show", "--yes=1", "k.cf8"}, "/dev/null", 2, "", "--yes takes no value"},
        ArgumentCase{"show_input", {"show", "-"}, "k.cf8", 0, "Концентратор", ""},
        ArgumentCase{"diff_input", {"diff", "k.cf8", "-"}, "k.cf8", 0, "", ""},
        ArgumentCase{"diff_input_twice", {"diff", "-", "-"}, "k.cf8", 2, "", "can be read only once"},
        ArgumentCase{"report_input", {"report", "-"}, "k.cf8", 0, "<td>стандартный ввод</td>", ""},
        ArgumentCase{"firmware_input", {"firmware", "--check", "-"}, "f.enc", 0,
                     "стандартный ввод: прошивка без ошибок, блоков: 1", ""},
        ArgumentCase{"no_configuration_input", {"show", "-"}, "junk.cf8", 3, "",
                     "стандартный ввод: Файл поврежден или не найден"},
        ArgumentCase{"escaped_show", {"show", "a\x1b[2Jb.cf8"}, "/dev/null", 3, "", "a\\x1b[2Jb"},
        ArgumentCase{"escaped_check", {"firmware", "--check", "a\x1b[2Jb.enc"}, "/dev/null", 3, "", "a\\x1b[2Jb"},
        ArgumentCase{"escaped_output", {"defaults", "--type", "1", "-o", "a\x1b[2Jb/x.cf8"}, "/dev/null", 4, "", "a\\x1b[2Jb"},
        ArgumentCase{"escaped_backup", {"write", "--port", "/dev/null", "k.cf8", "--backup", "a\x1b[2Jb"}, "/dev/null",
                     4, "", "a\\x1b[2Jb"}),
    [](const ::testing::TestParamInfo<ArgumentCase>& row) { return std::string(row.param.name); });

// The longest texts a zone row can show still fit a terminal of 80 columns.
TEST_F(CliHabits, ShowFitsEightyColumns) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("a.cf8")}).status, 0);
  std::string text = std::regex_replace(Text("a.cf8"), std::regex("tactics=\"[1-6]\""), "tactics=\"2\"");
  Write("a.cf8", std::regex_replace(text, std::regex("CID=\"[0-9]+\""), "CID=\"255\""));
  const RunResult r = Tool({"show", "a.cf8"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_NE(r.out.find("Тихий тревожный  нет в списке (255)"), std::string::npos) << r.out;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(Utf8Length(line), 80u) << line;
}

// Every program of the project answers --help and --version alone.
struct ProgramCase {
  const char* name;
  const char* program;
  const char* option;
  std::string starts;
};
class ProgramOptions : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramOptions, AnswerAndExitZero) {
  const RunResult r = test::RunProgram(GetParam().program, {GetParam().option});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind(GetParam().starts, 0), 0u) << r.out;
  EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramOptions,
    ::testing::Values(
        ProgramCase{"sim_version", TIVOLAN_SIM_PATH, "--version", std::string("tivolan-sim (Тиволан) ") + TIVOLAN_PROJECT_VERSION + "\n"},
        ProgramCase{"bench_help", TIVOLAN_BENCH_PATH, "--help", "usage: tivolan-bench [N]\n"}),
    [](const ::testing::TestParamInfo<ProgramCase>& row) { return std::string(row.param.name); });

TEST_F(CliHabits, FirmwareCheckTakesNoPort) {
  const std::string port = Sim("--bootloader");
  const RunResult r = Tool({"firmware", "--check", "--port", port, Write("f.enc", "0001AA")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--check opens no port"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tivolan
