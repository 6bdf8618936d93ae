#include "cli/ReportPdf.h"

namespace tivolan::cli {

bool PrintReportPdf(const ReportDocument&, std::string&, std::string& error) {
  error = "this tivolan-cli was built without Qt, which prints PDF; write the HTML page with -o and print it";
  return false;
}

}  // namespace tivolan::cli
