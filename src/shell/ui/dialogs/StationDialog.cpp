#include "shell/ui/dialogs/StationDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/Platform.h"
#include "platform/PortState.h"
#include "shell/ui/kit/QtText.h"

namespace tivolan {

// The station's events, queued to the dialog's thread; dropped once the
// dialog is gone.
class StationDialog::Events final : public station::StationEvents {
 public:
  explicit Events(StationDialog* dialog) : dialog_(dialog) {}
  void PortChanged(const station::PortView& view) override {
    QMetaObject::invokeMethod(dialog_, [d = dialog_, view] { d->ShowPort(view); }, Qt::QueuedConnection);
  }
  void PanelEnded(const station::JournalRow& row) override {
    QMetaObject::invokeMethod(dialog_, [d = dialog_, row] { d->ShowPanel(row); }, Qt::QueuedConnection);
  }
  void JournalFailed(const std::string& why) override {
    QMetaObject::invokeMethod(
        dialog_, [d = dialog_, why] { d->message_->setText(Q("Журнал не записан: " + why + "; новые приборы не принимаются")); },
        Qt::QueuedConnection);
  }

 private:
  StationDialog* dialog_;
};

StationDialog::StationDialog(QWidget* parent, station::StationJob job, const std::vector<std::string>& ports,
                             SettingsStore& settings)
    : QDialog(parent), job_(std::move(job)), settings_(settings), events_(std::make_unique<Events>(this)) {
  setObjectName(QStringLiteral("StationDialog"));
  setWindowTitle(QStringLiteral("Серийное программирование"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Порты:"), this));
  portList_ = new QListWidget(this);
  portList_->setObjectName(QStringLiteral("PortList"));
  for (const auto& port : ports) {
    auto* item = new QListWidgetItem(Q(port), portList_);
    item->setCheckState(Qt::Unchecked);
  }
  layout->addWidget(portList_);
  // A port the system does not list (a pseudo-terminal, a renamed adapter).
  auto* addRow = new QHBoxLayout;
  portToAdd_ = new QLineEdit(this);
  portToAdd_->setObjectName(QStringLiteral("PortToAdd"));
  auto* add = new QPushButton(QStringLiteral("Добавить порт"), this);
  add->setObjectName(QStringLiteral("AddPortButton"));
  addRow->addWidget(portToAdd_);
  addRow->addWidget(add);
  layout->addLayout(addRow);
  connect(add, &QPushButton::clicked, this, [this] {
    if (portToAdd_->text().isEmpty()) return;
    (new QListWidgetItem(portToAdd_->text(), portList_))->setCheckState(Qt::Checked);
    portToAdd_->clear();
  });
  layout->addWidget(new QLabel(QStringLiteral("Журнал (CSV):"), this));
  journal_ = new QLineEdit(Q(ReadSetting(settings_, kSettingJournalPath, "")), this);
  journal_->setObjectName(QStringLiteral("JournalPath"));
  layout->addWidget(journal_);
  table_ = new QTableWidget(0, 3, this);
  table_->setObjectName(QStringLiteral("StationTable"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Порт"), QStringLiteral("Состояние"), QStringLiteral("Приборов")});
  table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(table_);
  counts_ = new QLabel(Q(station::CountsText(0, 0, false)), this);
  counts_->setObjectName(QStringLiteral("CountsLabel"));
  layout->addWidget(counts_);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("MessageLabel"));
  message_->setWordWrap(true);
  layout->addWidget(message_);
  auto* buttons = new QHBoxLayout;
  start_ = new QPushButton(QStringLiteral("Начать"), this);
  start_->setObjectName(QStringLiteral("StartButton"));
  stop_ = new QPushButton(QStringLiteral("Остановить"), this);
  stop_->setObjectName(QStringLiteral("StopButton"));
  stop_->setEnabled(false);
  buttons->addStretch();
  buttons->addWidget(start_);
  buttons->addWidget(stop_);
  layout->addLayout(buttons);
  connect(start_, &QPushButton::clicked, this, &StationDialog::Start);
  connect(stop_, &QPushButton::clicked, this, &StationDialog::Stop);
  resize(640, 480);
}

StationDialog::~StationDialog() {
  control_.stopTaking = true;
  if (runner_.joinable()) runner_.join();
}

void StationDialog::done(int result) {
  // The exchanges in progress end first; no new panel is taken.
  control_.stopTaking = true;
  if (runner_.joinable()) runner_.join();
  QDialog::done(result);
}

void StationDialog::Start() {
  if (Running()) return;
  job_.ports.clear();
  for (int i = 0; i < portList_->count(); ++i) {
    if (portList_->item(i)->checkState() != Qt::Checked) continue;
    const std::string name = S(portList_->item(i)->text());
    const auto path = DriverPortName(name);
    const PortState state = path ? DiagnosePort(*path) : PortState{};
    if (!path || state.condition != PortCondition::Free) {
      message_->setText(Q(name + ": " + (path ? DescribePortState(state) : std::string("это не имя порта"))));
      return;
    }
    job_.ports.push_back({*path, state.adapter, state.serial});
  }
  if (job_.ports.empty()) {
    message_->setText(QStringLiteral("Отметьте хотя бы один порт"));
    return;
  }
  const std::string journal = S(journal_->text());
  job_.journal.reset();
  if (!journal.empty()) {
    if (const auto why = station::PrepareJournal(journal)) {
      message_->setText(Q("Журнал " + journal + " не записать: " + *why + "; ничего не запрограммировано"));
      return;
    }
    job_.journal = journal;
  }
  WriteSetting(settings_, kSettingJournalPath, journal);
  message_->clear();
  table_->setRowCount(0);
  for (const auto& port : job_.ports) RowOf(port.name);
  control_.stopTaking = false;
  control_.cancel = false;
  start_->setEnabled(false);
  stop_->setEnabled(true);
  portList_->setEnabled(false);
  journal_->setEnabled(false);
  runner_ = std::thread([this] {
    station::RunStation(job_, *events_, control_);
    QMetaObject::invokeMethod(this, [this] { Finished(); }, Qt::QueuedConnection);
  });
}

void StationDialog::Stop() {
  control_.stopTaking = true;
  stop_->setEnabled(false);
}

void StationDialog::Finished() {
  if (runner_.joinable()) runner_.join();
  start_->setEnabled(true);
  stop_->setEnabled(false);
  portList_->setEnabled(true);
  journal_->setEnabled(true);
}

int StationDialog::RowOf(const std::string& port) {
  for (int row = 0; row < table_->rowCount(); ++row)
    if (S(table_->item(row, 0)->text()) == port) return row;
  const int row = table_->rowCount();
  table_->insertRow(row);
  for (int column = 0; column < 3; ++column) table_->setItem(row, column, new QTableWidgetItem);
  table_->item(row, 0)->setText(Q(port));
  return row;
}

void StationDialog::ShowPort(const station::PortView& view) {
  const int row = RowOf(view.port);
  table_->item(row, 1)->setText(Q(station::PhaseText(view)));
  table_->item(row, 2)->setText(QString::number(view.programmed) +
                                (view.failed ? QStringLiteral(", ошибок %1").arg(view.failed) : QString()));
}

void StationDialog::ShowPanel(const station::JournalRow& row) {
  (row.statusCode == 0 ? programmed_ : failed_)++;
  counts_->setText(Q(station::CountsText(programmed_, failed_, false)));
}

}  // namespace tivolan
