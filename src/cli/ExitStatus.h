#pragma once
// The exit statuses of tivolan-cli, and the one table that gives the status
// of each outcome of a read, a write or a firmware update. Scripts rely on
// these numbers (the manual page, the README and --help list them): a failed
// exchange exits with the number its final status has always had, the
// firmware update's own failures follow it.
#include <variant>

#include "link/Firmware.h"
#include "link/LinkStatus.h"

namespace tivolan::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDiffer = 1;         // diff: the files differ
inline constexpr int kExitUsage = 2;
inline constexpr int kExitBadFile = 3;        // no configuration (or no firmware), or damaged
inline constexpr int kExitSaveFailed = 4;     // a file or standard output cannot be written
inline constexpr int kExitRefused = 5;        // the write was refused before anything was sent
inline constexpr int kExitPortError = 6;      // the port cannot be opened, or another program holds it
inline constexpr int kExitNoLink = 7;         // no answer, or not a whole one
inline constexpr int kExitWriteMismatch = 8;  // the read-back differs from what was written
inline constexpr int kExitUnknownDevice = 9;
inline constexpr int kExitGsmError = 10;      // a GSM block failed
inline constexpr int kExitVersionTooOld = 11;
inline constexpr int kExitNoVerdict = 12;     // "Нет связи с устройством"
inline constexpr int kExitRejected = 13;      // "Ошибка контрольной суммы"
inline constexpr int kExitInterrupted = 130;  // as a shell reports SIGINT

// How an exchange or a firmware update ended: the final status of the one,
// the result of the other.
using Outcome = std::variant<LinkStatus, FirmwareResult>;

struct OutcomeExit {
  Outcome outcome;
  int status;
};

//  outcome                                         exit status
inline constexpr OutcomeExit kOutcomeExits[] = {
    {LinkStatus::StatusReadDone, kExitOk},
    {LinkStatus::StatusWriteDone, kExitOk},
    {LinkStatus::StatusPortError, kExitPortError},  // also when the update port cannot be opened
    {LinkStatus::StatusNoLink, kExitNoLink},
    {LinkStatus::StatusWriteMismatch, kExitWriteMismatch},
    {LinkStatus::StatusUnknownDevice, kExitUnknownDevice},
    {LinkStatus::StatusGsmError, kExitGsmError},
    {LinkStatus::StatusVersionTooOld, kExitVersionTooOld},
    {FirmwareResult::Updated, kExitOk},
    {FirmwareResult::NoAnswer, kExitNoVerdict},
    {FirmwareResult::Rejected, kExitRejected},
    {FirmwareResult::Cancelled, kExitInterrupted},
};

// The status of an outcome. A report that ends nothing (codes 2 to 5) has no
// row: the exchange did not finish, as if it had been interrupted.
constexpr int ExitStatusOf(Outcome outcome) {
  for (const OutcomeExit& row : kOutcomeExits)
    if (row.outcome == outcome) return row.status;
  return kExitInterrupted;
}

namespace detail {
constexpr bool EveryFinalStatusHasARow() {
  for (const StatusRow& status : kLinkStatuses) {
    bool found = false;
    for (const OutcomeExit& row : kOutcomeExits) found = found || row.outcome == Outcome{status.code};
    if (status.final != found) return false;
  }
  return true;
}
static_assert(EveryFinalStatusHasARow(), "each final status, and only a final one, has its exit status");
}  // namespace detail

}  // namespace tivolan::cli
