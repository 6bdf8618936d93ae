#include "shell/ui/kit/PageKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

#include "model/ValueLists.h"
#include "shell/ui/kit/QtText.h"

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

void ShowPageOf(QWidget* widget) {
  for (QWidget* page = widget; page && page->parentWidget(); page = page->parentWidget())
    if (auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget()); tabs && tabs->indexOf(page) >= 0) {
      tabs->setCurrentWidget(page);
      return;
    }
}

void FixListWidth(QComboBox* list, int width) {
  list->setFixedWidth(width);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

QComboBox* MakeRelayList(QWidget* parent, const char* name, const QString& caption) {
  QComboBox* list = MakeList(parent, name, caption);
  for (const char* mode : RelayModeList) list->addItem(Q(mode));
  list->setMinimumWidth(170);
  return list;
}

RelayGroup MakeRelayGroup(QWidget* parent, const char* alarmName, const char* fireName) {
  RelayGroup r;
  r.group = new QGroupBox(QStringLiteral("Режим работы реле"), parent);
  r.form = new QFormLayout(r.group);
  r.alarm = MakeRelayList(r.group, alarmName, QStringLiteral("Реле \"Тревога\""));
  r.fire = MakeRelayList(r.group, fireName, QStringLiteral("Реле \"Пожар\""));
  r.form->addRow(MakeLabel(r.group, QStringLiteral("\"Тревога\""), r.alarm), r.alarm);
  r.form->addRow(MakeLabel(r.group, QStringLiteral("\"Пожар\""), r.fire), r.fire);
  return r;
}

}  // namespace tivolan
