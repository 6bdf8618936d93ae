#include "shell/ui/kit/PageKit.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>

#include "configuration/OutsideValues.h"
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

void ShowSpinValue(QSpinBox* box, int value, int min, int max) {
  const bool outside = value < min || value > max;
  box->setRange(std::min(value, min), std::max(value, max));
  box->setValue(value);
  MarkOutside(box, outside ? Q(OutsideValueNote(value, min, max)) : QString());
}

void MarkOutside(QWidget* control, const QString& note) {
  QPalette palette;  // the application's, for a control not marked
  if (!note.isEmpty()) {
    palette = control->palette();
    palette.setColor(QPalette::Base, QColor(255, 214, 214));
    palette.setColor(QPalette::Text, QColor(140, 0, 0));
  }
  control->setPalette(palette);
  control->setToolTip(note);
  control->setAccessibleDescription(note);
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
