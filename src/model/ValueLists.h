#pragma once
// Constant lists whose position is the stored value.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tivolan {

struct ZoneTypeInfo {
  const char* name;
  int defaultEvent;  // event byte preset on a change of type; -1: none
};

inline constexpr int kZoneTypeOff = 0;
inline constexpr int kZoneTypeFire = 3;
inline constexpr int kZoneTypeTechnical = 4;
inline constexpr int kZoneTypeGuard = 5;
inline constexpr int kZoneTypeInterior = 6;
inline constexpr int kZoneTypeDoor = 7;

//                                          name                default event
inline constexpr std::array<ZoneTypeInfo, 8> ZoneTypes{{
    {"Отключен", -1},
    {"Тревожный", 0x10},
    {"Тихий тревожный", 0x0F},
    {"Пожарный", 0x04},
    {"Технологический", 0x25},
    {"Охранный", 0x14},
    {"Внутренний", 0x15},
    {"Дверной", 0x17},
}};

constexpr bool IsGuardType(int type) { return type == kZoneTypeGuard || type == kZoneTypeInterior; }

inline constexpr std::array<const char*, 6> RelayModeList{
    "Отключено", "3 секунды", "2 минуты", "До сброса", "Прерывисто 2 минуты", "Прерывисто до сброса"};

// Lamp modes: "Отключено в норме", one per partition, all partitions armed.
inline constexpr std::size_t kLampModeCount = 10;
std::array<std::string, kLampModeCount> LampModeList();
// Reader LED modes: "Отключен в норме", one per partition.
inline constexpr std::size_t kReaderLedModeCount = 9;
std::array<std::string, kReaderLedModeCount> ReaderLedModeList();
// "1" .. "8".
std::array<std::string, 8> PartitionList();

inline constexpr std::array<const char*, 4> TxKindList{"Отключено", "VX-518Hn", "GSM-KVT", "RS-485"};
inline constexpr int kTxKindGsm = 2;    // "GSM-KVT": the GSM settings travel with the configuration
inline constexpr int kTxKindRs485 = 3;  // "RS-485": the panel has a network number

// The position of `text` in a list of texts (a value list, a combo's items);
// -1 when it is none of them.
template <class List>
int IndexOfText(std::string_view text, const List& list) {
  std::size_t i = 0;
  for (const auto& item : list) {
    if (text == item) return static_cast<int>(i);
    ++i;
  }
  return -1;
}

}  // namespace tivolan
