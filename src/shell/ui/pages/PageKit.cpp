#include "shell/ui/pages/PageKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace tivolan {

QIcon ZoneTypeIcon(int type) { return QIcon(QStringLiteral(":/icons/zone%1.xpm").arg(type)); }

QIcon TabIcon(int tab) {
  static const char* kNames[] = {"tab-zones", "tab-periphery", "tab-transmission", "tab-concentrator",
                                 "tab-firmware"};
  if (tab < 0 || tab > 4) return {};
  return QIcon(QStringLiteral(":/icons/%1.xpm").arg(QString::fromLatin1(kNames[tab])));
}

QComboBox* MakeList(QWidget* parent, const char* name, const QString& caption) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setAccessibleName(caption);
  return list;
}

QCheckBox* MakeBox(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setAccessibleName(caption);
  return box;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace tivolan
