#include "transmission/MPIGSM.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "model/CodePage.h"
#include "transmission/PhoneText.h"

namespace tivolan {
namespace {

bool IsPhoneProtocol(int protocol) { return protocol == 0 || protocol == 1; }  // "Voice", "CSD"

template <std::size_t N>
std::string ItemText(const std::array<const char*, N>& list, std::optional<uint8_t> value) {
  return value && *value < N ? list[*value] : "";
}

// The fields as the table's lists show them: attempts above 5 as 5, SIM 3
// as "1,2", protocol 4..7 as "Voice".
DestRecord ClampedToLists(DestRecord record) {
  record.attempts = std::min<uint8_t>(record.attempts, 5);
  record.sim = record.sim == 3 ? 0 : record.sim;
  record.protocol = record.protocol > 3 ? 0 : record.protocol;
  return record;
}

// A row's fields as a record, its text in the device's code page; false
// when the text holds a character the device cannot store.
bool RowRecord(const DestRow& row, std::optional<DestRecord>& record) {
  const auto bytes = Cp1251FromUtf8(row.text);
  if (!bytes) return false;
  // An on row whose SIM or protocol cell is empty is stored as the item its
  // chooser opens on, the first.
  record = DestRecord{row.tries, row.sim.value_or(0), row.protocol.value_or(0), *bytes};
  return true;
}

// The record a row is stored as (none: an empty record); false when its
// text holds a character the device cannot store.
bool RecordOf(const DestRow& row, std::optional<DestRecord>& record) {
  record.reset();
  if (!RowSendsSomewhere(row)) return true;
  if (!RowRecord(row, record)) return false;
  record = SentRecord(record);
  return true;
}

// The records of the table with the number and options of `held`.
std::optional<DestSettings> SettingsOf(const DestTableState& table, const DestSettings& held, int* unstorable) {
  DestSettings s = held;
  for (int r = 1; r <= kDestinations; ++r) {
    if (RecordOf(table.Row(r), s.records[static_cast<std::size_t>(r - 1)])) continue;
    if (unstorable) *unstorable = r;
    return std::nullopt;
  }
  return s;
}

MessageBox TooLongBox(std::size_t length) {
  return {"Направления доставки",
          "Направления доставки не помещаются в настройки прибора:\r\nвместе с ними блок занимает " +
              std::to_string(length) + " байт, а прибор принимает не больше " + std::to_string(kDestBufferSize) +
              ".\r\nСократите телефоны или адреса.",
          BoxIcon::Error};
}

MessageBox UnstorableTextBox(int destination, const std::string& text) {
  return {"Направления доставки",
          "В направлении " + std::to_string(destination) + " есть знаки, которых прибор не хранит:\r\n" + text,
          BoxIcon::Error};
}

}  // namespace

std::string DestRow::Cell(int column) const {
  switch (column) {
    case kColLabel: return label;
    case kColTries: return TryCountList[std::min<std::size_t>(tries, TryCountList.size() - 1)];
    case kColSim: return ItemText(SimList, sim);
    case kColProtocol: return ItemText(ProtocolList, protocol);
    case kColText: return text;
    default: return "";
  }
}

void InitDestGrid(DestTableState& table) {
  for (int r = 1; r <= kDestinations; ++r) table.Row(r).label = std::to_string(r);
}

std::optional<DestRecord> SentRecord(const std::optional<DestRecord>& record) {
  if (!record || record->attempts == 0 || record->text.empty()) return std::nullopt;
  DestRecord sent = ClampedToLists(*record);
  if (IsPhoneProtocol(sent.protocol)) sent.text = "+" + StripPhoneSeparators(sent.text);
  sent.text.resize(std::min<std::size_t>(sent.text.size(), kDestTextMax));
  return sent;
}

void ResetDestBuffer(DestSettings& dest) { dest = DestSettings{}; }

void DestBufferToGrid(const DestSettings& dest, DestTableState& table) {
  for (int r = 1; r <= kDestinations; ++r) {
    DestRow& row = table.Row(r);
    const auto& record = dest.records[static_cast<std::size_t>(r - 1)];
    row.text = record ? Utf8FromCp1251(record->text) : "";
    const DestRecord shown = record ? ClampedToLists(*record) : DestRecord{};
    row.tries = shown.attempts;
    if (row.tries == 0) {
      row.sim.reset();
      row.protocol.reset();
      continue;
    }
    row.sim = shown.sim;
    row.protocol = shown.protocol;
  }
}

bool DestTableShows(const DestTableState& table, const DestSettings& dest) {
  DestTableState shown = table;
  DestBufferToGrid(dest, shown);
  return shown.rows == table.rows;
}

int DestFrameLength(const DestTableState& table) {
  DestSettings s;
  for (int r = 1; r <= kDestinations; ++r) RecordOf(table.Row(r), s.records[static_cast<std::size_t>(r - 1)]);
  return static_cast<int>(FrameLength(s));
}

std::optional<MessageBox> StoreSentSettings(DestSettings settings, DestSettings& dest) {
  for (auto& record : settings.records) record = SentRecord(record);
  if (!WriteFrame(settings)) return TooLongBox(FrameLength(settings));
  dest = std::move(settings);
  return std::nullopt;
}

std::optional<MessageBox> GridToDestBuffer(const DestTableState& table, DestSettings& dest) {
  int unstorable = 0;
  const auto settings = SettingsOf(table, dest, &unstorable);
  if (!settings) return UnstorableTextBox(unstorable, table.Row(unstorable).text);
  return StoreSentSettings(*settings, dest);
}

bool RowOn(const DestRow& row) { return row.tries > 0; }

bool RowSendsSomewhere(const DestRow& row) { return RowOn(row) && !row.text.empty(); }

// Counted as the frame stores the rows: one with attempts but no phone or
// host is an empty record, and a device given only such rows sends nowhere.
bool AnyDestinationEnabled(const DestTableState& table) {
  return std::any_of(table.rows.begin(), table.rows.end(), RowSendsSomewhere);
}

CellAction grdG1SelectCell(const DestTableState& table, int row, int column) {
  if (row < 1 || row > kDestinations) return CellAction::None;
  if (column == kColTries) return CellAction::ChooseTries;
  if (!RowOn(table.Row(row))) return CellAction::None;
  switch (column) {
    case kColSim: return CellAction::ChooseSim;
    case kColProtocol: return CellAction::ChooseProtocol;
    case kColText: return CellAction::Type;
    case kColPark: return CellAction::Park;
    default: return CellAction::None;
  }
}

int DestChooserItem(const DestTableState& table, int row, int column) {
  const DestRow& r = table.Row(row);
  switch (column) {
    case kColTries: return r.tries;
    case kColSim: return r.sim.value_or(0);
    case kColProtocol: return r.protocol.value_or(0);
    default: return -1;
  }
}

void DestChosen(DestTableState& table, int row, int column, int index) {
  switch (column) {
    case kColTries: bxGrTryCntCloseUp(table, row, index); break;
    case kColSim: bxGrSIMCloseUp(table, row, index); break;
    case kColProtocol: bxGrTypeCloseUp(table, row, index); break;
    default: break;
  }
}

void bxGrTryCntCloseUp(DestTableState& table, int row, int index) {
  if (index < 0 || index >= static_cast<int>(TryCountList.size())) return;
  DestRow& r = table.Row(row);
  if (index == 0) {
    r.sim.reset();
    r.protocol.reset();
    r.text.clear();
  } else if (r.tries == 0) {
    r.sim = 0;
    r.protocol = 0;
    r.text = kPhonePlaceholder;
  }
  r.tries = static_cast<uint8_t>(index);
}

void bxGrSIMCloseUp(DestTableState& table, int row, int index) {
  if (index < 0 || index >= static_cast<int>(SimList.size())) return;
  table.Row(row).sim = static_cast<uint8_t>(index);
}

void bxGrTypeCloseUp(DestTableState& table, int row, int index) {
  if (index < 0 || index >= static_cast<int>(ProtocolList.size())) return;
  DestRow& r = table.Row(row);
  // An empty cell counts as the first item.
  const int old = r.protocol.value_or(0);
  if (!IsPhoneProtocol(old) && IsPhoneProtocol(index)) r.text = kPhonePlaceholder;
  if (IsPhoneProtocol(old) && !IsPhoneProtocol(index)) r.text = kHostPlaceholder;
  r.protocol = static_cast<uint8_t>(index);
}

bool grdG1KeyPress(const DestTableState& table, int row, int column, const std::string& c) {
  if (c == "\r" || c == "\x1b" || c == "\b") return true;
  if (column != kColText || row < 1 || row > kDestinations) return true;
  if (c.size() != 1) return false;
  const char ch = c[0];
  const bool admitted = std::string_view("()+-.:").find(ch) != std::string_view::npos || (ch >= '0' && ch <= '9') ||
                        (ch >= 'a' && ch <= 'z');
  if (!admitted) return false;
  if (Utf8Length(table.Row(row).text) >= static_cast<std::size_t>(kDestCellMax)) return false;
  std::size_t total = 0;
  for (const DestRow& r : table.rows) total += Utf8Length(r.text);
  return total < static_cast<std::size_t>(kDestTableTextMax);
}

void MoveDestRow(DestTableState& table, int from, int to) {
  if (from < 1 || from > kDestinations || to < 1 || to > kDestinations || from == to) return;
  auto first = table.rows.begin();
  if (from < to)
    std::rotate(first + from - 1, first + from, first + to);
  else
    std::rotate(first + to - 1, first + from - 1, first + from);
}

std::string DeviceNumberText(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%.4u", static_cast<unsigned>(number));
  return text;
}

}  // namespace tivolan
