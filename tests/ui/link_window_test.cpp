// Reading and writing through the widgets, against the simulator.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "link/UnitData.h"
#include "Controls.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "support/SimDevice.h"
#include "support/RecordingPrompter.h"
#include "support/PortTexts.h"

using namespace tivolan;
using test::Control;

namespace {

struct Bench {
  explicit Bench(sim::SimOptions options) : sim(std::move(options)) {
    sim.Start();
    settings.Write("comportname", sim.SlavePath());
    window = new TForm1(FormServices{data, dataModule, settings, [] { return std::vector<std::string>{}; }});
    auto prompter = std::make_unique<test::RecordingPrompter>();
    prompts = prompter.get();
    // The status text at the moment a box comes up.
    prompter->onShow = [this](const MessageBox&) { textWhenShown = window->StatusText(); };
    window->SetPrompter(std::move(prompter));
    QObject::connect(window, &TForm1::statusTextChanged, [this](const QString& t) { texts << t; });
    QObject::connect(window, &TForm1::statusColourChanged, [this](const QColor& c) { colours << c; });
  }
  ~Bench() { delete window; }

  void WaitIdle() { QTRY_VERIFY_WITH_TIMEOUT(Control<QPushButton>(window, "ButtonRead")->isEnabled() && !window->WorkerRunning(), 8000); }
  QList<QWidget*> LinkControls() const {
    return {Control<QComboBox>(window, "PortNameBox"), Control<QPushButton>(window, "ButtonWrite"), Control<QPushButton>(window, "ButtonRead"), Control<QComboBox>(window, "bxDeviceTypeList"), Control<QTabWidget>(window, "PageMain"),
            Control<QTabWidget>(window, "PageMain")->widget(kTabUpdate)};
  }

  sim::SimPort sim;
  SharedData data;
  QtPollTimer pollTimer;
  TDataModule1 dataModule{CreateSystemSerialDevice(), &pollTimer};
  MemorySettingsStore settings;
  TForm1* window = nullptr;
  test::RecordingPrompter* prompts = nullptr;
  QString textWhenShown;
  QStringList texts;
  QList<QColor> colours;
};

sim::SimOptions Device(int type, sim::Fault fault = sim::Fault::None) {
  sim::SimOptions o;
  o.device.type = type;
  o.device.fault = fault;
  return o;
}

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

}  // namespace

class LinkWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void readDisablesTheSixControlsAndReportsEachStep() {
    Bench b(Device(1));
    const QColor rest = Control<QStatusBar>(b.window, "StatusBar")->palette().color(QPalette::Window);
    Control<QPushButton>(b.window, "ButtonRead")->click();
    for (QWidget* w : b.LinkControls()) QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(Control<QPushButton>(b.window, "BtnClose")->isEnabled());
    b.WaitIdle();
    for (QWidget* w : b.LinkControls()) QVERIFY(w->isEnabled());
    QCOMPARE(b.texts, (QStringList{"Порт открыт", "Ответ прибора получен", "Ответ прибора получен",
                                   "Конфигурация прочитана, версия прибора - 3"}));
    QTRY_COMPARE_WITH_TIMEOUT(b.colours.size(), 4, 3000);
    QCOMPARE(b.colours, (QList<QColor>{kGreen, rest, kGreen, rest}));
  }

  void writeWithoutGsm() {
    Bench b(Device(1));
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    b.WaitIdle();
    QCOMPARE(b.texts.last(), QStringLiteral("Конфигурация записана"));
    QCOMPARE(b.texts.size(), 4);
  }

  void typeTwoReadWhileTypeOneIsSelectedSwitchesListAndPages() {
    auto options = Device(2);
    options.device.payload.assign(43, 0);
    options.device.payload[40] = 0x77;  // byte 44: siren time as no default has it
    Bench b(options);
    QCOMPARE(Control<QComboBox>(b.window, "bxDeviceTypeList")->currentIndex(), 0);
    Control<QPushButton>(b.window, "ButtonRead")->click();
    b.WaitIdle();
    QCOMPARE(Control<QComboBox>(b.window, "bxDeviceTypeList")->currentIndex(), 1);
    QCOMPARE(b.data.DeviceType, uint8_t{2});
    QCOMPARE(b.data.ConfigBuffer[44], uint8_t{0x77});
    QVERIFY(Control<QTabWidget>(b.window, "PageMain")->isTabVisible(kTabShlf));
    QVERIFY(!Control<QTabWidget>(b.window, "PageMain")->isTabVisible(kTabCnc));
    QCOMPARE(b.settings.Values().at("devicetype"), std::string("0"));  // a read does not store the type
  }

  void concentratorReadShowsItsPage() {
    Bench b(Device(3));
    Control<QPushButton>(b.window, "ButtonRead")->click();
    b.WaitIdle();
    QCOMPARE(Control<QComboBox>(b.window, "bxDeviceTypeList")->currentIndex(), 2);
    QCOMPARE(Control<QTabWidget>(b.window, "PageMain")->currentIndex(), int(kTabCnc));
  }

  void portErrorShowsItsBoxFirstThenTheStatus() {
    Bench b(Device(1));
    Control<QComboBox>(b.window, "PortNameBox")->setEditText(QString::fromUtf8(test::kNoSuchPort));
    Control<QPushButton>(b.window, "ButtonRead")->click();
    b.WaitIdle();
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(b.prompts->shown[0].caption), QStringLiteral("Ошибка открытия порта"));
    QVERIFY(b.textWhenShown.isEmpty());
    QCOMPARE(b.texts, QStringList{QStringLiteral("Ошибка порта")});
    QTRY_COMPARE_WITH_TIMEOUT(b.colours.size(), 4, 3000);
    QCOMPARE(b.colours[0], kRed);
  }

  void noLinkFlashesRedAndEnablesTheControls() {
    Bench b(Device(1, sim::Fault::NoAnswer));
    Control<QPushButton>(b.window, "ButtonRead")->click();
    b.WaitIdle();
    QCOMPARE(b.texts.last(), QStringLiteral("Нет связи, проверьте соединения или тип прибора"));
    QCOMPARE(b.colours.first(), kRed);
  }

  // The device answers the first read 2.5 s late, then at once; its version
  // byte counts its answers. The second "Прочитать" shows the answer to its
  // own request, never the first one's.
  void aSecondReadNeverTakesTheFirstReadsLateAnswer() {
    auto device = Device(1, sim::Fault::Delay);
    device.device.delays = {2500, 0};
    device.device.counter = true;
    Bench b(device);
    Control<QPushButton>(b.window, "ButtonRead")->click();
    b.WaitIdle();
    QCOMPARE(b.texts.last(), QStringLiteral("Нет связи, проверьте соединения или тип прибора"));
    Control<QPushButton>(b.window, "ButtonRead")->click();
    b.WaitIdle();
    QVERIFY(!b.texts.contains(QStringLiteral("Конфигурация прочитана, версия прибора - 3")));
    QCOMPARE(b.texts.last(), QStringLiteral("Конфигурация прочитана, версия прибора - 4"));
  }

  // A read started while the last worker has not yet closed the port (here
  // from the final report itself, the widest form of that gap) must wait for
  // it and run a clean exchange of its own.
  void readingAgainAtOnceAfterARead() {
    Bench b(Device(1));
    b.window->show();
    bool clickedAgain = false;
    QObject::connect(b.window, &TForm1::statusTextChanged, b.window, [&](const QString& t) {
      if (clickedAgain || !t.startsWith(QStringLiteral("Конфигурация прочитана"))) return;
      clickedAgain = true;
      b.window->ButtonReadClick();
    });
    Control<QPushButton>(b.window, "ButtonRead")->click();
    QTRY_VERIFY_WITH_TIMEOUT(b.texts.count(QStringLiteral("Конфигурация прочитана, версия прибора - 3")) == 2, 8000);
    b.WaitIdle();
    QVERIFY(!b.dataModule.cmprtdrvr1.IsOpen());
    QCOMPARE(b.texts.filter(QStringLiteral("Нет связи")).size(), 0);
  }

  // An open during a read would replace the buffers the worker fills, and a
  // later save would write the device's values into the opened file.
  // GSM chosen and every destination "Выкл.": the write asks first; No
  // sends nothing and leaves the controls as they were, Yes writes W1 and W2.
  void aGsmWriteWithoutDestinationsAsksFirst() {
    Bench b(Device(1));
    QComboBox* kind = Control<QComboBox>(b.window, "bxRTX_Type");
    kind->setCurrentIndex(2);
    emit kind->activated(2);
    b.prompts->answer = false;
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    QCOMPARE(b.prompts->asked.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(b.prompts->asked[0].text),
             QStringLiteral("Ни одно направление не включено,\r\nсохранять настройки?"));
    QVERIFY(Control<QPushButton>(b.window, "ButtonWrite")->isEnabled());
    QVERIFY(!b.window->WorkerRunning());
    QTest::qWait(100);
    QVERIFY(b.sim.ReceivedFrames().empty());
    b.prompts->answer = true;
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    b.WaitIdle();
    QCOMPARE(b.texts.last(), QStringLiteral("Конфигурация записана"));
    const auto frames = b.sim.ReceivedFrames();
    QCOMPARE(frames.size(), std::size_t{2});
    QCOMPARE(int(frames[1][3]), 2);
  }

  void fileCommandsWaitForTheExchange() {
    Bench b(Device(1));
    Control<QPushButton>(b.window, "ButtonRead")->click();
    for (QAction* a : {Control<QAction>(b.window, "FileOpen"), Control<QAction>(b.window, "FileSave"), Control<QAction>(b.window, "FileSaveAs")})
      QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
    b.WaitIdle();
    for (QAction* a : {Control<QAction>(b.window, "FileOpen"), Control<QAction>(b.window, "FileSave"), Control<QAction>(b.window, "FileSaveAs")})
      QVERIFY2(a->isEnabled(), qPrintable(a->text()));
  }

  void fileCommandsWaitForAFailedExchangeToo() {
    Bench b(Device(1));
    Control<QComboBox>(b.window, "PortNameBox")->setEditText(QString::fromUtf8(test::kNoSuchPort));
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    QVERIFY(!Control<QAction>(b.window, "FileOpen")->isEnabled());
    b.WaitIdle();
    QVERIFY(Control<QAction>(b.window, "FileOpen")->isEnabled());
    QVERIFY(Control<QAction>(b.window, "FileSaveAs")->isEnabled());
  }

  // Closing the window at each step where a worker can be: waiting in the
  // middle of an answer, and stuck in a write the device does not take.
  void closingCancelsTheExchangeAtOnce_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("after");
    QTest::newRow("mid-answer") << int(sim::Fault::Truncated) << false << QStringLiteral("Ответ прибора получен");
    QTest::newRow("stalled write") << int(sim::Fault::Stall) << true << QStringLiteral("Порт открыт");
  }
  void closingCancelsTheExchangeAtOnce() {
    QFETCH(int, fault);
    QFETCH(bool, write);
    QFETCH(QString, after);
    Bench b(Device(1, static_cast<sim::Fault>(fault)));
    b.window->show();
    (write ? Control<QPushButton>(b.window, "ButtonWrite") : Control<QPushButton>(b.window, "ButtonRead"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(b.texts.contains(after), 3000);
    const int reportsBefore = b.texts.size();
    b.window->close();
    QVERIFY(!b.window->WorkerRunning());
    QVERIFY(!b.dataModule.cmprtdrvr1.IsOpen());
    QTest::qWait(300);  // a report the worker might still send would arrive now
    QCOMPARE(b.texts.size(), reportsBefore);
  }

  void closingWhileAWorkerRunsClosesThePort() {
    Bench b(Device(1, sim::Fault::NoAnswer));
    b.window->show();
    Control<QPushButton>(b.window, "ButtonRead")->click();
    QTRY_VERIFY_WITH_TIMEOUT(b.dataModule.cmprtdrvr1.IsOpen(), 2000);
    b.window->close();
    QVERIFY(!b.window->WorkerRunning());
    QVERIFY(!b.dataModule.cmprtdrvr1.IsOpen());
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  LinkWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "link_window_test.moc"
