#pragma once
// TFrmSMS, the "SMS" dialog: the SMS recipient list, mirrored from
// SmsDialogState. "Сохранить" stores the list; Escape leaves without storing.
#include <QDialog>
#include <functional>
#include <memory>

#include "model/Prompter.h"
#include "model/SharedData.h"
#include "transmission/FormSMS.h"

class QPushButton;

namespace tivolan {

class GridRules;
class InPlaceGrid;

class TFrmSMS : public QDialog {
  Q_OBJECT

 public:
  TFrmSMS(QWidget* parent, SharedData& shared, SmsDialogState& state, std::function<Prompter&()> prompts);
  ~TFrmSMS() override;
  // Shows the state and runs the dialog; true when "Сохранить" closed it.
  bool ShowModal();
  void btnSaveExitClick();

 private:
  SharedData& data_;
  SmsDialogState& state_;
  std::function<Prompter&()> prompts_;
  InPlaceGrid* grdSMS = nullptr;
  QPushButton* btnSaveExit = nullptr;
  std::unique_ptr<GridRules> rules_;  // what grdSMS asks of its cells
};

}  // namespace tivolan
