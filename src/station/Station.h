#pragma once
// Programming many panels from one configuration: every port runs its own
// exchanges on a thread of its own (its own data module and event loop, as
// one window's worker), waits for a panel, checks its type, keeps what it
// held, writes it with its read-back, journals it and waits until it is
// taken away. The command line and the window show the same events.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "model/SharedData.h"
#include "station/Journal.h"

namespace tivolan::station {

// The repeated block-1 poll of a port that waits for a panel, or for the
// panel to be taken away.
inline constexpr int kPollPeriodMs = 2000;
// Polls in a row without an answer that count a panel as taken away: one
// lost poll never lets the same panel be programmed twice.
inline constexpr int kAbsentPolls = 2;

struct StationPort {
  std::string name;  // as the driver opens it
  std::string adapter, adapterSerial;
};

struct StationJob {
  SharedData image;  // committed as for a write
  std::string file, fileSha256;
  std::vector<StationPort> ports;
  std::optional<std::string> journal;    // prepared (PrepareJournal) before Run
  std::optional<std::string> backupDir;  // checked before Run
  bool once = false;                     // one poll each; what answers is programmed once
  bool verifyOnly = false;               // nothing written: each panel compared with the image
};

enum class Phase { Waiting, Writing, Verifying, Done, Failed, Remove, Ended };

struct PortView {
  std::string port;
  Phase phase = Phase::Waiting;
  int block = 0, blocks = 0;  // Writing: block `block` of `blocks`
  std::string outcome;        // Done, Failed, Remove: what the last panel came to ("готово", "ошибка: ...")
  std::string finishedAt;     // Done, Failed, Remove: "23:15:02"
  int version = 0;            // of the last panel
  int programmed = 0, failed = 0;
};

// The text of a port's state: "ожидание прибора", "запись 2/4", "готово",
// "ошибка: <status>", "готово; снимите прибор".
std::string PhaseText(const PortView& view);
// "запрограммировано 12, ошибок 1" (for a verification: "проверено").
std::string CountsText(int programmed, int failed, bool verify);

class StationEvents {
 public:
  virtual ~StationEvents() = default;
  // From the ports' threads, one at a time.
  virtual void PortChanged(const PortView& view) = 0;
  virtual void PanelEnded(const JournalRow& row) = 0;
  // The journal could not take a row: no new panel is taken.
  virtual void JournalFailed(const std::string& why) = 0;
};

struct StationControl {
  std::atomic<bool> stopTaking{false};  // no new panel; exchanges in progress go on
  std::atomic<bool> cancel{false};      // exchanges in progress are cancelled too
};

struct StationResult {
  int programmed = 0, failed = 0;
  int firstFailure = 0;  // the status code of the first panel that failed, 0 when none
  bool journalFailed = false;
};

// Runs every port until each is done (once) or control.stopTaking, and
// returns when every port's exchange has ended.
StationResult RunStation(const StationJob& job, StationEvents& events, StationControl& control);

}  // namespace tivolan::station
