// The report as one HTML page, for a browser or a file to keep.
#include "configuration/Report.h"
#include "files/XmlDocument.h"

namespace tivolan {
namespace {

std::string Cell(const std::string& value) { return value.empty() ? kNoValue : HtmlEscape(value); }

std::string Grid(const ReportTable& t) {
  std::string html = "<table class=\"grid\">\n<tr>";
  for (const auto& c : t.columns) html += "<th>" + HtmlEscape(c) + "</th>";
  html += "</tr>\n";
  for (const auto& row : t.rows) {
    html += "<tr><th>" + HtmlEscape(row.front()) + "</th>";
    for (std::size_t i = 1; i < row.size(); ++i) html += "<td>" + Cell(row[i]) + "</td>";
    html += "</tr>\n";
  }
  return html + "</table>\n";
}

std::string List(const ReportTable& t) {
  std::string html = "<table class=\"list\">\n";
  for (const auto& row : t.rows) html += "<tr><th>" + HtmlEscape(row[0]) + "</th><td>" + Cell(row[1]) + "</td></tr>\n";
  return html + "</table>\n";
}

std::string Checks(std::vector<ReportCheck>::const_iterator from, std::vector<ReportCheck>::const_iterator to) {
  std::string html = "<ul class=\"checks\">\n";
  for (auto c = from; c != to; ++c)
    html += std::string("<li class=\"") + (c->passed ? "passed" : "failed") + "\"><span class=\"mark\">" +
            (c->passed ? kPassedMark : kFailedMark) + "</span> " + HtmlEscape(c->text) + "</li>\n";
  return html + "</ul>\n";
}

// The checks, the last of them kept on one printed page with the lines to
// sign, so that these never stand alone on a page.
std::string ChecksAndSignOff(const ReportDocument& report) {
  const auto& checks = report.checks;
  std::string html = std::string("<h2>") + kChecksHeading + "</h2>\n";
  if (checks.size() > 1) html += Checks(checks.begin(), checks.end() - 1);
  html += "<div class=\"end\">\n";
  html += checks.empty() ? "<p>" + HtmlEscape(kNoChecks) + "</p>\n" : Checks(checks.end() - 1, checks.end());
  html += std::string("<h2>") + kSignOffHeading + "</h2>\n<table class=\"sign\">\n";
  for (const auto& line : report.signOff) html += "<tr><th>" + HtmlEscape(line) + "</th><td></td></tr>\n";
  return html + "</table>\n<p class=\"stamp\">" + kStampPlace + "</p>\n</div>\n";
}

constexpr const char* kStyle =
    "@page { size: A4; margin: 15mm; }\n"
    "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 9pt; color: #000; }\n"
    "h1 { font-size: 14pt; margin: 0 0 6pt 0; }\n"
    "h2 { font-size: 11pt; margin: 14pt 0 6pt 0; page-break-after: avoid; }\n"
    "table { border-collapse: collapse; width: 100%; margin-bottom: 8pt; }\n"
    "tr { page-break-inside: avoid; }\n"
    "th, td { border-bottom: 0.5pt solid #999; padding: 2pt 6pt 2pt 0; text-align: left; vertical-align: top; }\n"
    "th { font-weight: normal; }\n"
    "table.list th { width: 55%; }\n"
    "table.grid tr:first-child th { font-weight: bold; border-bottom: 1pt solid #000; }\n"
    "table.source th, table.source td { border: none; }\n"
    "table.source th { width: 25%; color: #444; }\n"
    ".checks { list-style: none; padding: 0; }\n"
    ".checks li { margin-bottom: 3pt; }\n"
    ".checks .failed .mark { color: #b00; font-weight: bold; }\n"
    ".sign td { border-bottom: 0.5pt solid #000; height: 18pt; }\n"
    ".sign th { border: none; width: 25%; vertical-align: bottom; }\n"
    ".stamp { margin: 12pt 0 24pt 0; }\n"
    ".end { page-break-inside: avoid; break-inside: avoid; }\n"
    "footer { margin-top: 18pt; font-size: 7.5pt; color: #444; }\n";

}  // namespace

// The XML escapes are HTML's as well ("&apos;" since HTML 5).
std::string HtmlEscape(const std::string& text) { return XmlEscape(text); }

std::string ReportHtml(const ReportDocument& report) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                     HtmlEscape(report.title) + "</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n";
  html += "<h1>" + HtmlEscape(report.model) + "</h1>\n<table class=\"source\">\n";
  for (const auto& [what, value] : report.identity)
    html += "<tr><th>" + HtmlEscape(what) + "</th><td>" + Cell(value) + "</td></tr>\n";
  html += "</table>\n";
  for (const auto& section : report.sections) {
    if (!section.heading.empty()) html += "<h2>" + HtmlEscape(section.heading) + "</h2>\n";
    for (const auto& table : section.tables) html += table.grid ? Grid(table) : List(table);
  }
  html += ChecksAndSignOff(report);
  html += "<footer>" + HtmlEscape(report.program) + " · " + HtmlEscape(PrintedText(report)) + "</footer>\n";
  return html + "</body>\n</html>\n";
}

}  // namespace tivolan
