#pragma once
#include <QWidget>
#include <array>

#include "model/ConcentratorPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace tivolan {

// The "Концентратор" page, mirrored from ConcentratorPageState.
class ConcentratorPageWidget : public QWidget {
 public:
  ConcentratorPageWidget(QWidget* parent, SharedData& shared, ConcentratorPageState& state);
  void Sync();

 private:
  QComboBox* bxCNCReleAlarm = nullptr;
  QComboBox* bxCNCReleFire = nullptr;
  QCheckBox* chkCncBuzzOn = nullptr;
  QCheckBox* chkCncFireReleCntr = nullptr;
  std::array<QCheckBox*, 8> chkExp{};  // chkExp0..chkExp7, tag = bit
  QGroupBox* grpBVI = nullptr;
  QCheckBox* chkBVIAlarmSilent = nullptr;
  QCheckBox* chkBVIAlarmDuress = nullptr;
  QCheckBox* chkBVIEnableReset = nullptr;  // never shown

  QWidget* BuildRelays();
  QWidget* BuildExpanders();
  QWidget* BuildBvi();
  void Wire();
  template <typename Handler>
  void Then(Handler handler) {
    handler();
    Sync();
  }

  SharedData& data_;
  ConcentratorPageState& state_;
};

}  // namespace tivolan
