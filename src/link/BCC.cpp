#include "link/BCC.h"

namespace tivolan {

uint8_t FrameChecksum(const uint8_t* buffer, std::size_t count) {
  uint8_t crc = 0;
  for (std::size_t i = 0; i < count; ++i) crc = CrcTable[crc ^ buffer[i]];
  return crc;
}

}  // namespace tivolan
