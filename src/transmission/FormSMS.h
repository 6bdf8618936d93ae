#pragma once
// The SMS list dialog as data: the texts of its table grdSMS and the handlers
// that tie them to SmsTX_Buffer (block 4's values). The widget TFrmSMS mirrors this
// state and asks these functions what a click, a key or a choice does.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/GsmRecords.h"
#include "model/Prompter.h"
#include "model/SharedData.h"

namespace tivolan {

// Position = kind byte. The backslash is part of the text.
inline constexpr std::array<const char*, 3> SmsKindList{"Выключено", "Только тревоги", "Тревоги, взятия\\снятия"};
inline constexpr int kSmsKindOff = 0;  // no SMS; a record of this kind ends the list

// A kind byte the list has no text for (read from a device or a file) is shown
// as this prefix followed by the byte in decimal, e.g. "Неизвестный вид 7", and
// a build stores that byte again, so that showing and saving loses nothing.
inline constexpr const char* kSmsUnknownKindPrefix = "Неизвестный вид ";

inline constexpr int kSmsRows = kSmsRecords;  // table rows 1..8; row 0 holds the titles
inline constexpr int kSmsColumns = 5;
inline constexpr int kSmsColNumber = 0;
inline constexpr int kSmsColPark = 1;  // hidden; takes the selection after a choice
inline constexpr int kSmsColKind = 2;
inline constexpr int kSmsColPartition = 3;
inline constexpr int kSmsColPhone = 4;
inline constexpr std::array<const char*, kSmsColumns> SmsColumnTitles{"№", "", "Передача SMS", "Раздел", "Телефон"};
inline constexpr std::array<int, kSmsColumns> SmsColumnWidths{50, 0, 200, 80, 150};

inline constexpr std::size_t kSmsMaxPhoneDigits = 15;  // 8 bytes minus the end mark
inline constexpr std::size_t kSmsMinPhoneDigits = 10;
inline constexpr int kSmsMaxPartition = 64;  // 0..64 on the concentrator, 1..8 on the panels

struct SmsGridRow {
  std::string number;     // column 0, "1".."8"
  std::string kind;       // column 2, a text of SmsKindList (or the unknown-kind text)
  std::string partition;  // column 3, decimal
  std::string phone;      // column 4, as typed
  friend bool operator==(const SmsGridRow&, const SmsGridRow&) = default;
};

struct SmsDialogState {
  SmsDialogState();  // row numbers filled, every other cell empty (as after FormCreate)
  std::array<SmsGridRow, kSmsRows> grdSMS;
  // Table row r = 1..8.
  SmsGridRow& Row(int r) { return grdSMS[static_cast<std::size_t>(r - 1)]; }
  const SmsGridRow& Row(int r) const { return grdSMS[static_cast<std::size_t>(r - 1)]; }
};

// The text of a cell of rows 1..8, columns 0, 2, 3, 4; nullptr for the hidden
// column, the title row and anything outside the table.
std::string* Cell(SmsDialogState& state, int row, int column);
const std::string* Cell(const SmsDialogState& state, int row, int column);

// Column 2's text for a kind byte, and back: empty and "Выключено" give 0, the
// unknown-kind text gives its byte, any other text is treated as off.
std::string SmsKindText(uint8_t kind);
uint8_t SmsKindValue(const std::string& text);
// A row is on when its kind is neither "Выключено" nor empty.
bool SmsRowOn(const SmsDialogState& state, int row);

// Semi-octets: digit pairs, first digit in the low half-byte, then the end mark
// F, 0xFF behind. Fails, leaving `out` untouched, unless the text without
// separators is 10..15 decimal digits.
bool EncodePhoneDigits(const std::string& text, PhoneField& out);
// Digits up to the first F, at most 15. A half-byte A..E is shown as its
// capital hex letter so the odd field is visible; a build refuses it.
std::string DecodePhoneDigits(std::span<const uint8_t, kSmsPhoneBytes> bytes);

// A partition text: decimal digits only, not empty, value not above `max`.
std::optional<int> ParseSmsPartition(const std::string& text, int max);

// An empty list.
void SetDefaults(SharedData& data);
// The list holds at least one record (the first is no end mark).
bool SmsListHoldsRecords(const SmsList& list);
// SmsTX_Buffer to the table; writes no data.
void RefreshControls(SmsDialogState& state, const SharedData& data);
// Whether the table still shows the list as RefreshControls put it.
bool SmsTableShows(const SmsDialogState& state, const SharedData& data);
// The table to SmsTX_Buffer, in table order; sets SmsListFilled. A row
// is left out when it is off, its phone is unusable, or its partition is no
// decimal number that fits a byte.
void UpdateTX_Buffer(const SmsDialogState& state, SharedData& data);
// Every row's partition must be a number 0..64; otherwise the warning box.
std::optional<MessageBox> CheckGridOK(const SmsDialogState& state);

struct SmsSaveResult {
  bool close = false;             // the dialog may close; the buffer was built
  std::optional<MessageBox> box;  // to show when it stays open
};
// "Сохранить": CheckGridOK, then UpdateTX_Buffer.
SmsSaveResult btnSaveExitClick(const SmsDialogState& state, SharedData& data);

enum class SmsCellAction {
  None,                  // nothing opens, nothing is typed
  OpenKindChooser,       // bxSMSType over the cell
  OpenPartitionChooser,  // bxPartNum over the cell
  TypeIn,                // the in-place editor
};
struct SmsCellSelection {
  bool canSelect = false;
  SmsCellAction action = SmsCellAction::None;
  int chooserItem = -1;  // the item to show in the opened chooser; -1: none
};
// What a click on (row, column) does, by the row's kind and the device type.
SmsCellSelection grdSMSSelectCell(const SmsDialogState& state, int deviceType, int row, int column);

// Choices of the in-place combos for table row `row`; an index outside the
// list changes nothing. Hiding the combo and parking the selection in column
// 1 is the widget's part.
void bxSMSTypeCloseUp(SmsDialogState& state, int row, int index);
void bxPartNumCloseUp(SmsDialogState& state, int row, int index);

inline constexpr char32_t kKeyBackspace = 8;
inline constexpr char32_t kKeyEnter = 13;
inline constexpr char32_t kKeyEscape = 27;
inline constexpr std::size_t kSmsPhoneTextLimit = 21;  // keys past this length are dropped
// Whether `key` typed into a cell of `column` whose text is `cellText` is
// admitted. The rule does not depend on the row.
bool grdSMSKeyPress(int column, const std::string& cellText, char32_t key);

}  // namespace tivolan
