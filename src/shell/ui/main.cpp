// The desktop program: the data module, then the main window, then the loop.
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <optional>

#include "link/UnitData.h"
#include "model/SharedData.h"
#include "platform/Platform.h"
#include "platform/Version.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/QtSettingsStore.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"

namespace {

// --help and --version are answered on the terminal before the application
// object exists, so that they need no display. Any other argument is left
// to Qt and the window, as before.
std::optional<int> AnswerOnTerminal(int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  // Qt's own options are single-dash words (-platform, -style): never a run of letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral(
      "The desktop programmer of Ирт panels and concentrators (Тиволан); tivolan-cli does the same from\n"
      "the command line. The device's and the program's messages are in Russian, as in the window; this\n"
      "help is in English. The standard options of Qt programs apply as well."));
  const QCommandLineOption port(QStringLiteral("port"),
                                QStringLiteral("Use PORT for this run only; the stored port changes only when the "
                                               "port box is edited."),
                                QStringLiteral("PORT"));
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays this help and exits."));
  const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")},
                                   QStringLiteral("Displays the name and version and exits."));
  parser.addOptions({port, help, version});
  parser.parse(args);  // an option it does not know may be Qt's
  QString text;
  if (parser.isSet(version))
    text = QStringLiteral("tivolan (Тиволан) ") + QString::fromStdString(tivolan::ProgramVersion()) + '\n';
  else if (parser.isSet(help))
    text = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tivolan"));
  else
    return std::nullopt;
  const QByteArray bytes = text.toUtf8();
  return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) ==
                     static_cast<std::size_t>(bytes.size()) &&
                 std::fflush(stdout) == 0
             ? 0
             : 4;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerOnTerminal(argc, argv)) return *status;
  tivolan::TApplication app(argc, argv);
  tivolan::SharedData data;
  tivolan::QtSettingsStore settings;
  tivolan::QtPollTimer configPollTimer;
  tivolan::TDataModule1 dataModule(tivolan::CreateSystemSerialDevice(), &configPollTimer);
  tivolan::TForm1 form({data, dataModule, settings, [] { return tivolan::BuildPortList(); }});
  // --port PATH: use that port for this run only (the demo's simulated panel);
  // the stored setting changes only when the user edits the box.
  const QStringList args = app.arguments();
  const qsizetype at = args.indexOf(QStringLiteral("--port"));
  if (at >= 0 && at + 1 < args.size()) form.UsePortForThisRun(args[at + 1].toStdString());
  form.show();
  return app.exec();
}
