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
#include "shell/ui/dialogs/FormGprs.h"
#include "shell/ui/dialogs/FormSMS.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/WheelGuard.h"
#include "shell/ui/pages/ConcentratorPageWidget.h"
#include "shell/ui/pages/FirmwarePageWidget.h"
#include "shell/ui/kit/PageKit.h"
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
      prompter_(std::make_unique<QtPrompter>(this)),
      updatePollTimer_(new QtPollTimer(this)),
      cmprtdrvrUpdate(CreateSystemSerialDevice(), updatePollTimer_),
      gsmSteps_(data_),
      // The worker's reports: a queued call to this window that the worker waits on.
      link_(
          dataModule_, data_,
          [this](ExchangeOperation::Task task) {
            QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
          },
          [this](LinkStatus code, int param) { LinkStatusMessage(code, param); }) {
  // The controls come back once the port is closed: a failed exchange
  // drains the line after its final report, and a port chosen meanwhile
  // would not be taken.
  link_.SetOnEnded([this] { EnableLinkControls(); });
  ConfigureUpdatePort(cmprtdrvrUpdate);
  tmrUpdOff_ = new QtPollTimer(this);
  update_ = std::make_unique<FirmwareTransfer>(cmprtdrvrUpdate, *tmrUpdOff_);
  BuildFrame();
  BuildMenu();
  FormCreate();
  GuardWheel(this);
}

TForm1::~TForm1() {
  update_->Cancel();
  link_.Close();
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
  bxDeviceTypeListChange(index);
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
  PageMain = new QTabWidget(central);
  PageMain->setObjectName(QStringLiteral("PageMain"));
  PageMain->setAccessibleName(QStringLiteral("Страницы настроек"));
  zonePage = new ZonePageWidget(PageMain, data_, form_.zones);
  peripheryPage = new PeripheryPageWidget(PageMain, data_, form_.periphery);
  auto prompts = [this]() -> Prompter& { return *prompter_; };
  txPage = new TxPageWidget(PageMain, data_, form_.tx, prompts);
  // The two dialogs live as long as the window, hidden until called.
  txPage->frmGPRS = frmGPRS = new TfrmGPRS(this, data_, form_.tx.gprs, prompts);
  txPage->FrmSMS = FrmSMS = new TFrmSMS(this, data_, form_.tx.sms, prompts);
  concentratorPage = new ConcentratorPageWidget(PageMain, data_, form_.concentrator);
  firmwarePage = new FirmwarePageWidget(PageMain);
  connect(firmwarePage->btnUpdFile, &QPushButton::clicked, this, &TForm1::btnUpdFileClick);
  connect(firmwarePage->btnUpdProgress, &QPushButton::clicked, this, &TForm1::btnUpdClick);
  pages = {zonePage, peripheryPage, txPage, concentratorPage, firmwarePage};
  for (int i = 0; i < kTabCount; ++i) {
    QWidget* page = pages[static_cast<std::size_t>(i)];
    page->setAccessibleName(Q(kTabCaptions[static_cast<std::size_t>(i)]));
    PageMain->addTab(page, TabIcon(i), Q(kTabCaptions[static_cast<std::size_t>(i)]));
  }
  connect(PageMain, &QTabWidget::currentChanged, this, &TForm1::PageMainChange);
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
  // Keys free of the menus' own; Ctrl+W, which closes windows elsewhere, is
  // kept away from the write. The menu's Ctrl+Q serves the button as well.
  ButtonRead->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  ButtonWrite->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
  ButtonRead->setToolTip(QStringLiteral("Прочитать конфигурацию из прибора (Ctrl+R)"));
  ButtonWrite->setToolTip(QStringLiteral("Записать конфигурацию в прибор (Ctrl+U)"));
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
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
  FileOpen = file->addAction(QStringLiteral("&Открыть..."));
  FileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  FileSave = file->addAction(QStringLiteral("&Сохранить"));
  FileSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  FileSaveAs = file->addAction(QStringLiteral("Сохранить &как..."));
  file->addSeparator();
  MenuClose = file->addAction(QStringLiteral("Выход"));
  MenuClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Помощь"));
  MenuHelpAbout = help->addAction(QStringLiteral("О программе..."));
  connect(FileOpen, &QAction::triggered, this, &TForm1::FileOpenClick);
  connect(FileSave, &QAction::triggered, this, &TForm1::FileSaveClick);
  connect(FileSaveAs, &QAction::triggered, this, &TForm1::FileSaveAsClick);
  connect(MenuClose, &QAction::triggered, this, &TForm1::MenuCloseClick);
  connect(MenuHelpAbout, &QAction::triggered, this, &TForm1::MenuHelpAboutClick);

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

void TForm1::bxDeviceTypeListChange(int index) {
  DeviceTypeListChange(data_, form_, index, *prompter_, settings_);
  SyncFromState();
}

void TForm1::SyncFromState() {
  const QSignalBlocker block(PageMain);
  // A hidden page is disabled as well: Ctrl+Tab and the tab bar's keys pass
  // over disabled pages only.
  for (int i = 0; i < kTabCount; ++i) {
    const bool visible = form_.tabVisible[static_cast<std::size_t>(i)];
    PageMain->setTabVisible(i, visible);
    PageMain->setTabEnabled(i, visible);
  }
  PageMain->setCurrentIndex(form_.activeTab);
  activePage_ = form_.activeTab;
  SyncPages();
}

void TForm1::SyncPages() {
  zonePage->Sync();
  peripheryPage->Sync();
  txPage->Sync();
  concentratorPage->Sync();
}

void TForm1::PageMainChange(int index) {
  if (activePage_ == kTabShlf && index != kTabShlf) zonePage->PageShlfExit();
  activePage_ = index;
  form_.activeTab = index;
}

bool TForm1::CommitPendingEdits() {
  if (!txPage->CommitEdits()) {
    txPage->RefuseDevNumber();
    return false;
  }
  BtnClose->setFocus();
  zonePage->CommitEdits();
  return true;
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
  const bool writing = link_.Running() && linkMode_ == LinkMode::Write;
  update_->Cancel();
  link_.Close();
  dataModule_.cmprtdrvr1.Close();
  if (writing) ShowUnfinishedWrite();
  event->accept();
}

}  // namespace tivolan
