#include "transmission/TxPage.h"

#include <algorithm>

#include "model/DeviceCatalogue.h"
#include "model/Images.h"
#include "model/ValueLists.h"

namespace tivolan {
namespace {

int KindOfText(const std::string& text) { return IndexOfText(text, TxKindList); }

std::string KindText(const TxPageState& page) {
  const auto index = static_cast<std::size_t>(page.kindIndex);
  return page.kindIndex >= 0 && index < page.kindItems.size() ? page.kindItems[index] : "";
}

MessageBox NoAccessPointBox() {
  return {"Параметры GPRS",
          "Включено \"Использовать конфигурацию GPRS\", но ни для одной SIM-карты не задана точка доступа (APN).\r\n"
          "Задайте APN или выключите эту настройку.",
          BoxIcon::Error};
}

// A concentrator's check box: the page and its image byte (0 or 1) follow it.
void Tick(bool& box, uint8_t& byte, bool ticked) {
  box = ticked;
  byte = ticked ? 1 : 0;
}

// Block 2 for the commit step. A table the user did not change since it
// showed the values gives nothing the values lack, so they go on without
// passing through its texts: kept as they are, or made what a write sends.
std::optional<MessageBox> CommitDestinations(const TxPageState& page, SharedData& data, GsmCommit commit) {
  DestSettings& dest = data.DestTX_Buffer;
  if (!DestTableShows(page.dest, dest)) return GridToDestBuffer(page.dest, dest);
  if (commit == GsmCommit::ForKeeping) return std::nullopt;
  return StoreSentSettings(dest, dest);
}

bool FourDigits(const std::string& text) {
  return text.size() == 4 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool AnyDestinationEnabled(const TxPageState& page) { return AnyDestinationEnabled(page.dest); }

void InitTxPage(TxPageState& page, SharedData& data) {
  // The table labelled its rows when it was made.
  ResetGsmSettings(page, data);
}

void TxPageSetDevice(TxPageState& page, int type) {
  if (type == kTypeCNC1) {
    page.cncBoxesVisible = true;
    page.kindVisible = false;
    page.netIdVisible = false;
    return;
  }
  page.kindVisible = true;
  page.kindItems.clear();
  const std::size_t kinds = type == kTypePPKN ? 4 : 3;
  for (std::size_t i = 0; i < kinds; ++i) page.kindItems.emplace_back(TxKindList[i]);
  page.kindIndex = -1;
  page.cncBoxesVisible = false;
  if (type == kTypePPKP) page.netIdVisible = false;
}

void TX_ControlsShow(TxPageState& page, int type) {
  const int kind = KindOfText(KindText(page));
  GSM_ControlsShow(page, kind == kTxKindGsm, type);
  page.netIdVisible = kind == kTxKindRs485;
}

void GSM_ControlsShow(TxPageState& page, bool show, int type) {
  page.gsmVisible = show;
  page.smsButtonVisible = show && page.smsOn;
  page.gprsButtonVisible = show && page.gprsOn;
  page.cncGsmOptionsVisible = show && type == kTypeCNC1;
}

void GSM_Refresh(TxPageState& page, const SharedData& data) {
  const DestSettings& b = data.DestTX_Buffer;
  page.devNumber = DeviceNumberText(b.deviceNumber);
  DestBufferToGrid(b, page.dest);
  page.smsOn = b.SmsInUse();
  page.smsButtonVisible = page.smsOn;
  // The dialogs too, options on or off: nothing of an earlier configuration
  // stays in them.
  RefreshControls(page.sms, data);
  page.gprsOn = b.GprsInUse();
  page.gprsButtonVisible = page.gprsOn;
  ShowStoredGprs(page.gprs, data.GprsTX_Buffer);
}

void RefreshTxPage(TxPageState& page, const SharedData& data) {
  const int type = data.DeviceType;
  if (type == kTypeCNC1) {
    const ConstImageCNC1 cnc(data.ConfigBuffer);
    page.cncTxTd = cnc.UseTD() != 0;
    page.cncTxGsm = cnc.GsmConnected() != 0;
    GSM_ControlsShow(page, page.cncTxGsm, type);
    if (!page.cncTxGsm) return;
    page.gsmControl = cnc.GsmControl() != 0;
    page.gsmCidTx = cnc.GsmTx() != 0;
    GSM_Refresh(page, data);
    return;
  }
  const auto panel = PanelImageOf(data.ConfigBuffer, type);
  if (!panel) return;
  const int kind = panel->TxKind();
  // By list position: a type 1 list has no "RS-485", whatever byte 38 says.
  page.kindIndex = kind < static_cast<int>(page.kindItems.size()) ? kind : -1;
  TX_ControlsShow(page, type);
  if (panel->HasSlaveBus()) page.busId = panel->SlaveBus();
  if (kind == kTxKindGsm) GSM_Refresh(page, data);
}

// Another kind only hides the GSM settings: "GSM-KVT" chosen again shows
// them as they were. They start from the defaults only where the
// configuration was replaced (ResetGsmSettings).
void bxRTX_TypeCloseUp(TxPageState& page, SharedData& data, const std::string& text) {
  const int kind = KindOfText(text);
  const auto panel = PanelImageOf(data.ConfigBuffer, data.DeviceType);
  if (!panel || kind < 0) return;
  page.kindIndex = kind;
  panel->TxKind() = static_cast<uint8_t>(kind);
  TX_ControlsShow(page, data.DeviceType);
}

bool medtDevNumberExit(TxPageState& page, SharedData& data, const std::string& text) {
  if (!FourDigits(text)) return false;
  data.DestTX_Buffer.deviceNumber = static_cast<uint16_t>(std::stoi(text));
  page.devNumber = text;
  return true;
}

MessageBox DevNumberRefusedBox() {
  return {"Тиволан", "Invalid input value.  Use escape key to abandon changes", BoxIcon::Error};
}

bool chkUseGPRScfgClick(TxPageState& page, SharedData& data, bool ticked) {
  page.gprsOn = ticked;
  page.gprsButtonVisible = ticked;
  data.DestTX_Buffer.gprs = ticked ? 1 : 0;
  if (ticked) ApplyDefaultPresets(page.gprs);
  return ticked;
}

bool chkSMS_OnClick(TxPageState& page, SharedData& data, bool ticked) {
  page.smsOn = ticked;
  page.smsButtonVisible = ticked;
  data.DestTX_Buffer.sms = ticked ? 1 : 0;
  if (ticked) {
    SetDefaults(data);
    RefreshControls(page.sms, data);
  }
  return ticked;
}

void SmsDialogClosed(TxPageState& page, SharedData& data) {
  if (data.SmsListFilled != 0) return;
  page.smsOn = false;
  page.smsButtonVisible = false;
  data.DestTX_Buffer.sms = 0;
}

void GprsDialogClosed(TxPageState& page, SharedData& data) {
  if (GprsHoldsConfiguration(data.GprsTX_Buffer)) return;
  page.gprsOn = false;
  page.gprsButtonVisible = false;
  data.DestTX_Buffer.gprs = 0;
}

void SmsDialogCancelled(TxPageState& page, SharedData& data) {
  RefreshControls(page.sms, data);
  data.SmsListFilled = SmsListHoldsRecords(data.SmsTX_Buffer) ? 1 : 0;
  SmsDialogClosed(page, data);
}

void GprsDialogCancelled(TxPageState& page, SharedData& data, GprsOpenedBy opened) {
  ShowStoredGprs(page.gprs, data.GprsTX_Buffer);
  if (opened == GprsOpenedBy::Ticking) chkUseGPRScfgClick(page, data, false);
  else GprsDialogClosed(page, data);
}

void ResetGsmSettings(TxPageState& page, SharedData& data) {
  ResetDestBuffer(data.DestTX_Buffer);
  data.GprsTX_Buffer = GprsSettings{};
  data.SmsTX_Buffer = SmsList{};
  data.SmsListFilled = 0;
  GSM_Refresh(page, data);
}

void edtBusIDChange(TxPageState& page, SharedData& data, int position) {
  const auto panel = PanelImageOf(data.ConfigBuffer, data.DeviceType);
  if (!panel || !panel->HasSlaveBus()) return;
  page.busId = std::clamp(position, 1, 7);
  panel->SlaveBus() = static_cast<uint8_t>(page.busId);
}

void chkCNC_TxTDClick(TxPageState& page, SharedData& data, bool ticked) {
  Tick(page.cncTxTd, ImageCNC1(data.ConfigBuffer).UseTD(), ticked);
}

// As the transmission kind: unticking hides the GSM settings, ticking shows
// them again.
void chkCNC_TxGSMClick(TxPageState& page, SharedData& data, bool ticked) {
  Tick(page.cncTxGsm, ImageCNC1(data.ConfigBuffer).GsmConnected(), ticked);
  GSM_ControlsShow(page, ticked, data.DeviceType);
}

void chkGSM_ControlEnblClick(TxPageState& page, SharedData& data, bool ticked) {
  Tick(page.gsmControl, ImageCNC1(data.ConfigBuffer).GsmControl(), ticked);
}

void chkGSM_CIDTXClick(TxPageState& page, SharedData& data, bool ticked) {
  Tick(page.gsmCidTx, ImageCNC1(data.ConfigBuffer).GsmTx(), ticked);
}

std::optional<MessageBox> UpdateGsmTXBuffers(TxPageState& page, SharedData& data, GsmCommit commit) {
  // Checked first, so that a refusal leaves every block as it was.
  GprsSettings gprs = data.GprsTX_Buffer;
  if (page.gprsOn) {
    const GprsFieldSet unfit = BuildTX_Buffer(page.gprs, gprs);
    // The flag would ask for a block 3 that holds nothing.
    const bool sendable = !unfit && GprsHoldsConfiguration(gprs);
    if (!sendable && commit == GsmCommit::ForDevice) return unfit ? GprsRefusedMessage(unfit) : NoAccessPointBox();
    if (commit == GsmCommit::ForKeeping) gprs = GprsSettingsOf(page.gprs);  // kept as the fields stand
  }
  if (auto refused = CommitDestinations(page, data, commit)) return refused;
  if (page.smsOn) {
    if (commit == GsmCommit::ForKeeping && SmsTableShows(page.sms, data))
      data.SmsListFilled = SmsListHoldsRecords(data.SmsTX_Buffer) ? 1 : 0;
    else UpdateTX_Buffer(page.sms, data);
  }
  data.GprsTX_Buffer = gprs;
  return std::nullopt;
}

}  // namespace tivolan
