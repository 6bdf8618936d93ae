#include "transmission/MPIGSM.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "link/Frames.h"
#include "model/CodePage.h"
#include "transmission/PhoneText.h"

namespace tivolan {
namespace {

constexpr uint8_t kDestBlock = 2;

bool IsPhoneProtocol(int protocol) { return protocol == 0 || protocol == 1; }  // "Voice", "CSD"

template <std::size_t N>
int IndexIn(const std::string& text, const std::array<const char*, N>& items) {
  for (std::size_t i = 0; i < N; ++i)
    if (text == items[i]) return static_cast<int>(i);
  return -1;
}

std::optional<DestRecord> RecordOf(const DestRow& row) {
  DestRecord r;
  if (!RowSendsSomewhere(row)) return r;
  const int protocol = IndexIn(row.protocol, ProtocolList);
  const std::string text = IsPhoneProtocol(protocol) ? "+" + StripPhoneSeparators(row.text) : row.text;
  const auto bytes = Cp1251FromUtf8(text);
  if (!bytes) return std::nullopt;
  r.empty = false;
  r.text = bytes->substr(0, kDestTextMax);
  const int tries = IndexIn(row.tries, TryCountList);
  const int sim = IndexIn(row.sim, SimList);
  r.config = static_cast<uint8_t>(tries * 32 + ((sim * 8) & 0x18) + (protocol & 7));
  return r;
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

std::string& DestRow::Cell(int column) {
  switch (column) {
    case kColLabel: return label;
    case kColTries: return tries;
    case kColSim: return sim;
    case kColProtocol: return protocol;
    default: return text;
  }
}

const std::string& DestRow::Cell(int column) const { return const_cast<DestRow*>(this)->Cell(column); }

void InitDestGrid(DestTableState& table) {
  for (int r = 1; r <= kDestinations; ++r) table.Row(r).label = std::to_string(r);
}

void ResetDestBuffer(DestBuffer& buffer) {
  buffer[0] = kFrameStart;
  buffer[2] = kCmdWrite;
  constexpr std::array<uint8_t, 9> kDefaults{0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  std::copy(kDefaults.begin(), kDefaults.end(), buffer.begin() + 4);
}

DestRecords ReadDestRecords(const DestBuffer& b) {
  DestRecords records;
  std::size_t at = kDestRecordsStart;
  for (DestRecord& r : records) {
    const std::size_t length = at < b.size() ? b[at] : 0;
    if (length == 0 || at + 1 + length > b.size()) {
      ++at;
      continue;
    }
    r.empty = false;
    r.config = b[at + 1];
    r.text.assign(b.begin() + static_cast<long>(at) + 2, b.begin() + static_cast<long>(at + 1 + length));
    at += 1 + length;
  }
  return records;
}

std::size_t DestFrameLength(const DestRecords& records) {
  std::size_t length = kDestRecordsStart + 1;
  for (const DestRecord& r : records) length += r.Size();
  return length;
}

bool PackDestRecords(const DestRecords& records, DestBuffer& buffer) {
  if (DestFrameLength(records) > buffer.size()) return false;
  buffer[0] = kFrameStart;
  buffer[2] = kCmdWrite;
  buffer[3] = kDestBlock;
  std::size_t at = kDestRecordsStart;
  for (const DestRecord& r : records) {
    if (r.empty) {
      buffer[at++] = 0;
      continue;
    }
    buffer[at++] = static_cast<uint8_t>(r.text.size() + 1);
    buffer[at++] = r.config;
    for (char c : r.text) buffer[at++] = static_cast<uint8_t>(c);
  }
  buffer[1] = static_cast<uint8_t>(at + 1);
  SealFrame(buffer.data());
  return true;
}

void DestBufferToGrid(const DestBuffer& buffer, DestTableState& table) {
  const DestRecords records = ReadDestRecords(buffer);
  for (int r = 1; r <= kDestinations; ++r) {
    DestRow& row = table.Row(r);
    const DestRecord& record = records[static_cast<std::size_t>(r - 1)];
    const uint8_t config = record.config;
    row.text = Utf8FromCp1251(record.text);
    const int tries = std::min(config >> 5, 5);
    row.tries = TryCountList[static_cast<std::size_t>(tries)];
    if (tries == 0) {
      row.sim.clear();
      row.protocol.clear();
      continue;
    }
    const int sim = (config >> 3) & 3;
    const int protocol = config & 7;
    row.sim = SimList[static_cast<std::size_t>(sim == 3 ? 0 : sim)];
    row.protocol = ProtocolList[static_cast<std::size_t>(protocol > 3 ? 0 : protocol)];
  }
}

int DestFrameLength(const DestTableState& table) {
  DestRecords records;
  for (int r = 1; r <= kDestinations; ++r)
    if (const auto record = RecordOf(table.Row(r))) records[static_cast<std::size_t>(r - 1)] = *record;
  return static_cast<int>(DestFrameLength(records));
}

std::optional<MessageBox> GridToDestBuffer(const DestTableState& table, DestBuffer& buffer) {
  DestRecords records;
  for (int r = 1; r <= kDestinations; ++r) {
    const auto record = RecordOf(table.Row(r));
    if (!record) return UnstorableTextBox(r, table.Row(r).text);
    records[static_cast<std::size_t>(r - 1)] = *record;
  }
  if (!PackDestRecords(records, buffer)) return TooLongBox(DestFrameLength(records));
  return std::nullopt;
}

bool RowOn(const DestRow& row) { return Utf8Length(row.tries) == 1; }

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

void bxGrTryCntCloseUp(DestTableState& table, int row, int index) {
  if (index < 0 || index >= static_cast<int>(TryCountList.size())) return;
  DestRow& r = table.Row(row);
  if (index == 0) {
    r.sim.clear();
    r.protocol.clear();
    r.text.clear();
  } else if (r.tries == TryCountList[0]) {
    r.sim = SimList[0];
    r.protocol = ProtocolList[0];
    r.text = kPhonePlaceholder;
  }
  r.tries = TryCountList[static_cast<std::size_t>(index)];
}

void bxGrSIMCloseUp(DestTableState& table, int row, int index) {
  if (index < 0 || index >= static_cast<int>(SimList.size())) return;
  table.Row(row).sim = SimList[static_cast<std::size_t>(index)];
}

void bxGrTypeCloseUp(DestTableState& table, int row, int index) {
  if (index < 0 || index >= static_cast<int>(ProtocolList.size())) return;
  DestRow& r = table.Row(row);
  // An empty cell counts as the first item, an unknown text as none of them.
  int old = r.protocol.empty() ? 0 : IndexIn(r.protocol, ProtocolList);
  if (old < 0) old = static_cast<int>(ProtocolList.size());
  if (!IsPhoneProtocol(old) && IsPhoneProtocol(index)) r.text = kPhonePlaceholder;
  if (IsPhoneProtocol(old) && !IsPhoneProtocol(index)) r.text = kHostPlaceholder;
  r.protocol = ProtocolList[static_cast<std::size_t>(index)];
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

int DeviceNumber(const DestBuffer& buffer) { return buffer[4] * 256 + buffer[5]; }

void SetDeviceNumber(DestBuffer& buffer, int number) {
  buffer[4] = static_cast<uint8_t>((number / 256) & 0xFF);
  buffer[5] = static_cast<uint8_t>(number % 256);
}

std::string DeviceNumberText(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%.4u", static_cast<unsigned>(number));
  return text;
}

}  // namespace tivolan
