#include "configuration/ChangesState.h"

namespace tivolan {

ChangesState CompareWithDevice(const SharedData& device, const SharedData& window) {
  ChangesState state{device, window, {}, {}, false, {}};
  const Comparison comparison = CompareConfigurations(device, window);
  if (!comparison.SameType()) {
    // Another device: its settings are not this configuration's to change.
    state.heading = OtherDeviceText(device.DeviceType, window.DeviceType);
    return state;
  }
  if (comparison.Equal()) {
    state.heading = kDeviceHoldsIt;
    return state;
  }
  state.heading = "Изменений: " + std::to_string(comparison.Count()) + " (прибор → окно)";
  for (const auto& page : comparison.pages) {
    ChangeGroup group{page.page, {}};
    for (const auto& d : page.differences) group.lines.push_back(PlainDifference(d));
    state.groups.push_back(std::move(group));
  }
  state.canWrite = true;
  return state;
}

std::optional<std::string> WriteRefusal(const ChangesState& state, const SharedData& reread, const SharedData& windowNow) {
  if (!SameDeviceAnswer(state.device, reread) || !SameImage(state.compared, windowNow)) return kDeviceChanged;
  return std::nullopt;
}

void EndWrite(ChangesState& state, std::string message) {
  state.canWrite = false;
  state.message = std::move(message);
}

}  // namespace tivolan
