#include "shell/ui/UnitMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "model/DeviceCatalogue.h"
#include "platform/Platform.h"
#include "shell/ui/dialogs/AboutUnit.h"
#include "shell/ui/dialogs/FileDialogs.h"
#include "configuration/FileCommands.h"
#include "shell/ui/QtPrompter.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/WheelGuard.h"
#include "shell/ui/pages/ConcentratorPageWidget.h"
#include "shell/ui/pages/FirmwarePageWidget.h"
#include "shell/ui/kit/PageKit.h"
#include "shell/ui/kit/PageSlot.h"
#include "shell/ui/pages/PeripheryPageWidget.h"
#include "shell/ui/pages/TxPageWidget.h"
#include "shell/ui/pages/ZonePageWidget.h"

namespace tivolan {

namespace {
constexpr const char* kProductName = "Тиволан";
}

TForm1::TForm1(FormServices services, QWidget* parent)
    : QMainWindow(parent),
      data_(services.data),
      dataModule_(services.dataModule),
      settings_(services.settings),
      buildPortList_(std::move(services.buildPortList)),
      chooseFile_(services.chooseFile ? std::move(services.chooseFile) : StandardFileChooser(this)),
      choosePrinter_(services.choosePrinter ? std::move(services.choosePrinter) : StandardPrinterChooser(this)),
      prompter_(std::make_unique<QtPrompter>(this)),
      // The worker's reports: a queued call to this window that the worker waits on.
      link_(
          dataModule_, data_,
          [this](ExchangeOperation::Task task) {
            QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
          },
          [this](LinkStatus code, int param) { LinkStatusMessage(code, param); }),
      compareLink_(
          dataModule_, compareData_,
          [this](ExchangeOperation::Task task) {
            QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
          },
          [this](LinkStatus code, int param) { CompareStatusMessage(code, param); }) {
  // The controls come back once the port is closed: a failed exchange
  // drains the line after its final report, and a port chosen meanwhile
  // would not be taken.
  link_.SetOnEnded([this] { SetLinkControlsEnabled(true); });
  // Between the read before a write and the write, the next start waits.
  compareLink_.SetOnEnded([this] {
    if (!compareLink_.Running()) SetLinkControlsEnabled(true);
  });
  BuildFrame();
  BuildMenu();
  FormCreate();
  GuardWheel(this);
}

TForm1::~TForm1() {
  if (auto* firmware = BuiltPage<FirmwarePageWidget>(kTabUpdate)) firmware->Cancel();
  link_.Close();
  compareLink_.Close();
  dataModule_.cmprtdrvr1.Close();
  // The pages and dialogs edit form_: they go while it still exists, so that
  // a cell still being edited is not committed into a form already gone.
  qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void TForm1::FormCreate() {
  setWindowTitle(Q(kProductName));
  currentFileName_.clear();
  {
    const QSignalBlocker block(PortNameBox);
    PortNameBox->clear();
    for (const auto& port : buildPortList_()) PortNameBox->addItem(Q(port));
    const std::string port = ReadSetting(settings_, kSettingPort, DefaultPortSetting());
    PortNameBox->setEditText(Q(port));
    if (const auto path = DriverPortName(port)) dataModule_.cmprtdrvr1.SetPortName(*path);
  }
  const auto entries = DeviceTypeListEntries();
  int index = 0;
  {
    const QSignalBlocker block(bxDeviceTypeList);
    bxDeviceTypeList->clear();
    for (const auto& entry : entries) bxDeviceTypeList->addItem(Q(entry));
    index = DeviceTypeIndexFromSetting(ReadSetting(settings_, kSettingDeviceType, "0"),
                                       static_cast<int>(entries.size()));
    bxDeviceTypeList->setCurrentIndex(index);
  }
  TakeDeviceTypeOfList(index);
  InitTxPage(form_.tx, data_);
  SyncFromState();
}

void TForm1::BuildFrame() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(6, 4, 6, 2);
  outer->setSpacing(4);

  auto* top = new QHBoxLayout;
  auto* typeLabel = new QLabel(QStringLiteral("Тип прибора"), central);
  bxDeviceTypeList = new QComboBox(central);
  bxDeviceTypeList->setObjectName(QStringLiteral("bxDeviceTypeList"));
  bxDeviceTypeList->setAccessibleName(typeLabel->text());
  bxDeviceTypeList->setMinimumWidth(360);
  typeLabel->setBuddy(bxDeviceTypeList);
  top->addWidget(typeLabel);
  top->addWidget(bxDeviceTypeList);
  top->addStretch();
  outer->addLayout(top);

  auto* middle = new QHBoxLayout;
  BuildPageControl(central);
  middle->addWidget(PageMain, 1);
  middle->addWidget(BuildSidePanel());
  outer->addLayout(middle, 1);
  setCentralWidget(central);

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  StatusBar->setAccessibleName(QStringLiteral("Строка состояния"));
  StatusBar->setSizeGripEnabled(false);
  StatusBar->setAutoFillBackground(true);
  // A label holds the text, so that screen readers can read it. It has no
  // accessible name of its own: its name is its text, and a new text is
  // announced as a change of name.
  statusLabel_ = new QLabel(StatusBar);
  statusLabel_->setObjectName(QStringLiteral("StatusText"));
  StatusBar->addWidget(statusLabel_, 1);
  setStatusBar(StatusBar);
  IndTimer = new QTimer(this);
  IndTimer->setInterval(StatusFlash::kTickMs);
  connect(IndTimer, &QTimer::timeout, this, &TForm1::IndTimerTimer);

  // A fixed window: system menu and minimise only, centred on the desktop.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

QWidget* TForm1::BuildSidePanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("SidePanel"));
  panel->setFixedWidth(118);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(4, 22, 0, 0);
  column->setSpacing(6);
  auto button = [panel](const char* caption, const char* name) {
    auto* b = new QPushButton(Q(caption), panel);
    b->setObjectName(Q(name));
    b->setAccessibleName(Q(caption));
    return b;
  };
  BtnClose = button("Выход", "BtnClose");
  auto* portLabel = new QLabel(QStringLiteral("Порт"), panel);
  PortNameBox = new QComboBox(panel);
  PortNameBox->setObjectName(QStringLiteral("PortNameBox"));
  PortNameBox->setEditable(true);
  PortNameBox->setInsertPolicy(QComboBox::NoInsert);
  PortNameBox->setAccessibleName(portLabel->text());
  portLabel->setBuddy(PortNameBox);
  ButtonRead = button("Прочитать", "ButtonRead");
  ButtonWrite = button("Записать", "ButtonWrite");
  // Keys that no focused control takes for itself on any platform: with
  // Shift, Ctrl+R and Ctrl+W are no edit's binding (on X11 Ctrl+U erases the
  // line in front of the cursor, and a write would send what is left). The
  // menu's Ctrl+Q serves the button "Выход" as well.
  ButtonRead->setShortcut(QKeySequence(QString::fromLatin1(kReadKeys)));
  ButtonWrite->setShortcut(QKeySequence(QString::fromLatin1(kWriteKeys)));
  ButtonRead->setToolTip(QStringLiteral("Прочитать конфигурацию из прибора (%1)").arg(QString::fromLatin1(kReadKeys)));
  ButtonWrite->setToolTip(QStringLiteral("Записать конфигурацию в прибор (%1)").arg(QString::fromLatin1(kWriteKeys)));
  BtnClose->setToolTip(QStringLiteral("Выход из программы (Ctrl+Q)"));
  column->addWidget(BtnClose);
  column->addSpacing(18);
  column->addWidget(portLabel);
  column->addWidget(PortNameBox);
  column->addSpacing(18);
  column->addWidget(ButtonRead);
  column->addWidget(ButtonWrite);
  column->addStretch();

  connect(BtnClose, &QPushButton::clicked, this, &TForm1::BtnCloseClick);
  connect(ButtonRead, &QPushButton::clicked, this, &TForm1::ButtonReadClick);
  connect(ButtonWrite, &QPushButton::clicked, this, &TForm1::ButtonWriteClick);
  connect(PortNameBox, &QComboBox::editTextChanged, this, &TForm1::PortNameBoxChange);
  connect(bxDeviceTypeList, &QComboBox::currentIndexChanged, this, &TForm1::bxDeviceTypeListChange);
  return panel;
}

void TForm1::BuildMenu() {
  // Named as the program knows them, for tests and assistive technology.
  auto item = [this](QMenu* menu, const char* text, const char* name, void (TForm1::*handler)(), QKeySequence keys = {}) {
    QAction* action = menu->addAction(Q(text));
    action->setObjectName(Q(name));
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
  FileOpen = item(file, "&Открыть...", "FileOpen", &TForm1::FileOpenClick, QKeySequence(Qt::CTRL | Qt::Key_O));
  FileSave = item(file, "&Сохранить", "FileSave", &TForm1::FileSaveClick, QKeySequence(Qt::CTRL | Qt::Key_S));
  FileSaveAs = item(file, "Сохранить &как...", "FileSaveAs", &TForm1::FileSaveAsClick);
  FileCompare = item(file, "Сравнить с прибором...", "FileCompare", &TForm1::FileCompareClick,
                     QKeySequence(QString::fromLatin1(kCompareKeys)));
  file->addSeparator();
  item(file, "&Печать...", "FilePrint", &TForm1::FilePrintClick, QKeySequence(Qt::CTRL | Qt::Key_P));
  item(file, "Сохранить &отчёт...", "FileSaveReport", &TForm1::FileSaveReportClick);
  file->addSeparator();
  item(file, "Серийное программирование...", "FileStation", &TForm1::FileStationClick);
  file->addSeparator();
  item(file, "Выход", "MenuClose", &TForm1::MenuCloseClick, QKeySequence(Qt::CTRL | Qt::Key_Q));
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Помощь"));
  item(help, "О программе...", "MenuHelpAbout", &TForm1::MenuHelpAboutClick);

  setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TForm1::PortNameBoxChange(const QString& text) {
  const std::string port = S(text);
  if (const auto path = DriverPortName(port)) dataModule_.cmprtdrvr1.SetPortName(*path);
  WriteSetting(settings_, kSettingPort, port);
}

void TForm1::UsePortForThisRun(const std::string& port) {
  const QSignalBlocker block(PortNameBox);
  PortNameBox->setEditText(Q(port));
  if (const auto path = DriverPortName(port)) dataModule_.cmprtdrvr1.SetPortName(*path);
}

void TForm1::TakeDeviceTypeOfList(int index) {
  DeviceTypeListChange(data_, form_, index, *prompter_, settings_);
  SyncFromState();
}

void TForm1::bxDeviceTypeListChange(int index) {
  TakeDeviceTypeOfList(index);
  // What the bar said of the configuration before no longer holds.
  SetStatusText(QStringLiteral("Загружены настройки по умолчанию"));
}

void TForm1::SetCaptionFile(const std::string& path) {
  setWindowTitle(Q(kProductName) + QStringLiteral(" : ") + Q(ShortPathName(path)));
}

void TForm1::BtnCloseClick() {
  dataModule_.cmprtdrvr1.Close();
  close();
}

void TForm1::MenuHelpAboutClick() { ShowAboutBox(this, Q(kProductName)); }

// Closing while a read or write runs: the worker's reports are no longer
// shown and it gives up at once; it closes the port as it ends.
void TForm1::closeEvent(QCloseEvent* event) {
  // The write of the window or of a comparison, whichever runs.
  ExchangeOperation* writing = link_.Running() && linkMode_ == LinkMode::Write ? &link_ : nullptr;
  if (compareLink_.Running() && compareStep_ == CompareStep::Writing) writing = &compareLink_;
  if (auto* firmware = BuiltPage<FirmwarePageWidget>(kTabUpdate)) firmware->Cancel();
  link_.Close();
  compareLink_.Close();
  dataModule_.cmprtdrvr1.Close();
  if (writing) ShowUnfinishedWrite(*writing);
  event->accept();
}

}  // namespace tivolan
