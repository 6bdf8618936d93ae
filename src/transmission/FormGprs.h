#pragma once
// The "Параметры GPRS" dialog as data: the six texts of the two SIM cards, the
// two preset lists, and the rules that tie them to block 3's values
// (`GprsTX_Buffer`).
// The widget dialog mirrors this state and calls these handlers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/GsmRecords.h"
#include "model/Prompter.h"
#include "model/SharedData.h"
#include "transmission/GprsTexts.h"

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

// A preset row into one SIM's three texts; a row outside the table only
// clears the list's choice.
void bxOper1Change(GprsDialogState& state, int row);
void bxOper2Change(GprsDialogState& state, int row);
// Row 0 chosen and applied for both SIMs.
void ApplyDefaultPresets(GprsDialogState& state);

// The six texts from block 3; one that holds no configuration gives the
// default presets.
void FillFromBuffer(GprsDialogState& state, const GprsSettings& stored);

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

// The six texts as block 3 holds them: each as GprsPackedText gives it, and
// a SIM whose APN packs to nothing keeps neither user nor password.
GprsDialogState StoredTexts(const GprsDialogState& state);

// Block 3 := the six texts as StoredTexts gives them. Text that came in
// other than by typing (a file, a device, a paste) may not fit the frame:
// the fields whose text was not stored as it stands are returned.
GprsFieldSet BuildTX_Buffer(const GprsDialogState& state, GprsSettings& stored);

// "Сохранить": packs the fields; when some do not hold what was stored (text
// that could not be packed, the user and password of a SIM without APN),
// they are set to it and the warning naming them is returned: the dialog
// stays open to show them.
std::optional<MessageBox> btnSaveExitClick(GprsDialogState& state, GprsSettings& stored);

// The dialog's warning for fields it set to what was stored; the set must
// not be empty.
MessageBox GprsAlteredMessage(GprsFieldSet altered);
// The refusal of a write or a save whose GPRS fields cannot be stored as
// they stand: the fields to correct.
MessageBox GprsRefusedMessage(GprsFieldSet unfit);

// Whether block 3 holds a configuration: an access point. When
// "Использовать конфигурацию GPRS" is ticked and this is false after the
// dialog is saved, the flag asks for a block 3 that does not exist; the page
// should then clear the flag, as the SMS option does with an empty list.
bool GprsHoldsConfiguration(const GprsSettings& stored);

// Backspace (8), "-", ".", "0".."9", "A".."Z", "_", "a".."z".
bool IsApnChar(char c);

// Key filter of all six fields, for a character typed into `text` while
// `selectedLength` of its characters are selected (and so replaced): `key`
// becomes 0 when it is not admitted or would make the text longer than
// kGprsTextMax. Backspace always passes.
void edtAPN1KeyPress(const std::string& text, std::size_t selectedLength, char& key);

}  // namespace tivolan
