#include <gtest/gtest.h>

#include "model/Bits.h"
#include "model/ConcentratorPage.h"
#include "model/PeripheryPage.h"
#include "configuration/Configuration.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {

class Pages : public ::testing::Test {
 protected:
  void Select(int type) { DeviceTypeListChange(data, form, type - 1, prompter, settings); }
  uint8_t& Byte(int i) { return data.ConfigBuffer[static_cast<std::size_t>(i)]; }
  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
};

TEST_F(Pages, RelayHalvesAreReadModifyWrite) {
  Select(1);
  ASSERT_EQ(Byte(40), 0x33);
  bxReleAlarmCloseUp(form.periphery, data, 5);
  EXPECT_EQ(Byte(40), 0x53);
  bxReleFireCloseUp(form.periphery, data, 0);
  EXPECT_EQ(Byte(40), 0x50);
  EXPECT_EQ(Byte(41), 0x10) << "the hidden control relay survives";
}

TEST_F(Pages, LampAndReaderLedShareTheirByte) {
  for (int type : {1, 2}) {
    Select(type);
    const int lamp = type == 1 ? 44 : 45;
    ASSERT_EQ(Byte(lamp), 0x10);
    bxLampModeExit(form.periphery, data, 9);
    EXPECT_EQ(Byte(lamp), 0x19);
    bxTMLedModeCloseUp(form.periphery, data, 8);
    EXPECT_EQ(Byte(lamp), 0x89);
  }
}

TEST_F(Pages, SystemPartitionAndBuzzerKeepTheOtherBits) {
  Select(1);
  bxSysPartIDCloseUp(form.periphery, data, 7);
  EXPECT_EQ(Byte(42), 0xC7);
  chkUseBuzzerClick(data, false);
  EXPECT_EQ(Byte(42), 0x47);
}

TEST_F(Pages, GuardSoundIsABitForTypeOneAndAByteForTypeTwo) {
  Select(1);
  chkGuardSndClick(form.periphery, data, false);
  EXPECT_EQ(Byte(42), 0x80);
  chkGuardSndClick(form.periphery, data, true);
  EXPECT_EQ(Byte(42), 0xC0);
  Select(2);
  chkGuardSndClick(form.periphery, data, false);
  EXPECT_EQ(Byte(43), 0);
  EXPECT_EQ(Byte(42), 0x80);
  chkGuardSndClick(form.periphery, data, true);
  EXPECT_EQ(Byte(43), 1);
  EXPECT_EQ(Byte(42), 0x80);
}

TEST_F(Pages, CircuitBoxesWriteTheirTagBitOnly) {
  Select(2);
  Byte(39) = 0x84;  // light and the hidden control relay circuit
  RefreshControls(data, form);
  EXPECT_TRUE(form.periphery.circuit[7]);
  EXPECT_TRUE(form.periphery.circuit[2]);
  PKK_OPsCntrlToggle(form.periphery, data, 7, false);
  EXPECT_EQ(Byte(39), 0x04);
  PKK_OPsCntrlToggle(form.periphery, data, 1, true);
  EXPECT_EQ(Byte(39), 0x06);
  PKK_OPsCntrlToggle(form.periphery, data, 9, true);
  EXPECT_EQ(Byte(39), 0x06) << "a tag above 7 does nothing";
}

TEST_F(Pages, SirenTimeByType) {
  Select(1);
  edtSndWrkTimeChange(form.periphery, data, 10);
  EXPECT_EQ(Byte(43), 10);
  Select(2);
  edtSndWrkTimeChange(form.periphery, data, 1);
  EXPECT_EQ(Byte(44), 1);
  EXPECT_EQ(Byte(43), 1) << "type 2 keeps guard sound in 43";
}

// A device's value is shown as it is and kept; a step of the up-down from
// it lands within 1..10.
TEST_F(Pages, SirenTimeOutsideItsRangeIsShownAsItIsAndKept) {
  Select(1);
  Byte(43) = 0;
  RefreshControls(data, form);
  EXPECT_EQ(form.periphery.sndWrkTime, 0);
  EXPECT_EQ(Byte(43), 0);
  Byte(43) = 200;
  RefreshControls(data, form);
  EXPECT_EQ(form.periphery.sndWrkTime, 200);
  EXPECT_EQ(Byte(43), 200);
  edtSndWrkTimeChange(form.periphery, data, 199);
  EXPECT_EQ(Byte(43), 10);
}

TEST_F(Pages, PanelHandlersDoNothingForTheConcentrator) {
  Select(3);
  const ImageBuffer before = data.ConfigBuffer;
  bxReleAlarmCloseUp(form.periphery, data, 0);
  PKK_OPsCntrlToggle(form.periphery, data, 1, true);
  chkGuardSndClick(form.periphery, data, false);
  edtSndWrkTimeChange(form.periphery, data, 5);
  bxLampModeExit(form.periphery, data, 3);
  EXPECT_EQ(data.ConfigBuffer, before);
}

TEST_F(Pages, RelayHalfWithoutAListEntryShowsNoSelection) {
  Select(1);
  Byte(40) = 0x9C;
  RefreshControls(data, form);
  EXPECT_EQ(form.periphery.releAlarm, -1);
  EXPECT_EQ(form.periphery.releFire, -1);
  EXPECT_EQ(Byte(40), 0x9C);
}

TEST_F(Pages, ConcentratorDefaultsAndRelays) {
  Select(3);
  EXPECT_EQ(form.concentrator.releAlarm, 3);
  EXPECT_EQ(form.concentrator.releFire, 3);
  EXPECT_TRUE(form.concentrator.buzzer);
  bxCNCReleAlarmCloseUp(form.concentrator, data, 2);
  EXPECT_EQ(Byte(5), 0x23);
  bxCNCReleFireCloseUp(form.concentrator, data, 5);
  EXPECT_EQ(Byte(5), 0x25);
}

TEST_F(Pages, BviGroupFollowsItsBitAndKeepsItsOptions) {
  Select(3);
  chkBVIAlarmSilentClick(form.concentrator, data, true);
  chkBVIAlarmDuressClick(form.concentrator, data, true);
  ExpToggle(form.concentrator, data, 7, true);
  EXPECT_EQ(Byte(8), 0x80);
  EXPECT_TRUE(form.concentrator.bviVisible);
  ExpToggle(form.concentrator, data, 7, false);
  EXPECT_EQ(Byte(8), 0x00);
  EXPECT_FALSE(form.concentrator.bviVisible);
  EXPECT_EQ(Byte(11), 0x03);
  ExpToggle(form.concentrator, data, 4, true);  // box "5"
  EXPECT_EQ(Byte(8), 0x10);
  ExpToggle(form.concentrator, data, 8, true);
  EXPECT_EQ(Byte(8), 0x10);
}

TEST_F(Pages, ConcentratorValuesFromADeviceAreKept) {
  Select(3);
  Byte(12) = 1;
  Byte(7) = 5;
  Byte(8) = 0x81;
  RefreshControls(data, form);
  EXPECT_TRUE(form.concentrator.bviReset);
  EXPECT_TRUE(form.concentrator.buzzer);
  EXPECT_TRUE(form.concentrator.bviVisible);
  EXPECT_TRUE(form.concentrator.expanders[0]);
  EXPECT_EQ(Byte(12), 1);
  EXPECT_EQ(Byte(7), 5);
  chkCncBuzzOnClick(form.concentrator, data, true);
  EXPECT_EQ(Byte(7), 1);
  chkCncFireReleCntrClick(form.concentrator, data, true);
  EXPECT_EQ(Byte(4), 0x02);
  chkBVIEnableResetClick(form.concentrator, data, false);
  EXPECT_EQ(Byte(12), 0);
  EXPECT_EQ(Byte(6), 0x10) << "no control touches byte 6";
}

}  // namespace
}  // namespace tivolan
