#pragma once
#include <QWidget>
#include <functional>
#include <memory>

#include "model/Prompter.h"
#include "model/SharedData.h"
#include "transmission/TxPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tivolan {

class GridRules;
class InPlaceGrid;
class TFrmSMS;
class TfrmGPRS;

// The "Передача" page: transmission kind, network number, the
// concentrator's boxes and the GSM settings, mirrored from TxPageState;
// user input goes to the core's handlers.
class TxPageWidget : public QWidget {
 public:
  TxPageWidget(QWidget* parent, SharedData& shared, TxPageState& state, std::function<Prompter&()> prompts);
  ~TxPageWidget() override;
  void Sync();
  // Stores the device number being edited; false when it is refused (the
  // caller then shows RefuseDevNumber and does not go on).
  bool CommitEdits();
  void RefuseDevNumber();
  // Builds the SMS and GPRS dialogs now rather than when first opened.
  void BuildDialogs() {
    SmsDialog();
    GprsDialog();
  }

 private:
  void btnSMS_ShowClick();
  void btnGPRSClick(GprsOpenedBy opened);
  // The dialogs, built when first opened; they live as long as the window.
  TFrmSMS* SmsDialog();
  TfrmGPRS* GprsDialog();
  void Build();
  QWidget* BuildGsm();
  void Wire();
  void medtDevNumberExit(Qt::FocusReason reason);
  void ShowDevNumber();
  bool eventFilter(QObject* watched, QEvent* event) override;

  SharedData& data_;
  TxPageState& state_;
  std::function<Prompter&()> prompts_;
  std::unique_ptr<GridRules> destRules_;
  TFrmSMS* FrmSMS = nullptr;
  TfrmGPRS* frmGPRS = nullptr;
  QLabel* lblRTX_Type = nullptr;
  QComboBox* bxRTX_Type = nullptr;
  QLabel* lblNetID = nullptr;
  QSpinBox* udBusID = nullptr;  // the edit and its up-down in one
  QCheckBox* chkCNC_TxTD = nullptr;
  QCheckBox* chkCNC_TxGSM = nullptr;
  QCheckBox* chkGSM_ControlEnbl = nullptr;
  QCheckBox* chkGSM_CIDTX = nullptr;
  QLabel* lblDevNumber = nullptr;
  QLineEdit* medtDevNumber = nullptr;
  QLabel* lblDestinations = nullptr;
  InPlaceGrid* grdG1 = nullptr;
  QCheckBox* chkSMS_On = nullptr;
  QPushButton* btnSMS_Show = nullptr;
  QCheckBox* chkUseGPRScfg = nullptr;
  QPushButton* btnGPRS = nullptr;
  bool refusing_ = false;        // the refusal box of the device number is up
  bool refusalPending_ = false;  // ...or is about to come up
};

}  // namespace tivolan
