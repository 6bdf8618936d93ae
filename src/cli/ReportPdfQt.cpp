#include "cli/ReportPdf.h"
#include "print/ReportPrinter.h"

namespace tivolan::cli {

bool PrintReportPdf(const ReportDocument& report, std::string& pdf, std::string& error) {
  print::EnsureGuiApplication();
  return print::ReportPdf(report, pdf, error);
}

}  // namespace tivolan::cli
