#include "shell/ui/pages/ZonePageWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/EventList.h"
#include "model/ValueLists.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/PageKit.h"

namespace tivolan {

namespace {
enum Column { kLabel, kPart, kType, kEvent, kIn, kOut, kRearm, kReq };
}

ZonePageWidget::ZonePageWidget(QWidget* parent, SharedData& shared, ZonePageState& state)
    : QWidget(parent), data_(shared), state_(state) {
  setObjectName(QStringLiteral("PageShlf"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 8, 6, 8);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(3);
  const std::pair<Column, const char*> headers[] = {{kPart, "Раздел"},       {kType, "Тип шлейфа"},
                                                     {kEvent, "Код события"}, {kIn, "Вход"},
                                                     {kOut, "Выход"},         {kRearm, "Авто\nвосст."},
                                                     {kReq, "Пере-\nзапрос"}};
  auto* delays = new QLabel(QStringLiteral("Задержка, сек"), this);
  delays->setAlignment(Qt::AlignCenter);
  grid->addWidget(delays, 0, kIn, 1, 2);
  for (const auto& [column, text] : headers) {
    auto* header = new QLabel(Q(text), this);
    header->setAlignment(column >= kIn ? Qt::AlignHCenter | Qt::AlignBottom : Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(header, column == kIn || column == kOut ? 1 : 0, column, column == kIn || column == kOut ? 1 : 2, 1);
  }
  RowLists lists;
  for (const auto& p : PartitionList()) lists.partitions << Q(p);
  for (const auto& e : EventList()) lists.events << Q(e.text);
  for (std::size_t t = 0; t < lists.typeIcons.size(); ++t) lists.typeIcons[t] = ZoneTypeIcon(static_cast<int>(t));
  for (int zone = 1; zone <= 8; ++zone) BuildRow(grid, zone, lists);
  grid->setColumnStretch(kReq + 1, 1);
  outer->addLayout(grid);
  outer->addSpacing(8);
  outer->addWidget(BuildDependencyGroup(), 0, Qt::AlignLeft);
  outer->addStretch();
  for (int zone = 1; zone <= 8; ++zone) Connect(zone);
}

void ZonePageWidget::BuildRow(QGridLayout* grid, int zone, const RowLists& lists) {
  const std::size_t i = static_cast<std::size_t>(zone - 1);
  const QString prefix = QStringLiteral("ШС%1: ").arg(zone);
  const int row = zone + 1;
  auto* label = new QLabel(QStringLiteral("ШС%1:").arg(zone), this);
  grid->addWidget(label, row, kLabel);
  auto name = [&](QWidget* w, const char* objectName, const char* caption) {
    w->setObjectName(Q(objectName) + QString::number(zone));
    w->setAccessibleName(prefix + Q(caption));
  };
  // Widths first: the lists then never measure their items.
  bxShlfPart[i] = new QComboBox(this);
  FixListWidth(bxShlfPart[i], 48);
  bxShlfPart[i]->addItems(lists.partitions);
  name(bxShlfPart[i], "bxShlfPart", "Раздел");
  FShlfType[i] = new QComboBox(this);
  FixListWidth(FShlfType[i], 158);
  for (std::size_t t = 0; t < ZoneTypes.size(); ++t) FShlfType[i]->addItem(lists.typeIcons[t], Q(ZoneTypes[t].name));
  name(FShlfType[i], "FShlfType", "Тип шлейфа");
  ShlfEvent[i] = new QComboBox(this);
  FixListWidth(ShlfEvent[i], 164);
  ShlfEvent[i]->addItems(lists.events);
  ShlfEvent[i]->setMaxVisibleItems(20);
  name(ShlfEvent[i], "ShlfEvent", "Код события");
  edtDelayIn[i] = new QLineEdit(this);
  edtDelayOut[i] = new QLineEdit(this);
  for (QLineEdit* e : {edtDelayIn[i], edtDelayOut[i]}) {
    e->setFixedWidth(40);
    e->setMaxLength(3);
    e->setAlignment(Qt::AlignRight);
  }
  name(edtDelayIn[i], "edtDelayIn", "Задержка вход");
  name(edtDelayOut[i], "edtDelayOut", "Задержка выход");
  chkShlfRearm[i] = new QCheckBox(this);
  chkShlfRearm[i]->setToolTip(QStringLiteral("Автоматическое восстановление шлейфа"));
  name(chkShlfRearm[i], "chkShlfRearm", "Автоматическое восстановление");
  chkF_Req[i] = new QCheckBox(this);
  chkF_Req[i]->setToolTip(QStringLiteral("Перезапрос шлейфа"));
  name(chkF_Req[i], "chkF_Req", "Перезапрос");
  // Hidden fields keep their cells, so the columns never shift.
  for (QWidget* w : std::initializer_list<QWidget*>{edtDelayIn[i], edtDelayOut[i], chkShlfRearm[i], chkF_Req[i]}) {
    QSizePolicy keep = w->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    w->setSizePolicy(keep);
  }
  grid->addWidget(bxShlfPart[i], row, kPart);
  grid->addWidget(FShlfType[i], row, kType);
  grid->addWidget(ShlfEvent[i], row, kEvent);
  grid->addWidget(edtDelayIn[i], row, kIn);
  grid->addWidget(edtDelayOut[i], row, kOut);
  grid->addWidget(chkShlfRearm[i], row, kRearm, Qt::AlignHCenter);
  grid->addWidget(chkF_Req[i], row, kReq, Qt::AlignHCenter);
}

QWidget* ZonePageWidget::BuildDependencyGroup() {
  grpPartDep = new QGroupBox(QStringLiteral("Зависимость охраны раздела 1"), this);
  grpPartDep->setObjectName(QStringLiteral("grpPartDep"));
  auto* row = new QHBoxLayout(grpPartDep);
  row->setSpacing(14);
  for (int k = 2; k <= 8; ++k) {
    auto* box = new QCheckBox(QString::number(k), grpPartDep);
    box->setObjectName(QStringLiteral("chkPartDep%1").arg(k));
    box->setAccessibleName(QStringLiteral("Зависимость охраны раздела 1 от раздела %1").arg(k));
    chkPartDep[static_cast<std::size_t>(k - 2)] = box;
    row->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this, k](bool on) { state_.Dep(k).ticked = on; });
  }
  return grpPartDep;
}

template <typename Handler>
void ZonePageWidget::OnPanel(Handler handler) {
  if (auto panel = PanelImageOf(data_.ConfigBuffer, data_.DeviceType)) handler(*panel);
  Sync();
}

void ZonePageWidget::Connect(int zone) {
  const std::size_t i = static_cast<std::size_t>(zone - 1);
  connect(FShlfType[i], &QComboBox::currentIndexChanged, this,
          [this, zone](int t) { OnPanel([&](PanelImage& p) { TypeChange(state_, p, zone, t); }); });
  connect(ShlfEvent[i], &QComboBox::currentIndexChanged, this,
          [this, zone](int pos) { OnPanel([&](PanelImage& p) { ExpEventChange(state_, p, zone, pos); }); });
  connect(bxShlfPart[i], &QComboBox::currentIndexChanged, this,
          [this, zone](int pos) { OnPanel([&](PanelImage& p) { ShlfPartChange(state_, p, zone, pos); }); });
  connect(edtDelayIn[i], &QLineEdit::editingFinished, this, [this, zone, i] {
    const std::string text = S(edtDelayIn[i]->text());
    OnPanel([&](PanelImage& p) { fldDelayInChange(state_, p, zone, text); });
  });
  connect(edtDelayOut[i], &QLineEdit::editingFinished, this, [this, zone, i] {
    const std::string text = S(edtDelayOut[i]->text());
    OnPanel([&](PanelImage& p) { fldDelayOutChange(state_, p, zone, text); });
  });
  connect(chkShlfRearm[i], &QCheckBox::toggled, this, [this, zone](bool on) { state_.Row(zone).rearmTicked = on; });
  connect(chkF_Req[i], &QCheckBox::toggled, this, [this, zone](bool on) { state_.Row(zone).reqTicked = on; });
}

void ZonePageWidget::CommitEdits() {
  for (int zone = 1; zone <= 8; ++zone) {
    const std::size_t i = static_cast<std::size_t>(zone - 1);
    ZoneRowState& row = state_.Row(zone);
    if (!row.delaysVisible) continue;
    const std::string in = S(edtDelayIn[i]->text());
    const std::string out = S(edtDelayOut[i]->text());
    if (in != row.delayIn) OnPanel([&](PanelImage& p) { fldDelayInChange(state_, p, zone, in); });
    if (out != row.delayOut) OnPanel([&](PanelImage& p) { fldDelayOutChange(state_, p, zone, out); });
  }
}

void ZonePageWidget::PageShlfExit() {
  OnPanel([&](PanelImage& p) { tivolan::PageShlfExit(state_, p); });
}

void ZonePageWidget::SyncRow(int zone) {
  const std::size_t i = static_cast<std::size_t>(zone - 1);
  const ZoneRowState& row = state_.Row(zone);
  const QSignalBlocker b1(bxShlfPart[i]), b2(FShlfType[i]), b3(ShlfEvent[i]), b4(chkShlfRearm[i]), b5(chkF_Req[i]),
      b6(edtDelayIn[i]), b7(edtDelayOut[i]);
  bxShlfPart[i]->setCurrentIndex(row.partition);
  FShlfType[i]->setCurrentIndex(row.type);
  ShlfEvent[i]->setCurrentIndex(row.eventPos);
  ShlfEvent[i]->setEnabled(row.eventEnabled);
  edtDelayIn[i]->setText(Q(row.delayIn));
  edtDelayOut[i]->setText(Q(row.delayOut));
  edtDelayIn[i]->setVisible(row.delaysVisible);
  edtDelayOut[i]->setVisible(row.delaysVisible);
  chkShlfRearm[i]->setChecked(row.rearmTicked);
  chkShlfRearm[i]->setEnabled(row.rearmEnabled);
  chkShlfRearm[i]->setVisible(row.rearmVisible);
  chkF_Req[i]->setChecked(row.reqTicked);
  chkF_Req[i]->setVisible(row.reqVisible);
}

void ZonePageWidget::Sync() {
  for (int zone = 1; zone <= 8; ++zone) SyncRow(zone);
  for (int k = 2; k <= 8; ++k) {
    QCheckBox* box = chkPartDep[static_cast<std::size_t>(k - 2)];
    const QSignalBlocker block(box);
    box->setChecked(state_.Dep(k).ticked);
    box->setEnabled(state_.Dep(k).enabled);
  }
}

}  // namespace tivolan
