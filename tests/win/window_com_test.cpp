// The window on Windows end to end, as an installer uses it: a simulated
// panel on COM5 (tivolan-sim behind the COM bridge), read, one zone edited,
// saved under a Cyrillic name, written. The simulator received exactly the
// read and the write of that configuration, the caption shows the file's
// short path, and the three settings are REG_SZ values under
// HKCU\Software\Stelmark\Zentavo, as reg.exe shows them.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "files/FileIO.h"
#include "files/FileOps.h"
#include "link/UnitData.h"
#include "model/DefaultImages.h"
#include "model/HexText.h"
#include "platform/Platform.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/QtSettingsStore.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "sim/PanelSimulator.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"
#include "ui/Controls.h"
#include "win/ComBridge.h"
#include "win/Processes.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

using namespace tivolan;
using test::Control;
namespace fs = std::filesystem;

namespace {

const wchar_t* kSettingsKey = L"Software\\Stelmark\\Zentavo";

// A REG_SZ value of the settings key; empty when it is missing or of
// another type.
std::string RegistryText(const wchar_t* name) {
  wchar_t value[1024];
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
    return {};
  return test::Utf8Of(value);
}

}  // namespace

class WindowOverCom : public QObject {
  Q_OBJECT

 private slots:
  void readEditSaveAndWriteThroughCom5() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);  // the program's first start
    test::ComBridge device("SIM COM5 --type 1");
    QCOMPARE(device.Port(), std::string("COM5"));
    test::TempDir dir("tivolan-window-com");
    const fs::path folder = dir.dir / PathFromUtf8("Объект №5 — склад");
    fs::create_directories(folder);
    const std::string file = Utf8FromPath(folder / PathFromUtf8("прибор первый.cf8"));

    SharedData data;
    QtPollTimer pollTimer;
    TDataModule1 dataModule{CreateSystemSerialDevice(), &pollTimer};
    QtSettingsStore settings;
    TForm1 window({data, dataModule, settings, [] { return BuildPortList(); },
                   [&](FileDialogKind, const std::string&) { return std::optional<std::string>(file); }});
    auto recorder = std::make_unique<test::RecordingPrompter>();
    const test::RecordingPrompter& prompts = *recorder;
    window.SetPrompter(std::move(recorder));
    window.show();
    auto idle = [&] {
      QTRY_VERIFY_WITH_TIMEOUT(Control<QPushButton>(&window, "ButtonRead")->isEnabled() && !window.WorkerRunning(),
                               15000);
    };

    QLineEdit* port = Control<QComboBox>(&window, "PortNameBox")->lineEdit();
    port->selectAll();
    QTest::keyClicks(port, QStringLiteral("COM5"));
    Control<QPushButton>(&window, "ButtonRead")->click();
    idle();
    QCOMPARE(window.StatusText(), QStringLiteral("Конфигурация прочитана, версия прибора - 3"));

    QComboBox* zone1 = Control<QComboBox>(&window, "FShlfType1");
    zone1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(zone1, Qt::Key_Up);

    Control<QAction>(&window, "FileSaveAs")->trigger();
    QCOMPARE(window.StatusText(), QStringLiteral("Файл сохранен"));
    // What the file holds is what the device is to get: the panel's
    // configuration with zone 1's record (its type and event) changed.
    const ImageBuffer saved = LoadConfigFile(file, ImageBuffer{}).buffer;
    const auto& read = DefaultPayload(1);
    const std::vector<uint8_t> payload(saved.begin() + 4, saved.begin() + 4 + static_cast<long>(read.size()));
    QVERIFY(payload[0] != read[0]);
    QVERIFY(std::equal(payload.begin() + 4, payload.end(), read.begin() + 4));
    const std::string shortPath = ShortPathName(file);
    QVERIFY2(shortPath != file && shortPath.find('~') != std::string::npos, shortPath.c_str());
    QCOMPARE(window.windowTitle(), QString::fromStdString("Тиволан : " + shortPath));

    Control<QPushButton>(&window, "ButtonWrite")->click();
    idle();
    QCOMPARE(window.StatusText(), QStringLiteral("Конфигурация записана"));
    QVERIFY2(prompts.shown.empty(), prompts.shown.empty() ? "" : prompts.shown[0].text.c_str());

    const auto log = test::BytesOfHex(device.Call("LOG"));
    QCOMPARE(QString::fromStdString(std::string(log.begin(), log.end())),
             QString::fromStdString("7E 0A 52 01 00 00 00 00 00 E3\n" +
                                    HexOf(sim::MakeFrame(kCmdWrite, 1, payload), " ") + "\n"));

    QCOMPARE(RegistryText(L"comportname"), std::string("COM5"));
    QCOMPARE(RegistryText(L"devicetype"), std::string("0"));
    QCOMPARE(RegistryText(L"filepath"), Utf8FromPath(folder) + "\\");
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const test::WinRunResult reg = test::RunWindowsProgram(test::Utf8Of(system) + "\\reg.exe",
                                                           {"query", "HKCU\\Software\\Stelmark\\Zentavo"});
    QCOMPARE(reg.status, 0);
    for (const char* name : {"comportname    REG_SZ    COM5", "devicetype    REG_SZ    0", "filepath    REG_SZ    "})
      QVERIFY2(reg.out.find(name) != std::string::npos, reg.out.c_str());
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  WindowOverCom test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_com_test.moc"
