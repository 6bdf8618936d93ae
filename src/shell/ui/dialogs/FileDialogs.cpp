#include "shell/ui/dialogs/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "shell/ui/kit/QtText.h"

namespace tivolan {

FileChooser StandardFileChooser(QWidget* parent) {
  return [parent](FileDialogKind kind, const std::string& folder) -> std::optional<std::string> {
    QFileDialog dialog(parent);
    const bool firmware = kind == FileDialogKind::Firmware;
    const bool open = kind == FileDialogKind::Open || firmware;
    if (firmware) {
      dialog.setWindowTitle(QStringLiteral("Выбрать файл прошивки"));
      dialog.setNameFilter(QStringLiteral("Файлы прошивок (*.enc)"));
    } else if (kind == FileDialogKind::Report) {
      dialog.setWindowTitle(QStringLiteral("Сохранить отчёт"));
      dialog.setNameFilter(QStringLiteral("Отчёты PDF (*.pdf)"));
      dialog.setDefaultSuffix(QStringLiteral("pdf"));
    } else {
      dialog.setWindowTitle(open ? QStringLiteral("Открыть файл конфигурации")
                                 : QStringLiteral("Сохранить настройки панели как"));
      dialog.setNameFilter(QStringLiteral("Файлы конфигурации панели (*.cf8)"));
      dialog.setDefaultSuffix(QStringLiteral("cf8"));
    }
    dialog.setOption(QFileDialog::HideNameFilterDetails);  // the filter reads as its plain text
    dialog.setDirectory(Q(folder));
    if (open) {
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(QFileDialog::ExistingFile);  // the file and its folder must exist
    } else {
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return S(QDir::toNativeSeparators(dialog.selectedFiles().first()));
  };
}

PrinterChooser StandardPrinterChooser(QWidget* parent) {
  return [parent](QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Печать отчёта"));
    return dialog.exec() == QDialog::Accepted;
  };
}

}  // namespace tivolan
