#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/PortList.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;

TEST(NaturalOrder, NumbersCompareByValue) {
  std::vector<std::string> names{"ttyS10", "ttyUSB0", "ttyS2", "ttyACM1", "ttyS1", "ttyS02", "ttyACM0"};
  std::sort(names.begin(), names.end(), NaturalLess);
  EXPECT_EQ(names, (std::vector<std::string>{"ttyACM0", "ttyACM1", "ttyS1", "ttyS02", "ttyS2", "ttyS10", "ttyUSB0"}));
  EXPECT_FALSE(NaturalLess("a", "a"));
  EXPECT_TRUE(NaturalLess("a", "ab"));
}

// A fake sysfs tty class folder.
class SysfsTree : public ::testing::Test, protected test::TempDir {
 protected:
  SysfsTree() : TempDir("tivolan-sysfs") { fs::create_directories(root / "drivers" / "serial"); }

  void Add(const std::string& name, bool driver, const char* type = nullptr) {
    const fs::path entry = root / "class" / name;
    fs::create_directories(entry / "device");
    if (driver) fs::create_directory_symlink(root / "drivers" / "serial", entry / "device" / "driver");
    if (type) std::ofstream(entry / "type") << type << "\n";
  }
  void AddVirtual(const std::string& name) { fs::create_directories(root / "class" / name); }

  const fs::path& root = dir;
};

// The sysfs listing is Linux's (Windows lists the ports from the registry,
// tests/win/platform_test.cpp), and its fake tree needs directory symbolic
// links, which mingw-w64's std::filesystem cannot make: not built there.
#ifndef _WIN32
TEST_F(SysfsTree, ListsPortsWithADriverAndAUartThatExists) {
  Add("ttyS0", true, "4");
  Add("ttyS1", true, "0");  // registered but no UART
  Add("ttyS10", true, "4");
  Add("ttyS2", true, "4");
  Add("ttyUSB0", true);
  Add("ttyACM0", true);
  Add("ttyXX", false);
  AddVirtual("tty1");
  AddVirtual("console");
  EXPECT_EQ(ListSysfsSerialPorts((root / "class").string(), "/dev"),
            (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0"}));
}
#endif

TEST_F(SysfsTree, NoFolderGivesAnEmptyList) {
  EXPECT_TRUE(ListSysfsSerialPorts((root / "missing").string(), "/dev").empty());
}

}  // namespace
}  // namespace tivolan
