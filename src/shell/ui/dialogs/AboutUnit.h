#pragma once
#include <QString>

class QWidget;

namespace tivolan {
// Built each time, shown modally, destroyed afterwards. Nothing is shown when
// the program has no version record.
void ShowAboutBox(QWidget* parent, const QString& applicationTitle);
}  // namespace tivolan
