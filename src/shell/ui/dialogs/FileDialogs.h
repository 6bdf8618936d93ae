#pragma once
#include "shell/ui/UnitMain.h"

namespace tivolan {
// The standard open and save dialogs of the configuration files.
FileChooser StandardFileChooser(QWidget* parent);
}  // namespace tivolan
