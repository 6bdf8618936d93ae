// The GSM settings through the window: what one configuration held never
// reaches the next, leaving "GSM-KVT" for a moment loses nothing, and
// whatever a device held can be saved. Simulated panels on pseudo-terminals.
#include <QAction>
#include <QCheckBox>
#include <QTabWidget>

#include "files/FileOps.h"
#include "files/FileIO.h"
#include "shell/ui/dialogs/FormGprs.h"
#include "shell/ui/kit/GridKit.h"
#include "shell/ui/TApplication.h"
#include "support/HeldBlocks.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;
using test::WindowBench;

namespace {

// Block 3 data: SIM 1 with its three texts, SIM 2 empty.
sim::Bytes Sim1Block(const std::string& apn, const std::string& user, const std::string& password) {
  sim::Bytes b{static_cast<uint8_t>(apn.size() + user.size() + password.size() + 3)};
  for (const std::string* text : {&apn, &user, &password}) {
    b.insert(b.end(), text->begin(), text->end());
    b.push_back(0);
  }
  b.push_back(0);
  return b;
}

sim::SimOptions Panel(sim::Bytes block2, sim::Bytes block3 = {0, 0}) {
  sim::SimOptions o = test::GsmPanel(kTypePPKP);
  o.device.blocks[0] = std::move(block2);
  o.device.blocks[1] = std::move(block3);
  return o;
}

bool SentBytes(const sim::SimPort& device, const std::string& text) {
  for (const sim::Bytes& frame : device.ReceivedFrames())
    if (std::search(frame.begin(), frame.end(), text.begin(), text.end()) != frame.end()) return true;
  return false;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

class GsmWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void nothingOfThePreviousPanelsGprsIsWritten_data() {
    QTest::addColumn<bool>("openFile");
    QTest::newRow("a panel without GPRS read") << false;
    QTest::newRow("a file without GSM opened") << true;
  }
  // Panel A read with GPRS on; then panel B, GPRS off, read (or a file without
  // GSM opened and "GSM-KVT" chosen): ticking the option shows the presets,
  // Escape leaves it unticked, and the write gives B nothing of A.
  void nothingOfThePreviousPanelsGprsIsWritten() {
    QFETCH(bool, openFile);
    WindowBench b(Panel(test::Block2(1, 0), Sim1Block("apn.corp-1", "u_2", "p.3")));
    b.Read();
    sim::SimPort panelB(Panel(test::Block2(0, 0)));
    panelB.Start();
    b.Retype(Control<QComboBox>(b.window, "PortNameBox"), Text(panelB.SlavePath()));
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    if (openFile) {
      SharedData plain;
      SetDefaultImage(plain.ConfigBuffer, kTypePPKP, *b.prompts);
      SaveConfigFile(b.dir.Path("plain.cf8"), plain.ConfigBuffer, kTypePPKP);
      b.chosen = b.dir.Path("plain.cf8");
      Control<QAction>(b.window, "FileOpen")->trigger();
      Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(kTxKindGsm);
      QCOMPARE(Control<QLineEdit>(b.window, "medtDevNumber")->text(), QStringLiteral("0001"));
    } else {
      b.Read();
    }
    QCheckBox* option = Control<QCheckBox>(b.window, "chkUseGPRScfg");
    QVERIFY(!option->isChecked());
    test::WithDialog([&] { option->click(); }, [&] {
      auto* dialog = Control<TfrmGPRS>(b.window, "frmGPRS");
      QCOMPARE(Control<QLineEdit>(dialog, "edtAPN1")->text(), Text(TOperators[0].apn));
      b.Press(Qt::Key_Escape);
    });
    QVERIFY(!option->isChecked());
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    b.WaitIdle();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Конфигурация записана"));
    QVERIFY(panelB.ReceivedFrameCount() >= 2);
    QCOMPARE(panelB.Block(2)[2], uint8_t{0});
    for (const char* text : {"apn.corp-1", "u_2", "p.3"}) QVERIFY2(!SentBytes(panelB, text), text);
  }

  void leavingGsmForAMomentKeepsItsSettings_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("how");
    QTest::newRow("a wheel notch up and down") << 1 << "wheel";
    QTest::newRow("arrow keys up and down") << 2 << "keys";
    QTest::newRow("the concentrator's box off and on") << 3 << "box";
  }
  // A device read with its GSM settings, a table cell and the number edited;
  // the focused kind turned away from "GSM-KVT" and back.
  void leavingGsmForAMomentKeepsItsSettings() {
    QFETCH(int, type);
    QFETCH(QString, how);
    WindowBench b(test::GsmPanel(type), type);
    b.Read();
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    QLineEdit* number = Control<QLineEdit>(b.window, "medtDevNumber");
    b.Retype(number, QStringLiteral("0815"));
    InPlaceGrid* grid = Control<InPlaceGrid>(b.window, "grdG1");
    grid->setFocus();
    grid->setCurrentCell(0, kColText - 1);
    b.Press(Qt::Key_F2);
    b.Press(Qt::Key_A, Qt::ControlModifier);
    b.Type(QStringLiteral("+79990001122"));  // not yet built into block 2
    b.Press(Qt::Key_Return);
    QTest::qWait(50);  // the table takes the focus back once the editor closed
    QWidget* kind = b.Find(how == QStringLiteral("box") ? "chkCNC_TxGSM" : "bxRTX_Type");
    kind->setFocus(Qt::TabFocusReason);
    const DestBuffer dest = b.data.DestTX_Buffer;
    const GprsBuffer gprs = b.data.GprsTX_Buffer;
    const SmsBuffer sms = b.data.SmsTX_Buffer;
    for (int step : {1, -1}) {
      if (how == QStringLiteral("wheel")) WindowBench::Wheel(kind, step);
      else if (how == QStringLiteral("keys")) b.Press(step > 0 ? Qt::Key_Up : Qt::Key_Down);
      else b.Press(Qt::Key_Space);
      QCOMPARE(number->isVisible(), step < 0);
    }
    QCOMPARE(number->text(), QStringLiteral("0815"));
    QCOMPARE(grid->item(0, kColText - 1)->text(), QStringLiteral("+79990001122"));
    QVERIFY(Control<QCheckBox>(b.window, "chkSMS_On")->isChecked());
    QVERIFY(Control<QCheckBox>(b.window, "chkUseGPRScfg")->isChecked());
    QVERIFY(b.data.DestTX_Buffer == dest && b.data.GprsTX_Buffer == gprs && b.data.SmsTX_Buffer == sms);
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    b.WaitIdle();
    QCOMPARE(b.sim->Block(2)[1], uint8_t{0x2F});  // 815
    QCOMPARE(b.sim->Block(3), (sim::Bytes{11, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0}));
  }

  void whateverADeviceHoldsIsSaved_data() {
    QTest::addColumn<QByteArray>("block2");
    QTest::addColumn<QByteArray>("block3");
    QTest::addColumn<bool>("controlPictures");
    QTest::addColumn<QString>("shown");  // SIM 1's APN in the GPRS dialog, or destination 1 in the table
    const auto bytes = [](const sim::Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), b.size()); };
    sim::Bytes control = test::Block2(0, 1);
    control[8] = 0x01;  // "+7\x01031234567"
    control[18] = 0x01;  // and a record the table shows clamped, "5" for attempts 7
    control.insert(control.begin() + 19, 0xFF);
    QTest::newRow("GPRS on without an access point") << bytes(test::Block2(1, 1)) << QByteArray(2, 0) << false << "";
    QTest::newRow("a blank and a Cyrillic letter in the APN")
        << bytes(test::Block2(1, 1)) << bytes(Sim1Block("inter net\xE0", "u@1", "")) << false
        << "inter netа";
    QTest::newRow("a control character and a clamped record in the destinations") << bytes(control) << QByteArray(2, 0) << true
                                                                                   << "+7␁031234567";
  }
  // Read, then "Сохранить": the file opened again gives the device's blocks.
  void whateverADeviceHoldsIsSaved() {
    QFETCH(QByteArray, block2);
    QFETCH(QByteArray, block3);
    QFETCH(bool, controlPictures);
    QFETCH(QString, shown);
    WindowBench b(Panel(sim::Bytes(block2.begin(), block2.end()), sim::Bytes(block3.begin(), block3.end())));
    b.Read();
    b.chosen = b.dir.Path("kept.cf8");
    Control<QAction>(b.window, "FileSave")->trigger();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Файл сохранен"));
    QCOMPARE(b.prompts->shown.size(), std::size_t{controlPictures ? 1u : 0u});
    if (controlPictures)
      QVERIFY2(Text(b.prompts->shown[0].text).contains(QStringLiteral("(направление 1)")), b.prompts->shown[0].text.c_str());
    const test::HeldBlocks device{b.sim->Block(2), b.sim->Block(3), b.sim->Block(4)};
    QVERIFY(test::BlocksOf(b.data) == device);
    QVERIFY(test::BlocksOfFile(*b.chosen) == device);
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    if (controlPictures) {
      QCOMPARE(Control<InPlaceGrid>(b.window, "grdG1")->item(0, kColText - 1)->text(), shown);
      return;
    }
    test::WithDialog([&] { Control<QPushButton>(b.window, "btnGPRS")->click(); }, [&] {
      QCOMPARE(Control<QLineEdit>(Control<TfrmGPRS>(b.window, "frmGPRS"), "edtAPN1")->text(), shown);
      b.Press(Qt::Key_Escape);
    });
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  GsmWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "gsm_window_test.moc"
