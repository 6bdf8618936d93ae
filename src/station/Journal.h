#pragma once
// The station's journal: one CSV row (RFC 4180, UTF-8, a header first) per
// panel taken, appended and forced to disk as the panel ends, so that a
// crash or a power cut loses no finished panel. An existing journal is only
// ever appended to.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tivolan::station {

struct JournalRow {
  std::string started, ended;  // ISO 8601 with the local offset
  std::string port, adapter, adapterSerial;
  int deviceType = 0;
  std::string model;
  int firmwareVersion = 0;
  std::string gsmDeviceNumber;  // empty when the configuration uses no GSM
  std::string file, fileSha256;
  std::string action;  // "write" or "verify"
  std::string result;  // "ok", or what went wrong
  int statusCode = 0;  // the exit status tivolan-cli gives for this outcome
  std::string blocksSent;  // "1 2 3"
  std::string backupFile;
  std::string user;
};

// The fields of one row, quoted where RFC 4180 needs it, ending in CRLF.
std::string CsvLine(const std::vector<std::string>& fields);
std::string JournalHeaderLine();
std::string JournalLine(const JournalRow& row);

// Why the journal cannot take rows (nullopt when it can): it is opened for
// appending, given its header when new or empty, and the disk must have
// room for rows. Called before the first port is opened.
std::optional<std::string> PrepareJournal(const std::string& path);
// Appends a row and forces it to disk; what went wrong, or nullopt.
std::optional<std::string> AppendJournalRow(const std::string& path, const JournalRow& row);

// "2026-12-09T23:15:02+03:00".
std::string IsoLocalTime(std::time_t when);
// Who runs the program, as the system names the user.
std::string UserName();

}  // namespace tivolan::station
