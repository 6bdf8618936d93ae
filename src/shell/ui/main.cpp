// The desktop program: the data module, then the main window, then the loop.
#include <memory>

#include "link/UnitData.h"
#include "model/SharedData.h"
#include "platform/Platform.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/QtSettingsStore.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"

int main(int argc, char** argv) {
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
