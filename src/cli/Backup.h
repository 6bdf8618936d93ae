#pragma once
// The backup a write can keep: the device's configuration read just before
// it is overwritten, saved as a normal configuration file.
#include <ctime>
#include <optional>
#include <string>

namespace tivolan::cli {

// Why the folder cannot take a backup (it does not exist, is no folder, or
// no file can be created in it); nullopt when it can.
std::optional<std::string> BackupFolderProblem(const std::string& folder);

// DIR/<model>-<YYYYMMDD>-<HHMMSS>.cf8, with -2, -3 ... when such a file is
// already there.
std::string BackupFileName(const std::string& folder, int deviceType, std::time_t when);

}  // namespace tivolan::cli
