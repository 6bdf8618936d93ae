#include "transmission/GprsTexts.h"

namespace tivolan {

GprsSettings GprsSettingsOf(const GprsDialogState& s) {
  return {{{{s.edtAPN1, s.edtUser1, s.edtPass1}, {s.edtAPN2, s.edtUser2, s.edtPass2}}}};
}

void ShowGprsSettings(const GprsSettings& settings, GprsDialogState& state) {
  const GprsSim& sim1 = settings.sims[0];
  const GprsSim& sim2 = settings.sims[1];
  state.edtAPN1 = sim1.apn;
  state.edtUser1 = sim1.user;
  state.edtPass1 = sim1.password;
  state.edtAPN2 = sim2.apn;
  state.edtUser2 = sim2.user;
  state.edtPass2 = sim2.password;
}

void ShowStoredGprs(GprsDialogState& state, const GprsSettings& stored) {
  // Not FillFromBuffer: the presets it falls back to would be stored at the
  // next write or save without anyone having chosen them.
  ShowGprsSettings(stored, state);
}

}  // namespace tivolan
