#include "shell/ui/pages/ConcentratorPageWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/PageKit.h"

namespace tivolan {

ConcentratorPageWidget::ConcentratorPageWidget(QWidget* parent, SharedData& shared, ConcentratorPageState& state)
    : QWidget(parent), data_(shared), state_(state) {
  setObjectName(QStringLiteral("PageCnc"));
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(10, 10, 10, 10);
  auto* columns = new QHBoxLayout;
  columns->setSpacing(14);
  auto* left = new QVBoxLayout;
  left->addWidget(BuildRelays());
  chkCncBuzzOn = MakeBox(this, "chkCncBuzzOn", QStringLiteral("Использовать внутренний зуммер"));
  chkCncFireReleCntr = MakeBox(this, "chkCncFireReleCntr", QStringLiteral("Контроль цепи реле \"пожар\""));
  left->addWidget(chkCncBuzzOn);
  left->addWidget(chkCncFireReleCntr);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(BuildExpanders());
  right->addStretch();
  columns->addLayout(left);
  columns->addLayout(right, 1);
  page->addLayout(columns);
  // Below both columns: its long captions would be cut beside the relays.
  page->addWidget(BuildBvi(), 0, Qt::AlignLeft);
  page->addStretch();
  Wire();
}

QWidget* ConcentratorPageWidget::BuildRelays() {
  const RelayGroup relays = MakeRelayGroup(this, "bxCNCReleAlarm", "bxCNCReleFire");
  bxCNCReleAlarm = relays.alarm;
  bxCNCReleFire = relays.fire;
  return relays.group;
}

QWidget* ConcentratorPageWidget::BuildExpanders() {
  auto* group = new QGroupBox(QStringLiteral("Включить расширители"), this);
  auto* grid = new QGridLayout(group);
  for (int tag = 0; tag < 8; ++tag) {
    const QString caption = tag == kBviTag ? QStringLiteral("БВИ") : QString::number(tag + 1);
    const std::string name = "chkExp" + std::to_string(tag);
    QCheckBox* box = MakeBox(group, name.c_str(), caption);
    box->setAccessibleName(tag == kBviTag ? QStringLiteral("Включить БВИ")
                                          : QStringLiteral("Включить расширитель %1").arg(tag + 1));
    box->setProperty("tag", tag);
    chkExp[static_cast<std::size_t>(tag)] = box;
    grid->addWidget(box, tag / 4, tag % 4);
  }
  return group;
}

QWidget* ConcentratorPageWidget::BuildBvi() {
  grpBVI = new QGroupBox(QStringLiteral("БВИ"), this);
  grpBVI->setObjectName(QStringLiteral("grpBVI"));
  auto* column = new QVBoxLayout(grpBVI);
  chkBVIAlarmSilent =
      MakeBox(grpBVI, "chkBVIAlarmSilent", QStringLiteral("Вкл. звук при тихой тревоге на расширителях"));
  chkBVIAlarmDuress =
      MakeBox(grpBVI, "chkBVIAlarmDuress", QStringLiteral("Вкл. звук при \"принуждении\" на расширителях"));
  chkBVIEnableReset = MakeBox(grpBVI, "chkBVIEnableReset", QStringLiteral("Разрешить сброс расширителей кнопками"));
  column->addWidget(chkBVIAlarmSilent);
  column->addWidget(chkBVIAlarmDuress);
  column->addWidget(chkBVIEnableReset);
  chkBVIEnableReset->hide();  // carried, never offered
  return grpBVI;
}

void ConcentratorPageWidget::Wire() {
  connect(bxCNCReleAlarm, &QComboBox::activated, this,
          [this](int pos) { Then([&] { bxCNCReleAlarmCloseUp(state_, data_, pos); }); });
  connect(bxCNCReleFire, &QComboBox::activated, this,
          [this](int pos) { Then([&] { bxCNCReleFireCloseUp(state_, data_, pos); }); });
  for (QCheckBox* box : chkExp)
    connect(box, &QCheckBox::clicked, this,
            [this, box](bool on) { Then([&] { ExpToggle(state_, data_, box->property("tag").toInt(), on); }); });
  connect(chkBVIAlarmSilent, &QCheckBox::clicked, this,
          [this](bool on) { Then([&] { chkBVIAlarmSilentClick(state_, data_, on); }); });
  connect(chkBVIAlarmDuress, &QCheckBox::clicked, this,
          [this](bool on) { Then([&] { chkBVIAlarmDuressClick(state_, data_, on); }); });
  connect(chkBVIEnableReset, &QCheckBox::clicked, this,
          [this](bool on) { Then([&] { chkBVIEnableResetClick(state_, data_, on); }); });
  connect(chkCncFireReleCntr, &QCheckBox::clicked, this,
          [this](bool on) { Then([&] { chkCncFireReleCntrClick(state_, data_, on); }); });
  connect(chkCncBuzzOn, &QCheckBox::clicked, this,
          [this](bool on) { Then([&] { chkCncBuzzOnClick(state_, data_, on); }); });
}

void ConcentratorPageWidget::Sync() {
  auto set = [](QCheckBox* box, bool ticked) {
    const QSignalBlocker block(box);
    box->setChecked(ticked);
  };
  for (int tag = 0; tag < 8; ++tag)
    set(chkExp[static_cast<std::size_t>(tag)], state_.expanders[static_cast<std::size_t>(tag)]);
  grpBVI->setVisible(state_.bviVisible);
  set(chkBVIEnableReset, state_.bviReset);
  set(chkBVIAlarmSilent, state_.bviSilent);
  set(chkBVIAlarmDuress, state_.bviDuress);
  {
    const QSignalBlocker b1(bxCNCReleAlarm), b2(bxCNCReleFire);
    bxCNCReleAlarm->setCurrentIndex(state_.releAlarm);
    bxCNCReleFire->setCurrentIndex(state_.releFire);
  }
  set(chkCncFireReleCntr, state_.fireReleCntr);
  set(chkCncBuzzOn, state_.buzzer);
}

}  // namespace tivolan
