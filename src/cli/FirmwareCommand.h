#pragma once
// tivolan-cli firmware: the boot loader transfer of the "Прошивка" tab.
#include <string>

#include "cli/CliCommands.h"

namespace tivolan::cli {

inline constexpr int kExitNoVerdict = 12;  // "Нет связи с устройством"
inline constexpr int kExitRejected = 13;   // "Ошибка контрольной суммы"

int RunFirmwareCommand(const std::string& port, const std::string& file, Streams& io);

}  // namespace tivolan::cli
