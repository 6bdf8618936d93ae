#include "configuration/Report.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "model/DefaultImages.h"
#include "model/Images.h"
#include "model/ValueLists.h"
#include "configuration/Listing.h"
#include "configuration/Configuration.h"

namespace tivolan {
namespace {

// The page state of a configuration as the window would show it.
FormState Shown(SharedData& copy) {
  FormState form;
  SilentPrompter quiet;
  SetDevice(copy, form, copy.DeviceType, quiet);
  RefreshControls(copy, form);
  return form;
}

bool AnySmsRecipient(const SmsDialogState& sms) {
  for (int r = 1; r <= kSmsRows; ++r)
    if (SmsRowOn(sms, r)) return true;
  return false;
}

void GsmChecks(const TxPageState& t, std::vector<std::string>& checks) {
  if (!AnyDestinationEnabled(t)) checks.push_back("Передача по GSM включена, но ни одно направление доставки не включено.");
  if (t.smsOn && !AnySmsRecipient(t.sms)) checks.push_back("Включено «Передавать SMS», но список SMS пуст.");
  if (t.gprsOn && t.gprs.edtAPN1.empty() && t.gprs.edtAPN2.empty())
    checks.push_back("Включено «Использовать конфигурацию GPRS», но APN обеих SIM-карт не заданы.");
  const int length = DestFrameLength(t.dest);
  if (length > static_cast<int>(kDestBufferSize))
    checks.push_back("Направления доставки не помещаются в прибор: " + std::to_string(length) + " байт из " +
                     std::to_string(kDestBufferSize) + ".");
}

// A key "ШС3: Тип шлейфа" or "Направление 2: SIM": a row of a table.
struct TableKey {
  std::string group;  // "ШС", "Направление "
  std::string row;    // "3"
  std::string column;
};
std::optional<TableKey> AsTableKey(const std::string& key) {
  const std::size_t colon = key.find(": ");
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  std::size_t digits = colon;
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(key[digits - 1]))) --digits;
  if (digits == colon || digits == 0) return std::nullopt;
  return TableKey{key.substr(0, digits), key.substr(digits, colon - digits), key.substr(colon + 2)};
}

std::string Cell(const std::string& value) { return value.empty() ? "—" : HtmlEscape(value); }

// Entries [from, to) that share one table group, as a table.
std::string Table(const std::vector<ListingEntry>& entries, std::size_t from, std::size_t to) {
  std::vector<std::string> columns;
  std::vector<std::string> rows;
  for (std::size_t i = from; i < to; ++i) {
    const TableKey k = *AsTableKey(entries[i].key);
    if (std::find(columns.begin(), columns.end(), k.column) == columns.end()) columns.push_back(k.column);
    if (rows.empty() || rows.back() != k.row) rows.push_back(k.row);
  }
  const std::string group = AsTableKey(entries[from].key)->group;
  std::string html = "<table class=\"grid\" width=\"100%\" cellspacing=\"0\" cellpadding=\"3\"><tr><th>" + HtmlEscape(group) + "</th>";
  for (const auto& c : columns) html += "<th>" + HtmlEscape(c) + "</th>";
  html += "</tr>\n";
  std::size_t i = from;
  for (const auto& r : rows) {
    html += "<tr><th>" + HtmlEscape(r) + "</th>";
    for (const auto& c : columns) {
      std::string value;
      for (std::size_t j = i; j < to; ++j) {
        const TableKey k = *AsTableKey(entries[j].key);
        if (k.row == r && k.column == c) value = entries[j].value;
      }
      html += "<td>" + Cell(value) + "</td>";
    }
    html += "</tr>\n";
    while (i < to && AsTableKey(entries[i].key)->row == r) ++i;
  }
  return html + "</table>\n";
}

std::string Sections(const std::vector<ListingEntry>& entries) {
  std::string html;
  std::string page = "\x01";
  bool inList = false;
  auto closeList = [&] {
    if (inList) html += "</table>\n";
    inList = false;
  };
  for (std::size_t i = 0; i < entries.size();) {
    const ListingEntry& e = entries[i];
    if (e.page != page) {
      closeList();
      page = e.page;
      if (!page.empty()) html += "<h2>" + HtmlEscape(page) + "</h2>\n";
    }
    if (const auto key = AsTableKey(e.key)) {
      std::size_t end = i + 1;
      while (end < entries.size() && entries[end].page == page && AsTableKey(entries[end].key) &&
             AsTableKey(entries[end].key)->group == key->group)
        ++end;
      closeList();
      html += Table(entries, i, end);
      i = end;
      continue;
    }
    if (!inList) html += "<table class=\"list\" width=\"100%\" cellspacing=\"0\" cellpadding=\"3\">\n";
    inList = true;
    html += "<tr><th>" + HtmlEscape(e.key) + "</th><td>" + Cell(e.value) + "</td></tr>\n";
    ++i;
  }
  closeList();
  return html;
}

constexpr const char* kStyle =
    "@page { size: A4; margin: 15mm; }\n"
    "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 10pt; color: #000; }\n"
    "h1 { font-size: 15pt; margin: 0 0 4pt 0; }\n"
    "h2 { font-size: 12pt; margin: 12pt 0 4pt 0; page-break-after: avoid; }\n"
    "table { border-collapse: collapse; margin-bottom: 6pt; page-break-inside: avoid; }\n"
    "th, td { border: 1px solid #888; padding: 2pt 5pt; text-align: left; vertical-align: top; }\n"
    "table.list th { font-weight: normal; background: #f2f2f2; }\n"
    "table.grid { font-size: 8.5pt; }\n"
    "table.grid th { background: #e6e6e6; }\n"
    ".source td, .source th { border: none; padding: 0 8pt 0 0; }\n"
    ".checks li { margin-bottom: 2pt; }\n";

}  // namespace

std::string HtmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::vector<std::string> ConfigurationChecks(const SharedData& data) {
  SharedData copy = data;
  const FormState form = Shown(copy);
  std::vector<std::string> checks;
  if (IsGsmInUse(copy.ConfigBuffer, copy.DeviceType)) GsmChecks(form.tx, checks);
  if (const auto panel = PanelImageOf(copy.ConfigBuffer, copy.DeviceType)) {
    for (int n = 1; n <= ConstPanelImage::kZones; ++n) {
      const ZoneRowState& row = form.zones.rows[static_cast<std::size_t>(n - 1)];
      if (row.type != kZoneTypeOff && row.eventPos < 0)
        checks.push_back("ШС" + std::to_string(n) + ": кода события " + std::to_string(panel->Zone(n).Cid()) +
                         " нет в списке событий.");
    }
  }
  return checks;
}

std::string BuildReportHtml(const SharedData& data, const ReportSource& source) {
  const auto entries = ListConfiguration(data);
  const std::string type = entries.empty() ? "" : entries.front().value;
  std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                     HtmlEscape("Конфигурация " + type) + "</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n";
  html += "<h1>" + HtmlEscape(type) + "</h1>\n<table class=\"source\">\n";
  html += "<tr><th>Файл</th><td>" + HtmlEscape(source.fileName) + "</td></tr>\n";
  html += "<tr><th>Изменён</th><td>" + HtmlEscape(source.fileDate) + "</td></tr>\n</table>\n";
  html += Sections(std::vector<ListingEntry>(entries.begin() + (entries.empty() ? 0 : 1), entries.end()));
  html += "<h2>Проверки</h2>\n";
  const auto checks = ConfigurationChecks(data);
  if (checks.empty()) {
    html += "<p>Замечаний нет.</p>\n";
  } else {
    html += "<ul class=\"checks\">\n";
    for (const auto& c : checks) html += "<li>" + HtmlEscape(c) + "</li>\n";
    html += "</ul>\n";
  }
  return html + "</body>\n</html>\n";
}

}  // namespace tivolan
