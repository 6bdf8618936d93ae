#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "platform/Settings.h"

namespace tivolan {
namespace {

TEST(Settings, MissingOrEmptyValuesAreReplacedByTheDefaultAndStored) {
  MemorySettingsStore store;
  EXPECT_EQ(ReadSetting(store, "comportname", "COM1"), "COM1");
  EXPECT_EQ(store.Values().at("comportname"), "COM1");
  store.Write("devicetype", "");
  EXPECT_EQ(ReadSetting(store, "devicetype", "0"), "0");
  EXPECT_EQ(store.Values().at("devicetype"), "0");
  store.Write("devicetype", "2");
  EXPECT_EQ(ReadSetting(store, "devicetype", "0"), "2");
}

struct DeviceTypeCase {
  const char* stored;
  int index;
  friend void PrintTo(const DeviceTypeCase& c, std::ostream* os) { *os << '"' << c.stored << "\" -> " << c.index; }
};
class DeviceTypeSetting : public ::testing::TestWithParam<DeviceTypeCase> {};

TEST_P(DeviceTypeSetting, SelectsItsEntryOrTheFirst) {
  EXPECT_EQ(DeviceTypeIndexFromSetting(GetParam().stored, 3), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Values, DeviceTypeSetting,
                         ::testing::Values(DeviceTypeCase{"0", 0}, DeviceTypeCase{"1", 1}, DeviceTypeCase{"2", 2},
                                           DeviceTypeCase{"3", 0}, DeviceTypeCase{"17", 0},
                                           DeviceTypeCase{"abc", 0}, DeviceTypeCase{"-1", 0},
                                           DeviceTypeCase{"2x", 0}, DeviceTypeCase{"", 0},
                                           DeviceTypeCase{"99999999999999999999", 0}));

TEST(PortText, OnlyDevicePathsReachTheDriver) {
#ifdef _WIN32
  EXPECT_EQ(DriverPortName("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(DriverPortName("com3"), "\\\\.\\COM3");
  EXPECT_EQ(DefaultPortSetting(), "COM1");
#else
  EXPECT_EQ(DriverPortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(DriverPortName("/dev/pts/3"), "/dev/pts/3");
  EXPECT_EQ(DriverPortName("COM3"), std::nullopt);
  EXPECT_EQ(DriverPortName("USB"), std::nullopt);
  EXPECT_EQ(DriverPortName("dev/ttyS0"), std::nullopt);
  EXPECT_EQ(DefaultPortSetting(), "/dev/ttyS0");
  EXPECT_EQ(ShortPathName("/home/user/Мои файлы/panel.cf8"), "/home/user/Мои файлы/panel.cf8");
#endif
}

TEST(VersionRecord, CompiledInKeysWithoutAuthor) {
  const auto record = ReadVersionRecord();
  EXPECT_EQ(record.at("ProductName"), "Тиволан");
  EXPECT_EQ(record.at("CompanyName"), "Stelmark");
  EXPECT_FALSE(record.at("FileVersion").empty());
  EXPECT_EQ(record.count("Author"), 0u);
}

}  // namespace
}  // namespace tivolan
