#pragma once
// The firmware file as "Обновить прошивку" and `tivolan-cli firmware` read it.
#include <string>

#include "link/Firmware.h"

namespace tivolan {

// Reads and decodes a file; one longer than kFirmwareTextMax characters is
// refused without being read whole, one that cannot be read is no firmware.
FirmwareFile LoadFirmwareFile(const std::string& path);

}  // namespace tivolan
