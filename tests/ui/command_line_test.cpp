// The window's command line: tivolan [--port PORT] [FILE], read as the
// program reads it after Qt took its own options, and applied to the window
// as the program applies it at start.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include "configuration/FileCommands.h"
#include "platform/Platform.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/WindowCommandLine.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;

namespace {

QString Absolute(const QString& file) { return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()); }

}  // namespace

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void wordsGiveAPortAFileOrARefusal_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("nothing") << QStringList{} << QString() << QString() << QString();
    QTest::newRow("port and file") << QStringList{"--port", "COM5", "a.cf8"} << "COM5" << Absolute("a.cf8") << QString();
    QTest::newRow("port=") << QStringList{"--port=/dev/ttyUSB1"} << "/dev/ttyUSB1" << QString() << QString();
    QTest::newRow("-- ends options") << QStringList{"--", "--port"} << QString() << Absolute("--port") << QString();
    QTest::newRow("unknown") << QStringList{"--bogus", "a.cf8"} << QString() << Absolute("a.cf8")
                             << "Unknown option '--bogus'.";
    QTest::newRow("unknown short") << QStringList{"-x"} << QString() << QString() << "Unknown option '-x'.";
    QTest::newRow("no port") << QStringList{"--port"} << QString() << QString() << "Missing value after '--port'.";
    QTest::newRow("two files") << QStringList{"a.cf8", "b.cf8"} << QString() << Absolute("a.cf8")
                               << "Only one file can be opened, not 2: 'a.cf8', 'b.cf8'.";
  }
  void wordsGiveAPortAFileOrARefusal() {
    QFETCH(QStringList, words);
    QFETCH(QString, port);
    QFETCH(QString, file);
    QFETCH(QString, refusal);
    const WindowCommandLine line = ParseWindowCommandLine(QStringList{"tivolan"} + words);
    QCOMPARE(line.port ? QString::fromStdString(*line.port) : QString(), port);
    QCOMPARE(line.file ? QString::fromStdString(*line.file) : QString(), file);
    QCOMPARE(line.refusal, refusal);
  }

  // A file named at start is opened as "&Открыть..." opens it: its type is
  // shown without storing it, the caption, the status and the folder follow;
  // a damaged one gets the same box and changes nothing.
  void aFileAtStartOpensAsTheOpenCommand_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("opens");
    QTest::newRow("concentrator") << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                     "<config version=\"1\" firmName=\"Stelmark\" FileID=\"8\">\n"
                                     "  <device ID=\"3\" name=\"x\">\n    <rele AlarmFire=\"35\"/>\n  </device>\n"
                                     "</config>\n"
                                  << true;
    QTest::newRow("damaged") << "<config" << false;
  }
  void aFileAtStartOpensAsTheOpenCommand() {
    QFETCH(QString, text);
    QFETCH(bool, opens);
    test::WindowBench b;
    const QString file = QString::fromStdString(b.dir.Write("объект №5.cf8", text.toStdString()));
    const std::string storedPort = b.settings.Values().at("comportname");

    ApplyWindowCommandLine(*b.window, ParseWindowCommandLine({"tivolan", "--port=COM7", file}));
    QCOMPARE(Control<QComboBox>(b.window, "PortNameBox")->currentText(), QStringLiteral("COM7"));
    QCOMPARE(b.settings.Values().at("comportname"), storedPort);  // for this run only
    QCOMPARE(b.settings.Values().at("devicetype"), std::string("0"));
    if (!opens) {
      QCOMPARE(b.prompts->shown.size(), std::size_t{1});
      QCOMPARE(QString::fromStdString(b.prompts->shown[0].caption), QStringLiteral("Ошибка чтения файла"));
      QCOMPARE(QString::fromStdString(b.prompts->shown[0].text), QStringLiteral("Файл поврежден или не найден"));
      QCOMPARE(b.window->windowTitle(), QStringLiteral("Тиволан"));
      QVERIFY(b.window->CurrentFileName().empty());
      return;
    }
    QVERIFY(b.prompts->shown.empty());
    QCOMPARE(Control<QComboBox>(b.window, "bxDeviceTypeList")->currentIndex(), 2);
    QCOMPARE(b.data.ConfigBuffer[5], uint8_t{35});
    QCOMPARE(b.window->CurrentFileName(), file.toStdString());
    QCOMPARE(b.window->windowTitle(), QString::fromStdString("Тиволан : " + ShortPathName(file.toStdString())));
    QCOMPARE(b.window->StatusText(), QStringLiteral("Файл открыт"));
    QCOMPARE(b.settings.Values().at("filepath"), FolderOf(file.toStdString()));
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  CommandLineTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "command_line_test.moc"
