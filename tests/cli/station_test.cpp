// tivolan-cli station against several simulators at once: what each panel
// received, the journal read as CSV, the exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "cli/CliCommands.h"
#include "station/Journal.h"
#include "support/CliBench.h"
#include "support/Csv.h"

namespace tivolan {
namespace {

using test::RunResult;

struct StationRow {
  const char* name;
  std::vector<const char*> sims;      // one simulator a port
  std::vector<const char*> outcomes;  // the journal's result per port, by its start
  std::vector<int> writes;            // block-1 writes each simulator received
  int status;
};

void PrintTo(const StationRow& row, std::ostream* os) { *os << row.name; }

class StationBench : public ::testing::Test, protected test::CliBench {
 protected:
  StationBench() : CliBench("tivolan-station") {}

  void StartSims(const std::vector<const char*>& args) {
    for (const char* a : args) {
      const std::string log = Path(("sim" + std::to_string(ports.size()) + ".log").c_str());
      ports.push_back(Sim(std::string(a) + " --log " + log));
    }
  }
  std::vector<std::string> StationArgs(const std::vector<std::string>& extra) const {
    std::vector<std::string> args{"station", Path("m.cf8"), "--journal", Path("j.csv")};
    for (const auto& p : ports) args.insert(args.end(), {"--port", p});
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  // Frames of block 1 that simulator `i` received with `verb` ('R' or 'W').
  int Frames(std::size_t i, const std::string& verb) const {
    std::istringstream log(Text(("sim" + std::to_string(i) + ".log").c_str()));
    int n = 0;
    for (std::string line; std::getline(log, line);) n += line.rfind("7E ", 0) == 0 && line.compare(6, 5, verb + " 01") == 0;
    return n;
  }
  // The journal's rows by port, the header checked.
  std::map<std::string, std::vector<std::string>> Journal() {
    bool ok = false;
    const test::CsvRows rows = test::ParseCsv(Text("j.csv"), ok);
    EXPECT_TRUE(ok) << Text("j.csv");
    std::map<std::string, std::vector<std::string>> byPort;
    if (rows.empty()) return byPort;
    EXPECT_EQ(rows[0][0], "start");
    for (std::size_t i = 1; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].size(), rows[0].size());
      byPort[rows[i][2]] = rows[i];
    }
    return byPort;
  }
  std::string Sha256Sum(const std::string& path) const {
    std::string out;
    if (FILE* p = ::popen(("sha256sum '" + path + "'").c_str(), "r")) {
      char buf[128];
      while (std::fgets(buf, sizeof buf, p)) out += buf;
      ::pclose(p);
    }
    return out.substr(0, 64);
  }

  std::vector<std::string> ports;
};

class Station : public StationBench, public ::testing::WithParamInterface<StationRow> {};

// The verbs as they appear in the logged hex: 'R' 0x52, 'W' 0x57.
constexpr const char* kRead = "52";
constexpr const char* kWrite = "57";

TEST_P(Station, EachPanelOnceEachWithItsJournalRow) {
  const StationRow& row = GetParam();
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("m.cf8")}).status, 0);
  StartSims(row.sims);
  const RunResult r = Tool(StationArgs({"--once"}));
  EXPECT_EQ(r.status, row.status) << r.err;
  auto journal = Journal();
  ASSERT_EQ(journal.size(), ports.size()) << Text("j.csv");
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const auto& fields = journal[ports[i]];
    EXPECT_EQ(fields[12].substr(0, std::string(row.outcomes[i]).size()), row.outcomes[i]) << ports[i];
    EXPECT_EQ(fields[9], Path("m.cf8"));
    EXPECT_EQ(fields[10], Sha256Sum(Path("m.cf8")));
    EXPECT_EQ(fields[11], "write");
    EXPECT_EQ(Frames(i, kWrite), row.writes[i]) << ports[i];
    // Every port on its line, in the words of the status.
    EXPECT_NE(r.err.find(ports[i] + ": " + (row.writes[i] ? "запись 1/1" : "ошибка")), std::string::npos) << r.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Panels, Station,
    ::testing::Values(
        StationRow{"ThreeProgrammedOnce", {"", "", ""}, {"ok", "ok", "ok"}, {1, 1, 1}, 0},
        StationRow{"AnotherTypeRefusedTheOthersProgrammed", {"", "--type 2", ""},
                   {"ok", "другой тип прибора: Ирт-ОП8, файл для Ирт-ОП8А", "ok"}, {1, 0, 1}, 5},
        StationRow{"AFailingPanelJournalledTheOthersProgrammed", {"", "--fault readback", ""},
                   {"ok", "Обнаружены ошибки записи", "ok"}, {1, 1, 1}, 8}),
    [](const auto& row) { return std::string(row.param.name); });

struct JournalRowCase {
  const char* name;
  const char* journal;  // where the journal should go
};

void PrintTo(const JournalRowCase& row, std::ostream* os) { *os << row.name; }

class StationJournal : public StationBench, public ::testing::WithParamInterface<JournalRowCase> {};

TEST_P(StationJournal, ThatCannotBeWrittenStopsTheStationBeforeAnyPort) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("m.cf8")}).status, 0);
  StartSims({""});
  std::vector<std::string> args = StationArgs({"--once"});
  args[3] = GetParam().journal;
  const RunResult r = Tool(args);
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("журнал"), std::string::npos) << r.err;
  EXPECT_EQ(Frames(0, kRead) + Frames(0, kWrite), 0) << "a frame went out";
}

INSTANTIATE_TEST_SUITE_P(Journals, StationJournal,
                         ::testing::Values(JournalRowCase{"FullDisk", "/dev/full"},
                                           JournalRowCase{"ReadOnly", "/proc/version"},
                                           JournalRowCase{"NoFolder", "/nonexistent/j.csv"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(StationBench, AppendsToAnExistingJournalAndQuotesAsCsv) {
  const std::string kept = "start,end\r\n\"a, \"\"quoted\"\" field\",x\r\n";
  Write("j.csv", kept);
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("m.cf8")}).status, 0);
  StartSims({"--type 2"});
  ASSERT_EQ(Tool(StationArgs({"--once"})).status, 5);
  const std::string text = Text("j.csv");
  EXPECT_EQ(text.substr(0, kept.size()), kept);
  bool ok = false;
  const auto rows = test::ParseCsv(text, ok);
  ASSERT_TRUE(ok) << text;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][0], "a, \"quoted\" field");
  EXPECT_EQ(rows[2][12], "другой тип прибора: Ирт-ОП8, файл для Ирт-ОП8А");
}

// Station mode: a panel left connected and one plugged in and taken away
// later are each programmed once; Ctrl+C after that ends the station.
TEST_F(StationBench, StationModeProgramsEachPanelOnceUntilCtrlC) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("m.cf8")}).status, 0);
  StartSims({"", "--present-after 1000 --absent-after 5000"});
  std::vector<std::string> args = StationArgs({});
  // Two whole poll periods more after both were programmed.
  const RunResult r = test::RunProgram(TIVOLAN_CLI_PATH, args, "запрограммировано 2, ошибок 0", 2500 * 2);
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_EQ(r.out, "запрограммировано 2, ошибок 0\n");
  EXPECT_EQ(Frames(0, kWrite), 1);
  EXPECT_EQ(Frames(1, kWrite), 1);
  EXPECT_EQ(Journal().size(), 2u);
}

struct CtrlCRow {
  const char* name;
  int interrupts;      // Ctrl+C while the write's answer is on its way
  const char* result;  // the journal's, by its start
};

void PrintTo(const CtrlCRow& row, std::ostream* os) { *os << row.name; }

class StationCtrlC : public StationBench, public ::testing::WithParamInterface<CtrlCRow> {};

// One Ctrl+C during a write lets it end (the panel is programmed and
// journalled); a second cancels it, and the journal says so.
TEST_P(StationCtrlC, DuringAWrite) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("m.cf8")}).status, 0);
  StartSims({"--fault delay --delays 0,700"});
  const RunResult r = test::RunProgram(TIVOLAN_CLI_PATH, StationArgs({}), "запись 1/1", 100, GetParam().interrupts);
  EXPECT_EQ(r.status, 130) << r.err;
  const auto journal = Journal();
  ASSERT_EQ(journal.size(), 1u);
  const std::string result = journal.begin()->second[12];
  EXPECT_EQ(result.substr(0, std::string(GetParam().result).size()), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Interrupts, StationCtrlC,
                         ::testing::Values(CtrlCRow{"OnceTheWriteEnds", 1, "ok"},
                                           CtrlCRow{"TwiceItIsCancelled", 2, "обмен с прибором прерван"}),
                         [](const auto& row) { return std::string(row.param.name); });

// --verify-only writes nothing and journals whether each panel holds the file.
TEST_F(StationBench, VerifyOnlyComparesAndWritesNothing) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("m.cf8")}).status, 0);
  std::string other = "78171E1E68140000681400006814000048100000500F000058040000580400000000000033" "10C00510";
  StartSims({"", ("--image " + other).c_str()});
  const RunResult r = Tool(StationArgs({"--once", "--verify-only"}));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "проверено 1, ошибок 1\n");
  auto journal = Journal();
  EXPECT_EQ(journal[ports[0]][12], "ok");
  EXPECT_EQ(journal[ports[1]][12].rfind("отличается от файла: ", 0), 0u) << journal[ports[1]][12];
  for (std::size_t i = 0; i < ports.size(); ++i) {
    EXPECT_EQ(journal[ports[i]][11], "verify");
    EXPECT_EQ(Frames(i, kWrite), 0);
  }
}

// On a terminal the ports' lines and the counts are drawn anew in place:
// up over them, each line cleared and written again.
TEST_F(StationBench, OnATerminalThePortLinesAreRedrawnInPlace) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("m.cf8")}).status, 0);
  StartSims({"", ""});
  std::ostringstream out, err;
  std::istringstream in;
  ASSERT_EQ(cli::Run(StationArgs({"--once"}), {out, err, in, false, true}), 0) << err.str();
  const std::string screen = err.str();
  const std::size_t last = screen.rfind("\x1b[3A");
  ASSERT_NE(last, std::string::npos) << screen;
  std::istringstream lines(screen.substr(last + 4));
  std::string line;
  for (const auto& port : ports) {
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("\r\x1b[K" + port + "  готово (", 0), 0u) << line;
    const std::string version = ", версия 3)";
    EXPECT_EQ(line.substr(line.size() - version.size()), version) << line;
  }
  std::getline(lines, line);
  EXPECT_EQ(line, "\r\x1b[Kзапрограммировано 2, ошибок 0");
  EXPECT_EQ(out.str(), "запрограммировано 2, ошибок 0\n");
}

}  // namespace
}  // namespace tivolan
