#include "configuration/Report.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "configuration/Configuration.h"
#include "configuration/Listing.h"
#include "model/DefaultImages.h"
#include "model/Images.h"
#include "model/ValueLists.h"

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

void Check(std::vector<ReportCheck>& checks, bool passed, std::string whenPassed, std::string whenFailed) {
  checks.push_back({passed, passed ? std::move(whenPassed) : std::move(whenFailed)});
}

void GsmChecks(const TxPageState& t, std::vector<ReportCheck>& checks) {
  Check(checks, AnyDestinationEnabled(t), "Включено хотя бы одно направление доставки.",
        "Передача по GSM включена, но ни одно направление доставки не включено.");
  for (int r = 1; r <= kDestinations; ++r) {
    const DestRow& row = t.dest.Row(r);
    // Written as the block stores it: an empty record, the destination off.
    if (RowOn(row) && row.text.empty())
      checks.push_back({false, "Направление " + std::to_string(r) + ": заданы попытки («" + row.Cell(kColTries) +
                                   "»), но нет телефона или хоста; при записи в прибор направление будет выключено."});
  }
  const int length = DestFrameLength(t.dest);
  Check(checks, length <= static_cast<int>(kDestBufferSize), "Направления доставки помещаются в прибор.",
        "Направления доставки не помещаются в прибор: " + std::to_string(length) + " байт из " +
            std::to_string(kDestBufferSize) + ".");
  if (t.smsOn)
    Check(checks, AnySmsRecipient(t.sms), "В списке SMS есть получатель.",
          "Включено «Передавать SMS», но список SMS пуст.");
  if (t.gprsOn)
    Check(checks, !t.gprs.edtAPN1.empty() || !t.gprs.edtAPN2.empty(), "APN задан хотя бы для одной SIM-карты.",
          "Включено «Использовать конфигурацию GPRS», но APN обеих SIM-карт не заданы.");
}

void ZoneChecks(const ConstPanelImage& panel, const ZonePageState& zones, std::vector<ReportCheck>& checks) {
  const std::size_t before = checks.size();
  for (int n = 1; n <= ConstPanelImage::kZones; ++n) {
    const ZoneRowState& row = zones.rows[static_cast<std::size_t>(n - 1)];
    if (row.type != kZoneTypeOff && row.eventPos < 0)
      checks.push_back({false, "ШС" + std::to_string(n) + ": кода события " + std::to_string(panel.Zone(n).Cid()) +
                                   " нет в списке событий."});
  }
  if (checks.size() == before) checks.push_back({true, "Коды событий всех шлейфов есть в списке событий."});
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

bool IsPassword(const std::string& key) {
  const std::string ending = ": Пароль";
  return key.size() >= ending.size() && key.compare(key.size() - ending.size(), ending.size(), ending) == 0;
}

std::string Shown(const ListingEntry& e, const ReportOptions& options) {
  if (IsPassword(e.key) && !e.value.empty() && !options.showPasswords) return kHiddenPassword;
  return e.value;
}

// Entries [from, to) that share one table group, as a grid: a column per
// caption in the order met, a row per number.
ReportTable Grid(const std::vector<ListingEntry>& entries, std::size_t from, std::size_t to,
                 const ReportOptions& options) {
  ReportTable table{true, {AsTableKey(entries[from].key)->group}, {}};
  for (std::size_t i = from; i < to; ++i) {
    TableKey k = *AsTableKey(entries[i].key);
    k.column = PrintedCaption(k.column);
    const auto column = std::find(table.columns.begin() + 1, table.columns.end(), k.column);
    const std::size_t at = static_cast<std::size_t>(column - table.columns.begin());
    if (column == table.columns.end()) table.columns.push_back(k.column);
    if (table.rows.empty() || table.rows.back().front() != k.row) table.rows.push_back({k.row});
    auto& row = table.rows.back();
    if (row.size() <= at) row.resize(at + 1);
    row[at] = Shown(entries[i], options);
  }
  for (auto& row : table.rows) row.resize(table.columns.size());
  return table;
}

std::vector<ReportSection> Sections(const std::vector<ListingEntry>& entries, const ReportOptions& options) {
  std::vector<ReportSection> sections;
  for (std::size_t i = 0; i < entries.size();) {
    const ListingEntry& e = entries[i];
    if (sections.empty() || sections.back().heading != e.page) sections.push_back({e.page, {}});
    auto& tables = sections.back().tables;
    if (const auto key = AsTableKey(e.key)) {
      std::size_t end = i + 1;
      while (end < entries.size() && entries[end].page == e.page && AsTableKey(entries[end].key) &&
             AsTableKey(entries[end].key)->group == key->group)
        ++end;
      tables.push_back(Grid(entries, i, end, options));
      i = end;
      continue;
    }
    if (tables.empty() || tables.back().grid) tables.push_back({});
    tables.back().rows.push_back({PrintedCaption(e.key), Shown(e, options)});
    ++i;
  }
  return sections;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<ReportCheck> RunChecks(const SharedData& data) {
  SharedData copy = data;
  const FormState form = Shown(copy);
  std::vector<ReportCheck> checks;
  if (IsGsmInUse(copy.ConfigBuffer, copy.DeviceType)) GsmChecks(form.tx, checks);
  if (const auto panel = PanelImageOf(std::as_const(copy.ConfigBuffer), copy.DeviceType))
    ZoneChecks(*panel, form.zones, checks);
  return checks;
}

std::vector<std::string> ConfigurationChecks(const SharedData& data) {
  std::vector<std::string> failed;
  for (const auto& c : RunChecks(data))
    if (!c.passed) failed.push_back(c.text);
  return failed;
}

ReportDocument BuildReport(const SharedData& data, const ReportSource& source, const ReportOptions& options) {
  const auto entries = ListConfiguration(data);
  ReportDocument report;
  report.model = entries.empty() ? "" : entries.front().value;
  report.title = "Конфигурация " + report.model;
  if (source.fromDevice) {
    report.origin = "Прочитано из прибора";
    report.identity = {{"Прибор", report.model}, {"Версия прошивки", std::to_string(source.deviceVersion)}};
  } else if (source.fileName.empty()) {
    report.origin = "Файл не сохранён";
    report.identity = {{"Файл", "не сохранён"}};
  } else {
    report.origin = BaseName(source.fileName);
    report.identity = {{"Файл", source.fileName}, {"Изменён", source.fileDate}};
  }
  report.sections = Sections({entries.begin() + (entries.empty() ? 0 : 1), entries.end()}, options);
  report.checks = RunChecks(data);
  report.signOff = {"Объект",
                    "Адрес",
                    "Монтажник (Ф.И.О.)",
                    "Подпись монтажника",
                    "Заказчик (Ф.И.О.)",
                    "Подпись заказчика",
                    "Дата"};
  report.program = options.program;
  report.printedAt = options.printedAt;
  return report;
}

std::string PrintedCaption(const std::string& caption) {
  std::string text = caption;
  const std::string hidden = kHiddenMark;
  if (text.size() >= hidden.size() && text.compare(text.size() - hidden.size(), hidden.size(), hidden) == 0)
    text.erase(text.size() - hidden.size());
  std::string printed;
  bool open = false;
  for (const char c : text) {
    if (c != '"') {
      printed += c;
      continue;
    }
    printed += open ? "»" : "«";
    open = !open;
  }
  return printed;
}

std::string PageNumberText(int page, int pages) {
  return "Страница " + std::to_string(page) + " из " + std::to_string(pages);
}

std::string PrintedText(const ReportDocument& report) { return "Напечатано " + report.printedAt; }

}  // namespace tivolan
