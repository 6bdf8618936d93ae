#include "configuration/OutsideValues.h"

#include "link/GsmRecords.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"
#include "model/Images.h"
#include "model/PeripheryPage.h"

namespace tivolan {
namespace {

std::string Range(int min, int max) { return std::to_string(min) + ".." + std::to_string(max); }

}  // namespace

std::vector<OutsideValue> ValuesOutsideControls(const SharedData& data) {
  std::vector<OutsideValue> found;
  auto check = [&found](const char* control, int value, int min, int max) {
    if (value < min || value > max) found.push_back({control, value, min, max});
  };
  if (const auto panel = PanelImageOf(data.ConfigBuffer, data.DeviceType)) {
    check("Время работы звукового оповещателя, мин", panel->SndWrkTime(), kSirenMinutesMin, kSirenMinutesMax);
    if (panel->HasSlaveBus()) check("Сетевой номер", panel->SlaveBus(), kBusIdMin, kBusIdMax);
  }
  if (IsKnownDeviceType(data.DeviceType) && IsGsmInUse(data.ConfigBuffer, data.DeviceType))
    check("Номер прибора", data.DestTX_Buffer.deviceNumber, 0, kDeviceNumberMax);
  return found;
}

std::string OutsideValueNote(int value, int min, int max) {
  return "Значение из прибора: " + std::to_string(value) + ", вне " + Range(min, max) +
         ". Записывается в прибор как есть, пока его не изменят.";
}

MessageBox OutsideValuesQuestion(const std::vector<OutsideValue>& values) {
  std::string text = "В конфигурации есть значения, которые дал прибор и которых программа не предлагает:";
  for (const OutsideValue& v : values)
    text += "\r\n" + v.control + ": " + std::to_string(v.value) + " (программа предлагает " + Range(v.min, v.max) + ")";
  text += "\r\n\r\nЗаписать их в прибор как есть?";
  return {"Тиволан", text, BoxIcon::Warning};
}

}  // namespace tivolan
