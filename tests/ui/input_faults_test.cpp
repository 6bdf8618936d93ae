// What the window must never do with what the user typed: change settings
// under a stray wheel, run a command past a refused field, use another port
// than the one shown, store what the fields do not show, or open a hidden
// page. Driven by wheel and key events on the real widgets.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>

#include "shell/ui/dialogs/FormGprs.h"
#include "shell/ui/kit/GridKit.h"
#include "shell/ui/kit/PageKit.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/pages/FirmwarePageWidget.h"
#include "shell/ui/pages/TxPageWidget.h"
#include "Shots.h"
#include "support/PortTexts.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;
using test::WindowBench;

namespace {

struct Buffers {
  explicit Buffers(const SharedData& d)
      : config(d.ConfigBuffer), gsm(d.Gsm()) {}
  bool operator==(const Buffers&) const = default;
  ImageBuffer config;
  GsmSettings gsm;
};

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

class InputFaultsTest : public QObject {
  Q_OBJECT

 private slots:
  void aWheelOverAClosedBoxChangesNothing_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("box");
    QTest::newRow("transmission kind") << 1 << int(kTabTx) << "bxRTX_Type";
    QTest::newRow("zone type") << 1 << int(kTabShlf) << "FShlfType3";
    QTest::newRow("zone event") << 2 << int(kTabShlf) << "ShlfEvent2";
    QTest::newRow("zone partition") << 1 << int(kTabShlf) << "bxShlfPart1";
    QTest::newRow("relay") << 2 << int(kTabPeriph) << "bxReleAlarm";
    QTest::newRow("siren time") << 1 << int(kTabPeriph) << "udSndWrkTime";
    QTest::newRow("concentrator relay") << 3 << int(kTabCnc) << "bxCNCReleFire";
    QTest::newRow("device type") << 1 << int(kTabTx) << "bxDeviceTypeList";
  }
  // A panel read with its GSM settings; the wheel turned one notch and back
  // over a box that the user never focused.
  void aWheelOverAClosedBoxChangesNothing() {
    QFETCH(int, type);
    QFETCH(int, tab);
    QFETCH(QString, box);
    WindowBench b(test::GsmPanel(type), type);
    b.Read();
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(tab);
    Control<QPushButton>(b.window, "BtnClose")->setFocus();
    QWidget* target = b.Find(box);
    QVERIFY(target && target->isVisible());
    const Buffers before(b.data);
    const QString shown = Control<QLineEdit>(b.window, "medtDevNumber")->text();
    for (int notches : {1, -1, -1, 1}) {
      WindowBench::Wheel(target, notches);
      QVERIFY(Buffers(b.data) == before);
      QCOMPARE(Control<QLineEdit>(b.window, "medtDevNumber")->text(), shown);
    }
    QVERIFY(Control<QCheckBox>(b.window, "chkSMS_On")->isChecked() || type == kTypeCNC1);
  }

  // The focused box follows the keyboard and the page follows the kind; the
  // list opened and closed on "GSM-KVT" keeps the GSM settings.
  void theKindFollowsTheKeyboardAndARepickKeepsTheGsmSettings() {
    WindowBench b;
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QComboBox>(b.window, "bxRTX_Type")->setFocus(Qt::TabFocusReason);
    b.Press(Qt::Key_Down);
    b.Press(Qt::Key_Down);
    QCOMPARE(b.data.ConfigBuffer[38], uint8_t{2});
    QVERIFY(Control<QLineEdit>(b.window, "medtDevNumber")->isVisible());
    b.Retype(Control<QLineEdit>(b.window, "medtDevNumber"), QStringLiteral("0042"));
    b.Press(Qt::Key_Tab);
    QCOMPARE(int(b.data.DestTX_Buffer.deviceNumber), 42);
    Control<QComboBox>(b.window, "bxRTX_Type")->setFocus(Qt::TabFocusReason);
    b.Press(Qt::Key_F4);
    QTRY_VERIFY(Control<QComboBox>(b.window, "bxRTX_Type")->view()->isVisible());
    QTest::keyClick(Control<QComboBox>(b.window, "bxRTX_Type")->view(), Qt::Key_Return);
    QCOMPARE(Control<QComboBox>(b.window, "bxRTX_Type")->currentText(), QStringLiteral("GSM-KVT"));
    QCOMPARE(int(b.data.DestTX_Buffer.deviceNumber), 42);
    QCOMPARE(Control<QLineEdit>(b.window, "medtDevNumber")->text(), QStringLiteral("0042"));
  }

  void aRefusedDeviceNumberStopsTheCommand_data() {
    QTest::addColumn<QString>("command");
    for (const char* c : {"Ctrl+S", "Сохранить как...", "Ctrl+O", "Ctrl+Shift+R", "Ctrl+Shift+W", "Ctrl+P", "Сохранить отчёт..."})
      QTest::newRow(c) << c;
  }
  // "12" typed and the command asked for: the refusal comes first, and the
  // command does not run.
  void aRefusedDeviceNumberStopsTheCommand() {
    QFETCH(QString, command);
    WindowBench b(test::GsmPanel(1));
    b.Read();
    b.chosen = b.dir.Path("saved.cf8");
    const std::size_t frames = b.FramesSent();
    const QString status = b.window->StatusText();
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    QLineEdit* number = Control<QLineEdit>(b.window, "medtDevNumber");
    b.Retype(number, QStringLiteral("12"));
    if (command == QStringLiteral("Сохранить как..."))
      Control<QAction>(b.window, "FileSaveAs")->trigger();
    else if (command == QStringLiteral("Сохранить отчёт..."))
      Control<QAction>(b.window, "FileSaveReport")->trigger();
    else
      b.Command(command);
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QCOMPARE(Text(b.prompts->shown[0].text), QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
    QVERIFY(b.asked.empty());
    QCOMPARE(b.printDialogs, 0);
    QCOMPARE(b.window->StatusText(), status);
    QTest::qWait(300);
    QCOMPARE(b.FramesSent(), frames);
    QVERIFY(!QFile::exists(QString::fromStdString(*b.chosen)));
    QCOMPARE(QApplication::focusWidget(), number);
    QCOMPARE(number->text(), QStringLiteral("12"));
    QCOMPARE(int(b.data.DestTX_Buffer.deviceNumber), 4660);
    b.Press(Qt::Key_Escape);
    QCOMPARE(number->text(), QStringLiteral("4660"));
    QTest::qWait(50);
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});  // one refusal, not one more as the focus moves
  }

  void aPortTextThatIsNoPortStopsTheCommand_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("named");
    QTest::newRow("read") << "Ctrl+Shift+R" << "ttyUSB9" << "\"ttyUSB9\"";
    QTest::newRow("write") << "Ctrl+Shift+W" << "ttyUSB9" << "\"ttyUSB9\"";
    QTest::newRow("empty") << "Ctrl+Shift+R" << "" << "Порт не указан";
    QTest::newRow("firmware") << "firmware" << "ttyUSB9" << "\"ttyUSB9\"";
    QTest::newRow("firmware, no such port") << "firmware" << test::kNoSuchPort << QString::fromUtf8(test::kNoSuchPort) + ":";
  }
  // After a read on one port, the box is given a text: the previous port's
  // device hears nothing, and the box names the text.
  void aPortTextThatIsNoPortStopsTheCommand() {
    QFETCH(QString, command);
    QFETCH(QString, port);
    QFETCH(QString, named);
    WindowBench b(test::GsmPanel(1));
    b.Read();
    const std::size_t frames = b.FramesSent();
    b.Retype(Control<QComboBox>(b.window, "PortNameBox"), port);
    if (port.isEmpty()) b.Press(Qt::Key_Backspace);
    if (command == QStringLiteral("firmware")) {
      Control<QLineEdit>(b.window, "edtUpdFileName")->setText(QString::fromStdString(b.dir.Write("fw.enc", "0001AA")));
      Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabUpdate);
      Control<QPushButton>(b.window, "btnUpdProgress")->setFocus();
      b.Press(Qt::Key_Space);
    } else {
      b.Command(command);
    }
    b.WaitIdle();
    QCOMPARE(b.FramesSent(), frames);
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    const MessageBox& box = b.prompts->shown[0];
    QCOMPARE(Text(box.caption), QStringLiteral("Ошибка открытия порта"));
    QVERIFY2(Text(box.detail).startsWith(named), box.detail.c_str());
    QCOMPARE(b.window->StatusText(), QStringLiteral("Ошибка порта"));
    QCOMPARE(Text(b.settings.Read("comportname").value_or("?")), port);
    QVERIFY(Control<QPushButton>(b.window, "ButtonRead")->isEnabled() && Control<QPushButton>(b.window, "btnUpdProgress")->isEnabled());
  }

  // "интернет" pasted into SIM 1's APN with SIM 2 empty: the fields show what
  // is stored (nothing), the warning names every field that changed, and the
  // option switches itself off.
  void theGprsFieldsShowWhatIsStored() {
    WindowBench b;
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(2);
    test::WithDialog([&] { Control<QCheckBox>(b.window, "chkUseGPRScfg")->click(); }, [&] {
      auto* dialog = Control<TfrmGPRS>(b.window, "frmGPRS");
      for (QLineEdit* sim2 : {Control<QLineEdit>(dialog, "edtAPN2"), Control<QLineEdit>(dialog, "edtUser2"), Control<QLineEdit>(dialog, "edtPass2")}) {
        b.Retype(sim2, QString());
        b.Press(Qt::Key_Backspace);
      }
      QApplication::clipboard()->setText(QStringLiteral("интернет"));
      Control<QLineEdit>(dialog, "edtAPN1")->setFocus();
      b.Press(Qt::Key_A, Qt::ControlModifier);
      b.Press(Qt::Key_V, Qt::ControlModifier);
      Control<QPushButton>(dialog, "btnSaveExit")->click();
      QVERIFY(dialog->isVisible());
      for (QLineEdit* e : {Control<QLineEdit>(dialog, "edtAPN1"), Control<QLineEdit>(dialog, "edtUser1"), Control<QLineEdit>(dialog, "edtPass1"), Control<QLineEdit>(dialog, "edtAPN2")})
        QCOMPARE(e->text(), QString());
      Control<QPushButton>(dialog, "btnSaveExit")->click();
    });
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    const QString warning = Text(b.prompts->shown[0].text);
    for (const char* field : {"SIM-карта №1: APN", "SIM-карта №1: Пользователь", "SIM-карта №1: Пароль"})
      QVERIFY2(warning.contains(QString::fromUtf8(field)), field);
    QVERIFY(!warning.contains(QStringLiteral("SIM-карта №2")));
    QVERIFY(!Control<QCheckBox>(b.window, "chkUseGPRScfg")->isChecked());
    QVERIFY(!b.data.DestTX_Buffer.GprsInUse());
    QVERIFY(b.data.GprsTX_Buffer.NoAccessPoint());
  }

  void aRefusalSaysTheCommandWasCancelled_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("says");
    QTest::newRow("write") << "Ctrl+Shift+W" << "Запись в прибор отменена";
  }
  // A device's APN with a space cannot be sent back as it stands (a save
  // keeps it: gsm_window_test).
  void aRefusalSaysTheCommandWasCancelled() {
    QFETCH(QString, command);
    QFETCH(QString, says);
    WindowBench b(test::GsmPanel(1, "inter net"));
    b.Read();
    b.chosen = b.dir.Path("refused.cf8");
    const std::size_t frames = b.FramesSent();
    b.Command(command);
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    const QString text = Text(b.prompts->shown[0].text);
    QVERIFY2(text.contains(says) && text.contains(QStringLiteral("Исправьте поля:\r\nSIM-карта №1: APN")),
             qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("записаны")) && !text.contains(QStringLiteral("Изменены")));
    QTest::qWait(300);
    QCOMPARE(b.FramesSent(), frames);
    QVERIFY(!QFile::exists(QString::fromStdString(*b.chosen)));
  }

  // Attempts set and the phone cleared: the row sends nowhere, so the write
  // asks first; No sends nothing.
  void aRowWithoutPhoneCountsAsOffForTheQuestion() {
    WindowBench b(test::GsmPanel(1));
    b.Read();
    b.prompts->answer = false;
    InPlaceGrid* grid = Control<InPlaceGrid>(b.window, "grdG1");
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    grid->setFocus();
    grid->setCurrentCell(0, kColText - 1);
    b.Press(Qt::Key_F2);
    b.Press(Qt::Key_A, Qt::ControlModifier);
    b.Press(Qt::Key_Backspace);
    b.Press(Qt::Key_Return);
    QCOMPARE(grid->item(0, kColTries - 1)->text(), QStringLiteral("2"));
    const std::size_t frames = b.FramesSent();
    b.Command(QStringLiteral("Ctrl+Shift+W"));
    QCOMPARE(b.prompts->asked.size(), std::size_t{1});
    QCOMPARE(Text(b.prompts->asked[0].text), QStringLiteral("Ни одно направление не включено,\r\nсохранять настройки?"));
    QCOMPARE(Text(b.prompts->asked[0].caption), QStringLiteral("Тиволан"));
    QTest::qWait(300);
    QCOMPARE(b.FramesSent(), frames);
  }

  void aDevicesValueNoControlOffersIsShownAsItIsAndAskedFor_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("at");  // in the payload; -1: the device number of block 2
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("control");
    QTest::newRow("siren time 0") << 1 << 39 << 0 << "udSndWrkTime";
    QTest::newRow("siren time 15") << 2 << 40 << 15 << "udSndWrkTime";
    QTest::newRow("network number 9") << 2 << 42 << 9 << "edtBusID";
    QTest::newRow("device number 65535") << 1 << -1 << 65535 << "medtDevNumber";
  }
  // The control shows the device's value, marked; the write names it, sends
  // nothing on No and the value as it is on Yes.
  void aDevicesValueNoControlOffersIsShownAsItIsAndAskedFor() {
    QFETCH(int, type);
    QFETCH(int, at);
    QFETCH(int, value);
    QFETCH(QString, control);
    sim::SimOptions device = test::GsmPanel(type);
    if (at < 0) {
      device.device.blocks[0][0] = device.device.blocks[0][1] = 0xFF;
    } else {
      device.device.payload[34] = control == QStringLiteral("edtBusID") ? 3 : 0;  // "RS-485" shows it; no GSM
      device.device.payload[static_cast<std::size_t>(at)] = static_cast<uint8_t>(value);
    }
    WindowBench b(device, type);
    b.Read();
    QWidget* shown = Control(b.window, qPrintable(control));
    ShowPageOf(shown);
    QVERIFY(shown->isVisible());
    const QString text = QString::number(value);
    QCOMPARE(shown->property("text").toString(), text);
    QVERIFY(shown->toolTip().contains(text) && shown->accessibleDescription() == shown->toolTip());
    QVERIFY(shown->palette().color(QPalette::Base) != QApplication::palette().color(QPalette::Base));
    QCoreApplication::processEvents();  // the page laid out as the user sees it
    QVERIFY(b.window->grab().save(test::ShotPath(QStringLiteral("marked-") + control)));
    const std::size_t frames = b.FramesSent();
    b.prompts->answer = false;
    b.Command(QStringLiteral("Ctrl+Shift+W"));
    QCOMPARE(b.prompts->asked.size(), std::size_t{1});
    const QString question = Text(b.prompts->asked[0].text);
    QVERIFY2(question.contains(shown->accessibleName() + QStringLiteral(": ") + text), qPrintable(question));
    QTest::qWait(300);
    QCOMPARE(b.FramesSent(), frames);
    b.prompts->answer = true;
    b.Command(QStringLiteral("Ctrl+Shift+W"));
    b.WaitIdle();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Конфигурация записана"));
    if (at >= 0) QCOMPARE(int(b.sim->Payload()[static_cast<std::size_t>(at)]), value);
    else QCOMPARE(b.sim->Block(2)[0] * 256 + b.sim->Block(2)[1], value);
  }

  void anUnfinishedWriteSaysWhatWentOut_data() {
    QTest::addColumn<bool>("closeWindow");
    QTest::addColumn<QString>("sent");
    QTest::newRow("block 3 unanswered") << false << "1 - настройки прибора, 2 - направления доставки, 3 - GPRS)";
    QTest::newRow("window closed") << true << "1 - настройки прибора, 2 - направления доставки";
  }
  // A GSM configuration read from one panel, saved, opened and written to
  // another that stops answering at block 3, or while the window closes.
  void anUnfinishedWriteSaysWhatWentOut() {
    QFETCH(bool, closeWindow);
    QFETCH(QString, sent);
    const test::TempDir kept("tivolan-unfinished-write");
    {
      WindowBench source(test::GsmPanel(1));
      source.Read();
      source.chosen = kept.Path("gsm.cf8");
      source.Command(QStringLiteral("Ctrl+S"));
    }
    sim::SimOptions device = test::GsmPanel(1);
    device.device.fault = closeWindow ? sim::Fault::None : sim::Fault::NoAnswer;
    device.device.faultBlock = 3;
    WindowBench b(device);
    b.chosen = kept.Path("gsm.cf8");
    b.Command(QStringLiteral("Ctrl+O"));
    QCOMPARE(b.window->StatusText(), QStringLiteral("Файл открыт"));
    QObject::connect(b.window.get(), &TForm1::statusTextChanged, b.window.get(), [&](const QString& text) {
      if (closeWindow && text == QStringLiteral("Ответ прибора получен") && b.FramesSent() == 2)
        QTimer::singleShot(0, b.window.get(), [&] { b.window->close(); });
    });
    b.Command(QStringLiteral("Ctrl+Shift+W"));
    QTRY_VERIFY_WITH_TIMEOUT(!b.prompts->shown.empty(), 8000);
    const QString text = Text(b.prompts->shown.back().text);
    QVERIFY2(text.startsWith(QStringLiteral("Запись не завершена")) && text.contains(sent), qPrintable(text));
  }

  void thePageKeysStepThroughTheShownPagesFromAnywhere_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("focus");  // empty: the tab bar
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QList<int>>("pages");  // visited, from the first shown
    const int ctrl = Qt::ControlModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const QList<int> panel{kTabPeriph, kTabTx, kTabUpdate, kTabShlf}, panelBack{kTabUpdate, kTabTx, kTabPeriph, kTabShlf};
    QTest::newRow("side panel, Ctrl+Tab") << 1 << "BtnClose" << int(Qt::Key_Tab) << ctrl << panel;
    QTest::newRow("port box, Ctrl+Shift+Tab") << 1 << "PortNameBox" << int(Qt::Key_Backtab) << ctrlShift << panelBack;
    QTest::newRow("zone type, Ctrl+PgDn") << 1 << "FShlfType1" << int(Qt::Key_PageDown) << ctrl << panel;
    QTest::newRow("device type, Ctrl+PgUp") << 1 << "bxDeviceTypeList" << int(Qt::Key_PageUp) << ctrl << panelBack;
    QTest::newRow("concentrator relay, Ctrl+Tab") << 3 << "bxCNCReleFire" << int(Qt::Key_Tab) << ctrl
                                                  << QList<int>{kTabUpdate, kTabTx, kTabCnc};
    QTest::newRow("tab bar, Ctrl+Shift+Tab") << 3 << "" << int(Qt::Key_Tab) << ctrlShift
                                             << QList<int>{kTabTx, kTabUpdate, kTabCnc};
  }
  // Each press shows the next page that is shown, wherever the focus is;
  // a focused list keeps its value.
  void thePageKeysStepThroughTheShownPagesFromAnywhere() {
    QFETCH(int, type);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QList<int>, pages);
    WindowBench b({}, type);
    QTabWidget* tabs = Control<QTabWidget>(b.window, "PageMain");
    QWidget* start = focus.isEmpty() ? tabs->tabBar() : b.Find(focus);
    start->setFocus(Qt::TabFocusReason);
    auto* list = qobject_cast<QComboBox*>(start);
    const int item = list ? list->currentIndex() : -1;
    const ImageBuffer image = b.data.ConfigBuffer;
    QList<int> visited;
    for (int i = 0; i < pages.size(); ++i) {
      b.Press(key, Qt::KeyboardModifiers(modifiers));
      visited << tabs->currentIndex();
    }
    QCOMPARE(visited, pages);
    if (list) QCOMPARE(list->currentIndex(), item);
    QVERIFY(b.data.ConfigBuffer == image);
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  InputFaultsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "input_faults_test.moc"
