#pragma once
// tivolan-cli firmware: the boot loader transfer of the "Прошивка" tab.
#include <string>

#include "cli/CliCommands.h"

namespace tivolan::cli {

int RunFirmwareCommand(const std::string& port, const std::string& file, Streams& io);

// firmware --check: the file read and checked as before a transfer, its
// blocks listed; no port is opened.
int RunFirmwareCheck(const std::string& file, Streams& io);

}  // namespace tivolan::cli
