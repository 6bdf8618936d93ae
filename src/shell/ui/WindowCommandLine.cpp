#include "shell/ui/WindowCommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "shell/ui/UnitMain.h"
#include "shell/ui/kit/QtText.h"

namespace tivolan {
namespace {

struct Parser {
  Parser() {
    // Qt's own options are single-dash words (-platform, -style): never a run of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "The desktop programmer of Ирт panels and concentrators (Тиволан); tivolan-cli does the same from\n"
        "the command line. The device's and the program's messages are in Russian, as in the window; this\n"
        "help is in English. The standard options of Qt programs apply as well."));
    parser.addOptions({port, help, version});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A configuration file (.cf8) to open at start, as \"Открыть...\" "
                                                "opens it."),
                                 QStringLiteral("[FILE]"));
  }
  QCommandLineParser parser;
  const QCommandLineOption port{QStringLiteral("port"),
                                QStringLiteral("Use PORT for this run only; the stored port changes only when the "
                                               "port box is edited."),
                                QStringLiteral("PORT")};
  const QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays this help and exits.")};
  const QCommandLineOption version{QStringList{QStringLiteral("V"), QStringLiteral("version")},
                                   QStringLiteral("Displays the name and version and exits.")};
};

// The word that named an option ("--bogus", "-x"), without a value given to it.
QString AsTyped(const QStringList& arguments, const QString& name) {
  for (const QString& word : arguments) {
    const QString option = word.section(QLatin1Char('='), 0, 0);
    if (option == QStringLiteral("-") + name || option == QStringLiteral("--") + name) return option;
  }
  return name;
}

}  // namespace

WindowCommandLine ParseWindowCommandLine(const QStringList& arguments) {
  Parser p;
  WindowCommandLine line;
  // Usage errors in English, as the help is, whatever language Qt's own
  // texts are loaded in.
  if (!p.parser.parse(arguments)) {
    const QStringList unknown = p.parser.unknownOptionNames();
    if (!unknown.isEmpty())
      line.refusal = QStringLiteral("Unknown option '%1'.").arg(AsTyped(arguments, unknown.first()));
    else if (arguments.endsWith(QStringLiteral("--port")))
      line.refusal = QStringLiteral("Missing value after '--port'.");
    else
      line.refusal = p.parser.errorText();
  }
  line.help = p.parser.isSet(p.help);
  line.version = p.parser.isSet(p.version);
  if (p.parser.isSet(p.port)) line.port = S(p.parser.value(p.port));
  const QStringList files = p.parser.positionalArguments();
  if (files.size() > 1 && line.refusal.isEmpty())
    line.refusal = QStringLiteral("Only one file can be opened, not %1: '%2'.")
                       .arg(files.size())
                       .arg(files.join(QStringLiteral("', '")));
  if (!files.isEmpty()) line.file = S(QDir::toNativeSeparators(QFileInfo(files.first()).absoluteFilePath()));
  return line;
}

QString WindowHelpText() {
  return Parser().parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tivolan"));
}

void ApplyWindowCommandLine(TForm1& form, const WindowCommandLine& line) {
  if (line.port) form.UsePortForThisRun(*line.port);
  if (line.file) form.OpenFile(*line.file);
}

}  // namespace tivolan
