#include "shell/ui/pages/TxPageWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include "shell/ui/QtText.h"

namespace tivolan {

TxPageWidget::TxPageWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PageTx"));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setHorizontalSpacing(10);

  lblRTX_Type = new QLabel(QStringLiteral("Вид передачи:"), this);
  bxRTX_Type = new QComboBox(this);
  bxRTX_Type->setObjectName(QStringLiteral("bxRTX_Type"));
  bxRTX_Type->setAccessibleName(lblRTX_Type->text());
  bxRTX_Type->setMinimumWidth(150);
  lblRTX_Type->setBuddy(bxRTX_Type);

  lblNetID = new QLabel(QStringLiteral("Сетевой\nномер"), this);
  lblNetID->setObjectName(QStringLiteral("lblNetID"));
  udBusID = new QSpinBox(this);
  udBusID->setObjectName(QStringLiteral("edtBusID"));
  udBusID->setRange(1, 7);
  udBusID->setAccessibleName(QStringLiteral("Сетевой номер"));

  chkCNC_TxTD = new QCheckBox(QStringLiteral("518Hn подключен"), this);
  chkCNC_TxTD->setObjectName(QStringLiteral("chkCNC_TxTD"));
  chkCNC_TxGSM = new QCheckBox(QStringLiteral("GSM-KVT подключен"), this);
  chkCNC_TxGSM->setObjectName(QStringLiteral("chkCNC_TxGSM"));
  for (QCheckBox* box : {chkCNC_TxTD, chkCNC_TxGSM}) box->setAccessibleName(box->text());

  // The transmission settings are edited by their own page logic, which the
  // program does not have yet; until then the page shows the image only.
  for (QWidget* w : std::initializer_list<QWidget*>{bxRTX_Type, udBusID, chkCNC_TxTD, chkCNC_TxGSM})
    w->setEnabled(false);

  grid->addWidget(lblRTX_Type, 0, 0);
  grid->addWidget(bxRTX_Type, 0, 1);
  grid->addWidget(lblNetID, 0, 2);
  grid->addWidget(udBusID, 0, 3);
  grid->addWidget(chkCNC_TxTD, 1, 0, 1, 2);
  grid->addWidget(chkCNC_TxGSM, 2, 0, 1, 2);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(3, 1);
}

void TxPageWidget::Sync(const TxPageState& s) {
  const QSignalBlocker b1(bxRTX_Type), b2(udBusID), b3(chkCNC_TxTD), b4(chkCNC_TxGSM);
  lblRTX_Type->setVisible(s.kindVisible);
  bxRTX_Type->setVisible(s.kindVisible);
  if (bxRTX_Type->count() != static_cast<int>(s.kindItems.size())) {
    bxRTX_Type->clear();
    for (const auto& item : s.kindItems) bxRTX_Type->addItem(Q(item));
  }
  bxRTX_Type->setCurrentIndex(s.kindIndex);
  lblNetID->setVisible(s.netIdVisible);
  udBusID->setVisible(s.netIdVisible);
  udBusID->setValue(s.busId);
  chkCNC_TxTD->setVisible(s.cncBoxesVisible);
  chkCNC_TxGSM->setVisible(s.cncBoxesVisible);
  chkCNC_TxTD->setChecked(s.cncTxTd);
  chkCNC_TxGSM->setChecked(s.cncTxGsm);
}

}  // namespace tivolan
