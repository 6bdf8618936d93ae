#pragma once
// Small helpers shared by the pages.
#include <QIcon>
#include <QString>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QSpinBox;
class QWidget;

namespace tivolan {

// The icon of a zone type (0..7) and of a page tab.
QIcon ZoneTypeIcon(int type);
QIcon TabIcon(int tab);

// A combo box named `name`, read aloud as `caption`.
QComboBox* MakeList(QWidget* parent, const char* name, const QString& caption);
QCheckBox* MakeBox(QWidget* parent, const char* name, const QString& caption);
// A label whose text names the control beside it.
QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy);

// Makes the page holding `widget` the current page of its tab widget, so
// that a control that asks for the user's attention can be seen.
void ShowPageOf(QWidget* widget);

// A list of a fixed width: its size no longer depends on its items, so that
// Qt does not measure every item's text to lay it out (the zone page's event
// lists hold over a hundred texts each).
void FixListWidth(QComboBox* list, int width);

// A spin box that shows `value` as it is: within min..max as usual, or, for
// a device's value beyond them, with its range widened to it and marked as
// MarkOutside marks. A step of the user's brings it back within.
void ShowSpinValue(QSpinBox* box, int value, int min, int max);

// Marks a control whose value is a device's that the control does not
// offer: tinted, with the note (OutsideValueNote) as its tooltip and its
// accessible description. An empty note takes the mark away.
void MarkOutside(QWidget* control, const QString& note);

// A list of the relay modes.
QComboBox* MakeRelayList(QWidget* parent, const char* name, const QString& caption);

// The group "Режим работы реле" with its "Тревога" and "Пожар" lists; a page
// may add rows to its form.
struct RelayGroup {
  QGroupBox* group = nullptr;
  QFormLayout* form = nullptr;
  QComboBox* alarm = nullptr;
  QComboBox* fire = nullptr;
};
RelayGroup MakeRelayGroup(QWidget* parent, const char* alarmName, const char* fireName);

}  // namespace tivolan
