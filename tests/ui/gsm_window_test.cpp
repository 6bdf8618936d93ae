// The GSM settings through the window, against simulated panels: nothing of
// one configuration reaches the next, leaving "GSM-KVT" for a moment loses
// nothing, and whatever a device held is saved.
#include <QAction>
#include <QCheckBox>
#include <QStyleFactory>
#include <QTabWidget>

#include "files/FileOps.h"
#include "shell/ui/dialogs/FormGprs.h"
#include "shell/ui/dialogs/FormSMS.h"
#include "shell/ui/kit/GridKit.h"
#include "shell/ui/TApplication.h"
#include "support/ConfigTexts.h"
#include "support/HeldBlocks.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;
using test::WindowBench;

namespace {

// A type-1 panel using GSM with these blocks 2 and 3; block 3 holds SIM 1's
// texts, each ended by 0, and an empty SIM 2.
sim::SimOptions Panel(sim::Bytes block2, std::string_view sim1) {
  sim::SimOptions o = test::GsmPanel(kTypePPKP);
  o.device.blocks[0] = std::move(block2);
  o.device.blocks[1] = {static_cast<uint8_t>(sim1.size())};
  o.device.blocks[1].insert(o.device.blocks[1].end(), sim1.begin(), sim1.end());
  o.device.blocks[1].push_back(0);
  return o;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// SIM 1's APN as the GPRS dialog shows it, the dialog opened by `open` and
// left with Escape.
QString ApnShown(WindowBench& b, const std::function<void()>& open) {
  QString apn;
  test::WithDialog(open, [&] {
    apn = Control<QLineEdit>(Control<TfrmGPRS>(b.window, "frmGPRS"), "edtAPN1")->text();
    b.Press(Qt::Key_Escape);
  });
  return apn;
}

// The table is shown and its last row ends inside its viewport.
void CheckEveryRowShows(InPlaceGrid* table) {
  QVERIFY(table->isVisible());
  const int last = table->model()->rowCount() - 1;
  QVERIFY2(table->rowViewportPosition(last) + table->rowHeight(last) <= table->viewport()->height(),
           qPrintable(table->objectName()));
}

}  // namespace

class GsmWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void nothingOfThePreviousPanelsGprsIsWritten_data() {
    QTest::addColumn<bool>("openFile");
    QTest::newRow("a panel without GPRS read") << false;
    QTest::newRow("a file without GSM opened, GSM-KVT chosen") << true;
  }
  // Panel A read with GPRS on, then panel B: ticking the option shows the
  // presets, Escape leaves it unticked, and B is written nothing of A's.
  void nothingOfThePreviousPanelsGprsIsWritten() {
    QFETCH(bool, openFile);
    WindowBench b(Panel(test::Block2(1, 0), {"apn.corp-1\0u_2\0p.3\0", 19}));
    b.Read();
    sim::SimPort panelB(Panel(test::Block2(0, 0), {}));
    panelB.Start();
    b.Retype(Control<QComboBox>(b.window, "PortNameBox"), Text(panelB.SlavePath()));
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    if (openFile) {
      SaveConfigFile(b.chosen.emplace(b.dir.Path("plain.cf8")), test::DefaultImage(kTypePPKP), kTypePPKP);
      Control<QAction>(b.window, "FileOpen")->trigger();
      Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(kTxKindGsm);
      QCOMPARE(Control<QLineEdit>(b.window, "medtDevNumber")->text(), QStringLiteral("0001"));
    } else {
      b.Read();
    }
    QCheckBox* option = Control<QCheckBox>(b.window, "chkUseGPRScfg");
    QCOMPARE(ApnShown(b, [&] { option->click(); }), Text(TOperators[0].apn));
    QVERIFY(!option->isChecked());
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    b.WaitIdle();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Конфигурация записана"));
    QCOMPARE(panelB.Block(2)[2], uint8_t{0});
    QCOMPARE(panelB.Block(3), (sim::Bytes{0, 0}));
  }

  void leavingGsmForAMomentKeepsItsSettings_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("how");
    QTest::newRow("a wheel notch up and down") << 1 << "wheel";
    QTest::newRow("arrow keys up and down") << 2 << "keys";
    QTest::newRow("the concentrator's box off and on") << 3 << "box";
  }
  // A device read and its number edited; the focused kind turned away from
  // "GSM-KVT" and back, then written.
  void leavingGsmForAMomentKeepsItsSettings() {
    QFETCH(int, type);
    QFETCH(QString, how);
    WindowBench b(test::GsmPanel(type), type);
    b.Read();
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    QLineEdit* number = Control<QLineEdit>(b.window, "medtDevNumber");
    b.Retype(number, QStringLiteral("0815"));
    QWidget* kind = b.Find(how == QStringLiteral("box") ? "chkCNC_TxGSM" : "bxRTX_Type");
    kind->setFocus(Qt::TabFocusReason);
    for (int step : {1, -1}) {
      if (how == QStringLiteral("wheel")) WindowBench::Wheel(kind, step);
      else b.Press(how == QStringLiteral("box") ? Qt::Key_Space : step > 0 ? Qt::Key_Up : Qt::Key_Down);
      QCOMPARE(number->isVisible(), step < 0);
    }
    QCOMPARE(number->text(), QStringLiteral("0815"));
    QVERIFY(Control<QCheckBox>(b.window, "chkSMS_On")->isChecked());
    QVERIFY(Control<QCheckBox>(b.window, "chkUseGPRScfg")->isChecked());
    Control<QPushButton>(b.window, "ButtonWrite")->click();
    b.WaitIdle();
    QCOMPARE(b.sim->Block(2), (sim::Bytes{0x03, 0x2F, 1, 1, 0x0D, 0x49, '+', '7', '9', '0', '3', '1', '2', '3', '4', '5',
                                          '6', '7', 0, 0, 0, 0}));
    QCOMPARE(b.sim->Block(3), (sim::Bytes{11, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0}));
  }

  // A device whose APN has a blank and a Cyrillic letter, whose destination 1
  // has a control byte, and whose destination 2 the table shows clamped
  // (attempts 7 as "5"): "Сохранить" keeps them all and names the control
  // byte; the table and the dialog show them as they are.
  void whateverADeviceHoldsIsSaved() {
    sim::Bytes block2 = test::Block2(1, 1);
    block2[8] = 0x01;
    block2[18] = 0x01;
    block2.insert(block2.begin() + 19, 0xFF);
    WindowBench b(Panel(block2, {"inter net\xE0\0u@1\0\0", 16}));
    b.Read();
    b.chosen = b.dir.Path("kept.cf8");
    Control<QAction>(b.window, "FileSave")->trigger();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Файл сохранен"));
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QVERIFY(Text(b.prompts->shown[0].text).contains(QStringLiteral("(направление 1)")));
    QVERIFY(test::BlocksOfFile(*b.chosen) == (test::HeldBlocks{b.sim->Block(2), b.sim->Block(3), b.sim->Block(4)}));
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    QCOMPARE(Control<InPlaceGrid>(b.window, "grdG1")->item(0, kColText - 1)->text(), QStringLiteral("+7␁031234567"));
    QCOMPARE(ApnShown(b, [&] { Control<QPushButton>(b.window, "btnGPRS")->click(); }), QStringLiteral("inter netа"));
  }

  // Qt's "Windows" style, the one windowsvista is built on, gives table
  // headers more room than Fusion: the GSM tables still show every row.
  void theTablesShowEveryRowInTheWindowsStyle() {
    const QString before = QApplication::style()->name();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    WindowBench b;
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(kTxKindGsm);
    QCoreApplication::processEvents();
    CheckEveryRowShows(Control<InPlaceGrid>(b.window, "grdG1"));
    test::WithDialog([&] { Control<QCheckBox>(b.window, "chkSMS_On")->click(); }, [&] {
      CheckEveryRowShows(Control<InPlaceGrid>(Control<TFrmSMS>(b.window, "FrmSMS"), "grdSMS"));
      Control<TFrmSMS>(b.window, "FrmSMS")->reject();
    });
    QApplication::setStyle(QStyleFactory::create(before));
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  GsmWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "gsm_window_test.moc"
