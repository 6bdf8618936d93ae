#include "model/PeripheryPage.h"

#include <algorithm>
#include <optional>

#include "model/Bits.h"
#include "model/Images.h"
#include "model/ValueLists.h"

namespace tivolan {
namespace {

std::optional<PanelImage> Panel(SharedData& data) { return PanelImageOf(data.ConfigBuffer, data.DeviceType); }

}  // namespace

int ListPosition(int value, int entries) { return value >= 0 && value < entries ? value : -1; }

void bxReleAlarmCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.releAlarm = position;
    SetHighHalf(p->AlarmFire(), position);
  }
}

void bxReleFireCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.releFire = position;
    SetLowHalf(p->AlarmFire(), position);
  }
}

void bxReleControlCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.releControl = position;
    SetHighHalf(p->CtrlFail(), position);
  }
}

void PKK_OPsCntrlToggle(PeripheryPageState& page, SharedData& data, int tag, bool ticked) {
  if (tag < 0 || tag > 7) return;
  if (auto p = Panel(data)) {
    page.circuit[static_cast<std::size_t>(tag)] = ticked;
    WriteBit(p->OPsCheck(), tag, ticked);
  }
}

void chkUseBuzzerClick(SharedData& data, bool ticked) {
  if (auto p = Panel(data))
    WriteBit(p->SysCfg(), 7, ticked);
  else if (data.DeviceType == kTypeCNC1)
    ImageCNC1(data.ConfigBuffer).Buzzer() = ticked ? 1 : 0;
}

void bxSysPartIDCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.sysPart = position;
    SetLow3(p->SysCfg(), position);
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
    SetLowHalf(p->LampMode(), position);
  }
}

void bxTMLedModeCloseUp(PeripheryPageState& page, SharedData& data, int position) {
  if (auto p = Panel(data)) {
    page.ledMode = position;
    SetHighHalf(p->LampMode(), position);
  }
}

void RefreshPeriphery(PeripheryPageState& page, SharedData& data) {
  auto p = Panel(data);
  if (!p) return;
  for (int tag : kCircuitTags) page.circuit[static_cast<std::size_t>(tag)] = TestBit(p->OPsCheck(), tag);
  const int relays = static_cast<int>(RelayModeList.size());
  page.releAlarm = ListPosition(HighHalf(p->AlarmFire()), relays);
  page.releFire = ListPosition(LowHalf(p->AlarmFire()), relays);
  page.releControl = ListPosition(HighHalf(p->CtrlFail()), relays);
  page.useBuzzer = TestBit(p->SysCfg(), 7);
  page.sysPart = Low3(p->SysCfg());
  page.guardSnd = p->GuardSound();
  page.sndWrkTime = std::clamp<int>(p->SndWrkTime(), kSirenMinutesMin, kSirenMinutesMax);
  page.lampMode = ListPosition(LowHalf(p->LampMode()), 10);
  page.ledMode = ListPosition(HighHalf(p->LampMode()), 9);
}

}  // namespace tivolan
