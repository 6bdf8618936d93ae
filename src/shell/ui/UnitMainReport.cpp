// TForm1's report commands: the configuration the window holds, printed or
// saved as PDF through the same painting as tivolan-cli's.
#include <QPrinter>

#include "files/FileIO.h"
#include "files/FileProblems.h"
#include "files/FileTimes.h"
#include "platform/Version.h"
#include "print/ReportPrinter.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/UnitMain.h"

namespace tivolan {

namespace {
// "отчёт" -> "отчёт.pdf"; a name that already ends in ".pdf" stays.
std::string WithPdfSuffix(const std::string& name) {
  const std::string suffix = ".pdf";
  if (name.size() >= suffix.size()) {
    std::string ending = name.substr(name.size() - suffix.size());
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending == suffix) return name;
  }
  return name + suffix;
}
}  // namespace

std::optional<ReportDocument> TForm1::ReportOfWindow() {
  if (!CommitPendingEdits()) return std::nullopt;
  const auto refused = UpdateAllTXBuffers(data_, form_, CommitFor::Report);
  SyncPages();
  if (refused) {
    prompter_->Show(CancelledBy(*refused, CommitFor::Report));
    return std::nullopt;
  }
  ReportSource source;
  const ConfigurationOrigin& origin = form_.origin;
  if (origin.kind == ConfigurationOrigin::Kind::Device) {
    source.fromDevice = true;
    source.deviceVersion = origin.deviceVersion;
  } else if (origin.kind == ConfigurationOrigin::Kind::File) {
    source.fileName = origin.file;
    source.fileDate = FileTimeText(origin.file);
  }
  return BuildReport(data_, source, {false, ProgramNameAndVersion(), NowText()});
}

void TForm1::FilePrintClick() {
  const auto report = ReportOfWindow();
  if (!report) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
  printer.setDocName(Q(report->title));
  printer.setCreator(Q(report->program));
  if (!choosePrinter_(printer)) return;
  if (print::PaintReport(*report, printer) == 0) {
    prompter_->Show(MessageBox{"Тиволан", "Отчёт не напечатан: принтер недоступен.", BoxIcon::Error});
    return;
  }
  SetStatusText(QStringLiteral("Отчёт отправлен на печать"));
}

void TForm1::FileSaveReportClick() {
  const auto report = ReportOfWindow();
  if (!report) return;
  const auto chosen = chooseFile_(FileDialogKind::Report, FileFolder());
  if (!chosen || chosen->empty()) return;
  const std::string path = WithPdfSuffix(*chosen);
  std::string pdf, error;
  if (!print::ReportPdf(*report, pdf, error)) {
    prompter_->Show(MessageBox{"Тиволан", "Отчёт не сохранён: PDF не удалось составить.", BoxIcon::Error});
    return;
  }
  try {
    WriteFileReplacing(path, pdf);
  } catch (const FileError& e) {
    prompter_->Show(MessageBox{"Тиволан", e.what(), BoxIcon::Error, SaveProblem(e.Cause())});
    return;
  }
  SetStatusText(QStringLiteral("Отчёт сохранён"));
}

}  // namespace tivolan
