#include "shell/logic/MainForm.h"

#include <string>

#include "model/DefaultImages.h"
#include "model/ModelErrors.h"

namespace tivolan {

bool SetDevice(SharedData& data, FormState& form, int type, Prompter& prompter) {
  data.DeviceType = static_cast<uint8_t>(type);
  switch (type) {
    case kTypePPKP:
    case kTypePPKN:
      form.zoneListsFilled = true;
      form.tabVisible = {true, true, true, false, true};
      form.activeTab = kTabShlf;
      form.readerLedVisible = true;
      break;
    case kTypeCNC1:
      form.tabVisible = {false, false, true, true, true};
      form.activeTab = kTabCnc;
      break;
    default:
      prompter.Show(UnknownDeviceInSetDeviceBox());
      return false;
  }
  TxPageSetDevice(form.tx, type);
  return true;
}

void RefreshControls(SharedData& data, FormState& form) {
  const int type = data.DeviceType;
  if (!IsKnownDeviceType(type)) throw DeviceTypeNotFound();
  RefreshTxPage(form.tx, data.ConfigBuffer, type);
}

void UpdateAllTXBuffers(SharedData& data, FormState& /*form*/) {
  if (IsGsmInUse(data.ConfigBuffer, data.DeviceType)) {
    // The GSM frames are rebuilt here once their editors exist.
  }
}

void DeviceTypeListChange(SharedData& data, FormState& form, int listIndex, Prompter& prompter,
                          SettingsStore& settings) {
  const int code = listIndex + 1;
  SetDevice(data, form, code, prompter);
  SetDefaultImage(data.ConfigBuffer, code, prompter);
  RefreshControls(data, form);
  WriteSetting(settings, kSettingDeviceType, std::to_string(listIndex));
}

bool ShowReportedDevice(SharedData& data, FormState& form, int type, Prompter& prompter) {
  const bool changed = type != data.DeviceType;
  if (changed) SetDevice(data, form, type, prompter);
  RefreshControls(data, form);
  return changed;
}

}  // namespace tivolan
