#pragma once
// The report printed to an A4 PDF, through Qt's printing where the tool was
// built with Qt; elsewhere it says so. The PDF is made in memory: the caller
// saves it as every file is saved, so that a full disk never leaves a cut
// PDF over the old one.
#include <string>

#include "configuration/Report.h"

namespace tivolan::cli {

// False with the reason in `error` when the PDF could not be made.
bool PrintReportPdf(const ReportDocument& report, std::string& pdf, std::string& error);

}  // namespace tivolan::cli
