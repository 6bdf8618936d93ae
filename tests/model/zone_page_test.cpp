#include <gtest/gtest.h>

#include "model/DefaultImages.h"
#include "model/EventList.h"
#include "model/ValueLists.h"
#include "model/ZonePage.h"
#include "configuration/Configuration.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {

// A panel of `type` with its default image shown on the pages.
class ZonePageTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    DeviceTypeListChange(data, form, GetParam() - 1, prompter, settings);
    ASSERT_FALSE(prompter.shown.size());
  }
  PanelImage Image() { return *PanelImageOf(data.ConfigBuffer, data.DeviceType); }
  ZoneRowState& Row(int n) { return form.zones.Row(n); }
  void Commit() { ASSERT_FALSE(UpdateAllTXBuffers(data, form)); }
  uint8_t& Byte(int i) { return data.ConfigBuffer[static_cast<std::size_t>(i)]; }

  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
};

TEST_P(ZonePageTest, DefaultImageShowsAsItsFields) {
  EXPECT_EQ(Row(1).type, kZoneTypeDoor);
  EXPECT_TRUE(Row(1).delaysVisible);
  EXPECT_EQ(Row(1).delayIn, "30");
  EXPECT_STREQ(EventList()[static_cast<std::size_t>(Row(1).eventPos)].text, "134 - ВХОД/ВЫХОД");
  EXPECT_EQ(Row(8).type, kZoneTypeFire);
  EXPECT_TRUE(Row(8).reqVisible);
  EXPECT_FALSE(Row(2).delaysVisible);
  for (int n = 1; n <= 8; ++n) EXPECT_TRUE(Row(n).rearmTicked) << n;
  for (int k = 2; k <= 8; ++k) EXPECT_FALSE(form.zones.Dep(k).enabled) << k;
  EXPECT_EQ(Byte(36), 0) << "partition 1 has guard zones";
}

TEST_P(ZonePageTest, DoorToGuardKeepsTheDelayBytes) {
  auto image = Image();
  TypeChange(form.zones, image, 1, kZoneTypeGuard);
  EXPECT_FALSE(Row(1).delaysVisible);
  EXPECT_EQ(Byte(6), 30);
  EXPECT_EQ(Byte(7), 30);
  EXPECT_EQ(image.Zone(1).Tactics(), 5);
  EXPECT_EQ(Byte(5), 0x14);
  EXPECT_TRUE(Row(1).rearmTicked);
}

TEST_P(ZonePageTest, OffDisablesTheEventAndClearsTheTicksAtCommit) {
  auto image = Image();
  TypeChange(form.zones, image, 8, kZoneTypeOff);
  EXPECT_FALSE(Row(8).eventEnabled);
  EXPECT_EQ(Byte(33), 0x04) << "the event byte stays";
  EXPECT_FALSE(Row(8).rearmVisible);
  EXPECT_FALSE(Row(8).rearmTicked);
  EXPECT_FALSE(Row(8).reqVisible);
  EXPECT_TRUE(TestBit(Byte(32), 6)) << "nothing written before the commit";
  Commit();
  EXPECT_FALSE(TestBit(Byte(32), 6));
  EXPECT_FALSE(TestBit(Byte(32), 7));
}

TEST_P(ZonePageTest, TechnologicalKeepsReArmTickedAndDisabled) {
  auto image = Image();
  ClearBit(Byte(8), 6);
  TypeChange(form.zones, image, 2, kZoneTypeTechnical);
  EXPECT_TRUE(Row(2).rearmTicked);
  EXPECT_FALSE(Row(2).rearmEnabled);
  EXPECT_EQ(Byte(9), 0x25);
  Commit();
  EXPECT_TRUE(TestBit(Byte(8), 6));
}

TEST_P(ZonePageTest, TechnologicalReadWithReArmOffShowsItUntickedAndKeepsIt) {
  Byte(12) = static_cast<uint8_t>(4 << 3);  // zone 3 technological, re-arm off
  RefreshControls(data, form);
  EXPECT_FALSE(Row(3).rearmTicked);
  EXPECT_FALSE(Row(3).rearmEnabled);
  Commit();
  EXPECT_EQ(Byte(12), 4 << 3);
}

TEST_P(ZonePageTest, DoorPresetsBothDelaysTo30) {
  auto image = Image();
  Byte(10) = 5;
  Byte(11) = 77;
  TypeChange(form.zones, image, 2, kZoneTypeDoor);
  EXPECT_EQ(Byte(10), 30);
  EXPECT_EQ(Byte(11), 30);
  EXPECT_EQ(Row(2).delayIn, "30");
  EXPECT_TRUE(Row(2).delaysVisible);
}

struct DelayCase {
  const char* typed;
  int stored;
  const char* shown;  // the field's text afterwards
  friend void PrintTo(const DelayCase& c, std::ostream* os) { *os << '"' << c.typed << '"'; }
};
class DelayField : public ::testing::TestWithParam<DelayCase> {};

TEST_P(DelayField, IsCorrectedShownAndStored) {
  SharedData data;
  test::RecordingPrompter prompter;
  SetDefaultImage(data.ConfigBuffer, 1, prompter);
  ZonePageState page;
  auto image = *PanelImageOf(data.ConfigBuffer, 1);
  fldDelayInChange(page, image, 1, GetParam().typed);
  fldDelayOutChange(page, image, 1, GetParam().typed);
  EXPECT_EQ(data.ConfigBuffer[7], GetParam().stored);
  EXPECT_EQ(data.ConfigBuffer[6], GetParam().stored);
  EXPECT_EQ(page.Row(1).delayIn, GetParam().shown);
  EXPECT_EQ(page.Row(1).delayOut, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, DelayField,
                         ::testing::Values(DelayCase{"45", 45, "45"}, DelayCase{"0", 0, "0"},
                                           DelayCase{"99", 99, "99"}, DelayCase{"abc", 30, "30"},
                                           DelayCase{"", 30, "30"}, DelayCase{"12a", 30, "30"},
                                           DelayCase{"4.5", 30, "30"}, DelayCase{"-5", 0, "0"},
                                           DelayCase{"100", 99, "99"}, DelayCase{"99999999999", 30, "30"},
                                           DelayCase{" 7", 7, " 7"}, DelayCase{"+8", 8, "+8"},
                                           DelayCase{"07", 7, "07"}));

TEST_P(ZonePageTest, DependencyBoxesFollowGuardZonesPerPartition) {
  auto image = Image();
  ShlfPartChange(form.zones, image, 3, 2);  // a guard zone into partition 3
  EXPECT_TRUE(form.zones.Dep(3).enabled);
  EXPECT_FALSE(form.zones.Dep(4).enabled);
  form.zones.Dep(3).ticked = true;
  Commit();
  EXPECT_EQ(Byte(37), 0x04);
  ShlfPartChange(form.zones, image, 3, 0);  // the last guard zone leaves partition 3
  EXPECT_FALSE(form.zones.Dep(3).enabled);
  EXPECT_FALSE(form.zones.Dep(3).ticked);
  Commit();
  EXPECT_EQ(Byte(37), 0x00);
}

TEST_P(ZonePageTest, Byte36MarksPartitionsWithOnlyNonGuardActiveZones) {
  auto image = Image();
  ShlfPartChange(form.zones, image, 8, 1);  // "Пожарный" alone in partition 2
  EXPECT_EQ(Byte(36), 0x02);
  ShlfPartChange(form.zones, image, 7, 2);
  TypeChange(form.zones, image, 7, kZoneTypeOff);  // partition 3: only "Отключен"
  EXPECT_EQ(Byte(36), 0x02);
  EXPECT_FALSE(form.zones.Dep(3).enabled);
  ShlfPartChange(form.zones, image, 2, 1);  // a guard zone joins partition 2
  EXPECT_EQ(Byte(36), 0x00);
  EXPECT_TRUE(form.zones.Dep(2).enabled);
}

TEST_P(ZonePageTest, ReRequestReadOnANonFireZoneStaysTickedAndIsWrittenBack) {
  SetBit(Byte(8), 7);  // zone 2, "Охранный"
  RefreshControls(data, form);
  EXPECT_FALSE(Row(2).reqVisible);
  EXPECT_TRUE(Row(2).reqTicked);
  Commit();
  EXPECT_TRUE(TestBit(Byte(8), 7));
}

TEST_P(ZonePageTest, EventByteWithoutAnEntryShowsNoSelectionAndIsKept) {
  Byte(9) = 0x0E;
  RefreshControls(data, form);
  EXPECT_EQ(Row(2).eventPos, -1);
  Commit();
  EXPECT_EQ(Byte(9), 0x0E);
  auto image = Image();
  ExpEventChange(form.zones, image, 2, 0);
  EXPECT_EQ(Byte(9), 0x01);
}

TEST_P(ZonePageTest, RefreshShowsAnyImageWithoutChangingIt) {
  for (std::size_t i = 4; i < 48; ++i) data.ConfigBuffer[i] = static_cast<uint8_t>(i * 37 + 11);
  data.ConfigBuffer[37] = 0xFE;
  RefreshControls(data, form);
  ImageBuffer expected = data.ConfigBuffer;
  RefreshControls(data, form);
  expected[36] = data.ConfigBuffer[36];  // the derived mask alone is recomputed
  EXPECT_EQ(data.ConfigBuffer, expected);
}

INSTANTIATE_TEST_SUITE_P(Panels, ZonePageTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& p) { return "Type" + std::to_string(p.param); });

TEST(ZonePageConcentrator, CommitLeavesTheConcentratorImageAlone) {
  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
  DeviceTypeListChange(data, form, 2, prompter, settings);
  const ImageBuffer before = data.ConfigBuffer;
  ASSERT_FALSE(UpdateAllTXBuffers(data, form));
  EXPECT_EQ(data.ConfigBuffer, before);
  EXPECT_EQ(data.ConfigBuffer[6], 0x10);
}

}  // namespace
}  // namespace tivolan
