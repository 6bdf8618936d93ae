// The desktop program: the data module, then the main window, then the loop.
#include <QStringList>

#include "link/UnitData.h"
#include "model/SharedData.h"
#include "platform/Platform.h"
#include "platform/Version.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/QtSettingsStore.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/WindowCommandLine.h"
#include "shell/ui/kit/QtText.h"

int main(int argc, char** argv) {
  using namespace tivolan;
  // --help and --version need no display: they are answered before the
  // application object exists. Qt's own options are still among the words
  // then, so nothing is refused yet.
  QStringList words;
  for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  const WindowCommandLine early = ParseWindowCommandLine(words);
  if (early.version) return WriteForCommandLine("tivolan (Тиволан) " + ProgramVersion() + "\n", false) ? 0 : 4;
  if (early.help) return WriteForCommandLine(S(WindowHelpText()), false) ? 0 : 4;

  TApplication app(argc, argv);
  const WindowCommandLine line = ParseWindowCommandLine(app.arguments());
  if (!line.refusal.isEmpty()) {
    WriteForCommandLine("tivolan: " + S(line.refusal) + "\nTry 'tivolan --help'.\n", true);
    return 2;
  }
  MarkProgramRunning();  // the installer does not replace a running program
  SharedData data;
  QtSettingsStore settings;
  QtPollTimer configPollTimer;
  TDataModule1 dataModule(CreateSystemSerialDevice(), &configPollTimer);
  TForm1 form({data, dataModule, settings, [] { return BuildPortList(); }});
  form.show();
  // The port for this run (the stored one changes only when the box is
  // edited), then the file as "&Открыть..." opens it, over the window.
  ApplyWindowCommandLine(form, line);
  return app.exec();
}
