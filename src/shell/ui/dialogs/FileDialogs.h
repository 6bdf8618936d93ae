#pragma once
#include <functional>
#include <optional>
#include <string>

class QPrinter;
class QWidget;

namespace tivolan {

enum class FileDialogKind { Open, Save, Firmware, Report };
// Shows a file dialog starting in `folder`; nullopt when cancelled.
using FileChooser = std::function<std::optional<std::string>(FileDialogKind kind, const std::string& folder)>;

// The standard open and save dialogs of the configuration files.
FileChooser StandardFileChooser(QWidget* parent);

// Lets the user pick a printer and its settings; false when cancelled.
using PrinterChooser = std::function<bool(QPrinter& printer)>;
PrinterChooser StandardPrinterChooser(QWidget* parent);

}  // namespace tivolan
