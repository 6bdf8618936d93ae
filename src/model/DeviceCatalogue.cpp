#include "model/DeviceCatalogue.h"

namespace tivolan {

const DeviceModel* FindDeviceModel(uint32_t code) {
  for (const auto& row : DeviceCatalogue)
    if (row.code == code) return &row;
  return nullptr;
}

std::vector<std::string> DeviceTypeListEntries() {
  std::vector<std::string> entries;
  for (const auto& row : DeviceCatalogue)
    if (row.offered) entries.push_back(std::string(row.name) + row.description);
  return entries;
}

int PayloadSize(int type) {
  switch (type) {
    case kTypePPKP: return 41;
    case kTypePPKN: return 43;
    case kTypeCNC1: return 11;
    default: return 0;
  }
}

int WriteFrameLength(int type) {
  const int n = PayloadSize(type);
  return n == 0 ? 0 : n + 5;
}

}  // namespace tivolan
