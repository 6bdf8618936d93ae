// The "&Файл" commands through the main window, with the dialogs answered
// by the test.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "files/FileIO.h"
#include "link/UnitData.h"
#include "platform/Platform.h"
#include "Controls.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;
namespace fs = std::filesystem;

namespace {

struct Bench : test::TempDir {
  Bench() : TempDir("tivolan-ui-files") {
    window = std::make_unique<TForm1>(FormServices{
        data, dataModule, settings, [] { return std::vector<std::string>{}; },
        [this](FileDialogKind kind, const std::string& folder) -> std::optional<std::string> {
          asked.push_back({kind, folder});
          if (answers.empty()) return std::nullopt;
          auto a = answers.front();
          answers.erase(answers.begin());
          return a;
        }});
    auto p = std::make_unique<test::RecordingPrompter>();
    prompts = p.get();
    window->SetPrompter(std::move(p));
  }
  SharedData data;
  TDataModule1 dataModule{CreateSystemSerialDevice(), nullptr};
  MemorySettingsStore settings;
  std::unique_ptr<TForm1> window;
  test::RecordingPrompter* prompts = nullptr;
  std::vector<std::optional<std::string>> answers;
  std::vector<std::pair<FileDialogKind, std::string>> asked;
};

const char* kConcentratorFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config version=\"1\" firmName=\"Stelmark\" FileID=\"8\">\n"
    "  <device ID=\"3\" name=\"x\">\n    <expanders mask=\"129\"/>\n    <rele AlarmFire=\"35\"/>\n  </device>\n"
    "</config>\n";

}  // namespace

class FileWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void saveAsAddsTheSuffixAndRemembersTheFolder() {
    Bench b;
    b.answers = {b.Path("panel.txt")};
    b.window->FileSaveAsClick();
    QVERIFY(fs::exists(b.Path("panel.txt.cf8")));
    QCOMPARE(b.window->windowTitle(), QString::fromStdString("Тиволан : " + ShortPathName(b.Path("panel.txt.cf8"))));
    QCOMPARE(b.window->StatusText(), QStringLiteral("Файл сохранен"));
    QCOMPARE(b.settings.Values().at("filepath"), (b.dir / "").string());
    QCOMPARE(b.asked.size(), std::size_t{1});
    QCOMPARE(int(b.asked[0].first), int(FileDialogKind::Save));
  }

  void saveWithoutANameAsksForOneAndThenSavesWithoutAsking() {
    Bench b;
    b.answers = {b.Path("a.cf8")};
    b.window->FileSaveClick();
    QCOMPARE(b.asked.size(), std::size_t{1});
    b.settings.Write("filepath", "/elsewhere/");
    b.window->FileSaveClick();
    QCOMPARE(b.asked.size(), std::size_t{1});
    QCOMPARE(b.settings.Values().at("filepath"), std::string("/elsewhere/"));  // a plain save keeps it
  }

  void saveAsksForANameOnceTheConfigurationIsAnotherOne_data() {
    QTest::addColumn<QStringList>("steps");  // after opening a concentrator file
    QTest::addColumn<bool>("asks");
    QTest::newRow("an edit") << QStringList{"edit"} << false;
    QTest::newRow("a read of a type 2 panel") << QStringList{"read"} << true;
    QTest::newRow("a read, then a device type picked") << QStringList{"read", "type"} << true;
  }
  // Ctrl+S writes over the file only while the window holds its
  // configuration; the status bar says what the window holds now.
  void saveAsksForANameOnceTheConfigurationIsAnotherOne() {
    QFETCH(QStringList, steps);
    QFETCH(bool, asks);
    sim::SimOptions panel;
    panel.device.type = kTypePPKN;
    const auto defaults = DefaultPayload(kTypePPKN);
    panel.device.payload.assign(defaults.begin(), defaults.end());
    test::WindowBench b(panel, kTypeCNC1);
    const std::string file = b.dir.Write("кс.cf8", kConcentratorFile);
    b.chosen = file;
    b.Command(QStringLiteral("Ctrl+O"));
    for (const QString& step : steps) {
      if (step == QStringLiteral("edit")) Control<QCheckBox>(b.window, "chkExp0")->click();
      if (step == QStringLiteral("read")) b.Read();
      if (step == QStringLiteral("type")) {
        Control<QComboBox>(b.window, "bxDeviceTypeList")->setCurrentIndex(0);
        QCOMPARE(b.window->StatusText(), QStringLiteral("Загружены настройки по умолчанию"));
      }
    }
    b.asked.clear();
    b.chosen = b.dir.Path("другой.cf8");
    b.Command(QStringLiteral("Ctrl+S"));
    QCOMPARE(b.asked.size(), std::size_t{asks ? 1u : 0u});
    QCOMPARE(ReadWholeFile(file, 1 << 20) == kConcentratorFile, asks);
    QCOMPARE(fs::exists(PathFromUtf8(*b.chosen)), asks);
  }

  void aFieldBeingEditedIsSavedToo() {
    Bench b;
    Control<QLineEdit>(b.window, "edtDelayIn1")->setText(QStringLiteral("45"));
    b.answers = {b.Path("edit.cf8")};
    b.window->FileSaveAsClick();
    const std::string text = ReadWholeFile(b.Path("edit.cf8"), 1 << 20);
    QVERIFY(text.find("TimeIn=\"45\"") != std::string::npos);
    QCOMPARE(b.data.ConfigBuffer[7], uint8_t{45});
  }

  void openingAConcentratorFileWhilePanelIsSelected() {
    Bench b;
    b.Write("c.cf8", kConcentratorFile);
    b.answers = {b.Path("c.cf8")};
    b.window->FileOpenClick();
    QCOMPARE(Control<QComboBox>(b.window, "bxDeviceTypeList")->currentIndex(), 2);
    QCOMPARE(b.data.DeviceType, uint8_t{3});
    QCOMPARE(b.data.ConfigBuffer[8], uint8_t{129});
    QCOMPARE(b.data.ConfigBuffer[5], uint8_t{35});
    QCOMPARE(b.settings.Values().at("devicetype"), std::string("0"));
    QCOMPARE(Control<QTabWidget>(b.window, "PageMain")->currentIndex(), int(kTabCnc));
    QCOMPARE(b.window->StatusText(), QStringLiteral("Файл открыт"));
    QCOMPARE(b.window->CurrentFileName(), b.Path("c.cf8"));
    QCOMPARE(b.settings.Values().at("filepath"), (b.dir / "").string());
    QCOMPARE(int(b.asked[0].first), int(FileDialogKind::Open));
  }

  void aDamagedFileChangesNothing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("truncated") << QByteArray(kConcentratorFile).left(90);
    QTest::newRow("mismatched tags") << QByteArray("<config FileID=\"8\"><device ID=\"1\"></config>");
    QTest::newRow("unterminated attribute") << QByteArray("<config FileID=\"8><device ID=\"1\"/></config>");
    QTest::newRow("binary") << QByteArray("\x7F\x45\x4C\x46\x02\x01\x00\x00\xFF\xFE", 10);
    QTest::newRow("not a configuration") << QByteArray("<config FileID=\"9\"><device ID=\"1\"/></config>");
    QTest::newRow("empty") << QByteArray();
  }
  void aDamagedFileChangesNothing() {
    QFETCH(QByteArray, content);
    Bench b;
    b.Write("bad.cf8", content.toStdString());
    const ImageBuffer before = b.data.ConfigBuffer;
    const QString title = b.window->windowTitle();
    b.answers = {b.Path("bad.cf8")};
    b.window->FileOpenClick();
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QCOMPARE(b.prompts->shown[0].caption, std::string("Ошибка чтения файла"));
    QCOMPARE(b.prompts->shown[0].text, std::string("Файл поврежден или не найден"));
    QVERIFY(b.data.ConfigBuffer == before);
    QCOMPARE(b.window->windowTitle(), title);
    QVERIFY(b.window->StatusText().isEmpty());
    QVERIFY(b.window->CurrentFileName().empty());
    QCOMPARE(b.settings.Values().count("filepath"), std::size_t{1});  // only the dialog's first read
  }

  void aSaveThatFailsShowsTheErrorAndKeepsTheCaption() {
    Bench b;
    fs::create_directory(b.dir / "taken.cf8");
    const QString title = b.window->windowTitle();
    b.answers = {b.Path("taken.cf8")};
    b.window->FileSaveAsClick();
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QVERIFY(b.prompts->shown[0].text.rfind("Cannot create file \"" + b.Path("taken.cf8") + "\"", 0) == 0);
    QCOMPARE(b.window->windowTitle(), title);
    QVERIFY(b.window->StatusText().isEmpty());
    QCOMPARE(b.window->CurrentFileName(), b.Path("taken.cf8"));
  }

  void cancelledDialogsDoNothing() {
    Bench b;
    const ImageBuffer before = b.data.ConfigBuffer;
    b.window->FileOpenClick();
    b.window->FileSaveAsClick();
    QVERIFY(b.data.ConfigBuffer == before);
    QVERIFY(b.prompts->shown.empty());
    QCOMPARE(b.asked.size(), std::size_t{2});
    QCOMPARE(b.asked[0].second, b.settings.Values().at("filepath"));
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  FileWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "file_window_test.moc"
