#include "transmission/FormSMS.h"

#include <algorithm>

#include "model/CodePage.h"
#include "model/DeviceCatalogue.h"
#include "model/ValueLists.h"
#include "transmission/PhoneText.h"

namespace tivolan {

namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool ValidRow(int row) { return row >= 1 && row <= kSmsRows; }

int KindItem(const std::string& text) { return IndexOfText(text, SmsKindList); }

// The partition chooser holds "1".."8".
int PartitionItem(const std::string& text) {
  const auto value = ParseSmsPartition(text, 8);
  if (!value || *value < 1 || text.size() != 1) return -1;
  return *value - 1;
}


}  // namespace

SmsDialogState::SmsDialogState() {
  for (int r = 1; r <= kSmsRows; ++r) Row(r).number = std::to_string(r);
}

std::string* Cell(SmsDialogState& state, int row, int column) {
  return const_cast<std::string*>(Cell(static_cast<const SmsDialogState&>(state), row, column));
}

const std::string* Cell(const SmsDialogState& state, int row, int column) {
  if (!ValidRow(row)) return nullptr;
  const SmsGridRow& r = state.Row(row);
  switch (column) {
    case kSmsColNumber: return &r.number;
    case kSmsColKind: return &r.kind;
    case kSmsColPartition: return &r.partition;
    case kSmsColPhone: return &r.phone;
    default: return nullptr;
  }
}

std::string SmsKindText(uint8_t kind) {
  if (kind < SmsKindList.size()) return SmsKindList[kind];
  return kSmsUnknownKindPrefix + std::to_string(kind);
}

uint8_t SmsKindValue(const std::string& text) {
  const int item = KindItem(text);
  if (item >= 0) return static_cast<uint8_t>(item);
  const std::string prefix = kSmsUnknownKindPrefix;
  if (text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0) {
    const auto value = ParseSmsPartition(text.substr(prefix.size()), 255);
    if (value) return static_cast<uint8_t>(*value);
  }
  return kSmsKindOff;
}

bool SmsRowOn(const SmsDialogState& state, int row) {
  if (!ValidRow(row)) return false;
  const std::string& kind = state.Row(row).kind;
  return !kind.empty() && kind != SmsKindList[kSmsKindOff];
}

bool EncodePhoneDigits(const std::string& text, PhoneField& out) {
  const std::string digits = StripPhoneSeparators(text);
  // 16 digits would leave no room for the end mark; anything not a digit
  // (pasted text) has no semi-octet.
  if (digits.size() < kSmsMinPhoneDigits || digits.size() > kSmsMaxPhoneDigits || !AllDigits(digits))
    return false;
  PhoneField field;
  field.fill(0xFF);
  std::size_t index = 0;
  for (std::size_t count = 0; count < digits.size(); ++count) {
    const auto d = static_cast<uint8_t>(digits[count] - '0');
    if (count % 2 == 0) {
      field[index] = d;
    } else {
      field[index] = static_cast<uint8_t>(field[index] + d * 16);
      ++index;
    }
  }
  if (digits.size() % 2 != 0) field[index] = static_cast<uint8_t>(field[index] | 0xF0u);
  else field[index] = 0x0F;  // index < 8: at most 14 digits when even
  out = field;
  return true;
}

std::string DecodePhoneDigits(std::span<const uint8_t, kSmsPhoneBytes> bytes) {
  std::string digits;
  for (std::size_t n = 0; n < 2 * kSmsPhoneBytes && digits.size() < kSmsMaxPhoneDigits; ++n) {
    const uint8_t byte = bytes[n / 2];
    const unsigned half = n % 2 == 0 ? byte & 0x0Fu : byte >> 4;
    if (half == 0x0F) break;
    digits += "0123456789ABCDE"[half];
  }
  return digits;
}

std::optional<int> ParseSmsPartition(const std::string& text, int max) {
  if (text.empty() || !AllDigits(text)) return std::nullopt;
  int value = 0;
  for (char c : text) {
    value = value * 10 + (c - '0');
    if (value > max) return std::nullopt;  // also keeps a long text from overflowing
  }
  return value;
}

void SetDefaults(SharedData& data) { data.SmsTX_Buffer.records.clear(); }

bool SmsListHoldsRecords(const SmsList& list) { return !list.records.empty(); }

void RefreshControls(SmsDialogState& state, const SharedData& data) {
  const SmsList& list = data.SmsTX_Buffer;
  for (int r = 1; r <= kSmsRows; ++r) {
    SmsGridRow& row = state.Row(r);
    row.number = std::to_string(r);
    const auto k = static_cast<std::size_t>(r - 1);
    if (k >= list.records.size()) {
      row.kind = SmsKindList[kSmsKindOff];
      row.partition = "1";
      row.phone.clear();
      continue;
    }
    const SmsRecord& record = list.records[k];
    row.kind = SmsKindText(record.kind);
    row.partition = std::to_string(record.partition);
    row.phone = DecodePhoneDigits(record.phone);
  }
}

bool SmsTableShows(const SmsDialogState& state, const SharedData& data) {
  SmsDialogState shown = state;
  RefreshControls(shown, data);
  return shown.grdSMS == state.grdSMS;
}

void UpdateTX_Buffer(const SmsDialogState& state, SharedData& data) {
  SmsList list;
  for (int r = 1; r <= kSmsRows; ++r) {
    const SmsGridRow& row = state.Row(r);
    SmsRecord record;
    record.kind = SmsKindValue(row.kind);
    if (record.kind == kSmsKindOff) continue;
    if (!EncodePhoneDigits(row.phone, record.phone)) continue;
    // This build also runs at commit time without CheckGridOK; a partition
    // that fits a byte is stored as it stands (a read-back round trip keeps
    // the device's value), anything else has no byte to store.
    const auto partition = ParseSmsPartition(row.partition, 255);
    if (!partition) continue;
    record.partition = static_cast<uint8_t>(*partition);
    list.records.push_back(record);
  }
  data.SmsListFilled = list.records.empty() ? 0 : 1;
  data.SmsTX_Buffer = std::move(list);
}

std::optional<MessageBox> CheckGridOK(const SmsDialogState& state) {
  // Rows that are off count too: they show "1" unless changed.
  for (int r = 1; r <= kSmsRows; ++r) {
    if (!ParseSmsPartition(state.Row(r).partition, kSmsMaxPartition))
      return MessageBox{"SMS", "В номера разделов должны быть в пределах\r\n0-64\r\nИсправьте ошибки.",
                        BoxIcon::Warning};
  }
  return std::nullopt;
}

SmsSaveResult btnSaveExitClick(const SmsDialogState& state, SharedData& data) {
  SmsSaveResult result;
  result.box = CheckGridOK(state);
  if (result.box) return result;
  UpdateTX_Buffer(state, data);
  result.close = true;
  return result;
}

SmsCellSelection grdSMSSelectCell(const SmsDialogState& state, int deviceType, int row, int column) {
  if (!ValidRow(row) || column < 0 || column >= kSmsColumns) return {};
  if (column == kSmsColKind) return {true, SmsCellAction::OpenKindChooser, KindItem(state.Row(row).kind)};
  if (!SmsRowOn(state, row)) return {};
  if (column == kSmsColPartition) {
    if (deviceType == kTypePPKP || deviceType == kTypePPKN)
      return {true, SmsCellAction::OpenPartitionChooser, PartitionItem(state.Row(row).partition)};
    if (deviceType == kTypeCNC1) return {true, SmsCellAction::TypeIn, -1};
    return {true, SmsCellAction::None, -1};
  }
  if (column == kSmsColPhone) return {true, SmsCellAction::TypeIn, -1};
  return {true, SmsCellAction::None, -1};
}

void bxSMSTypeCloseUp(SmsDialogState& state, int row, int index) {
  if (!ValidRow(row) || index < 0 || index >= static_cast<int>(SmsKindList.size())) return;
  SmsGridRow& r = state.Row(row);
  if (index == kSmsKindOff) r.phone.clear();
  else if (!SmsRowOn(state, row)) r.phone = kPhonePlaceholder;
  r.kind = SmsKindList[static_cast<std::size_t>(index)];
}

void bxPartNumCloseUp(SmsDialogState& state, int row, int index) {
  if (!ValidRow(row) || index < 0 || index >= 8) return;
  state.Row(row).partition = std::to_string(index + 1);
}

bool grdSMSKeyPress(int column, const std::string& cellText, char32_t key) {
  if (key == kKeyEnter || key == kKeyEscape || key == kKeyBackspace) return true;
  if (column == kSmsColPartition) return IsDigit(key);
  if (column == kSmsColPhone) {
    // Characters, not bytes: a pasted text may hold more than ASCII.
    if (Utf8Length(cellText) > kSmsPhoneTextLimit) return false;
    return IsDigit(key) || key == U'(' || key == U')' || key == U'+' || key == U'-';
  }
  return true;
}

}  // namespace tivolan
