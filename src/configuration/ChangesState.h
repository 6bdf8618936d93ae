#pragma once
// "Что изменится при записи": the window's configuration against the device
// on its port, as the dialog shows it, and the rule that lets its write go
// ahead only onto the device that was compared, with what was compared.
#include <optional>
#include <string>
#include <vector>

#include "configuration/Comparison.h"
#include "model/SharedData.h"

namespace tivolan {

struct ChangeGroup {
  std::string page;                // tab caption
  std::vector<std::string> lines;  // in plain words: "Шлейф 3: тип «Охранный» → «Пожарный»"
};

struct ChangesState {
  SharedData device;    // the device's answer at the comparison
  SharedData compared;  // the window's configuration after the commit step: what a write sends
  std::string heading;  // what the comparison found, in one sentence
  std::vector<ChangeGroup> groups;
  bool canWrite = false;
  std::string message;  // how the last write ended, or why it was refused
};

// The window's configuration `window` (after the commit step) against the
// device's answer `device` (its DeviceType the type it reported).
ChangesState CompareWithDevice(const SharedData& device, const SharedData& window);

// Before the write: the device read once more (`reread`) and the window's
// configuration now (after the commit step). The reason the write must not
// go ahead, or nullopt.
std::optional<std::string> WriteRefusal(const ChangesState& state, const SharedData& reread, const SharedData& windowNow);

// A write refused or ended: the dialog says so and offers no write any more.
void EndWrite(ChangesState& state, std::string message);

}  // namespace tivolan
