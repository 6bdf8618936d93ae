#include "transmission/FormGprs.h"

#include <algorithm>

namespace tivolan {

namespace {

constexpr char kBackspace = 8;

struct SimTexts {
  std::string* apn;
  std::string* user;
  std::string* pass;
};

SimTexts Sim1(GprsDialogState& s) { return {&s.edtAPN1, &s.edtUser1, &s.edtPass1}; }
SimTexts Sim2(GprsDialogState& s) { return {&s.edtAPN2, &s.edtUser2, &s.edtPass2}; }

void ApplyPreset(SimTexts sim, int& position, int row) {
  if (row < 0 || row >= static_cast<int>(TOperators.size())) {
    position = -1;
    return;
  }
  position = row;
  const OperatorPreset& preset = TOperators[static_cast<std::size_t>(row)];
  *sim.apn = preset.apn;
  *sim.user = preset.user;
  *sim.pass = preset.password;
}

void ClearSim(SimTexts sim) {
  sim.apn->clear();
  sim.user->clear();
  sim.pass->clear();
}

constexpr const char* kGprsRule =
    "Прибор хранит в полях GPRS не более 31 символа: только латинские буквы, цифры, \"-\", \".\" и \"_\"; "
    "без APN SIM-карта не хранит ни пользователя, ни пароля.";

GprsFieldSet ChangedFields(const GprsDialogState& a, const GprsDialogState& b) {
  const std::array<std::pair<const std::string*, const std::string*>, 6> fields{{
      {&a.edtAPN1, &b.edtAPN1}, {&a.edtUser1, &b.edtUser1}, {&a.edtPass1, &b.edtPass1},
      {&a.edtAPN2, &b.edtAPN2}, {&a.edtUser2, &b.edtUser2}, {&a.edtPass2, &b.edtPass2}}};
  GprsFieldSet changed = 0;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (*fields[i].first != *fields[i].second) changed |= 1u << i;
  return changed;
}

std::string FieldList(GprsFieldSet fields) {
  static constexpr std::array<const char*, 6> names{
      "SIM-карта №1: APN", "SIM-карта №1: Пользователь", "SIM-карта №1: Пароль",
      "SIM-карта №2: APN", "SIM-карта №2: Пользователь", "SIM-карта №2: Пароль"};
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (fields & (1u << i)) list += std::string("\r\n") + names[i];
  return list;
}

}  // namespace

void bxOper1Change(GprsDialogState& state, int row) { ApplyPreset(Sim1(state), state.bxOper1, row); }
void bxOper2Change(GprsDialogState& state, int row) { ApplyPreset(Sim2(state), state.bxOper2, row); }

void ApplyDefaultPresets(GprsDialogState& state) {
  bxOper1Change(state, 0);
  bxOper2Change(state, 0);
}

void FillFromBuffer(GprsDialogState& state, const GprsSettings& stored) {
  if (!GprsHoldsConfiguration(stored)) {
    ApplyDefaultPresets(state);
    return;
  }
  ShowGprsSettings(stored, state);
}

std::string GprsPackedText(const std::string& text) {
  std::string packed;
  for (char c : text) {
    if (packed.size() == kGprsTextMax) break;
    if (c != kBackspace && IsApnChar(c)) packed += c;
  }
  return packed;
}

// Each text as the frame carries it.
GprsDialogState PackedTexts(const GprsDialogState& state) {
  GprsDialogState packed = state;
  for (std::string* text : {&packed.edtAPN1, &packed.edtUser1, &packed.edtPass1, &packed.edtAPN2, &packed.edtUser2,
                            &packed.edtPass2})
    *text = GprsPackedText(*text);
  return packed;
}

GprsDialogState StoredTexts(const GprsDialogState& state) {
  GprsDialogState stored = PackedTexts(state);
  // A SIM without an access point is the length byte 0 alone.
  for (SimTexts sim : {Sim1(stored), Sim2(stored)})
    if (sim.apn->empty()) ClearSim(sim);
  return stored;
}

GprsFieldSet BuildTX_Buffer(const GprsDialogState& state, GprsSettings& stored) {
  stored = GprsSettingsOf(StoredTexts(state));
  return ChangedFields(state, PackedTexts(state));
}

std::optional<MessageBox> btnSaveExitClick(GprsDialogState& state, GprsSettings& block) {
  BuildTX_Buffer(state, block);
  const GprsDialogState stored = StoredTexts(state);
  const GprsFieldSet changed = ChangedFields(state, stored);
  if (!changed) return std::nullopt;
  state = stored;
  return GprsAlteredMessage(changed);
}

MessageBox GprsAlteredMessage(GprsFieldSet altered) {
  return {"Параметры GPRS",
          std::string(kGprsRule) + "\r\nПоля исправлены так, как они будут записаны:" + FieldList(altered),
          BoxIcon::Warning};
}

MessageBox GprsRefusedMessage(GprsFieldSet unfit) {
  return {"Параметры GPRS", std::string(kGprsRule) + "\r\nИсправьте поля:" + FieldList(unfit), BoxIcon::Error};
}

bool GprsHoldsConfiguration(const GprsSettings& stored) { return !stored.NoAccessPoint(); }

bool IsApnChar(char c) {
  return c == kBackspace || c == '-' || c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

void edtAPN1KeyPress(const std::string& text, std::size_t selectedLength, char& key) {
  if (!IsApnChar(key)) {
    key = 0;
    return;
  }
  if (key == kBackspace) return;
  const std::size_t kept = text.size() - std::min(selectedLength, text.size());
  if (kept >= kGprsTextMax) key = 0;
}

}  // namespace tivolan
