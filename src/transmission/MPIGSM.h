#pragma once
// The delivery destinations table grdG1 as data, and block 2's values
// (DestTX_Buffer): device number, the GPRS and SMS flags and five
// destination records. The widget only mirrors DestTableState.
#include <array>
#include <optional>
#include <string>

#include "link/GsmRecords.h"
#include "model/GsmSettings.h"
#include "model/Prompter.h"
#include "model/SharedData.h"
#include "model/ValueLists.h"

namespace tivolan {

inline constexpr std::array<const char*, 6> TryCountList{"Выкл.", "1", "2", "3", "4", "5"};
inline constexpr std::array<const char*, 3> SimList{"1,2", "1", "2"};
inline constexpr std::array<const char*, 4> ProtocolList{"Voice", "CSD", "Vel-Net", "SIA-IP"};

inline constexpr int kDestCellMax = 31;       // what the key filter lets a cell reach
inline constexpr int kDestTableTextMax = 136;  // ...and all five cells together

// Columns of grdG1; column 1 is hidden and only takes the selection.
enum DestColumn { kColLabel = 0, kColPark, kColTries, kColSim, kColProtocol, kColText, kDestColumns };
struct DestColumnInfo {
  const char* title;
  int width;  // pixels
};
//                                                     title            width
inline constexpr std::array<DestColumnInfo, kDestColumns> kDestColumnInfo{{
    {"№", 40}, {"", 0}, {"Попытки", 80}, {"SIM", 60}, {"Протокол", 100}, {"Телефон\\Хост", 280}}};
inline constexpr int kDestTableWidth = 570;

// One row as values; the table shows them as the texts of TryCountList,
// SimList and ProtocolList. A row read from a device or a file holds its
// fields clamped to the lists (attempts above 5 as 5, SIM 3 as "1,2",
// protocol 4..7 as "Voice"), so that a build stores what is shown.
struct DestRow {
  std::string label;                 // column 0, moves with the row
  uint8_t tries = 0;                 // TryCountList position; 0 "Выкл."
  std::optional<uint8_t> sim;        // SimList position; none: the cell is empty
  std::optional<uint8_t> protocol;   // ProtocolList position; none: empty
  std::string text;                  // phone or host, as typed (UTF-8)
  // The text a cell shows; the hidden column 1 shows nothing.
  std::string Cell(int column) const;
  friend bool operator==(const DestRow&, const DestRow&) = default;
};

struct DestTableState;
// The labels "1".."5" of column 0, once, as the table is made.
void InitDestGrid(DestTableState& table);

// Rows in the order the user sees them, top row first; a fresh table shows
// five rows "Выкл." as after ResetDestBuffer.
struct DestTableState {
  DestTableState() { InitDestGrid(*this); }
  std::array<DestRow, kDestinations> rows;
  DestRow& Row(int row) { return rows[static_cast<std::size_t>(row - 1)]; }  // row 1..5
  const DestRow& Row(int row) const { return rows[static_cast<std::size_t>(row - 1)]; }
};

// Device number 1, both flags off, five empty records: the 14-byte frame.
void ResetDestBuffer(DestSettings& dest);

// Columns 2..5 from the records; column 0 stays.
void DestBufferToGrid(const DestSettings& dest, DestTableState& table);

// A record as a write sends it, the same whether it comes from the table or
// straight from a file or a device: none unless it has attempts and a text;
// fields the table cannot show as the table shows them (attempts above 5 as
// 5, SIM 3 as "1,2", protocol 4..7 as "Voice"); a phone as "+" and its
// digits; at most kDestTextMax characters.
std::optional<DestRecord> SentRecord(const std::optional<DestRecord>& record);

// The records of the table as a write sends them; the device number and the
// options stay. A table whose text the device cannot store, or whose records
// do not fit the frame, is refused with a box that says why, and `dest` is
// left as it was.
std::optional<MessageBox> GridToDestBuffer(const DestTableState& table, DestSettings& dest);
// The same for records that no table showed: `settings` as a write sends it.
std::optional<MessageBox> StoreSentSettings(DestSettings settings, DestSettings& dest);

// Whether the table still shows the records as DestBufferToGrid put them, in
// the same order.
bool DestTableShows(const DestTableState& table, const DestSettings& dest);

// The frame's length once built from the table (may exceed what the device
// takes).
int DestFrameLength(const DestTableState& table);

// A row is on when its attempt count is "1".."5".
bool RowOn(const DestRow& row);
// On and with a phone or host: the frame stores it as a destination; any
// other row is stored as an empty record.
bool RowSendsSomewhere(const DestRow& row);
// Whether some row sends somewhere: a write without one asks first.
bool AnyDestinationEnabled(const DestTableState& table);

// What a click on a cell does (grdG1SelectCell); row 1..5.
enum class CellAction { None, ChooseTries, ChooseSim, ChooseProtocol, Type, Park };
CellAction grdG1SelectCell(const DestTableState& table, int row, int column);

// The item the chooser of a cell (columns 2..4) opens on: its value; an
// empty cell gives the first item.
int DestChooserItem(const DestTableState& table, int row, int column);
// A chooser's close-up, by the cell's column; an index outside its list
// changes nothing.
void DestChosen(DestTableState& table, int row, int column, int index);

// The choosers' close-up: the cells of `row` follow the chosen item.
void bxGrTryCntCloseUp(DestTableState& table, int row, int index);
void bxGrSIMCloseUp(DestTableState& table, int row, int index);
void bxGrTypeCloseUp(DestTableState& table, int row, int index);

// The key filter of column 5: true when `c` (one UTF-8 character) may be
// typed into the cell of `row` and `column`. Enter, Escape and Backspace
// always pass; other columns are not filtered.
bool grdG1KeyPress(const DestTableState& table, int row, int column, const std::string& c);

// A row dragged by its fixed cell from position `from` to `to` (1..5).
void MoveDestRow(DestTableState& table, int from, int to);

// The device number's four-digit text.
std::string DeviceNumberText(int number);

}  // namespace tivolan
