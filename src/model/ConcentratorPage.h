#pragma once
// The "Концентратор" page as data, and its handlers. They write ImageCNC1
// without looking at the device type: the page exists only for type 3.
#include <array>

#include "model/SharedData.h"

namespace tivolan {

inline constexpr int kBviTag = 7;

struct ConcentratorPageState {
  std::array<bool, 8> expanders{};  // chkExp0..chkExp7 by tag; tag 7 is "БВИ"
  bool bviVisible = false;           // the group "БВИ"
  bool bviSilent = false;
  bool bviDuress = false;
  bool bviReset = false;  // never shown, carried
  int releAlarm = -1;
  int releFire = -1;
  bool fireReleCntr = false;
  bool buzzer = false;
};

void bxCNCReleAlarmCloseUp(ConcentratorPageState& page, SharedData& data, int position);
void bxCNCReleFireCloseUp(ConcentratorPageState& page, SharedData& data, int position);
void ExpToggle(ConcentratorPageState& page, SharedData& data, int tag, bool ticked);
void chkBVIAlarmSilentClick(ConcentratorPageState& page, SharedData& data, bool ticked);
void chkBVIAlarmDuressClick(ConcentratorPageState& page, SharedData& data, bool ticked);
void chkBVIEnableResetClick(ConcentratorPageState& page, SharedData& data, bool ticked);
void chkCncFireReleCntrClick(ConcentratorPageState& page, SharedData& data, bool ticked);
void chkCncBuzzOnClick(ConcentratorPageState& page, SharedData& data, bool ticked);

// The concentrator's own part of RefreshCNC1 (the transmission boxes are the
// transmission page's).
void RefreshConcentrator(ConcentratorPageState& page, SharedData& data);

}  // namespace tivolan
