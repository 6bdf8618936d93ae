#pragma once
// The "Периферия" page as data, and its handlers. Every handler writes its
// field at once; for the concentrator (type 3) the panel handlers do nothing.
#include <array>

#include "model/SharedData.h"

namespace tivolan {

inline constexpr int kSirenMinutesMin = 1;
inline constexpr int kSirenMinutesMax = 10;

struct PeripheryPageState {
  std::array<bool, 8> circuit{};  // chkExpBox by tag (bits 1, 2, 6, 7 of byte 39)
  int releAlarm = -1;             // relay mode list positions; -1: no selection
  int releFire = -1;
  int releControl = -1;
  bool useBuzzer = false;
  int sysPart = 0;
  bool guardSnd = false;
  int sndWrkTime = kSirenMinutesMin;  // the up-down; a device's value outside 1..10 as it is
  int lampMode = -1;
  int ledMode = -1;
  bool ledVisible = true;  // bxTMLedMode and "Светодиод считывателя"
};

// The circuit-control boxes by their tags.
inline constexpr std::array<int, 4> kCircuitTags{1, 2, 6, 7};

void bxReleAlarmCloseUp(PeripheryPageState& page, SharedData& data, int position);
void bxReleFireCloseUp(PeripheryPageState& page, SharedData& data, int position);
void bxReleControlCloseUp(PeripheryPageState& page, SharedData& data, int position);
void PKK_OPsCntrlToggle(PeripheryPageState& page, SharedData& data, int tag, bool ticked);
void bxSysPartIDCloseUp(PeripheryPageState& page, SharedData& data, int position);
void chkGuardSndClick(PeripheryPageState& page, SharedData& data, bool ticked);
void edtSndWrkTimeChange(PeripheryPageState& page, SharedData& data, int position);
void bxLampModeExit(PeripheryPageState& page, SharedData& data, int position);
void bxTMLedModeCloseUp(PeripheryPageState& page, SharedData& data, int position);

// Shared by the panels' buzzer box and the concentrator's (byte 7 there).
void chkUseBuzzerClick(SharedData& data, bool ticked);

// The part of the panel refresh after the zones, without the transmission
// page. A siren time outside 1..10 (a device's) is shown as it is; a step of
// the up-down brings it within.
void RefreshPeriphery(PeripheryPageState& page, SharedData& data);

// A list position from a stored index; -1 where the list has no such entry.
int ListPosition(int value, int entries);
// The same in the relay mode list, shared by the panels' and the
// concentrator's relays.
int RelayPosition(int stored);

}  // namespace tivolan
