#pragma once
// Where a widget test keeps its pictures for review, and what a picture
// must not show: build/screenshots/, and build/screenshots/xcb/ for the runs
// on an X display (with its fonts).
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace tivolan::test {

inline QString ShotPath(const QString& name) {
  QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
  if (QGuiApplication::platformName() == QStringLiteral("xcb")) dir += QStringLiteral("/xcb");
  QDir().mkpath(dir);
  return dir + QStringLiteral("/") + name + QStringLiteral(".png");
}

// A shown caption narrower than its text: the text is cut. Empty when none.
inline QString ClippedCaption(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    auto* label = qobject_cast<QLabel*>(w);
    const bool caption = qobject_cast<QAbstractButton*>(w) || (label && !label->wordWrap());
    if (caption && w->isVisibleTo(root) && w->width() < w->sizeHint().width())
      return w->objectName() + QStringLiteral(" \"") + w->property("text").toString() + QStringLiteral("\"");
  }
  return {};
}

}  // namespace tivolan::test
