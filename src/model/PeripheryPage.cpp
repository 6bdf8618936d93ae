#include "model/PeripheryPage.h"

#include <algorithm>
#include <optional>

#include "model/Images.h"
#include "model/ValueLists.h"

namespace tivolan {
namespace {

std::optional<PanelImage> Panel(SharedData& data) { return PanelImageOf(data.ConfigBuffer, data.DeviceType); }

}  // namespace

int ListPosition(int value, int entries) { return value >= 0 && value < entries ? value : -1; }

int RelayPosition(int stored) { return ListPosition(stored, static_cast<int>(RelayModeList.size())); }

void bxReleAlarmCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.releAlarm = position;
    p->AlarmRelay().Set(position);
  }
}

void bxReleFireCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.releFire = position;
    p->FireRelay().Set(position);
  }
}

void bxReleControlCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.releControl = position;
    p->ControlRelay().Set(position);
  }
}

void PKK_OPsCntrlToggle(PeripheryPageState& page, SharedData& data, int tag, bool ticked) {
  if (tag < 0 || tag > 7) return;
  if (auto p = Panel(data)) {
    page.circuit[static_cast<std::size_t>(tag)] = ticked;
    p->SetCircuitControl(tag, ticked);
  }
}

void chkUseBuzzerClick(SharedData& data, bool ticked) {
  if (auto p = Panel(data))
    p->SetInternalBuzzer(ticked);
  else if (data.DeviceType == kTypeCNC1)
    ImageCNC1(data.ConfigBuffer).Buzzer() = ticked ? 1 : 0;
}

void bxSysPartIDCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.sysPart = position;
    p->SetSystemPartition(position);
  }
}

void chkGuardSndClick(PeripheryPageState& page, SharedData& data, bool ticked) {
  if (auto p = Panel(data)) {
    page.guardSnd = ticked;
    p->SetGuardSound(ticked);
  }
}

void edtSndWrkTimeChange(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.sndWrkTime = std::clamp(position, kSirenMinutesMin, kSirenMinutesMax);
    p->SndWrkTime() = static_cast<uint8_t>(page.sndWrkTime);
  }
}

void bxLampModeExit(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.lampMode = position;
    p->Lamp().Set(position);
  }
}

void bxTMLedModeCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.ledMode = position;
    p->ReaderLed().Set(position);
  }
}

void RefreshPeriphery(PeripheryPageState& page, SharedData& data) {
  auto p = Panel(data);
  if (!p) return;
  for (int tag : kCircuitTags) page.circuit[static_cast<std::size_t>(tag)] = p->CircuitControl(tag);
  page.releAlarm = RelayPosition(p->AlarmRelay().Get());
  page.releFire = RelayPosition(p->FireRelay().Get());
  page.releControl = RelayPosition(p->ControlRelay().Get());
  page.useBuzzer = p->InternalBuzzer();
  page.sysPart = p->SystemPartition();
  page.guardSnd = p->GuardSound();
  page.sndWrkTime = p->SndWrkTime();  // as it is, also outside 1..10
  page.lampMode = ListPosition(p->Lamp().Get(), static_cast<int>(kLampModeCount));
  page.ledMode = ListPosition(p->ReaderLed().Get(), static_cast<int>(kReaderLedModeCount));
}

}  // namespace tivolan
