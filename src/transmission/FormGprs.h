#pragma once
// The "Параметры GPRS" dialog as data: the six texts of the two SIM cards, the
// two preset lists, and the rules that tie them to block 3 (`GprsTX_Buffer`).
// The widget dialog mirrors this state and calls these handlers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/Prompter.h"
#include "model/SharedData.h"

namespace tivolan {

struct OperatorPreset {
  const char* name;
  const char* apn;
  const char* user;
  const char* password;
};

// Operator presets offered by "Шаблон", in list order.
inline constexpr std::array<OperatorPreset, 4> TOperators{{
    // operator   APN                    user       password
    {"Билайн",    "internet.beeline.ru", "tavrona", "tavrona"},
    {"МТС",       "internet.mts.ru",     "zuk",     "zuk"},
    {"Tele2",     "internet.tele2.ru",   "",        ""},
    {"Megafon",   "internet",            "",        ""},
}};

// The device reads at most this many characters of a text; with it the frame
// never exceeds 199 bytes.
inline constexpr std::size_t kGprsTextMax = 31;
inline constexpr uint8_t kGprsBlock = 3;

struct GprsDialogState {
  std::string edtAPN1;
  std::string edtUser1;
  std::string edtPass1;
  std::string edtAPN2;
  std::string edtUser2;
  std::string edtPass2;
  int bxOper1 = -1;  // preset list positions; -1: none chosen
  int bxOper2 = -1;
};

// A preset row into one SIM's three texts; a row outside the table only
// clears the list's choice.
void bxOper1Change(GprsDialogState& state, int row);
void bxOper2Change(GprsDialogState& state, int row);
// Row 0 chosen and applied for both SIMs.
void ApplyDefaultPresets(GprsDialogState& state);

// The six texts from the buffer; a buffer that holds no configuration gives
// the default presets. Never reads beyond the buffer, whatever its bytes say.
void FillFromBuffer(GprsDialogState& state, const GprsBuffer& buffer);

// The fields as bits, in the order of the state's texts.
using GprsFieldSet = unsigned;
inline constexpr GprsFieldSet kGprsAPN1 = 1u << 0;
inline constexpr GprsFieldSet kGprsUser1 = 1u << 1;
inline constexpr GprsFieldSet kGprsPass1 = 1u << 2;
inline constexpr GprsFieldSet kGprsAPN2 = 1u << 3;
inline constexpr GprsFieldSet kGprsUser2 = 1u << 4;
inline constexpr GprsFieldSet kGprsPass2 = 1u << 5;

// A text as the frame carries it: the characters `IsApnChar` admits
// (Backspace excepted), at most the first kGprsTextMax of them.
std::string GprsPackedText(const std::string& text);

// Packs the six texts into the buffer; with both APNs empty (after packing)
// only byte 0 := 0. Text that came in other than by typing (a file, a paste)
// may not fit: it is packed as GprsPackedText gives it, and the fields that
// were not packed as they stand are returned, so that the caller can say so
// (GprsAlteredMessage) and show what was stored (FillFromBuffer).
GprsFieldSet BuildTX_Buffer(const GprsDialogState& state, GprsBuffer& buffer);

// The warning for fields BuildTX_Buffer had to alter; the set must not be empty.
MessageBox GprsAlteredMessage(GprsFieldSet altered);

// Whether the buffer holds a configuration, in the sense FillFromBuffer reads
// it. When "Использовать конфигурацию GPRS" is ticked and this is false after
// the dialog is saved, the flag asks for a block 3 that does not exist; the
// page should then clear the flag, as the SMS option does with an empty list.
bool GprsHoldsConfiguration(const GprsBuffer& buffer);

// Backspace (8), "-", ".", "0".."9", "A".."Z", "_", "a".."z".
bool IsApnChar(char c);

// Key filter of all six fields, for a character typed into `text` while
// `selectedLength` of its characters are selected (and so replaced): `key`
// becomes 0 when it is not admitted or would make the text longer than
// kGprsTextMax. Backspace always passes.
void edtAPN1KeyPress(const std::string& text, std::size_t selectedLength, char& key);

}  // namespace tivolan
