// tivolan-cli report --pdf as an installer hands it over: every page with
// its header and footer, passwords hidden unless asked for, the PDF titled.
// The pages are kept as pictures at 100 and 300 dpi in build/screenshots/.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "configuration/Report.h"
#include "support/CliBench.h"
#include "support/PdfText.h"
#include "support/SimHelp.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;
using test::RunResult;

struct ReportCase {
  const char* name;
  int type;
  bool gsm;  // read from a simulated GSM panel, a GPRS password set in the file
  const char* model;
  friend void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }
};

class CliReport : public ::testing::TestWithParam<ReportCase>, protected test::CliBench {
 protected:
  CliReport() : CliBench("tivolan-cli-report") {}
  // The configuration file the report is made of.
  std::string Configuration() {
    const std::string file = Path((std::string(GetParam().name) + ".cf8").c_str());
    if (!GetParam().gsm) {
      EXPECT_EQ(Tool({"defaults", "--type", std::to_string(GetParam().type), "-o", file}).status, 0);
      return file;
    }
    EXPECT_EQ(Tool({"read", "--port", Sim(test::kGsmPanelArgs), "-o", file}).status, 0);
    std::string text = ReadWholeFile(file, 1 << 20);
    const std::string empty = "user=\"\" password=\"\"";
    text.replace(text.find(empty), empty.size(), "user=\"gdata\" password=\"gdata123\"");
    // Attempts without a phone or host: a write switches destination 2 off.
    const std::string first = "PhOrHst=\"+79031234567\"/>";
    text.insert(text.find(first) + first.size(), "<Dest2 trySIMProt=\"73\"/>");
    WriteFileReplacing(file, text);
    return file;
  }
};

TEST_P(CliReport, EveryPageSaysWhatItIsAndWhoPrintedIt) {
  if (!test::HavePopplerTools()) GTEST_SKIP() << "pdftotext (poppler-utils) not installed";
  const std::string file = Configuration();
  const std::string pdf = Path("report.pdf");
  const RunResult r = Tool({"report", file, "--pdf", pdf});
  if (r.status != 0 && r.err.find("without Qt") != std::string::npos) GTEST_SKIP() << "this build has no Qt";
  ASSERT_EQ(r.status, 0) << r.err;
  const auto pages = test::PdfPages(pdf);
  ASSERT_TRUE(pages && !pages->empty());
  const std::string base = fs::path(file).filename().string();
  const std::size_t count = pages->size();
  for (std::size_t k = 1; k <= count; ++k) {
    const std::string& page = (*pages)[k - 1];
    EXPECT_NE(page.find("Страница " + std::to_string(k) + " из " + std::to_string(count)), std::string::npos) << page;
    EXPECT_NE(page.find(base), std::string::npos) << page;
    EXPECT_NE(page.find(GetParam().model), std::string::npos) << page;
    EXPECT_NE(page.find(std::string("Тиволан ") + TIVOLAN_PROJECT_VERSION), std::string::npos) << page;
    EXPECT_NE(page.find("Напечатано "), std::string::npos) << page;
  }
  EXPECT_NE(pages->front().find("Изменён"), std::string::npos);
  // Each later page goes on under a heading: its section's, repeated, or a new one.
  const std::regex heading("^\n*(Шлейфы|Периферия|Передача|Концентратор|Проверки)( \\(продолжение\\))?\n|^\n*Заполняется");
  for (std::size_t k = 2; k <= count; ++k) {
    const std::string& page = (*pages)[k - 1];
    EXPECT_TRUE(std::regex_search(page.substr(page.find('\n') + 1), heading)) << "page " << k << ":\n" << page;
  }
  // The lines to sign, with a check above them on their page, never alone.
  const std::string& last = pages->back();
  for (const char* line : {"Подпись монтажника", "Подпись заказчика", "М.П."})
    EXPECT_NE(last.find(line), std::string::npos) << line;
  EXPECT_NE(last.substr(0, last.find("Заполняется вручную")).find("Проверки"), std::string::npos) << last;
  EXPECT_EQ(test::PdfTitle(pdf).value_or("").rfind("Конфигурация " + std::string(GetParam().model), 0), 0u);

  // What the reader gets to see of the GPRS password, and in words of print.
  const std::string all = test::Joined(*pages);
  EXPECT_EQ(all.find("(скрыто)"), std::string::npos);
  EXPECT_EQ(all.find('"'), std::string::npos) << "quotation marks are «»";
  if (GetParam().gsm) {
    EXPECT_NE(all.find("Направление 2: заданы попытки («2»), но нет телефона или хоста"), std::string::npos) << all;
  }
  EXPECT_EQ(all.find("gdata123"), std::string::npos) << "a password printed in clear";
  if (GetParam().gsm) {
    EXPECT_NE(all.find("••••"), std::string::npos);
    ASSERT_EQ(Tool({"report", file, "--pdf", Path("shown.pdf"), "--show-passwords"}).status, 0);
    EXPECT_NE(test::Joined(test::PdfPages(Path("shown.pdf")).value_or(std::vector<std::string>{})).find("gdata123"), std::string::npos);
  }

  const fs::path shots = fs::path(TIVOLAN_CLI_PATH).parent_path() / "screenshots";
  fs::create_directories(shots);
  for (const char* dpi : {"100", "300"}) {
    const std::string prefix = (shots / ("report-" + std::string(GetParam().name) + "-" + dpi + "dpi")).string();
    for (const auto& old : fs::directory_iterator(shots))  // pages of a longer report before
      if (old.path().string().rfind(prefix + "-", 0) == 0) fs::remove(old.path());
    EXPECT_EQ(test::RunProgram("/usr/bin/pdftoppm", {"-png", "-r", dpi, pdf, prefix}).status, 0);
    EXPECT_TRUE(fs::exists(prefix + "-1.png"));
  }
}

// The same page as HTML: the last check and the lines to sign in one block
// a printer keeps together, the captions as printed.
TEST_P(CliReport, TheHtmlPageSaysTheSame) {
  const RunResult r = Tool({"report", Configuration(), "-o", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(".end { page-break-inside: avoid;"), std::string::npos);
  const std::string end = r.out.substr(r.out.find("<div class=\"end\">"));
  const std::string checks = end.substr(0, end.find("<h2>"));
  EXPECT_TRUE(checks.find("<li") != std::string::npos || checks.find(kNoChecks) != std::string::npos) << end;
  for (const char* line : {"<h2>Заполняется вручную</h2>", "<tr><th>Подпись заказчика</th><td></td></tr>",
                           "<p class=\"stamp\">М.П.</p>\n</div>"})
    EXPECT_NE(end.find(line), std::string::npos) << line;
  EXPECT_EQ(r.out.find("(скрыто)"), std::string::npos);
  EXPECT_EQ(r.out.find("&quot;"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Devices, CliReport,
                         ::testing::Values(ReportCase{"type1_gsm", 1, true, "Ирт-ОП8А"},
                                           ReportCase{"type2", 2, false, "Ирт-ОП8 ППК"},
                                           ReportCase{"concentrator", 3, false, "Ирт-ОП-КС"}),
                         [](const auto& param) { return std::string(param.param.name); });

// "-" is standard output for the page and for the PDF alike, never a file
// of that name, and checked as standard output is; both at once would mix
// them.
struct DashCase {
  std::vector<std::string> args;
  const char* redirect;  // of the tool's standard output
  int status;
  const char* starts;  // what standard output begins with
  friend void PrintTo(const DashCase& c, std::ostream* os) {
    for (const auto& a : c.args) *os << a << ' ';
    *os << c.redirect;
  }
};
class CliReportDash : public ::testing::TestWithParam<DashCase>, protected test::CliBench {
 protected:
  CliReportDash() : CliBench("tivolan-cli-report-dash") {}
};

TEST_P(CliReportDash, IsStandardOutput) {
  ASSERT_EQ(Tool({"defaults", "--type", "3", "-o", Path("k.cf8")}).status, 0);
  std::vector<std::string> args{"report", "k.cf8"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const RunResult r = Tool(args, std::string("exec \"$0\" \"$@\" ") + GetParam().redirect);
  if (r.err.find("without Qt") != std::string::npos) GTEST_SKIP() << "this build has no Qt";
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  EXPECT_EQ(r.out.rfind(GetParam().starts, 0), 0u) << r.out.substr(0, 40);
  if (GetParam().status == 4) {
    EXPECT_NE(r.err.find("tivolan-cli: стандартный вывод не записан: на диске нет места\n"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir / "-"));
}

INSTANTIATE_TEST_SUITE_P(Outputs, CliReportDash,
                         ::testing::Values(DashCase{{"-o", "-"}, "", 0, "<!DOCTYPE html>"},
                                           DashCase{{"--pdf", "-"}, "", 0, "%PDF-"},
                                           DashCase{{"--pdf", "-"}, ">/dev/full", 4, ""},
                                           DashCase{{"--pdf", "-", "-o", "-"}, "", 2, ""}));

}  // namespace
}  // namespace tivolan
