#pragma once
// The commissioning report of a configuration: every setting in the words of
// the pages, the checks the program itself knows, where the configuration
// came from, and lines to fill in and sign by hand. Built once as a document;
// shown as one HTML page (no external assets, A4) or printed page by page.
#include <string>
#include <utility>
#include <vector>

#include "model/SharedData.h"

namespace tivolan {

// One check of the configuration: what holds when it passed, or what looks
// wrong although the configuration can be written.
struct ReportCheck {
  bool passed = false;
  std::string text;
};

// The checks that apply: with GSM in use, a destination on, none that a
// write switches off (attempts without a phone or host), destinations that
// fit their block, the SMS list when its option is on, an access point when
// GPRS is on; on a panel, every zone's event code in the event list.
std::vector<ReportCheck> RunChecks(const SharedData& data);

// The texts of the checks that failed.
std::vector<std::string> ConfigurationChecks(const SharedData& data);

struct ReportSource {
  std::string fileName;      // a file: its name as given ("" when never saved)
  std::string fileDate;      // its modification time, as shown
  bool fromDevice = false;   // read from a device: its firmware version is known
  int deviceVersion = 0;
};

struct ReportOptions {
  bool showPasswords = false;  // else each password shows as "••••"
  std::string program;         // "Тиволан 1.0.0"
  std::string printedAt;       // "09.12.2026 14:05"
};

// A table of settings and values, or (grid) of numbered rows such as zones
// and destinations, whose first column is the row's number.
struct ReportTable {
  bool grid = false;
  std::vector<std::string> columns;  // grid only
  std::vector<std::vector<std::string>> rows;  // "" where the page hides the control
};

struct ReportSection {
  std::string heading;  // the page's caption
  std::vector<ReportTable> tables;
};

struct ReportDocument {
  std::string title;   // "Конфигурация <model>", the PDF's title as well
  std::string model;   // the device type, on every page's header
  std::string origin;  // the file's name, or that it was read from a device
  std::vector<std::pair<std::string, std::string>> identity;  // where it came from
  std::vector<ReportSection> sections;
  std::vector<ReportCheck> checks;
  std::vector<std::string> signOff;  // lines filled in by hand, then kStampPlace
  std::string program;
  std::string printedAt;
};

inline constexpr const char* kHiddenPassword = "••••";
inline constexpr const char* kChecksHeading = "Проверки";
inline constexpr const char* kNoChecks = "Проверок для этого прибора нет.";
inline constexpr const char* kSignOffHeading = "Заполняется вручную";
inline constexpr const char* kStampPlace = "М.П.";  // where the customer's stamp goes, below the lines
inline constexpr const char* kContinued = " (продолжение)";  // a heading repeated on the next page
inline constexpr const char* kPassedMark = "✓";
inline constexpr const char* kFailedMark = "✗";
inline constexpr const char* kNoValue = "—";

ReportDocument BuildReport(const SharedData& data, const ReportSource& source, const ReportOptions& options);

// "Страница 2 из 5".
std::string PageNumberText(int page, int pages);
// "Тиволан 1.0.0" and "Напечатано 09.12.2026 14:05", the footer's two ends.
std::string PrintedText(const ReportDocument& report);

// The document as one HTML page.
std::string ReportHtml(const ReportDocument& report);

// A caption of the pages as printed: in the quotation marks of Russian
// print («»), without the mark of a setting the pages keep hidden.
std::string PrintedCaption(const std::string& caption);

// Text safe inside HTML.
std::string HtmlEscape(const std::string& text);

}  // namespace tivolan
