#include "shell/ui/TApplication.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "shell/ui/QtPrompter.h"

// The icons live in the static widget library, whose resources must be
// registered by hand.
static void InitResources() { Q_INIT_RESOURCE(tivolan); }

namespace tivolan {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  InitResources();
  auto* translator = new QTranslator(this);
  if (translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(translator);
  // The icon of the desktop entry, at the sizes window managers ask for;
  // the desktop file name lets Wayland match the window to its entry.
  QIcon icon;
  for (int size : {16, 32, 48, 256}) icon.addFile(QStringLiteral(":/icons/tivolan-%1.png").arg(size));
  setWindowIcon(icon);
  setDesktopFileName(QStringLiteral("tivolan"));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowDefaultError(activeWindow(), e.what());
  } catch (...) {
    ShowDefaultError(activeWindow(), "Неизвестная ошибка");
  }
  return false;
}

}  // namespace tivolan
