#include "configuration/Listing.h"

#include <algorithm>
#include <numeric>

#include "model/CodePage.h"
#include "model/DeviceCatalogue.h"
#include "model/EventList.h"
#include "model/Images.h"
#include "model/ValueLists.h"
#include "configuration/Configuration.h"

namespace tivolan {
namespace {

std::string YesNo(bool on) { return on ? "да" : "нет"; }

template <typename List>
std::string Item(const List& list, int position, int raw) {
  if (position >= 0 && position < static_cast<int>(list.size())) return std::string(list[static_cast<std::size_t>(position)]);
  return "нет в списке (" + std::to_string(raw) + ")";
}

constexpr const char* kZoneColumns[] = {"Раздел", "Тип шлейфа", "Код события", "Задержка вход", "Задержка выход",
                                        "Авто восст.", "Перезапрос"};

class Builder {
 public:
  Builder(const SharedData& data, const FormState& form) : d_(data), f_(form) {}

  std::vector<ListingEntry> Build() {
    const auto entries = DeviceTypeListEntries();
    const int type = d_.DeviceType;
    Add("", "Тип прибора", IsKnownDeviceType(type) ? entries[static_cast<std::size_t>(ListIndexOfDeviceType(type))] : std::to_string(type));
    if (type == kTypeCNC1) {
      Transmission();
      Concentrator();
    } else {
      Zones();
      Periphery();
      Transmission();
    }
    return std::move(out_);
  }

 private:
  void Add(const char* page, const std::string& key, const std::string& value) { out_.push_back({page, key, value}); }
  // Only asked for the panel types.
  ConstPanelImage Panel() const { return *PanelImageOf(d_.ConfigBuffer, d_.DeviceType); }

  void Zones() {
    const char* page = kTabCaptions[kTabShlf];
    for (int n = 1; n <= 8; ++n) {
      const ZoneRowState& r = f_.zones.rows[static_cast<std::size_t>(n - 1)];
      const uint8_t eventByte = Panel().Zone(n).Cid();
      const std::string prefix = "ШС" + std::to_string(n) + ": ";
      const std::string values[] = {
          std::to_string(r.partition + 1),
          ZoneTypes[static_cast<std::size_t>(r.type)].name,
          r.eventPos >= 0 ? EventList()[static_cast<std::size_t>(r.eventPos)].text
                          : "нет в списке (" + std::to_string(eventByte) + ")",
          r.delaysVisible ? r.delayIn : "",
          r.delaysVisible ? r.delayOut : "",
          r.rearmVisible ? YesNo(r.rearmTicked) : "",
          r.reqVisible ? YesNo(r.reqTicked) : ""};
      for (std::size_t c = 0; c < std::size(kZoneColumns); ++c) Add(page, prefix + kZoneColumns[c], values[c]);
    }
    std::string ticked;
    for (int k = 2; k <= 8; ++k)
      if (f_.zones.deps[static_cast<std::size_t>(k - 2)].ticked) ticked += (ticked.empty() ? "" : ", ") + std::to_string(k);
    Add(page, "Зависимость охраны раздела 1", ticked.empty() ? "нет" : ticked);
  }

  void Periphery() {
    const char* page = kTabCaptions[kTabPeriph];
    const PeripheryPageState& p = f_.periphery;
    const ConstPanelImage image = Panel();
    Add(page, "Реле \"Тревога\"", Item(RelayModeList, p.releAlarm, image.AlarmRelay().Get()));
    Add(page, "Реле \"Пожар\"", Item(RelayModeList, p.releFire, image.FireRelay().Get()));
    Add(page, std::string("Реле \"Управление\"") + kHiddenMark, Item(RelayModeList, p.releControl, image.ControlRelay().Get()));
    Add(page, "Контроль цепей: Реле \"пожар\"", YesNo(p.circuit[1]));
    Add(page, std::string("Контроль цепей: Реле \"управление\"") + kHiddenMark, YesNo(p.circuit[2]));
    Add(page, "Контроль цепей: Звуковой оповещатель", YesNo(p.circuit[6]));
    Add(page, "Контроль цепей: Световой оповещатель", YesNo(p.circuit[7]));
    Add(page, "Использовать внутренний зуммер", YesNo(p.useBuzzer));
    Add(page, "Раздел для внутренних событий", std::to_string(p.sysPart + 1));
    Add(page, "Сигналы взятия\\снятия сиреной", YesNo(p.guardSnd));
    Add(page, "Время работы звукового оповещателя, мин", std::to_string(p.sndWrkTime));
    Add(page, "Режим работы лампы", Item(LampModeList(), p.lampMode, image.Lamp().Get()));
    Add(page, "Светодиод считывателя", Item(ReaderLedModeList(), p.ledMode, image.ReaderLed().Get()));
  }

  void Transmission() {
    const char* page = kTabCaptions[kTabTx];
    const TxPageState& t = f_.tx;
    if (d_.DeviceType == kTypeCNC1) {
      Add(page, "518Hn подключен", YesNo(t.cncTxTd));
      Add(page, "GSM-KVT подключен", YesNo(t.cncTxGsm));
    } else {
      Add(page, "Вид передачи", Item(t.kindItems, t.kindIndex, Panel().TxKind()));
      if (t.netIdVisible) Add(page, "Сетевой номер", std::to_string(t.busId));
    }
    if (!t.gsmVisible) return;
    if (t.cncGsmOptionsVisible) {
      Add(page, "Разрешить управление по SMS", YesNo(t.gsmControl));
      Add(page, "Передавать события по GSM", YesNo(t.gsmCidTx));
    }
    Add(page, "Номер прибора", t.devNumber);
    Destinations(page, t.dest);
    Add(page, "Передавать SMS", YesNo(t.smsOn));
    if (t.smsOn) SmsList(page, t.sms);
    Add(page, "Использовать конфигурацию GPRS", YesNo(t.gprsOn));
    if (t.gprsOn) Gprs(page, t.gprs);
  }

  void Destinations(const char* page, const DestTableState& dest) {
    for (int r = 1; r <= kDestinations; ++r) {
      const DestRow& row = dest.Row(r);
      const std::string prefix = "Направление " + std::to_string(r) + ": ";
      const bool on = RowOn(row);
      for (int c = kColTries; c <= kColText; ++c)
        Add(page, prefix + kDestColumnInfo[static_cast<std::size_t>(c)].title, on || c == kColTries ? row.Cell(c) : "");
    }
  }

  void SmsList(const char* page, const SmsDialogState& sms) {
    for (int r = 1; r <= kSmsRows; ++r) {
      const std::string prefix = "SMS " + std::to_string(r) + ": ";
      const bool on = SmsRowOn(sms, r);
      for (int c = kSmsColKind; c <= kSmsColPhone; ++c)
        Add(page, prefix + SmsColumnTitles[static_cast<std::size_t>(c)], on || c == kSmsColKind ? *Cell(sms, r, c) : "");
    }
  }

  void Gprs(const char* page, const GprsDialogState& g) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"SIM-карта №1: APN", &g.edtAPN1},          {"SIM-карта №1: Пользователь", &g.edtUser1},
        {"SIM-карта №1: Пароль", &g.edtPass1},      {"SIM-карта №2: APN", &g.edtAPN2},
        {"SIM-карта №2: Пользователь", &g.edtUser2}, {"SIM-карта №2: Пароль", &g.edtPass2}};
    // The fields hold the device's bytes; shown as the file keeps them.
    for (const auto& [key, value] : fields) Add(page, std::string("GPRS ") + key, Utf8FromCp1251(*value));
  }

  void Concentrator() {
    const char* page = kTabCaptions[kTabCnc];
    const ConcentratorPageState& c = f_.concentrator;
    const ConstImageCNC1 image(d_.ConfigBuffer);
    Add(page, "Реле \"Тревога\"", Item(RelayModeList, c.releAlarm, image.AlarmRelay().Get()));
    Add(page, "Реле \"Пожар\"", Item(RelayModeList, c.releFire, image.FireRelay().Get()));
    Add(page, "Использовать внутренний зуммер", YesNo(c.buzzer));
    std::string on;
    for (int k = 0; k < 8; ++k)
      if (c.expanders[static_cast<std::size_t>(k)])
        on += (on.empty() ? "" : ", ") + (k == 7 ? std::string("БВИ") : std::to_string(k + 1));
    Add(page, "Включить расширители", on.empty() ? "нет" : on);
    Add(page, "БВИ: Вкл. звук при тихой тревоге на расширителях", c.bviVisible ? YesNo(c.bviSilent) : "");
    Add(page, "БВИ: Вкл. звук при \"принуждении\" на расширителях", c.bviVisible ? YesNo(c.bviDuress) : "");
    Add(page, std::string("БВИ: Разрешить сброс расширителей кнопками") + kHiddenMark, YesNo(c.bviReset));
    Add(page, "Контроль цепи реле \"пожар\"", YesNo(c.fireReleCntr));
  }

  const SharedData& d_;
  const FormState& f_;
  std::vector<ListingEntry> out_;
};

// A terminal's width: every line of a listing fits it.
constexpr std::size_t kLineWidth = 80;

std::string Pad(const std::string& s, std::size_t width) { return s + std::string(width - std::min(width, Utf8Length(s)), ' '); }

std::string TrimmedRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The zone columns' titles in two lines, as the page's labels stand: a title
// of the upper line may run on over the next column's empty one.
constexpr const char* kZoneTitlesAbove[] = {"", "", "", "", "Задержка, с", "", "Авто", "Пере-"};
constexpr const char* kZoneTitles[] = {"", "Раздел", "Тип шлейфа", "Код события", "вход", "выход", "восст.", "запрос"};
static_assert(std::size(kZoneTitles) == std::size(kZoneColumns) + 1);

std::string ZoneTable(const std::vector<ListingEntry>& zones) {
  const std::size_t columns = std::size(kZoneColumns);
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i + columns <= zones.size(); i += columns) {
    std::vector<std::string> row{zones[i].key.substr(0, zones[i].key.find(':'))};
    for (std::size_t c = 0; c < columns; ++c) row.push_back(TrimmedRight(zones[i + c].value));
    rows.push_back(row);
  }
  std::vector<std::size_t> widths;
  for (const char* title : kZoneTitles) widths.push_back(Utf8Length(title));
  for (const auto& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Utf8Length(row[c]));
  auto line = [&](auto cell) {
    std::string text = "  ";
    for (std::size_t c = 0; c < widths.size(); ++c) {
      const std::size_t at = 2 + std::accumulate(widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(c), c * 2);
      if (Utf8Length(text) < at) text = Pad(text, at);
      text += cell(c);
    }
    return TrimmedRight(text) + "\n";
  };
  std::string text = line([](std::size_t c) { return std::string(kZoneTitlesAbove[c]); });
  text += line([](std::size_t c) { return std::string(kZoneTitles[c]); });
  for (const auto& row : rows) text += line([&](std::size_t c) { return row[c]; });
  return text;
}

// The first `count` characters of UTF-8 `text`, in bytes.
std::size_t BytesOf(const std::string& text, std::size_t count) {
  std::size_t at = 0;
  for (; at < text.size() && count > 0; --count) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;  // continuation bytes
  }
  return at;
}

// "<head><value>" in lines of kLineWidth characters: a value too long goes on
// in lines indented under the key, broken after a blank where there is one.
std::string Wrapped(const std::string& head, std::string value) {
  constexpr std::size_t kIndent = 4;
  std::string text = head;
  std::size_t room = kLineWidth - std::min(Utf8Length(head), kLineWidth - 20);
  while (Utf8Length(value) > room) {
    std::size_t cut = BytesOf(value, room);
    const std::size_t blank = value.rfind(' ', cut);
    if (blank != std::string::npos && blank > 0) cut = blank + 1;
    text += TrimmedRight(value.substr(0, cut)) + "\n" + std::string(kIndent, ' ');
    value.erase(0, cut);
    room = kLineWidth - kIndent;
  }
  return text + value + "\n";
}

}  // namespace

std::vector<ListingEntry> ListConfiguration(const SharedData& data) {
  SharedData copy = data;
  FormState form;
  SilentPrompter quiet;
  SetDevice(copy, form, data.DeviceType, quiet);
  RefreshControls(copy, form);
  return Builder(copy, form).Build();
}

std::string FormatListing(const std::vector<ListingEntry>& entries) {
  std::string text;
  std::string page = "\x01";
  std::vector<ListingEntry> zones;
  for (const auto& e : entries) {
    if (e.page != page) {
      page = e.page;
      if (!page.empty()) text += "\n" + page + "\n";
    }
    if (e.key.rfind("ШС", 0) == 0) {
      zones.push_back(e);
      if (zones.size() == 8 * std::size(kZoneColumns)) text += ZoneTable(zones);
      continue;
    }
    text += Wrapped((page.empty() ? "" : "  ") + e.key + ": ", e.value.empty() ? "—" : e.value);
  }
  return text;
}

}  // namespace tivolan
