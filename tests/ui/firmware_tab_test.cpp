// The "Прошивка" tab through the widgets, offscreen, against the simulated
// boot loader.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "link/UnitData.h"
#include "Controls.h"
#include "Shots.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/pages/FirmwarePageWidget.h"
#include "support/SimDevice.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"

using namespace tivolan;
using test::Control;

namespace {

struct Bench {
  explicit Bench(sim::Fault fault = sim::Fault::None) : dir("tivolan-firmware-tab") {
    sim::SimOptions o;
    o.bootloader = true;
    o.device.fault = fault;
    sim = std::make_unique<sim::SimPort>(o);
    sim->Start();
    settings.Write("comportname", sim->SlavePath());
    FormServices services{data, dataModule, settings, [] { return std::vector<std::string>{}; }};
    services.chooseFile = [this](FileDialogKind kind, const std::string&) -> std::optional<std::string> {
      asked = kind;
      return chosen;
    };
    window = std::make_unique<TForm1>(std::move(services));
    auto recorder = std::make_unique<test::RecordingPrompter>();
    prompts = recorder.get();
    window->SetPrompter(std::move(recorder));
    window->show();
    Control<QTabWidget>(window, "PageMain")->setCurrentIndex(kTabUpdate);
  }

  void Choose(const std::string& path) {
    chosen = path;
    Control<QPushButton>(window, "btnUpdFile")->click();
  }
  void WaitEnd() { QTRY_VERIFY_WITH_TIMEOUT(!window->FirmwareRunning() && Control<QPushButton>(window, "ButtonRead")->isEnabled(), 8000); }

  test::TempDir dir;
  std::unique_ptr<sim::SimPort> sim;
  SharedData data;
  QtPollTimer pollTimer;
  TDataModule1 dataModule{CreateSystemSerialDevice(), &pollTimer};
  MemorySettingsStore settings;
  std::unique_ptr<TForm1> window;
  test::RecordingPrompter* prompts = nullptr;
  std::optional<std::string> chosen;
  std::optional<FileDialogKind> asked;
};

}  // namespace

class FirmwareTabTest : public QObject {
  Q_OBJECT

 private slots:
  void thePageAsTheUserSeesIt() {
    Bench b;
    QCOMPARE(Control<QLabel>(b.window, "lblInstruction")->text(),
             QStringLiteral("Для обновления прошивки:\n   - установите джампер J1, \n   - включите питание прибора\n"));
    QVERIFY(Control<QLineEdit>(b.window, "edtUpdFileName")->isReadOnly());
    QVERIFY(Control<QProgressBar>(b.window, "pbUpdate")->isHidden());
    QVERIFY(b.window->grab().save(test::ShotPath(QStringLiteral("firmware-tab"))));
  }

  void anUpdateRunsWithTheControlsLockedAndEndsWithItsMessage() {
    Bench b;
    b.Choose(b.dir.Write("fw.enc", "0002AABB0002CCDD"));
    QCOMPARE(b.asked, std::optional<FileDialogKind>(FileDialogKind::Firmware));
    QCOMPARE(Control<QLineEdit>(b.window, "edtUpdFileName")->text(), QString::fromStdString(*b.chosen));
    // A first try on a port that is not there.
    auto* port = Control<QComboBox>(b.window, "PortNameBox");
    const QString device = port->currentText();
    port->setEditText(QStringLiteral("/dev/tivolan-no-port"));
    Control<QPushButton>(b.window, "btnUpdProgress")->click();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Ошибка порта"));
    b.prompts->shown.clear();
    port->setEditText(device);
    Control<QPushButton>(b.window, "btnUpdProgress")->click();
    QVERIFY(b.window->FirmwareRunning());
    QVERIFY(Control<QProgressBar>(b.window, "pbUpdate")->isVisible());
    QVERIFY(b.window->grab().save(test::ShotPath(QStringLiteral("firmware-transfer"))));
    for (QWidget* w : std::initializer_list<QWidget*>{Control<QPushButton>(b.window, "ButtonRead"), Control<QPushButton>(b.window, "ButtonWrite"), Control<QComboBox>(b.window, "PortNameBox"),
                                                      Control<QPushButton>(b.window, "btnUpdProgress"), Control<QPushButton>(b.window, "btnUpdFile")})
      QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    b.WaitEnd();
    QVERIFY(Control<QProgressBar>(b.window, "pbUpdate")->isHidden());
    QVERIFY(Control<QPushButton>(b.window, "btnUpdProgress")->isEnabled());
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(b.prompts->shown[0].text), QStringLiteral("Прошивка прибора обновлена"));
    QCOMPARE(b.window->StatusText(), QStringLiteral("Прошивка прибора обновлена"));
    QCOMPARE(b.sim->ReceivedBlockCount(), std::size_t{2});
    QVERIFY(!b.window->UpdatePort().IsOpen());
  }

  void withoutAFileItAsksForOne() {
    Bench b;
    Control<QPushButton>(b.window, "btnUpdProgress")->click();
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(b.prompts->shown[0].text), QStringLiteral("Выберите файл"));
    QVERIFY(!b.window->FirmwareRunning());
  }

  void aFileThatIsNoFirmwareSendsNothing() {
    Bench b;
    b.Choose(b.dir.Write("fw.enc", "0003AABBCC\r\n"));
    Control<QPushButton>(b.window, "btnUpdProgress")->click();
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(b.prompts->shown[0].text), QStringLiteral("Файл не найден"));
    QVERIFY(!b.prompts->shown[0].detail.empty());
    QVERIFY(!b.window->UpdatePort().IsOpen());
    QTest::qWait(100);
    QCOMPARE(b.sim->ReceivedBlockCount(), std::size_t{0});
  }

  void aRejectedBlockEndsWithTheChecksumMessage() {
    Bench b(sim::Fault::Reject);
    b.Choose(b.dir.Write("fw.enc", "0001AA"));
    Control<QPushButton>(b.window, "btnUpdProgress")->click();
    b.WaitEnd();
    QCOMPARE(QString::fromStdString(b.prompts->shown.at(0).text), QStringLiteral("Ошибка контрольной суммы"));
    QCOMPARE(b.window->StatusText(), QStringLiteral("Ошибка контрольной суммы"));
    QVERIFY(Control<QProgressBar>(b.window, "pbUpdate")->isHidden());
  }

  void closingTheWindowDuringATransferClosesThePort() {
    Bench b(sim::Fault::NoAnswer);
    b.Choose(b.dir.Write("fw.enc", "0001AA"));
    Control<QPushButton>(b.window, "btnUpdProgress")->click();
    QVERIFY(b.window->UpdatePort().IsOpen());
    b.window->close();
    QVERIFY(!b.window->FirmwareRunning());
    QVERIFY(!b.window->UpdatePort().IsOpen());
    QVERIFY(b.prompts->shown.empty());
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  FirmwareTabTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "firmware_tab_test.moc"
