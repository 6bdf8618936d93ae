#include "cli/Backup.h"

#include <filesystem>

#include "cli/TerminalText.h"
#include "files/FileIO.h"
#include "files/FileTimes.h"
#include "files/FileProblems.h"
#include "model/DeviceCatalogue.h"

namespace tivolan::cli {

namespace fs = std::filesystem;

std::optional<std::string> BackupFolderProblem(const std::string& folder) {
  std::error_code ec;
  const fs::path dir = PathFromUtf8(folder);
  const std::string name = Escaped(folder);
  if (!fs::exists(dir, ec)) return "папки резервных копий " + name + " нет";
  if (!fs::is_directory(dir, ec)) return name + " не папка";
  try {
    CheckSaveTarget(Utf8FromPath(dir / "tivolan-backup-probe.cf8"));
  } catch (const FileError& e) {
    const std::string reason = SaveReason(e.Cause());
    return "в папке " + name + " нельзя создать файл" + (reason.empty() ? "" : ": " + reason);
  }
  return std::nullopt;
}

std::string BackupFileName(const std::string& folder, int deviceType, std::time_t when) {
  const DeviceModel* model = FindDeviceModel(static_cast<uint32_t>(deviceType));
  const std::string base = std::string(model ? model->name : "device") + "-" + LocalTimeText(when, "%Y%m%d-%H%M%S");
  const fs::path dir = PathFromUtf8(folder);
  std::error_code ec;
  fs::path file = dir / PathFromUtf8(base + ".cf8");
  for (int n = 2; fs::exists(file, ec); ++n) file = dir / PathFromUtf8(base + "-" + std::to_string(n) + ".cf8");
  return Utf8FromPath(file);
}

}  // namespace tivolan::cli
