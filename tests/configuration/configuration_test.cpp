#include <gtest/gtest.h>

#include "model/DefaultImages.h"
#include "model/ModelErrors.h"
#include "configuration/Configuration.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {

class ConfigurationRules : public ::testing::Test {
 protected:
  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
};

TEST_F(ConfigurationRules, PanelsShowZonePagesAndTheirTransmissionKinds) {
  ASSERT_TRUE(SetDevice(data, form, 2, prompter));
  EXPECT_EQ(data.DeviceType, 2);
  EXPECT_EQ(form.tabVisible, (std::array<bool, kTabCount>{true, true, true, false, true}));
  EXPECT_EQ(form.activeTab, kTabShlf);
  EXPECT_TRUE(form.tx.kindVisible);
  EXPECT_EQ(form.tx.kindItems, (std::vector<std::string>{"Отключено", "VX-518Hn", "GSM-KVT", "RS-485"}));
  EXPECT_FALSE(form.tx.cncBoxesVisible);
  ASSERT_TRUE(SetDevice(data, form, 1, prompter));
  EXPECT_EQ(form.tx.kindItems.size(), 3u);
  EXPECT_FALSE(form.tx.netIdVisible);
  EXPECT_TRUE(form.periphery.ledVisible);
}

TEST_F(ConfigurationRules, ConcentratorShowsItsPageAndTheConnectedBoxes) {
  ASSERT_TRUE(SetDevice(data, form, 3, prompter));
  EXPECT_EQ(form.tabVisible, (std::array<bool, kTabCount>{false, false, true, true, true}));
  EXPECT_EQ(form.activeTab, kTabCnc);
  EXPECT_TRUE(form.tx.cncBoxesVisible);
  EXPECT_FALSE(form.tx.kindVisible);
  EXPECT_FALSE(form.tx.netIdVisible);
}

TEST_F(ConfigurationRules, UnknownTypeShowsTheBoxAndThenTheRefreshRaises) {
  SetDevice(data, form, 1, prompter);
  const FormState before = form;
  EXPECT_FALSE(SetDevice(data, form, 5, prompter));
  EXPECT_EQ(data.DeviceType, 5) << "the type is stored first";
  EXPECT_EQ(form.tabVisible, before.tabVisible);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].caption, "Внутренняя ошибка 2");
  EXPECT_EQ(prompter.shown[0].text, "Ошибка. Прибор в списке не найден:newDevice)\r\nОбратитесь к разработчику");
  EXPECT_THROW(RefreshControls(data, form), DeviceTypeNotFound);
}

TEST_F(ConfigurationRules, PickingATypeStartsFromItsDefaultsAndStoresTheIndex) {
  DeviceTypeListChange(data, form, 0, prompter, settings);
  data.ConfigBuffer[38] = 1;  // an edit
  DeviceTypeListChange(data, form, 2, prompter, settings);
  EXPECT_EQ(data.DeviceType, 3);
  EXPECT_EQ(data.ConfigBuffer[6], 0x10);
  EXPECT_EQ(settings.Values().at("devicetype"), "2");
  DeviceTypeListChange(data, form, 0, prompter, settings);
  EXPECT_EQ(data.ConfigBuffer[38], 0) << "the edit was discarded";
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ConfigurationRules, AReportedTypeSwitchesWithoutDefaults) {
  DeviceTypeListChange(data, form, 0, prompter, settings);
  data.ConfigBuffer[5] = 0x23;  // as read from a concentrator
  data.ConfigBuffer[10] = 1;
  EXPECT_TRUE(ShowReportedDevice(data, form, 3, prompter));
  EXPECT_EQ(data.DeviceType, 3);
  EXPECT_EQ(data.ConfigBuffer[5], 0x23);
  EXPECT_TRUE(form.tx.cncTxGsm);
  EXPECT_EQ(form.activeTab, kTabCnc);
  EXPECT_FALSE(ShowReportedDevice(data, form, 3, prompter));
  EXPECT_EQ(settings.Values().at("devicetype"), "0") << "not stored on this path";
}

TEST_F(ConfigurationRules, RefreshShowsTheTransmissionKindWithoutWriting) {
  DeviceTypeListChange(data, form, 1, prompter, settings);
  data.ConfigBuffer[38] = 3;
  data.ConfigBuffer[46] = 5;
  const ImageBuffer before = data.ConfigBuffer;
  RefreshControls(data, form);
  EXPECT_EQ(form.tx.kindIndex, 3);
  EXPECT_TRUE(form.tx.netIdVisible);
  EXPECT_EQ(form.tx.busId, 5);
  EXPECT_EQ(data.ConfigBuffer, before);

  // A type 1 list has no fourth kind: neither a selection nor the network number.
  DeviceTypeListChange(data, form, 0, prompter, settings);
  data.ConfigBuffer[38] = 3;
  RefreshControls(data, form);
  EXPECT_EQ(form.tx.kindIndex, -1);
  EXPECT_FALSE(form.tx.netIdVisible);
}

}  // namespace
}  // namespace tivolan
