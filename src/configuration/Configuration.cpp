#include "configuration/Configuration.h"

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
      form.periphery.ledVisible = true;
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
  if (auto panel = PanelImageOf(data.ConfigBuffer, type)) {  // RefreshPPKP, RefreshPPKN
    RefreshZones(form.zones, *panel);
    RefreshPeriphery(form.periphery, data);
  } else {  // RefreshCNC1
    RefreshConcentrator(form.concentrator, data);
  }
  RefreshTxPage(form.tx, data);
}

std::optional<MessageBox> UpdateAllTXBuffers(SharedData& data, FormState& form, CommitFor command) {
  if (auto panel = PanelImageOf(data.ConfigBuffer, data.DeviceType)) {
    PartsLogic(form.zones, *panel);
    PartDepsLogic(form.zones, *panel);
    ShlfRearmWrite(form.zones, *panel);
  }
  // Asked also to refuse an unknown type before anything is written or saved.
  if (!IsGsmInUse(data.ConfigBuffer, data.DeviceType)) return std::nullopt;
  return UpdateGsmTXBuffers(form.tx, data, command == CommitFor::Write ? GsmCommit::ForDevice : GsmCommit::ForKeeping);
}

MessageBox CancelledBy(MessageBox refusal, CommitFor command) {
  switch (command) {
    case CommitFor::Write: refusal.text += "\r\n\r\nЗапись в прибор отменена: в прибор ничего не отправлено."; break;
    case CommitFor::Save: refusal.text += "\r\n\r\nСохранение отменено: файл не записан."; break;
    case CommitFor::Report: refusal.text += "\r\n\r\nОтчёт не составлен: исправьте поля и повторите."; break;
  }
  return refusal;
}

bool WriteNeedsConfirmation(const SharedData& data, const FormState& form) {
  return IsGsmInUse(data.ConfigBuffer, data.DeviceType) && !AnyDestinationEnabled(form.tx);
}

MessageBox NoDestinationQuestion() {
  return {"Тиволан", "Ни одно направление не включено,\r\nсохранять настройки?", BoxIcon::Warning};
}

void NewConfiguration(SharedData& data, FormState& form, int type, Prompter& prompter) {
  SetDevice(data, form, type, prompter);
  SetDefaultImage(data.ConfigBuffer, type, prompter);
  ResetGsmSettings(form.tx, data);
  RefreshControls(data, form);
  form.origin = {};
}

void DeviceTypeListChange(SharedData& data, FormState& form, int listIndex, Prompter& prompter,
                          SettingsStore& settings) {
  NewConfiguration(data, form, DeviceTypeOfListIndex(listIndex), prompter);
  WriteSetting(settings, kSettingDeviceType, std::to_string(listIndex));
}

bool ShowReportedDevice(SharedData& data, FormState& form, int type, Prompter& prompter) {
  const bool changed = type != data.DeviceType;
  if (changed) SetDevice(data, form, type, prompter);
  // The GSM settings went with the configuration they replaced.
  if (IsKnownDeviceType(type) && !IsGsmInUse(data.ConfigBuffer, type)) ResetGsmSettings(form.tx, data);
  RefreshControls(data, form);
  return changed;
}

bool ShowDeviceRead(SharedData& data, FormState& form, int type, Prompter& prompter) {
  const bool changed = ShowReportedDevice(data, form, type, prompter);
  form.origin = {ConfigurationOrigin::Kind::Device, {}, data.DeviceVersion};
  return changed;
}

}  // namespace tivolan
