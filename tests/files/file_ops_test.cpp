// The ".cf8" file: byte-exact output, round trips and the reading rules.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <random>

#include "files/FileFields.h"
#include "files/FileIO.h"
#include "files/FileOps.h"
#include "model/DefaultImages.h"
#include "support/ConfigTexts.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;
using test::DefaultLoops;
const auto& kHead = test::kFileHead;
const auto& kTail = test::kFileTail;
ImageBuffer Defaults(int type) { return test::DefaultImage(type); }


TEST(ConfigFileText, TypeOneDefaultsByteForByte) {
  const std::string expected = kHead + "\t<device ID=\"1\" name=\"Ирт-ОП8А\">\r\n" + DefaultLoops() +
                               "\t\t<PartDep mask=\"0\"/>\r\n"
                               "\t\t<rele AlarmFire=\"51\" CtrlFail=\"16\"/>\r\n"
                               "\t\t<sndWrkTime min=\"2\"/>\r\n"
                               "\t\t<OPsCheck mask=\"0\"/>\r\n"
                               "\t\t<sysCFG Value=\"192\"/>\r\n"
                               "\t\t<GuardSnd On=\"1\"/>\r\n"
                               "\t\t<LampMode mode=\"16\"/>\r\n"
                               "\t\t<devTX ID=\"0\"/>\r\n" +
                               kTail;
  EXPECT_EQ(BuildConfigDocument(Defaults(1), 1).SaveToString(), expected);
}

TEST(ConfigFileText, TypeTwoDefaultsByteForByte) {
  const std::string expected = kHead + "\t<device ID=\"2\" name=\"Ирт-ОП8\">\r\n" + DefaultLoops() +
                               "\t\t<PartDep mask=\"0\"/>\r\n"
                               "\t\t<rele AlarmFire=\"51\" CtrlFail=\"16\"/>\r\n"
                               "\t\t<sndWrkTime min=\"2\"/>\r\n"
                               "\t\t<OPsCheck mask=\"0\"/>\r\n"
                               "\t\t<sysCFG Value=\"128\"/>\r\n"
                               "\t\t<GuardSnd On=\"1\"/>\r\n"
                               "\t\t<LampMode mode=\"16\"/>\r\n"
                               "\t\t<devTX ID=\"0\"/>\r\n"
                               "\t\t<SlaveBus BusID=\"1\"/>\r\n" +
                               kTail;
  EXPECT_EQ(BuildConfigDocument(Defaults(2), 2).SaveToString(), expected);
}

TEST(ConfigFileText, ConcentratorDefaultsByteForByte) {
  const std::string expected = kHead + "\t<device ID=\"3\" name=\"Ирт-ОП-КС\">\r\n"
                                       "\t\t<expanders mask=\"0\"/>\r\n"
                                       "\t\t<BVIAlarm mask=\"0\"/>\r\n"
                                       "\t\t<BVIButtons mask=\"0\"/>\r\n"
                                       "\t\t<rele AlarmFire=\"51\"/>\r\n"
                                       "\t\t<OPsCheck mask=\"0\"/>\r\n"
                                       "\t\t<buzzer Value=\"1\"/>\r\n"
                                       "\t\t<useTD mask=\"0\"/>\r\n" +
                               kTail;
  EXPECT_EQ(BuildConfigDocument(Defaults(3), 3).SaveToString(), expected);
}

TEST(ConfigFileText, UnknownTypeHasADeviceWithoutChildren) {
  const std::string text = BuildConfigDocument(Defaults(1), 0).SaveToString();
  EXPECT_NE(text.find("\t<device ID=\"0\" name=\"Ирт-ОП8ex\"/>\r\n"), std::string::npos) << text;
}

TEST(ConfigFileText, AGsmConfigurationIsRefusedRatherThanSavedWithoutItsSettings) {
  ImageBuffer b = Defaults(1);
  b[38] = 2;
  EXPECT_THROW(BuildConfigDocument(b, 1), std::runtime_error);
  b = Defaults(3);
  b[10] = 1;
  EXPECT_THROW(BuildConfigDocument(b, 3), std::runtime_error);
}

// Fields the file holds, per type: every one gets a value of its own.
std::vector<int> HeldBytes(int type) {
  if (type == 3) return {4, 5, 7, 8, 9, 11, 12};
  std::vector<int> bytes;
  for (int i = 4; i < 36; ++i) bytes.push_back(i);
  for (int i : {37, 38, 39, 40, 41, 42}) bytes.push_back(i);
  if (type == 1) {
    bytes.push_back(43);
    bytes.push_back(44);
  } else {
    for (int i : {43, 44, 45, 46}) bytes.push_back(i);
  }
  return bytes;
}

class ConfigRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(ConfigRoundTrip, EveryFieldComesBack) {
  const int type = GetParam();
  std::mt19937 random(1234 + type);
  for (int trial = 0; trial < 50; ++trial) {
    ImageBuffer b = Defaults(type);
    for (int i : HeldBytes(type)) b[static_cast<std::size_t>(i)] = static_cast<uint8_t>(random());
    if (type != 3) b[38] = static_cast<uint8_t>(random() % 2 ? 1 : 3);  // no GSM here
    TXmlDocument doc;
    doc.LoadFromString(BuildConfigDocument(b, type).SaveToString());
    const ImageBuffer zero{};
    const LoadedConfig loaded = ReadConfigDocument(doc, zero);
    ASSERT_EQ(loaded.code, type);
    for (int i : HeldBytes(type)) {
      ASSERT_EQ(loaded.buffer[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(i)]) << "byte " << i;
    }
    if (type == 1) {
      EXPECT_EQ(loaded.buffer[42] & 0x40, b[42] & 0x40);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Types, ConfigRoundTrip, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& p) { return "Type" + std::to_string(p.param); });

TEST(ConfigFileText, ZoneByteE5) {
  ImageBuffer b = Defaults(1);
  b[4] = 0xE5;
  const std::string text = BuildConfigDocument(b, 1).SaveToString();
  EXPECT_NE(text.find("<zone ID=\"1\" PartID=\"5\" tactics=\"4\" rearm=\"1\" CID=\"23\" TimeIn=\"30\" "
                      "TimeOut=\"30\" FireReCheck=\"128\"/>"),
            std::string::npos);
  TXmlDocument doc;
  doc.LoadFromString(text);
  EXPECT_EQ(ReadConfigDocument(doc, ImageBuffer{}).buffer[4], 0xE5);
}

// A file made of a device element's content, for the reading rules.
LoadedConfig Read(const std::string& deviceContent, const ImageBuffer& current, const std::string& rootAttrs = "FileID=\"8\"") {
  TXmlDocument doc;
  doc.LoadFromString("<config " + rootAttrs + "><device ID=\"1\">" + deviceContent + "</device></config>");
  return ReadConfigDocument(doc, current);
}

TEST(ConfigFileReading, ElementNamesIgnoreCaseButZoneIsExact) {
  const ImageBuffer current = Defaults(1);
  auto r = Read("<LOOPS><Zone ID=\"2\" PartID=\"1\" tactics=\"1\" rearm=\"0\" CID=\"9\" TimeIn=\"1\" TimeOut=\"1\" "
                "FireReCheck=\"0\"/><zone ID=\"3\" PartID=\"2\" tactics=\"6\" rearm=\"0\" CID=\"21\" TimeIn=\"4\" "
                "TimeOut=\"5\" FireReCheck=\"128\"/></LOOPS><SYSCFG Value=\"7\"/>",
                current);
  ASSERT_EQ(r.code, 1);
  EXPECT_EQ(r.buffer[8], current[8]) << "an element named Zone is ignored";
  EXPECT_EQ(r.buffer[12], (6 << 3 | 2 | 0x80));
  EXPECT_EQ(r.buffer[13], 21);
  EXPECT_EQ(r.buffer[15], 4);
  EXPECT_EQ(r.buffer[14], 5);
  EXPECT_EQ(r.buffer[42], 7);
}

TEST(ConfigFileReading, AttributesAreReadByPosition) {
  auto r = Read("<loops><zone ID=\"1\" CID=\"1\" PartID=\"2\" tactics=\"1\" rearm=\"0\" TimeIn=\"3\" TimeOut=\"4\" "
                "FireReCheck=\"0\"/></loops>",
                Defaults(1));
  ASSERT_EQ(r.code, 1);
  EXPECT_EQ(r.buffer[4] & 7, 1) << "position 1 is the partition, whatever its name";
  EXPECT_EQ(r.buffer[4] >> 3 & 7, 2);
}

// A zone the file cannot mean refuses the file: it is no longer passed over,
// nor does a later zone of the same number win (file_numbers_test.cpp names
// the causes). A partition above 7 is refused likewise, not cut to its bits.
TEST(ConfigFileReading, ZonesOutsideOneToEightTacticsAboveSevenOrAZoneTwiceRefuseTheFile) {
  const ImageBuffer current = Defaults(1);
  for (const char* zones : {"<zone ID=\"9\" PartID=\"1\" tactics=\"1\"/>", "<zone ID=\"0\" PartID=\"1\" tactics=\"1\"/>",
                            "<zone ID=\"2\" PartID=\"1\" tactics=\"8\"/>", "<zone ID=\"3\" PartID=\"1\" tactics=\"255\"/>",
                            "<zone ID=\"4\" PartID=\"1\" tactics=\"1\"/><zone ID=\"4\" PartID=\"5\" tactics=\"2\"/>"}) {
    auto r = Read(std::string("<loops>") + zones + "</loops>", current);
    EXPECT_EQ(r.code, kNotAConfiguration) << zones;
    EXPECT_EQ(r.buffer, current) << zones;
  }
}

// A value above 255 is refused (file_numbers_test.cpp), not cut to 8 bits.
TEST(ConfigFileReading, MissingValuesCountAsZero) {
  auto r = Read("<rele AlarmFire=\"255\"/><PartDep/><GuardSnd On=\"0\"/>", Defaults(1));
  EXPECT_EQ(r.buffer[40], 255);
  EXPECT_EQ(r.buffer[41], 0);
  EXPECT_EQ(r.buffer[37], 0);
  EXPECT_EQ(r.buffer[42], 0x80) << "guard sound bit cleared, the rest kept";
}

TEST(ConfigFileReading, MissingElementsKeepTheirBytes) {
  ImageBuffer current = Defaults(2);
  current[44] = 9;
  auto r = Read("", current);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.buffer, current);
}

TEST(ConfigFileReading, RefusedFiles) {
  const ImageBuffer current = Defaults(1);
  const char* files[] = {
      "<config FileID=\"7\"><device ID=\"1\"/></config>",
      "<config><device ID=\"1\"/></config>",
      "<config FileID=\"8\"/>",
      "<config FileID=\"8\"><device ID=\"4\"/></config>",
      "<config FileID=\"8\"><device name=\"Ирт-ОП8А\" ID=\"1\"/></config>",
      "<config FileID=\"8\"><device ID=\"1\"><devTX ID=\"2\"/></device></config>",  // GSM needs its settings
      "<config FileID=\"8\"><device ID=\"3\"><configMPI/></device></config>",
  };
  for (const char* text : files) {
    TXmlDocument doc;
    doc.LoadFromString(text);
    const LoadedConfig r = ReadConfigDocument(doc, current);
    EXPECT_EQ(r.code, kNotAConfiguration) << text;
  }
}

TEST(ConfigFileReading, RootNameAndCaseOfFileIdDoNotMatter) {
  TXmlDocument doc;
  doc.LoadFromString("<anything fileid=\"$8\"><x><device ID=\"3\"><buzzer Value=\"0\"/></device></x></anything>");
  ImageBuffer current = Defaults(1);
  current[10] = 5;  // whatever the panel image held there
  const LoadedConfig r = ReadConfigDocument(doc, current);
  ASSERT_EQ(r.code, 3);
  EXPECT_EQ(r.buffer[10], 0) << "no configMPI: no GSM";
  EXPECT_EQ(r.buffer[7], 0);
}

class ConfigFiles : public ::testing::Test, protected test::TempDir {
 protected:
  ConfigFiles() : TempDir("tivolan-files") {}
};

TEST_F(ConfigFiles, SavedAndLoadedAgain) {
  ImageBuffer b = Defaults(2);
  b[46] = 6;
  SaveConfigFile(Path("p.cf8"), b, 2);
  const LoadedConfig r = LoadConfigFile(Path("p.cf8"), Defaults(1));
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.buffer[46], 6);
  EXPECT_EQ(ReadWholeFile(Path("p.cf8"), 1 << 20).substr(0, 5), "<?xml") << "no byte-order mark";
}

TEST_F(ConfigFiles, AFailedSaveKeepsThePreviousFile) {
  SaveConfigFile(Path("keep.cf8"), Defaults(1), 1);
  const std::string before = ReadWholeFile(Path("keep.cf8"), 1 << 20);
  fs::create_directory(dir / "folder.cf8");
  EXPECT_THROW(SaveConfigFile(Path("folder.cf8"), Defaults(2), 2), FileError);
  EXPECT_THROW(SaveConfigFile(Path("no-such-dir/x.cf8"), Defaults(2), 2), FileError);
  try {
    SaveConfigFile(Path("no-such-dir/x.cf8"), Defaults(2), 2);
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + Path("no-such-dir/x.cf8") + "\". ", 0), 0u)
        << e.what();
  }
  EXPECT_EQ(ReadWholeFile(Path("keep.cf8"), 1 << 20), before);
  int leftovers = 0;
  for (const auto& e : fs::directory_iterator(dir)) leftovers += e.path().filename().string().find(".tmp") != std::string::npos;
  EXPECT_EQ(leftovers, 0);
}

TEST_F(ConfigFiles, CyrillicFoldersAndNamesAreKept) {
  fs::create_directory(PathFromUtf8(Path("Объект №5")));
  const std::string file = Path("Объект №5/Панель ГЗ.cf8");
  SaveConfigFile(file, Defaults(3), 3);
  EXPECT_TRUE(fs::exists(PathFromUtf8(file)));
  EXPECT_EQ(LoadConfigFile(file, Defaults(1)).code, 3);
  EXPECT_EQ(Utf8FromPath(PathFromUtf8(file)), file);
}

TEST_F(ConfigFiles, MissingFileIsNoConfiguration) {
  const ImageBuffer current = Defaults(3);
  const LoadedConfig r = LoadConfigFile(Path("absent.cf8"), current);
  EXPECT_EQ(r.code, kNotAConfiguration);
  EXPECT_EQ(r.buffer, current);
}

// The field rows that drive both the writer and the reader: a run of rows
// with one element name is one element, its attributes in the rows' order,
// read back by position.
struct Numbers {
  int64_t* v;
};
const FileField<Numbers> kRows[] = {
    {"first", {"x", 0, 9}, [](const Numbers& n) { return n.v[0]; }, [](const Numbers& n, int64_t x) { n.v[0] = x; }},
    {"first", {"y", 0, 9}, [](const Numbers& n) { return n.v[1]; }, [](const Numbers& n, int64_t x) { n.v[1] = x; }},
    {"second", {"z", 0, 99}, [](const Numbers& n) { return n.v[2]; }, [](const Numbers& n, int64_t x) { n.v[2] = x; }},
};

std::array<int64_t, 3> ReadRows(const std::string& text, std::array<int64_t, 3> values) {
  TXmlDocument doc;
  doc.LoadFromString(text);
  ReadFields(FileElement(*doc.Root()), Numbers{values.data()}, kRows);
  return values;
}

TEST(FileFieldRows, ARunIsOneElementWrittenInOrderAndReadByPosition) {
  std::array<int64_t, 3> values{1, 2, 30};
  TXmlDocument doc("r");
  WriteFields(*doc.Root(), Numbers{values.data()}, kRows);
  EXPECT_EQ(doc.SaveToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><first x=\"1\" y=\"2\"/><second z=\"30\"/></r>");
  EXPECT_EQ(ReadRows(doc.SaveToString(), {}), values);
  // Elements by name in any order and letter case, attributes by position.
  EXPECT_EQ(ReadRows("<r><second z=\"7\"/><FIRST y=\"5\" x=\"4\"/></r>", {}), (std::array<int64_t, 3>{5, 4, 7}));
  EXPECT_EQ(ReadRows("<r><second/></r>", {1, 2, 3}), (std::array<int64_t, 3>{1, 2, 0})) << "a missing element keeps";
  try {
    ReadRows("<r><first x=\"1\" y=\"12\"/></r>", {});
    ADD_FAILURE() << "read";
  } catch (const FileFieldError& e) {
    EXPECT_EQ(e.Cause(), (FieldCause{FieldFault::OutOfRange, "first", 0, "y", "y", "12", 0, 9}));
  }
}

}  // namespace
}  // namespace tivolan
