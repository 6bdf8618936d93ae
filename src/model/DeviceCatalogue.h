#pragma once
// The device models the program knows. Code = device type = list position + 1.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tivolan {

struct DeviceModel {
  uint32_t code;
  const char* name;         // model name, also written to the file
  const char* description;  // begins with its own blanks
  bool offered;             // offered in the device type list
};

//                    code  model name     description                                   offered
inline constexpr std::array<DeviceModel, 4> DeviceCatalogue{{
    {0, "Ирт-ОП8ex", " Прибор 8 шлейфов", false},
    {1, "Ирт-ОП8А", " ППК 8 шлейфов автономный, версия >= 3", true},
    {2, "Ирт-ОП8", " ППК 8 шлейфов сетевой", true},
    {3, "Ирт-ОП-КС", "  Концентратор сети", true},
}};

inline constexpr uint8_t kTypePPKP = 1;
inline constexpr uint8_t kTypePPKN = 2;
inline constexpr uint8_t kTypeCNC1 = 3;

constexpr bool IsKnownDeviceType(int type) { return type >= 1 && type <= 3; }

// The device type list shows the offered rows in code order: entry index =
// code - 1, in both directions.
constexpr int ListIndexOfDeviceType(int type) { return type - 1; }
constexpr int DeviceTypeOfListIndex(int index) { return index + 1; }

// Catalogue row of a code, or nullptr.
const DeviceModel* FindDeviceModel(uint32_t code);

// Entries of the device type list: the offered rows, model name joined to the
// description without a separator.
std::vector<std::string> DeviceTypeListEntries();

// Configuration bytes of a type's image (41, 43, 11); 0 for an unknown type.
int PayloadSize(int type);
// Length of the block-1 write frame (payload + 5); 0 for an unknown type.
int WriteFrameLength(int type);

}  // namespace tivolan
