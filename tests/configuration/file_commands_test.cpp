#include <gtest/gtest.h>

#include "files/FileOps.h"
#include "model/DefaultImages.h"
#include "model/Images.h"
#include "configuration/FileCommands.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

TEST(ConfigSuffix, AppendedUnlessTheExactTextIsThere) {
  EXPECT_EQ(WithConfigSuffix("panel.txt"), "panel.txt.cf8");
  EXPECT_EQ(WithConfigSuffix("PANEL.CF8"), "PANEL.CF8.cf8");
  EXPECT_EQ(WithConfigSuffix("a.cf8x"), "a.cf8x");
  EXPECT_EQ(WithConfigSuffix("panel.cf8"), "panel.cf8");
  EXPECT_EQ(WithConfigSuffix("panel"), "panel.cf8");
}

TEST(FolderOf, KeepsTheTrailingSeparator) {
#ifdef _WIN32
  EXPECT_EQ(FolderOf("C:\\Объекты\\a.cf8"), "C:\\Объекты\\");
  EXPECT_EQ(CurrentFolder().back(), '\\');
#else
  EXPECT_EQ(FolderOf("/home/user/panels/a.cf8"), "/home/user/panels/");
  EXPECT_EQ(CurrentFolder().back(), '/');
#endif
}

// The open command as the window and the tool run it, on the shared state.
class OpenCommand : public ::testing::Test, protected test::TempDir {
 protected:
  OpenCommand() : TempDir("tivolan-open") {}

  void Select(int type) { DeviceTypeListChange(data, form, type - 1, prompter, settings); }
  std::string SavedDefaults(int type, const char* name) {
    ImageBuffer b{};
    SetDefaultImage(b, type, prompter);
    SaveConfigFile(Path(name), b, type);
    return Path(name);
  }

  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
};

// A concentrator file holds nothing for bytes 6, 13 and 14 (13 and 14 only
// with GSM); a panel image has a zone's delay and record there, which the
// next write would send to the concentrator.
TEST_F(OpenCommand, AConcentratorFileOverAPanelImageStartsFromTheConcentratorDefaults) {
  const std::string file = SavedDefaults(3, "cnc.cf8");
  Select(1);
  ImageCNC1 cnc(data.ConfigBuffer);
  ASSERT_EQ(cnc.Reserved(), 0x1E) << "zone 1's entry delay stands at byte 6 of the panel image";
  const OpenResult result = OpenConfiguration(data, form, file, prompter);
  ASSERT_TRUE(result.opened);
  EXPECT_TRUE(result.typeChanged);
  EXPECT_EQ(data.DeviceType, 3);
  EXPECT_EQ(cnc.Reserved(), 0x10);
  EXPECT_EQ(cnc.GsmControl(), 0x01);
  EXPECT_EQ(cnc.GsmTx(), 0x00);
  EXPECT_EQ(cnc.GsmConnected(), 0);
  const auto defaults = DefaultPayload(3);
  EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), data.ConfigBuffer.begin() + 4));
}

TEST_F(OpenCommand, AFileOfTheSelectedTypeKeepsWhatTheFileDoesNotHold) {
  const std::string file = SavedDefaults(3, "cnc.cf8");
  Select(3);
  ImageCNC1 cnc(data.ConfigBuffer);
  cnc.Reserved() = 0x77;  // as a device may have it after a read
  cnc.GsmControl() = 0;
  ASSERT_TRUE(OpenConfiguration(data, form, file, prompter).opened);
  EXPECT_EQ(cnc.Reserved(), 0x77);
  EXPECT_EQ(cnc.GsmControl(), 0) << "no GSM element: byte 13 stays";
}

TEST_F(OpenCommand, APanelFileOverTheConcentratorLeavesNoConcentratorByteBehind) {
  ImageBuffer b{};
  SetDefaultImage(b, 2, prompter);
  // A file without "SlaveBus" and without zones: what it lacks comes from
  // the type-2 defaults, not from the concentrator image.
  const std::string file = Write("p2.cf8",
                                 "<config FileID=\"8\"><device ID=\"2\"><PartDep mask=\"0\"/></device></config>");
  Select(3);
  data.ConfigBuffer[46] = 0x5A;
  ASSERT_TRUE(OpenConfiguration(data, form, file, prompter).opened);
  EXPECT_EQ(data.DeviceType, 2);
  EXPECT_TRUE(std::equal(b.begin() + 4, b.begin() + 47, data.ConfigBuffer.begin() + 4));
}

TEST_F(OpenCommand, ARefusedFileOfAnotherTypeChangesNothing) {
  const std::string file = Write("bad.cf8", "<config FileID=\"8\"><device ID=\"3\"><configMPI/></device></config>");
  Select(1);
  const ImageBuffer before = data.ConfigBuffer;
  EXPECT_FALSE(OpenConfiguration(data, form, file, prompter).opened);
  EXPECT_EQ(data.ConfigBuffer, before);
  EXPECT_EQ(data.DeviceType, 1);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "Файл поврежден или не найден");
}

}  // namespace
}  // namespace tivolan
