#include "model/ConcentratorPage.h"

#include "model/Bits.h"
#include "model/Images.h"
#include "model/PeripheryPage.h"
#include "model/ValueLists.h"

namespace tivolan {

void bxCNCReleAlarmCloseUp(ConcentratorPageState& page, SharedData& data, int position) {
  page.releAlarm = position;
  ImageCNC1(data.ConfigBuffer).AlarmRelay().Set(position);
}

void bxCNCReleFireCloseUp(ConcentratorPageState& page, SharedData& data, int position) {
  page.releFire = position;
  ImageCNC1(data.ConfigBuffer).FireRelay().Set(position);
}

void ExpToggle(ConcentratorPageState& page, SharedData& data, int tag, bool ticked) {
  if (tag < 0 || tag > 7) return;
  page.expanders[static_cast<std::size_t>(tag)] = ticked;
  WriteBit(ImageCNC1(data.ConfigBuffer).Expanders(), tag, ticked);
  if (tag == kBviTag) page.bviVisible = ticked;
}

void chkBVIAlarmSilentClick(ConcentratorPageState& page, SharedData& data, bool ticked) {
  page.bviSilent = ticked;
  WriteBit(ImageCNC1(data.ConfigBuffer).BVIAlarm(), 0, ticked);
}

void chkBVIAlarmDuressClick(ConcentratorPageState& page, SharedData& data, bool ticked) {
  page.bviDuress = ticked;
  WriteBit(ImageCNC1(data.ConfigBuffer).BVIAlarm(), 1, ticked);
}

void chkBVIEnableResetClick(ConcentratorPageState& page, SharedData& data, bool ticked) {
  page.bviReset = ticked;
  ImageCNC1(data.ConfigBuffer).BVIButtons() = ticked ? 1 : 0;
}

void chkCncFireReleCntrClick(ConcentratorPageState& page, SharedData& data, bool ticked) {
  page.fireReleCntr = ticked;
  WriteBit(ImageCNC1(data.ConfigBuffer).OPsCheck(), 1, ticked);
}

void chkCncBuzzOnClick(ConcentratorPageState& page, SharedData& data, bool ticked) {
  page.buzzer = ticked;
  chkUseBuzzerClick(data, ticked);
}

void RefreshConcentrator(ConcentratorPageState& page, SharedData& data) {
  ImageCNC1 image(data.ConfigBuffer);
  for (int k = 0; k < 8; ++k) page.expanders[static_cast<std::size_t>(k)] = TestBit(image.Expanders(), k);
  page.bviVisible = TestBit(image.Expanders(), kBviTag);
  page.bviReset = image.BVIButtons() != 0;
  page.bviSilent = TestBit(image.BVIAlarm(), 0);
  page.bviDuress = TestBit(image.BVIAlarm(), 1);
  page.releAlarm = RelayPosition(image.AlarmRelay().Get());
  page.releFire = RelayPosition(image.FireRelay().Get());
  page.fireReleCntr = TestBit(image.OPsCheck(), 1);
  page.buzzer = image.Buzzer() != 0;
}

}  // namespace tivolan
