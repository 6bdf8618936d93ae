#pragma once
// The storage that lives for the whole run and that the main window, the file
// code and the programming worker share. No lock: while a worker runs the
// window keeps every control that could touch it disabled.
#include <cstdint>

#include "model/ConfigBuffer.h"
#include "model/DeviceCatalogue.h"

namespace tivolan {

struct SharedData {
  ImageBuffer ConfigBuffer{};
  uint8_t DeviceType = kTypePPKP;
  uint8_t DeviceVersion = 0;  // firmware version of the last block-1 answer
};

}  // namespace tivolan
