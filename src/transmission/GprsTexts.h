#pragma once
// The six GPRS texts of the two SIM cards as the "Параметры GPRS" dialog
// edits them (code page 1251), with the preset choices, and their exchange
// with block 3's values. Kept apart from the dialog's rules so that the file
// code can carry them without knowing the dialog.
#include <string>

#include "model/GsmSettings.h"

namespace tivolan {

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

// The six texts as block 3's values, and back.
GprsSettings GprsSettingsOf(const GprsDialogState& state);
void ShowGprsSettings(const GprsSettings& settings, GprsDialogState& state);

// The fields as block 3 holds them; one without a configuration shows empty
// fields, not presets nobody chose. The preset lists stay.
void ShowStoredGprs(GprsDialogState& state, const GprsSettings& stored);

}  // namespace tivolan
