#include "shell/ui/dialogs/FormSMS.h"

#include <algorithm>

#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ui/kit/GridKit.h"
#include "shell/ui/kit/QtText.h"
#include "transmission/PhoneText.h"

namespace tivolan {

namespace {

char32_t KeyCode(const QString& key) {
  const auto units = key.toUcs4();
  return units.isEmpty() ? 0 : units[0];
}

// grdSMS's cells, as the SMS list of the core has them.
class SmsRules final : public GridRules {
 public:
  SmsRules(SmsDialogState& state, const SharedData& data) : s_(state), data_(data) {}
  int RowCount() const override { return kSmsRows; }
  int ColumnCount() const override { return kSmsColumns; }
  QString Title(int column) const override { return Q(SmsColumnTitles[static_cast<std::size_t>(column)]); }
  QString Text(int row, int column) const override {
    const std::string* cell = Cell(s_, row, column);
    return cell ? Q(*cell) : QString();
  }
  Action Select(int row, int column) const override {
    const SmsCellSelection sel = grdSMSSelectCell(s_, data_.DeviceType, row, column);
    if (!sel.canSelect) return Action::None;
    switch (sel.action) {
      case SmsCellAction::OpenKindChooser:
      case SmsCellAction::OpenPartitionChooser: return Action::Choose;
      case SmsCellAction::TypeIn: return Action::Type;
      case SmsCellAction::None: break;
    }
    return Action::Park;
  }
  QStringList Choices(int, int column) const override {
    QStringList items;
    if (column == kSmsColKind)
      for (const char* kind : SmsKindList) items << Q(kind);
    else
      for (int p = 1; p <= 8; ++p) items << QString::number(p);
    return items;
  }
  int ChooserItem(int row, int column) const override {
    return grdSMSSelectCell(s_, data_.DeviceType, row, column).chooserItem;
  }
  void Chosen(int row, int column, int index) override {
    if (column == kSmsColKind) bxSMSTypeCloseUp(s_, row, index);
    if (column == kSmsColPartition) bxPartNumCloseUp(s_, row, index);
  }
  bool Admits(int row, int column, const QString& key) const override {
    const std::string* cell = Cell(s_, row, column);
    return grdSMSKeyPress(column, cell ? *cell : std::string(), KeyCode(key));
  }
  void Typed(int row, int column, const QString& text) override {
    if (std::string* cell = Cell(s_, row, column)) *cell = S(text);
  }
  Qt::Alignment Alignment(int column) const override {
    return column == kSmsColPartition ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
  }
  QString CellName(int row, int column) const override {
    return QStringLiteral("SMS %1: %2").arg(row).arg(Title(column));
  }

 private:
  SmsDialogState& s_;
  const SharedData& data_;
};

constexpr int kRowHeight = 24;

}  // namespace

TFrmSMS::TFrmSMS(QWidget* parent, SharedData& shared, SmsDialogState& state, std::function<Prompter&()> prompts)
    : QDialog(parent), data_(shared), state_(state), prompts_(std::move(prompts)),
      rules_(std::make_unique<SmsRules>(state, shared)) {
  setObjectName(QStringLiteral("FrmSMS"));
  setWindowTitle(QStringLiteral("SMS"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(5, 5, 5, 8);
  grdSMS = new InPlaceGrid(*rules_, this);
  grdSMS->setObjectName(QStringLiteral("grdSMS"));
  grdSMS->setAccessibleName(QStringLiteral("Список SMS"));
  QFont font = grdSMS->font();
  font.setPixelSize(16);
  grdSMS->setFont(font);
  // The phone column shows a whole number in the table's own font.
  QList<int> widths(SmsColumnWidths.begin(), SmsColumnWidths.end());
  widths[kSmsColPhone] = std::max(widths[kSmsColPhone], QFontMetrics(font).horizontalAdvance(Q(kPhonePlaceholder)) + 16);
  const int width = std::max(490, grdSMS->SetColumnWidths(widths));
  grdSMS->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  grdSMS->FitRows(kSmsRows, kRowHeight, width);
  btnSaveExit = new QPushButton(QStringLiteral("Сохранить"), this);
  btnSaveExit->setObjectName(QStringLiteral("btnSaveExit"));
  btnSaveExit->setAccessibleName(btnSaveExit->text());
  btnSaveExit->setAutoDefault(false);
  column->addWidget(grdSMS);
  column->addWidget(btnSaveExit, 0, Qt::AlignHCenter);
  setFixedWidth(width + 10);
  connect(btnSaveExit, &QPushButton::clicked, this, &TFrmSMS::btnSaveExitClick);
}

TFrmSMS::~TFrmSMS() = default;

bool TFrmSMS::ShowModal() {
  grdSMS->Sync();
  return exec() == QDialog::Accepted;
}

void TFrmSMS::btnSaveExitClick() {
  const SmsSaveResult result = tivolan::btnSaveExitClick(state_, data_);
  if (result.box) {
    prompts_().Show(*result.box);
    return;
  }
  if (result.close) accept();
}

}  // namespace tivolan
