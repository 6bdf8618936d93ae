// Pictures of the window as Windows draws it, for a person to look at:
// scripts/test-windows runs this under Wine with the windows platform on a
// virtual display with a window manager, from a copy of the window's
// shipped folder (so that it also shows what that folder gives the program:
// the style plugin, Qt's Russian texts). Every page of every device type and
// the about box, with the window's frame, as windows-*.png in FOLDER.
//   window_shots FOLDER
// Exit 1 when Qt's Russian texts are not found or a picture is not saved.
#include <QApplication>
#include <QGuiApplication>
#include <QComboBox>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "link/UnitData.h"
#include "platform/Platform.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"

using namespace tivolan;

namespace {

// The window with its frame as it is on the screen, once the window manager
// and the program have finished drawing.
bool Shoot(QWidget* window, const QString& file) {
  for (int i = 0; i < 10; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(60);
  }
  const QRect frame = window->frameGeometry();
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(),
                                                                       frame.height());
  const bool saved = !shot.isNull() && shot.save(file);
  std::printf("%s %s\n", saved ? "saved" : "NOT SAVED", qPrintable(QDir::toNativeSeparators(file)));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const QString folder = app.arguments().value(1);
  if (folder.isEmpty() || !QDir().mkpath(folder)) return std::fputs("usage: window_shots FOLDER\n", stderr), 2;
  // The translation in translations/ beside the program, found as the
  // shipped program finds it.
  if (QCoreApplication::translate("QPlatformTheme", "Cancel") != QStringLiteral("Отмена")) {
    std::fputs("window_shots: Qt's Russian texts (translations/qtbase_ru.qm) were not loaded\n", stderr);
    return 1;
  }
  SharedData data;
  TDataModule1 dataModule{CreateSystemSerialDevice(), nullptr};
  MemorySettingsStore settings;
  settings.Write(kSettingPort, "COM3");
  TForm1 window({data, dataModule, settings, [] { return std::vector<std::string>{"COM1", "COM3"}; }});
  window.show();
  window.activateWindow();
  bool ok = true;
  auto* types = window.findChild<QComboBox*>(QStringLiteral("bxDeviceTypeList"));
  auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("PageMain"));
  for (int type = 1; type <= 3; ++type) {
    types->setCurrentIndex(type - 1);
    for (int tab = 0; tab < tabs->count(); ++tab) {
      if (!tabs->isTabVisible(tab)) continue;
      tabs->setCurrentIndex(tab);
      ok &= Shoot(&window, QStringLiteral("%1/windows-type%2-tab%3.png").arg(folder).arg(type).arg(tab));
    }
  }
  // The transmission page of a panel with GSM chosen: the destinations.
  types->setCurrentIndex(0);
  tabs->setCurrentIndex(kTabTx);
  auto* kind = window.findChild<QComboBox*>(QStringLiteral("bxRTX_Type"));
  kind->setCurrentIndex(2);
  emit kind->activated(2);
  ok &= Shoot(&window, folder + QStringLiteral("/windows-type1-gsm.png"));
  // The about box, taken once it is up, then closed.
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    ok &= about && Shoot(about, folder + QStringLiteral("/windows-about.png"));
    if (about) about->close();
  });
  window.MenuHelpAboutClick();
  return ok ? 0 : 1;
}
