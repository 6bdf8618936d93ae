#pragma once
// What a station does with one panel that answered on a port: the checks of
// its read, the backup, the write (or the comparison), each filling the
// panel's journal row. Runs on the port's thread.
#include <ctime>
#include <functional>
#include <string>

#include "configuration/Configuration.h"
#include "link/EventLoop.h"
#include "link/ExchangeOperation.h"
#include "station/Station.h"

namespace tivolan::station {

// The exit status tivolan-cli gives for a final status: 0 for success,
// else the status's own number (6 to 11).
int StatusCode(LinkStatus code);
inline constexpr int kStatusDiffers = 1;       // verify: the panel holds another configuration
inline constexpr int kStatusSaveFailed = 4;    // the backup could not be saved
inline constexpr int kStatusOtherType = 5;     // refused: a panel of another type than the file's
inline constexpr int kStatusInterrupted = 130;

// DIR/<port>-<YYYYMMDD>-<HHMMSS>-<model>-v<version>.cf8, with -2, -3 ...
// when such a file is already there.
std::string StationBackupName(const std::string& folder, const std::string& port, int type, int version,
                              std::time_t when);

struct PanelSteps {
  const StationJob& job;
  const std::string& port;
  EventLoop& loop;
  TDataModule1& dataModule;
  StationControl& control;

  // The row of a panel whose read ended as `read`; statusCode is not 0 when
  // the read failed or the panel is of another type.
  JournalRow Begin(const SharedData& held, const ExchangeOutcome& read, std::time_t at) const;
  void Backup(SharedData& held, FormState& form, JournalRow& row) const;
  void Verify(const SharedData& held, JournalRow& row) const;
  // `progress(block, blocks)` as each block goes out.
  void Write(JournalRow& row, const std::function<void(int, int)>& progress) const;
};

}  // namespace tivolan::station
