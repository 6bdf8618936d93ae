#pragma once
// A printable record of a configuration: one HTML page (no external
// assets, A4) with every setting in the words of the pages and the checks
// the program itself knows.
#include <string>
#include <vector>

#include "model/SharedData.h"

namespace tivolan {

// What looks wrong although the configuration can be written: GSM in use
// with no destination on, the SMS option on with an empty list, GPRS on with
// both access points empty, destinations that do not fit their block, event
// codes the list does not have.
std::vector<std::string> ConfigurationChecks(const SharedData& data);

struct ReportSource {
  std::string fileName;  // as given
  std::string fileDate;  // its modification time, as shown
};

std::string BuildReportHtml(const SharedData& data, const ReportSource& source);

// Text safe inside HTML.
std::string HtmlEscape(const std::string& text);

}  // namespace tivolan
