#include "shell/ui/pages/TxPageWidget.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "configuration/OutsideValues.h"
#include "link/GsmRecords.h"
#include "model/Images.h"
#include "shell/ui/dialogs/FormGprs.h"
#include "shell/ui/dialogs/FormSMS.h"
#include "shell/ui/kit/GridKit.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/PageKit.h"
#include "shell/ui/kit/WheelGuard.h"

namespace tivolan {

namespace {

// grdG1's cells, as the destinations table of the core has them.
class DestRules final : public GridRules {
 public:
  explicit DestRules(DestTableState& table) : t_(table) {}
  int RowCount() const override { return kDestinations; }
  int ColumnCount() const override { return kDestColumns; }
  QString Title(int column) const override { return Q(kDestColumnInfo[static_cast<std::size_t>(column)].title); }
  QString Text(int row, int column) const override {
    return column == kColPark ? QString() : Q(t_.Row(row).Cell(column));
  }
  Action Select(int row, int column) const override {
    switch (grdG1SelectCell(t_, row, column)) {
      case CellAction::ChooseTries:
      case CellAction::ChooseSim:
      case CellAction::ChooseProtocol: return Action::Choose;
      case CellAction::Type: return Action::Type;
      case CellAction::Park: return Action::Park;
      case CellAction::None: break;
    }
    return Action::None;
  }
  QStringList Choices(int, int column) const override {
    if (column == kColTries) return List(TryCountList);
    if (column == kColSim) return List(SimList);
    return List(ProtocolList);
  }
  int ChooserItem(int row, int column) const override { return DestChooserItem(t_, row, column); }
  void Chosen(int row, int column, int index) override { DestChosen(t_, row, column, index); }
  bool Admits(int row, int column, const QString& key) const override {
    return grdG1KeyPress(t_, row, column, S(key));
  }
  void Typed(int row, int column, const QString& text) override {
    if (column == kColText) t_.Row(row).text = S(text);
  }
  QString CellName(int row, int column) const override {
    return QStringLiteral("Направление %1: %2").arg(row).arg(Title(column));
  }
  bool MoveRow(int from, int to) override {
    MoveDestRow(t_, from, to);
    return from != to;
  }

 private:
  template <std::size_t N>
  static QStringList List(const std::array<const char*, N>& items) {
    QStringList list;
    for (const char* item : items) list << Q(item);
    return list;
  }
  DestTableState& t_;
};

QLabel* NamedLabel(QWidget* parent, const QString& text, const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QPushButton* ChangeButton(QWidget* parent, const char* name, const QString& spoken) {
  auto* b = new QPushButton(QStringLiteral("Изменить..."), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAccessibleName(spoken);
  return b;
}

}  // namespace

TxPageWidget::TxPageWidget(QWidget* parent, SharedData& shared, TxPageState& state,
                           std::function<Prompter&()> prompts)
    : QWidget(parent), data_(shared), state_(state), prompts_(std::move(prompts)),
      destRules_(std::make_unique<DestRules>(state.dest)) {
  setObjectName(QStringLiteral("PageTx"));
  Build();
  Wire();
}

TxPageWidget::~TxPageWidget() = default;

void TxPageWidget::Build() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(10, 10, 10, 6);
  column->setSpacing(6);
  auto* top = new QGridLayout;
  top->setHorizontalSpacing(10);
  lblRTX_Type = new QLabel(QStringLiteral("Вид передачи:"), this);
  bxRTX_Type = MakeList(this, "bxRTX_Type", lblRTX_Type->text());
  bxRTX_Type->setMinimumWidth(150);
  lblRTX_Type->setBuddy(bxRTX_Type);
  lblNetID = NamedLabel(this, QStringLiteral("Сетевой\nномер"), "lblNetID");
  udBusID = new QSpinBox(this);
  udBusID->setObjectName(QStringLiteral("edtBusID"));
  udBusID->setRange(1, 7);
  udBusID->setAccessibleName(QStringLiteral("Сетевой номер"));
  udBusID->findChild<QLineEdit*>()->setReadOnly(true);  // the up-down sets it
  lblNetID->setBuddy(udBusID);
  chkCNC_TxTD = MakeBox(this, "chkCNC_TxTD", QStringLiteral("518Hn подключен"));
  chkCNC_TxGSM = MakeBox(this, "chkCNC_TxGSM", QStringLiteral("GSM-KVT подключен"));
  top->addWidget(lblRTX_Type, 0, 0);
  top->addWidget(bxRTX_Type, 0, 1);
  top->addWidget(lblNetID, 0, 2);
  top->addWidget(udBusID, 0, 3);
  top->addWidget(chkCNC_TxTD, 1, 0, 1, 2);
  top->addWidget(chkCNC_TxGSM, 2, 0, 1, 2);
  top->setColumnStretch(4, 1);
  column->addLayout(top);
  column->addWidget(BuildGsm());
  column->addStretch();
}

QWidget* TxPageWidget::BuildGsm() {
  auto* gsm = new QWidget(this);
  gsm->setObjectName(QStringLiteral("GsmControls"));
  auto* v = new QVBoxLayout(gsm);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(5);
  auto* numberRow = new QHBoxLayout;
  medtDevNumber = new QLineEdit(gsm);
  medtDevNumber->setObjectName(QStringLiteral("medtDevNumber"));
  medtDevNumber->setInputMask(QStringLiteral("0000;_"));
  medtDevNumber->setFixedWidth(60);
  medtDevNumber->setAccessibleName(QStringLiteral("Номер прибора"));
  medtDevNumber->installEventFilter(this);
  lblDevNumber = MakeLabel(gsm, QStringLiteral("Номер прибора"), medtDevNumber);
  numberRow->addWidget(lblDevNumber);
  numberRow->addWidget(medtDevNumber);
  numberRow->addStretch();
  v->addLayout(numberRow);
  auto* cncRow = new QHBoxLayout;
  chkGSM_ControlEnbl = MakeBox(gsm, "chkGSM_ControlEnbl", QStringLiteral("Разрешить управление по SMS"));
  chkGSM_CIDTX = MakeBox(gsm, "chkGSM_CIDTX", QStringLiteral("Передавать события по GSM"));
  cncRow->addWidget(chkGSM_ControlEnbl);
  cncRow->addSpacing(20);
  cncRow->addWidget(chkGSM_CIDTX);
  cncRow->addStretch();
  v->addLayout(cncRow);

  grdG1 = new InPlaceGrid(*destRules_, gsm);
  grdG1->setObjectName(QStringLiteral("grdG1"));
  grdG1->setAccessibleName(QStringLiteral("Направления доставки"));
  QFont font = grdG1->font();
  font.setPixelSize(16);
  grdG1->setFont(font);
  QList<int> widths;
  for (const auto& c : kDestColumnInfo) widths << c.width;
  const int width = std::max(kDestTableWidth, grdG1->SetColumnWidths(widths));
  grdG1->verticalHeader()->setSectionsMovable(true);
  grdG1->FitRows(kDestinations, 24, width);
  lblDestinations = MakeLabel(gsm, QStringLiteral("Направления доставки: (можно менять порядок перетаскиванием)"), grdG1);
  v->addWidget(lblDestinations);
  v->addWidget(grdG1);

  auto* options = new QGridLayout;
  chkSMS_On = MakeBox(gsm, "chkSMS_On", QStringLiteral("Передавать SMS"));
  btnSMS_Show = ChangeButton(gsm, "btnSMS_Show", QStringLiteral("Изменить список SMS"));
  chkUseGPRScfg = MakeBox(gsm, "chkUseGPRScfg", QStringLiteral("Использовать конфигурацию GPRS"));
  btnGPRS = ChangeButton(gsm, "btnGPRS", QStringLiteral("Изменить параметры GPRS"));
  options->addWidget(chkSMS_On, 0, 0);
  options->addWidget(btnSMS_Show, 0, 1);
  options->addWidget(chkUseGPRScfg, 1, 0);
  options->addWidget(btnGPRS, 1, 1);
  options->setColumnStretch(2, 1);
  v->addLayout(options);
  return gsm;
}

void TxPageWidget::Wire() {
  // Every change of kind the user makes, picked or keyed; Sync blocks it.
  connect(bxRTX_Type, &QComboBox::currentIndexChanged, this, [this] {
    bxRTX_TypeCloseUp(state_, data_, S(bxRTX_Type->currentText()));
    Sync();
  });
  connect(udBusID, &QSpinBox::valueChanged, this, [this](int value) {
    edtBusIDChange(state_, data_, value);
    Sync();
  });
  auto box = [this](QCheckBox* b, void (*handler)(TxPageState&, SharedData&, bool)) {
    connect(b, &QCheckBox::clicked, this, [this, handler](bool ticked) {
      handler(state_, data_, ticked);
      Sync();
    });
  };
  box(chkCNC_TxTD, chkCNC_TxTDClick);
  box(chkCNC_TxGSM, chkCNC_TxGSMClick);
  box(chkGSM_ControlEnbl, chkGSM_ControlEnblClick);
  box(chkGSM_CIDTX, chkGSM_CIDTXClick);
  connect(chkSMS_On, &QCheckBox::clicked, this, [this](bool ticked) {
    const bool show = chkSMS_OnClick(state_, data_, ticked);
    Sync();
    if (show) btnSMS_ShowClick();
  });
  connect(chkUseGPRScfg, &QCheckBox::clicked, this, [this](bool ticked) {
    const bool show = chkUseGPRScfgClick(state_, data_, ticked);
    Sync();
    if (show) btnGPRSClick(GprsOpenedBy::Ticking);
  });
  connect(btnSMS_Show, &QPushButton::clicked, this, &TxPageWidget::btnSMS_ShowClick);
  connect(btnGPRS, &QPushButton::clicked, this, [this] { btnGPRSClick(GprsOpenedBy::Button); });
}

TFrmSMS* TxPageWidget::SmsDialog() {
  if (!FrmSMS) {
    FrmSMS = new TFrmSMS(window(), data_, state_.sms, prompts_);
    GuardWheel(FrmSMS);
  }
  return FrmSMS;
}

TfrmGPRS* TxPageWidget::GprsDialog() {
  if (!frmGPRS) {
    frmGPRS = new TfrmGPRS(window(), data_, state_.gprs, prompts_);
    GuardWheel(frmGPRS);
  }
  return frmGPRS;
}

void TxPageWidget::btnSMS_ShowClick() {
  if (SmsDialog()->ShowModal())
    SmsDialogClosed(state_, data_);
  else
    SmsDialogCancelled(state_, data_);
  Sync();
}

void TxPageWidget::btnGPRSClick(GprsOpenedBy opened) {
  if (GprsDialog()->ShowModal())
    GprsDialogClosed(state_, data_);
  else
    GprsDialogCancelled(state_, data_, opened);
  Sync();
}

bool TxPageWidget::CommitEdits() {
  if (!medtDevNumber->isModified()) return true;
  if (!tivolan::medtDevNumberExit(state_, data_, S(medtDevNumber->text()))) return false;
  medtDevNumber->setModified(false);
  return true;
}

// The edit's own refusal: a beep, the box, and the focus back in the field
// with the text kept for correction (Escape abandons it).
void TxPageWidget::RefuseDevNumber() {
  refusalPending_ = false;
  if (refusing_) return;
  refusing_ = true;
  QApplication::beep();
  ShowPageOf(this);
  prompts_().Show(DevNumberRefusedBox());
  medtDevNumber->setFocus();
  refusing_ = false;
}

// Leaving the field for another control stores the number or refuses it;
// a menu opening or another window taking the focus is no leaving.
void TxPageWidget::medtDevNumberExit(Qt::FocusReason reason) {
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason || refusing_ || CommitEdits()) return;
  // Not from inside the change of focus: the box comes once it is over,
  // unless a command refused the number meanwhile.
  refusalPending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (refusalPending_) RefuseDevNumber();
  });
}

bool TxPageWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == medtDevNumber) {
    if (event->type() == QEvent::FocusOut) medtDevNumberExit(static_cast<QFocusEvent*>(event)->reason());
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        medtDevNumber->isModified()) {
      medtDevNumber->setText(Q(state_.devNumber));  // abandon the change
      medtDevNumber->setModified(false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// Four digits; a device's number above 9999 with its fifth, marked.
void TxPageWidget::ShowDevNumber() {
  const QString text = Q(state_.devNumber);
  const QString mask = text.size() > 4 ? QStringLiteral("00000;_") : QStringLiteral("0000;_");
  if (medtDevNumber->inputMask() != mask) medtDevNumber->setInputMask(mask);
  medtDevNumber->setText(text);
  medtDevNumber->setModified(false);
  const int number = text.toInt();
  MarkOutside(medtDevNumber, number > kDeviceNumberMax ? Q(OutsideValueNote(number, 0, kDeviceNumberMax)) : QString());
}

void TxPageWidget::Sync() {
  const TxPageState& s = state_;
  const QSignalBlocker b1(bxRTX_Type), b2(udBusID), b3(chkCNC_TxTD), b4(chkCNC_TxGSM), b5(chkSMS_On),
      b6(chkUseGPRScfg), b7(chkGSM_ControlEnbl), b8(chkGSM_CIDTX);
  lblRTX_Type->setVisible(s.kindVisible);
  bxRTX_Type->setVisible(s.kindVisible);
  if (bxRTX_Type->count() != static_cast<int>(s.kindItems.size())) {
    bxRTX_Type->clear();
    for (const auto& item : s.kindItems) bxRTX_Type->addItem(Q(item));
  }
  bxRTX_Type->setCurrentIndex(s.kindIndex);
  lblNetID->setVisible(s.netIdVisible);
  udBusID->setVisible(s.netIdVisible);
  ShowSpinValue(udBusID, s.busId, kBusIdMin, kBusIdMax);
  chkCNC_TxTD->setVisible(s.cncBoxesVisible);
  chkCNC_TxGSM->setVisible(s.cncBoxesVisible);
  chkCNC_TxTD->setChecked(s.cncTxTd);
  chkCNC_TxGSM->setChecked(s.cncTxGsm);
  for (QWidget* w : std::initializer_list<QWidget*>{lblDevNumber, medtDevNumber, lblDestinations, grdG1, chkSMS_On,
                                                    chkUseGPRScfg})
    w->setVisible(s.gsmVisible);
  ShowDevNumber();
  grdG1->Sync();
  chkSMS_On->setChecked(s.smsOn);
  btnSMS_Show->setVisible(s.smsButtonVisible);
  chkUseGPRScfg->setChecked(s.gprsOn);
  btnGPRS->setVisible(s.gprsButtonVisible);
  chkGSM_ControlEnbl->setVisible(s.cncGsmOptionsVisible);
  chkGSM_CIDTX->setVisible(s.cncGsmOptionsVisible);
  chkGSM_ControlEnbl->setChecked(s.gsmControl);
  chkGSM_CIDTX->setChecked(s.gsmCidTx);
}

}  // namespace tivolan
