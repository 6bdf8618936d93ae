#pragma once
// The window's controls by the names the program gives them, found as a
// test or a screen reader finds them: the pages are built first.
#include <QWidget>
#include <QtGlobal>
#include <memory>

#include "shell/ui/UnitMain.h"

namespace tivolan::test {

template <typename T = QWidget>
T* Control(QWidget* root, const char* name) {
  if (auto* window = qobject_cast<TForm1*>(root)) window->BuildPages();
  T* control = root->findChild<T*>(QString::fromLatin1(name));
  if (!control) qFatal("no control %s", name);
  return control;
}

template <typename T = QWidget>
T* Control(const std::unique_ptr<TForm1>& window, const char* name) {
  return Control<T>(window.get(), name);
}

}  // namespace tivolan::test
