// "Серийное программирование..." against two simulators at once: the same
// station as tivolan-cli station, driven through the dialog's widgets.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "Controls.h"
#include "link/UnitData.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/dialogs/StationDialog.h"
#include "support/RecordingPrompter.h"
#include "support/SimDevice.h"
#include "support/TempDir.h"

using namespace tivolan;
using test::Control;

namespace {

// Block-1 writes a simulator received.
int Writes(const sim::SimPort& sim) {
  int n = 0;
  for (const auto& frame : sim.ReceivedFrames()) n += frame.size() > 3 && frame[2] == 'W' && frame[3] == 1;
  return n;
}

}  // namespace

class StationWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void programsEachPanelOnceAndJournalsIt() {
    sim::SimPort first{sim::SimOptions{}}, second{sim::SimOptions{}};
    first.Start();
    second.Start();
    const std::vector<std::string> ports{first.SlavePath(), second.SlavePath()};
    SharedData data;
    QtPollTimer timer;
    TDataModule1 dataModule{CreateSystemSerialDevice(), &timer};
    MemorySettingsStore settings;
    const test::TempDir dir("tivolan-station-window");
    settings.Write("journalpath", dir.Path("j.csv"));
    TForm1 window(FormServices{data, dataModule, settings, [ports] { return ports; }});
    window.SetPrompter(std::make_unique<test::RecordingPrompter>());
    window.findChild<QAction*>(QStringLiteral("FileStation"))->trigger();
    auto* dialog = window.findChild<StationDialog*>();
    QVERIFY(dialog);
    QVERIFY(!Control<QPushButton>(&window, "ButtonWrite")->isEnabled());
    QCOMPARE(Control<QLineEdit>(dialog, "JournalPath")->text(), QString::fromStdString(dir.Path("j.csv")));
    auto* list = Control<QListWidget>(dialog, "PortList");
    QCOMPARE(list->count(), 2);
    for (int i = 0; i < 2; ++i) list->item(i)->setCheckState(Qt::Checked);
    Control<QPushButton>(dialog, "StartButton")->click();
    auto* counts = Control<QLabel>(dialog, "CountsLabel");
    QTRY_COMPARE_WITH_TIMEOUT(counts->text(), QStringLiteral("запрограммировано 2, ошибок 0"), 15000);
    // Both panels stay: a few more polls program neither again.
    QTest::qWait(2 * station::kPollPeriodMs + 500);
    auto* table = Control<QTableWidget>(dialog, "StationTable");
    for (int row = 0; row < 2; ++row)
      QVERIFY2(table->item(row, 1)->text().contains(QStringLiteral("снимите прибор")), qPrintable(table->item(row, 1)->text()));
    dialog->close();  // stops the station after the exchanges in progress
    QVERIFY(Control<QPushButton>(&window, "ButtonWrite")->isEnabled());
    QCOMPARE(Writes(first), 1);
    QCOMPARE(Writes(second), 1);
    QFile journal(QString::fromStdString(dir.Path("j.csv")));
    QVERIFY(journal.open(QIODevice::ReadOnly));
    QCOMPARE(journal.readAll().count("\r\n"), 3);  // the header and a row a panel
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  StationWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "station_window_test.moc"
