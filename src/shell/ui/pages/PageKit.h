#pragma once
// Small helpers shared by the pages.
#include <QIcon>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
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

}  // namespace tivolan
