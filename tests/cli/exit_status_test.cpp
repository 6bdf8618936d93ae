// The exit statuses of tivolan-cli: the status of every outcome as the
// manual page lists it, and help texts that name every status the table
// gives.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "cli/CliCommands.h"

namespace tivolan::cli {
namespace {

struct OutcomeCase {
  const char* name;
  Outcome outcome;
  int status;
};
void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

class OutcomeExits : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(OutcomeExits, AreTheStatusesTheManualPageLists) {
  EXPECT_EQ(ExitStatusOf(GetParam().outcome), GetParam().status);
}

// The numbers of packaging/man/tivolan-cli.1.in, EXIT STATUS.
INSTANTIATE_TEST_SUITE_P(
    Outcomes, OutcomeExits,
    ::testing::Values(OutcomeCase{"ReadDone", LinkStatus::StatusReadDone, 0},
                      OutcomeCase{"WriteDone", LinkStatus::StatusWriteDone, 0},
                      OutcomeCase{"PortError", LinkStatus::StatusPortError, 6},
                      OutcomeCase{"NoLink", LinkStatus::StatusNoLink, 7},
                      OutcomeCase{"WriteMismatch", LinkStatus::StatusWriteMismatch, 8},
                      OutcomeCase{"UnknownDevice", LinkStatus::StatusUnknownDevice, 9},
                      OutcomeCase{"GsmError", LinkStatus::StatusGsmError, 10},
                      OutcomeCase{"VersionTooOld", LinkStatus::StatusVersionTooOld, 11},
                      OutcomeCase{"FirmwareUpdated", FirmwareResult::Updated, 0},
                      OutcomeCase{"FirmwareNoVerdict", FirmwareResult::NoAnswer, 12},
                      OutcomeCase{"FirmwareRejected", FirmwareResult::Rejected, 13},
                      OutcomeCase{"FirmwareCancelled", FirmwareResult::Cancelled, 130},
                      // A step that ends nothing: the exchange did not finish.
                      OutcomeCase{"PortOpened", LinkStatus::StatusPortOpened, 130},
                      OutcomeCase{"GsmWriting", LinkStatus::StatusGsmWriting, 130}),
    [](const ::testing::TestParamInfo<OutcomeCase>& p) { return std::string(p.param.name); });

std::string HelpOf(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  std::istringstream in;
  EXPECT_EQ(Run(args, {out, err, in, false}), kExitOk);
  return out.str();
}

// The statuses the "exit status:" paragraph of a help text names, a range
// such as 6..11 counted whole.
std::set<int> StatusesNamed(const std::string& help) {
  const auto from = help.find("exit status:");
  if (from == std::string::npos) return {};
  const std::string paragraph = help.substr(from);
  static const std::regex number(R"((\d+)\.\.(\d+)|(\d+))");
  std::set<int> named;
  for (auto it = std::sregex_iterator(paragraph.begin(), paragraph.end(), number); it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    const int first = std::stoi(m[1].matched ? m[1].str() : m[3].str());
    const int last = m[1].matched ? std::stoi(m[2].str()) : first;
    for (int n = first; n <= last; ++n) named.insert(n);
  }
  return named;
}

TEST(ExitStatusHelp, TheToolsHelpNamesEveryStatusOfTheTable) {
  const std::set<int> named = StatusesNamed(HelpOf({"--help"}));
  ASSERT_FALSE(named.empty());
  for (const OutcomeExit& row : kOutcomeExits) EXPECT_EQ(named.count(row.status), 1u) << row.status;
}

TEST(ExitStatusHelp, TheFirmwareHelpNamesEveryStatusAnUpdateEndsWith) {
  const std::set<int> named = StatusesNamed(HelpOf({"firmware", "--help"}));
  ASSERT_FALSE(named.empty());
  for (const OutcomeExit& row : kOutcomeExits) {
    if (std::holds_alternative<FirmwareResult>(row.outcome)) {
      EXPECT_EQ(named.count(row.status), 1u) << row.status;
    }
  }
  EXPECT_EQ(named.count(ExitStatusOf(LinkStatus::StatusPortError)), 1u) << "the update port cannot be opened";
}

}  // namespace
}  // namespace tivolan::cli
