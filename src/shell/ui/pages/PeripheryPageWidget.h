#pragma once
#include <QWidget>
#include <array>

#include "model/PeripheryPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace tivolan {

// The "Периферия" page, mirrored from PeripheryPageState.
class PeripheryPageWidget : public QWidget {
 public:
  PeripheryPageWidget(QWidget* parent, SharedData& shared, PeripheryPageState& state);
  void Sync();

 private:
  QComboBox* bxReleAlarm = nullptr;
  QComboBox* bxReleFire = nullptr;
  QComboBox* bxReleControl = nullptr;  // never shown
  QLabel* lblReleControl = nullptr;
  std::array<QCheckBox*, 8> chkExpBox{};  // by tag: 1, 2 (never shown), 6, 7
  QCheckBox* chkUseBuzzer = nullptr;
  QComboBox* bxSysPartID = nullptr;
  QCheckBox* chkGuardSnd = nullptr;
  QSpinBox* udSndWrkTime = nullptr;  // the read-only field with its up-down
  QComboBox* bxLampMode = nullptr;
  QComboBox* bxTMLedMode = nullptr;
  QLabel* lblTMLedMode = nullptr;

  QWidget* BuildRelays();
  QWidget* BuildCircuits();
  QWidget* BuildOptions();
  template <typename Handler>
  void Then(Handler handler) {
    handler();
    Sync();
  }

  SharedData& data_;
  PeripheryPageState& state_;
};

}  // namespace tivolan
