#include "shell/ui/pages/PeripheryPageWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "model/ValueLists.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/PageKit.h"

namespace tivolan {

PeripheryPageWidget::PeripheryPageWidget(QWidget* parent, SharedData& shared, PeripheryPageState& state)
    : QWidget(parent), data_(shared), state_(state) {
  setObjectName(QStringLiteral("PagePeriph"));
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(10, 10, 10, 10);
  columns->setSpacing(14);
  auto* left = new QVBoxLayout;
  left->addWidget(BuildRelays());
  left->addWidget(BuildCircuits());
  left->addStretch();
  columns->addLayout(left);
  columns->addWidget(BuildOptions(), 1, Qt::AlignTop);
}

QWidget* PeripheryPageWidget::BuildRelays() {
  const RelayGroup relays = MakeRelayGroup(this, "bxReleAlarm", "bxReleFire");
  QGroupBox* group = relays.group;
  bxReleAlarm = relays.alarm;
  bxReleFire = relays.fire;
  bxReleControl = MakeRelayList(group, "bxReleControl", QStringLiteral("Реле \"Управление\""));
  lblReleControl = MakeLabel(group, QStringLiteral("Управление"), bxReleControl);
  relays.form->addRow(lblReleControl, bxReleControl);
  // The control relay is carried in the image but never offered.
  lblReleControl->hide();
  bxReleControl->hide();
  connect(bxReleAlarm, &QComboBox::activated, this,
          [this](int pos) { Then([&] { bxReleAlarmCloseUp(state_, data_, pos); }); });
  connect(bxReleFire, &QComboBox::activated, this,
          [this](int pos) { Then([&] { bxReleFireCloseUp(state_, data_, pos); }); });
  connect(bxReleControl, &QComboBox::activated, this,
          [this](int pos) { Then([&] { bxReleControlCloseUp(state_, data_, pos); }); });
  return group;
}

QWidget* PeripheryPageWidget::BuildCircuits() {
  auto* group = new QGroupBox(QStringLiteral("Контроль цепей оповещения:"), this);
  auto* column = new QVBoxLayout(group);
  const std::pair<int, const char*> boxes[] = {{1, "Реле \"пожар\""},
                                               {2, "Реле \"управление\""},
                                               {6, "Звуковой оповещатель"},
                                               {7, "Световой оповещатель"}};
  for (const auto& [tag, caption] : boxes) {
    const std::string name = "chkExpBox" + std::to_string(tag);
    QCheckBox* box = MakeBox(group, name.c_str(), Q(caption));
    box->setProperty("tag", tag);
    chkExpBox[static_cast<std::size_t>(tag)] = box;
    column->addWidget(box);
    // One handler for the four boxes; the tag is the bit.
    connect(box, &QCheckBox::clicked, this, [this, box](bool on) {
      Then([&] { PKK_OPsCntrlToggle(state_, data_, box->property("tag").toInt(), on); });
    });
  }
  chkExpBox[2]->hide();
  return group;
}

QWidget* PeripheryPageWidget::BuildOptions() {
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 6, 0, 0);
  grid->setVerticalSpacing(10);
  chkUseBuzzer = MakeBox(panel, "chkUseBuzzer", QStringLiteral("Использовать внутренний зуммер"));
  bxSysPartID = MakeList(panel, "bxSysPartID", QStringLiteral("Раздел для внутренних событий"));
  for (const auto& p : PartitionList()) bxSysPartID->addItem(Q(p));
  bxSysPartID->setToolTip(QStringLiteral("Номер раздела для передачи системных событий (тампера, БП)"));
  FixListWidth(bxSysPartID, 52);
  chkGuardSnd = MakeBox(panel, "chkGuardSnd", QStringLiteral("Сигналы взятия\\снятия сиреной"));
  udSndWrkTime = new QSpinBox(panel);
  udSndWrkTime->setObjectName(QStringLiteral("udSndWrkTime"));
  udSndWrkTime->setAccessibleName(QStringLiteral("Время работы звукового оповещателя, мин"));
  udSndWrkTime->setRange(kSirenMinutesMin, kSirenMinutesMax);
  udSndWrkTime->findChild<QLineEdit*>()->setReadOnly(true);  // changed by the arrows only
  udSndWrkTime->setFixedWidth(52);
  bxLampMode = MakeList(panel, "bxLampMode", QStringLiteral("Режим работы лампы:"));
  for (const auto& m : LampModeList()) bxLampMode->addItem(Q(m));
  bxTMLedMode = MakeList(panel, "bxTMLedMode", QStringLiteral("Светодиод считывателя"));
  for (const auto& m : ReaderLedModeList()) bxTMLedMode->addItem(Q(m));
  lblTMLedMode = MakeLabel(panel, QStringLiteral("Светодиод считывателя"), bxTMLedMode);

  grid->addWidget(chkUseBuzzer, 0, 0, 1, 2);
  grid->addWidget(MakeLabel(panel, QStringLiteral("Раздел для внутренних событий"), bxSysPartID), 1, 0);
  grid->addWidget(bxSysPartID, 1, 1, Qt::AlignRight);
  grid->addWidget(chkGuardSnd, 2, 0, 1, 2);
  QLabel* sirenLabel = MakeLabel(panel, QStringLiteral("Время работы звукового оповещателя, мин "), udSndWrkTime);
  sirenLabel->setWordWrap(true);
  grid->addWidget(sirenLabel, 3, 0);
  grid->addWidget(udSndWrkTime, 3, 1, Qt::AlignRight);
  grid->addWidget(MakeLabel(panel, QStringLiteral("Режим работы лампы:"), bxLampMode), 4, 0, 1, 2);
  grid->addWidget(bxLampMode, 5, 0, 1, 2);
  grid->addWidget(lblTMLedMode, 6, 0, 1, 2);
  grid->addWidget(bxTMLedMode, 7, 0, 1, 2);

  connect(chkUseBuzzer, &QCheckBox::clicked, this, [this](bool on) {
    Then([&] {
      state_.useBuzzer = on;
      chkUseBuzzerClick(data_, on);
    });
  });
  connect(bxSysPartID, &QComboBox::activated, this,
          [this](int pos) { Then([&] { bxSysPartIDCloseUp(state_, data_, pos); }); });
  connect(chkGuardSnd, &QCheckBox::clicked, this, [this](bool on) { Then([&] { chkGuardSndClick(state_, data_, on); }); });
  connect(udSndWrkTime, &QSpinBox::valueChanged, this,
          [this](int value) { Then([&] { edtSndWrkTimeChange(state_, data_, value); }); });
  connect(bxLampMode, &QComboBox::activated, this, [this](int pos) { Then([&] { bxLampModeExit(state_, data_, pos); }); });
  connect(bxTMLedMode, &QComboBox::activated, this,
          [this](int pos) { Then([&] { bxTMLedModeCloseUp(state_, data_, pos); }); });
  return panel;
}

void PeripheryPageWidget::Sync() {
  const QSignalBlocker b1(bxReleAlarm), b2(bxReleFire), b3(bxReleControl), b4(chkUseBuzzer), b5(bxSysPartID),
      b6(chkGuardSnd), b7(udSndWrkTime), b8(bxLampMode), b9(bxTMLedMode);
  for (int tag : kCircuitTags) {
    QCheckBox* box = chkExpBox[static_cast<std::size_t>(tag)];
    const QSignalBlocker block(box);
    box->setChecked(state_.circuit[static_cast<std::size_t>(tag)]);
  }
  bxReleAlarm->setCurrentIndex(state_.releAlarm);
  bxReleFire->setCurrentIndex(state_.releFire);
  bxReleControl->setCurrentIndex(state_.releControl);
  chkUseBuzzer->setChecked(state_.useBuzzer);
  bxSysPartID->setCurrentIndex(state_.sysPart);
  chkGuardSnd->setChecked(state_.guardSnd);
  ShowSpinValue(udSndWrkTime, state_.sndWrkTime, kSirenMinutesMin, kSirenMinutesMax);
  bxLampMode->setCurrentIndex(state_.lampMode);
  bxTMLedMode->setCurrentIndex(state_.ledMode);
  bxTMLedMode->setVisible(state_.ledVisible);
  lblTMLedMode->setVisible(state_.ledVisible);
}

}  // namespace tivolan
