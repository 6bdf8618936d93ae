#include "model/ValueLists.h"

namespace tivolan {
namespace {
std::string ArmedText(int partition) { return "Горит если взят раздел " + std::to_string(partition); }
}  // namespace

std::array<std::string, kLampModeCount> LampModeList() {
  std::array<std::string, 10> list;
  list[0] = "Отключено в норме";
  for (int p = 1; p <= 8; ++p) list[static_cast<std::size_t>(p)] = ArmedText(p);
  list[9] = "Горит если все разделы взяты";
  return list;
}

std::array<std::string, kReaderLedModeCount> ReaderLedModeList() {
  std::array<std::string, 9> list;
  list[0] = "Отключен в норме";
  for (int p = 1; p <= 8; ++p) list[static_cast<std::size_t>(p)] = ArmedText(p);
  return list;
}

std::array<std::string, 8> PartitionList() {
  std::array<std::string, 8> list;
  for (int p = 1; p <= 8; ++p) list[static_cast<std::size_t>(p - 1)] = std::to_string(p);
  return list;
}

}  // namespace tivolan
