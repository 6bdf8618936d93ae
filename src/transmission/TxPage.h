#pragma once
// The "Передача" page as data: the transmission kind list, the network
// number, the concentrator's boxes, and the GSM settings (device number,
// destinations table, SMS and GPRS options with their dialogs' state); and
// its handlers as functions on that data. The widgets only mirror it.
#include <optional>
#include <string>
#include <vector>

#include "model/Prompter.h"
#include "model/SharedData.h"
#include "transmission/FormGprs.h"
#include "transmission/FormSMS.h"
#include "transmission/MPIGSM.h"

namespace tivolan {

struct TxPageState {
  bool kindVisible = true;  // "Вид передачи:" and bxRTX_Type
  std::vector<std::string> kindItems;
  int kindIndex = -1;
  bool netIdVisible = false;  // lblNetID, edtBusID, udBusID
  int busId = 1;
  bool cncBoxesVisible = false;  // "518Hn подключен", "GSM-KVT подключен"
  bool cncTxTd = false;
  bool cncTxGsm = false;

  // The GSM controls, shown together (GSM_ControlsShow).
  bool gsmVisible = false;
  std::string devNumber = "0007";  // medtDevNumber
  DestTableState dest;             // grdG1
  bool smsOn = false;              // chkSMS_On
  bool smsButtonVisible = false;   // btnSMS_Show
  bool gprsOn = false;             // chkUseGPRScfg
  bool gprsButtonVisible = false;  // btnGPRS
  bool cncGsmOptionsVisible = false;  // chkGSM_ControlEnbl, chkGSM_CIDTX
  bool gsmControl = false;
  bool gsmCidTx = false;

  SmsDialogState sms;    // TFrmSMS
  GprsDialogState gprs;  // TfrmGPRS
};

bool AnyDestinationEnabled(const TxPageState& page);

// Once, as the main window is created: the table, the default GSM settings.
void InitTxPage(TxPageState& page, SharedData& data);

// The GSM settings of a configuration that replaced the previous one whole
// (a new one, or one read or opened without GSM): the default block 2, and
// no GPRS block or SMS list that a dialog could fall back on. Choosing
// "GSM-KVT" later starts from these; until then the settings are kept while
// another kind is shown.
void ResetGsmSettings(TxPageState& page, SharedData& data);

// What a change of device type does to the page.
void TxPageSetDevice(TxPageState& page, int type);

// Shows the image's transmission fields and the GSM blocks without changing
// either.
void RefreshTxPage(TxPageState& page, const SharedData& data);

// Handlers. A handler that returns true wants its dialog shown now.
void bxRTX_TypeCloseUp(TxPageState& page, SharedData& data, const std::string& text);
void TX_ControlsShow(TxPageState& page, int type);
void GSM_ControlsShow(TxPageState& page, bool show, int type);
void GSM_Refresh(TxPageState& page, const SharedData& data);
// Leaving medtDevNumber: false (nothing stored) unless it holds four digits.
bool medtDevNumberExit(TxPageState& page, SharedData& data, const std::string& text);
MessageBox DevNumberRefusedBox();
bool chkUseGPRScfgClick(TxPageState& page, SharedData& data, bool ticked);
bool chkSMS_OnClick(TxPageState& page, SharedData& data, bool ticked);
// After the SMS dialog closed: the option switches itself off when the list
// is empty.
void SmsDialogClosed(TxPageState& page, SharedData& data);
// After the GPRS dialog closed: with both access points empty there is no
// configuration to send, and the option switches itself off likewise.
void GprsDialogClosed(TxPageState& page, SharedData& data);
// A dialog left by Escape stores nothing: its fields show what the block
// holds again, and the option follows as after a save; a GPRS dialog that
// ticking the option opened leaves it unticked, as it was.
void SmsDialogCancelled(TxPageState& page, SharedData& data);
enum class GprsOpenedBy { Button, Ticking };
void GprsDialogCancelled(TxPageState& page, SharedData& data, GprsOpenedBy opened);
void edtBusIDChange(TxPageState& page, SharedData& data, int position);
void chkCNC_TxTDClick(TxPageState& page, SharedData& data, bool ticked);
void chkCNC_TxGSMClick(TxPageState& page, SharedData& data, bool ticked);
void chkGSM_ControlEnblClick(TxPageState& page, SharedData& data, bool ticked);
void chkGSM_CIDTXClick(TxPageState& page, SharedData& data, bool ticked);

// The GSM part of the commit step: block 2 from the table, and blocks 4 and
// 3 when their options are on. A table that does not fit is refused with a
// box; then no frame changes.
// For a device, GPRS fields the block cannot carry as they stand, or no
// access point, are refused too. For keeping (a save, a report) they are
// kept as they stand, and a table that still shows its block is not built
// again: a device's values stay as they came, also where the table can show
// them only clamped or cut.
enum class GsmCommit { ForDevice, ForKeeping };
std::optional<MessageBox> UpdateGsmTXBuffers(TxPageState& page, SharedData& data, GsmCommit commit);

}  // namespace tivolan
