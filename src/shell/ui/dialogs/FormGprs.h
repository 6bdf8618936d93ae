#pragma once
// TfrmGPRS, the "Параметры GPRS" dialog: access point, user and password of
// both SIM cards with the operator presets, mirrored from GprsDialogState.
// "Сохранить" stores the fields; Escape leaves without storing.
#include <QDialog>
#include <array>
#include <functional>

#include "model/Prompter.h"
#include "model/SharedData.h"
#include "transmission/FormGprs.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tivolan {

class TfrmGPRS : public QDialog {
  Q_OBJECT

 public:
  TfrmGPRS(QWidget* parent, SharedData& shared, GprsDialogState& state, std::function<Prompter&()> prompts);
  // Runs the dialog; true when it was left through "Сохранить".
  bool ShowModal();
  void Sync();
  void btnSaveExitClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* edtAPN1 = nullptr;
  QLineEdit* edtUser1 = nullptr;
  QLineEdit* edtPass1 = nullptr;
  QComboBox* bxOper1 = nullptr;
  QLineEdit* edtAPN2 = nullptr;
  QLineEdit* edtUser2 = nullptr;
  QLineEdit* edtPass2 = nullptr;
  QComboBox* bxOper2 = nullptr;
  QPushButton* btnSaveExit = nullptr;

  struct Sim {
    QLineEdit*& apn;
    QLineEdit*& user;
    QLineEdit*& pass;
    QComboBox*& oper;
  };
  QGroupBox* BuildSim(int n, const Sim& sim);
  // The six fields and the state texts they edit.
  std::array<std::pair<QLineEdit*, std::string*>, 6> Fields();

  SharedData& data_;
  GprsDialogState& state_;
  std::function<Prompter&()> prompts_;
};

}  // namespace tivolan
