// "Сравнить с прибором...": the dialog "Что изменится при записи" and its
// write, through the keys and buttons, against the simulator.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "shell/ui/dialogs/ChangesDialog.h"
#include "Shots.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;

namespace {

// The block-1 write frames the panel received.
int WritesReceived(const sim::SimPort& sim) {
  int n = 0;
  for (const auto& f : sim.ReceivedFrames()) n += f.size() > 3 && f[2] == 0x57 && f[3] == 1;
  return n;
}

QStringList Lines(QTreeWidget* tree) {
  QStringList lines;
  for (int p = 0; p < tree->topLevelItemCount(); ++p) {
    lines << tree->topLevelItem(p)->text(0);
    for (int c = 0; c < tree->topLevelItem(p)->childCount(); ++c) lines << tree->topLevelItem(p)->child(c)->text(0).trimmed();
  }
  return lines;
}

}  // namespace

class CompareWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void compareAndWrite_data() {
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("changeAfter");     // the panel's image changes after this many reads; 0: never
    QTest::addColumn<QString>("editBefore");  // entry delay of zone 1 typed before comparing; "": none
    QTest::addColumn<bool>("editWhileOpen");  // the window edited while the dialog is open
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("line");        // one line of the list; "": the list is empty
    QTest::addColumn<QString>("message");     // after "Записать эти изменения"; "": the button is off
    QTest::addColumn<int>("writes");
    QTest::newRow("changes written") << 1 << 0 << "45" << false << "Изменений: 1 (прибор → окно)"
                                     << "Шлейф 1: задержка на вход, с «30» → «45»" << "Изменения записаны в прибор" << 1;
    QTest::newRow("device changed meanwhile") << 1 << 1 << "45" << false << "Изменений: 1 (прибор → окно)"
                                              << "Шлейф 1: задержка на вход, с «30» → «45»" << kDeviceChanged << 0;
    QTest::newRow("window edited meanwhile") << 1 << 0 << "45" << true << "Изменений: 1 (прибор → окно)"
                                             << "Шлейф 1: задержка на вход, с «30» → «45»" << kDeviceChanged << 0;
    QTest::newRow("nothing to change") << 1 << 0 << "" << false << kDeviceHoldsIt << "" << "" << 0;
    QTest::newRow("another device") << 3 << 0 << "45" << false << "На порту прибор Ирт-ОП-КС, в окне — Ирт-ОП8А" << ""
                                    << "" << 0;
  }

  void compareAndWrite() {
    QFETCH(int, deviceType);
    QFETCH(int, changeAfter);
    QFETCH(QString, editBefore);
    QFETCH(bool, editWhileOpen);
    QFETCH(QString, heading);
    QFETCH(QString, line);
    QFETCH(QString, message);
    QFETCH(int, writes);
    sim::SimOptions device;
    device.device.type = deviceType;
    device.device.changeAfterReads = changeAfter;
    test::WindowBench b(device);
    if (!editBefore.isEmpty()) {
      b.Retype(Control<QLineEdit>(b.window, "edtDelayIn1"), editBefore);
      b.Press(Qt::Key_Tab);
    }
    const SharedData before = b.data;
    const ConfigurationOrigin origin = b.window->Form().origin;

    b.Command(QString::fromLatin1(kCompareKeys));
    QTRY_VERIFY_WITH_TIMEOUT(b.window->Changes() && b.window->Changes()->isVisible(), 8000);
    b.WaitIdle();
    ChangesDialog* dialog = b.window->Changes();
    QCOMPARE(Control<QLabel>(dialog, "lblHeading")->text(), heading);
    const QStringList lines = Lines(Control<QTreeWidget>(dialog, "ChangesList"));
    if (line.isEmpty())
      QVERIFY2(lines.isEmpty(), qPrintable(lines.join('\n')));
    else
      QVERIFY2(lines.contains(line) && lines.first() == QStringLiteral("Шлейфы"), qPrintable(lines.join('\n')));
    // A comparison changes nothing of the window.
    QCOMPARE(b.data.ConfigBuffer, before.ConfigBuffer);
    QCOMPARE(b.data.DeviceType, before.DeviceType);
    QVERIFY(b.window->Form().origin == origin);
    QVERIFY(b.window->StatusText().startsWith(QStringLiteral("Сравнение с прибором: ") + heading));

    QVERIFY2(test::ClippedCaption(dialog).isEmpty(), qPrintable(test::ClippedCaption(dialog)));
    const QString shot = QStringLiteral("changes-") + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    dialog->grab().save(test::ShotPath(shot));
    auto* write = Control<QPushButton>(dialog, "btnWriteChanges");
    QCOMPARE(write->isEnabled(), !message.isEmpty());
    if (!message.isEmpty()) {
      if (editWhileOpen) {
        QApplication::setActiveWindow(b.window.get());  // as a click on the window makes it
        b.Retype(Control<QLineEdit>(b.window, "edtDelayOut1"), QStringLiteral("50"));
        b.Press(Qt::Key_Tab);
      }
      const std::vector<uint8_t> compared(b.data.ConfigBuffer.begin() + 4, b.data.ConfigBuffer.begin() + 45);
      write->click();
      b.WaitIdle();
      QTRY_COMPARE(Control<QLabel>(dialog, "lblMessage")->text(), message);
      QCOMPARE(b.window->StatusText(), message);
      QVERIFY(!write->isEnabled());
      dialog->grab().save(test::ShotPath(shot + QStringLiteral("-written")));
      if (writes) QCOMPARE(b.sim->Payload(), compared);
    }
    QCOMPARE(WritesReceived(*b.sim), writes);
    QCOMPARE(b.window->CurrentFileName(), std::string());
  }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
