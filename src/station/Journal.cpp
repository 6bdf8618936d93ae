#include "station/Journal.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "files/FileIO.h"
#include "station/os/DurableAppend.h"

namespace tivolan::station {
namespace {

// Room for a good many rows; less than this and the disk counts as full.
constexpr std::uintmax_t kRoomForRows = 64 * 1024;

std::string Quoted(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Number(int n) { return n ? std::to_string(n) : ""; }

}  // namespace

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + Quoted(fields[i]);
  return line + "\r\n";
}

std::string JournalHeaderLine() {
  return CsvLine({"start", "end", "port", "adapter", "adapter_serial", "device_type", "model", "firmware",
                  "gsm_device_number", "file", "file_sha256", "action", "result", "status", "blocks_sent",
                  "backup_file", "user"});
}

std::string JournalLine(const JournalRow& r) {
  return CsvLine({r.started, r.ended, r.port, r.adapter, r.adapterSerial, Number(r.deviceType), r.model,
                  Number(r.firmwareVersion), r.gsmDeviceNumber, r.file, r.fileSha256, r.action, r.result,
                  std::to_string(r.statusCode), r.blocksSent, r.backupFile, r.user});
}

std::optional<std::string> PrepareJournal(const std::string& path) {
  unsigned long long size = 0;
  if (auto error = AppendDurably(path, "", &size)) return error;
  std::error_code ec;
  const auto folder = std::filesystem::absolute(PathFromUtf8(path), ec).parent_path();
  const auto space = std::filesystem::space(folder, ec);
  if (!ec && space.available < kRoomForRows && std::filesystem::is_regular_file(PathFromUtf8(path), ec))
    return "на диске нет места";
  return size == 0 ? AppendDurably(path, JournalHeaderLine()) : std::nullopt;
}

std::optional<std::string> AppendJournalRow(const std::string& path, const JournalRow& row) {
  return AppendDurably(path, JournalLine(row));
}

std::string IsoLocalTime(std::time_t when) {
  std::tm local{}, utc{};
#ifdef _WIN32
  localtime_s(&local, &when);
  gmtime_s(&utc, &when);
#else
  localtime_r(&when, &local);
  gmtime_r(&when, &utc);
#endif
  int days = local.tm_yday - utc.tm_yday;
  if (days > 1) days = -1;  // across a new year
  if (days < -1) days = 1;
  const int minutes = days * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  const int off = minutes < 0 ? -minutes : minutes;
  char zone[16];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", minutes < 0 ? '-' : '+', off / 60, off % 60);
  return std::string(text) + zone;
}

std::string UserName() {
  for (const char* name : {"USER", "LOGNAME", "USERNAME"})
    if (const char* value = std::getenv(name); value && *value) return value;
  return "";
}

}  // namespace tivolan::station
