// tivolan-cli diff --port and write --show-changes: what the device holds
// against a file, and a write of exactly what was compared.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliCommands.h"
#include "support/CliBench.h"
#include "support/SimHelp.h"

namespace tivolan {
namespace {

// A panel with two settings of its own; the file holds the defaults.
constexpr const char* kEditedPanel =
    "--type 1 --image 78171E1E68140000683C2D32681400004810000050" "0F000058040000580400000000000033" "10C00510";
constexpr const char* kEditedLines =
    "ШС3: Код события 303 - ОШИБКА RAM → 131 - ПЕРИМЕТР\n"
    "Время работы звукового оповещателя, мин 5 → 2\n";
const std::string kEditedStale = std::string(kEditedPanel) + " --change-after 1";

struct ChangesCase {
  const char* sim;
  std::vector<const char*> args;  // {port}, {file}
  const char* answer;             // typed on the terminal; nullptr: no terminal
  int status;
  const char* out;                // all of standard output, or nullptr: contains `outPart`
  const char* outPart;
  const char* errPart;
  bool written;                   // a block-1 write frame reached the panel
  friend void PrintTo(const ChangesCase& c, std::ostream* os) {
    *os << c.sim << " |";
    for (const char* a : c.args) *os << " " << a;
  }
};

class CliChanges : public ::testing::TestWithParam<ChangesCase>, protected test::CliBench {
 protected:
  CliChanges() : CliBench("tivolan-cli-changes") {}
};

TEST_P(CliChanges, ExitStatusAndTexts) {
  const ChangesCase& c = GetParam();
  const std::string port = Sim(std::string(c.sim) + " --log " + Path("sim.log"));
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
  std::vector<std::string> args;
  for (std::string a : c.args) args.push_back(a == "{port}" ? port : a == "{file}" ? Path("d.cf8") : a);
  std::ostringstream out, err;
  std::istringstream in(c.answer ? c.answer : "");
  EXPECT_EQ(cli::Run(args, {out, err, in, c.answer != nullptr}), c.status) << err.str();
  if (c.out)
    EXPECT_EQ(out.str(), c.out);
  else
    EXPECT_NE(out.str().find(c.outPart), std::string::npos) << out.str();
  EXPECT_NE(err.str().find(c.errPart), std::string::npos) << err.str();
  EXPECT_EQ(Text("sim.log").find("7E 2E 57 01") != std::string::npos, c.written) << Text("sim.log");
}

const std::vector<const char*> kDiff{"diff", "--port", "{port}", "{file}"};
const std::vector<const char*> kShow{"write", "--show-changes", "--port", "{port}", "{file}"};
const std::vector<const char*> kShowYes{"write", "--show-changes", "--port", "{port}", "{file}", "--yes"};

INSTANTIATE_TEST_SUITE_P(
    Cases, CliChanges,
    ::testing::Values(
        ChangesCase{"--type 1", kDiff, nullptr, 0, "", nullptr, "Конфигурация прочитана", false},
        ChangesCase{kEditedPanel, kDiff, nullptr, 1, kEditedLines, nullptr, "", false},
        ChangesCase{"--type 3", kDiff, nullptr, 1, nullptr, "Тип прибора Ирт-ОП-КС", "", false},
        ChangesCase{"--type 1 --fault no-answer", kDiff, nullptr, 7, "", nullptr, "Нет связи", false},
        ChangesCase{kEditedPanel, kShowYes, nullptr, 0, kEditedLines, nullptr, "Конфигурация записана", true},
        ChangesCase{"--type 1", kShowYes, nullptr, 0, "Прибор уже содержит эту конфигурацию\n", nullptr, "", false},
        ChangesCase{kEditedPanel, kShow, nullptr, 5, nullptr, "ШС3:", "без --yes запись не выполнена", false},
        ChangesCase{kEditedPanel, kShow, "\n", 5, nullptr, "ШС3:",
                    "Записать эти изменения? [д/Н] tivolan-cli: запись отменена, в прибор ничего не записано\n", false},
        ChangesCase{kEditedPanel, kShow, "д\n", 0, nullptr, "ШС3:", "Конфигурация записана", true},
        // The panel changes after the comparison's read: the read before the write tells.
        ChangesCase{kEditedStale.c_str(), kShowYes, nullptr, 5, kEditedLines, nullptr,
                    "tivolan-cli: Прибор изменился после сравнения: сравните заново; запись не выполнена\n", false},
        ChangesCase{"--type 3", kShowYes, nullptr, 5, nullptr, "Тип прибора",
                    "На порту прибор Ирт-ОП-КС, в файле — Ирт-ОП8А; запись не выполнена", false}));

// A GSM panel against a file without GSM: the settings that only the GSM
// side shows are named with its values, never as "— → —".
class CliDiff : public ::testing::Test, protected test::CliBench {
 protected:
  CliDiff() : CliBench("tivolan-cli-diff") {}
};

TEST_F(CliDiff, NoDifferenceReadsTheSameOnBothSides) {
  const std::string gsm = Sim(test::kGsmPanelArgs);
  ASSERT_EQ(Tool({"read", "--port", gsm, "-o", Path("g.cf8")}).status, 0);
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
  for (const auto& pair : {std::vector<std::string>{"diff", Path("d.cf8"), Path("g.cf8")},
                           std::vector<std::string>{"diff", "--port", gsm, Path("d.cf8")}}) {
    const test::RunResult r = Tool(pair);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out.find("— → —"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Вид передачи"), std::string::npos) << r.out;
  }
}

}  // namespace
}  // namespace tivolan
