#pragma once
// The window's command line: tivolan [--port PORT] [FILE]. Qt takes its own
// options (-platform, -style, ...) out of it when the application starts.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace tivolan {

class TForm1;

struct WindowCommandLine {
  bool help = false;
  bool version = false;
  std::optional<std::string> port;  // for this run only
  std::optional<std::string> file;  // made absolute
  QString refusal;                  // why the line is refused; empty when it is not
};

// `arguments` as QCoreApplication gives them, the program's name first.
WindowCommandLine ParseWindowCommandLine(const QStringList& arguments);
QString WindowHelpText();

// Once the window is up: the port for this run, then the file opened as
// "&Открыть..." opens it.
void ApplyWindowCommandLine(TForm1& form, const WindowCommandLine& line);

}  // namespace tivolan
