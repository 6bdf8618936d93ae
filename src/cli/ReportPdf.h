#pragma once
// The report printed to a PDF file, through Qt's printing where the tool
// was built with Qt; elsewhere it says so.
#include <string>

namespace tivolan::cli {

// False with the reason in `error` when the file could not be made.
bool PrintReportPdf(const std::string& html, const std::string& path, std::string& error);

}  // namespace tivolan::cli
