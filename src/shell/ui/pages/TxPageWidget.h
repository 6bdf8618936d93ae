#pragma once
#include <QWidget>

#include "transmission/TxPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tivolan {

// The "Передача" page: transmission kind, network number and the
// concentrator's "connected" boxes, mirrored from TxPageState.
class TxPageWidget : public QWidget {
 public:
  explicit TxPageWidget(QWidget* parent);
  void Sync(const TxPageState& state);

  QLabel* lblRTX_Type = nullptr;
  QComboBox* bxRTX_Type = nullptr;
  QLabel* lblNetID = nullptr;
  QSpinBox* udBusID = nullptr;  // the edit and its up-down in one
  QCheckBox* chkCNC_TxTD = nullptr;
  QCheckBox* chkCNC_TxGSM = nullptr;
};

}  // namespace tivolan
