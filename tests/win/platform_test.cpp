// The shell's Windows functions (platform/os/PlatformWin32.cpp) and the wide
// paths of the file layer, as far as Wine lets them be seen: the port list
// from the registry's serial device map, the port texts, files in Cyrillic
// folders, short path names and the version record of the shipped program.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/FileIO.h"
#include "files/FileOps.h"
#include "link/CPDrv.h"
#include "model/DefaultImages.h"
#include "platform/Platform.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"
#include "win/ComBridge.h"
#include "win/Processes.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tivolan {
namespace {

namespace fs = std::filesystem;

// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM with the test's values only; what was
// there before comes back afterwards.
class SerialDeviceMap {
 public:
  SerialDeviceMap() {
    ok_ = RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, REG_OPTION_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &key_, nullptr) == ERROR_SUCCESS;
    if (!ok_) return;
    for (;;) {
      Value v;
      wchar_t name[256];
      DWORD nameLen = 256, dataLen = 0;
      if (RegEnumValueW(key_, 0, name, &nameLen, nullptr, &v.type, nullptr, &dataLen) != ERROR_SUCCESS) break;
      v.name.assign(name, nameLen);
      v.data.resize(dataLen);
      nameLen = 256;
      RegEnumValueW(key_, 0, name, &nameLen, nullptr, &v.type, v.data.data(), &dataLen);
      saved_.push_back(v);
      RegDeleteValueW(key_, v.name.c_str());
    }
  }
  ~SerialDeviceMap() {
    if (!ok_) return;
    Clear();
    for (const auto& v : saved_)
      RegSetValueExW(key_, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    RegCloseKey(key_);
  }
  SerialDeviceMap(const SerialDeviceMap&) = delete;
  SerialDeviceMap& operator=(const SerialDeviceMap&) = delete;

  bool Writable() const { return ok_; }
  void Add(const std::wstring& device, const std::wstring& port) {
    Raw(device, REG_SZ, port.c_str(), (port.size() + 1) * sizeof(wchar_t));
  }
  void Raw(const std::wstring& device, DWORD type, const void* data, std::size_t bytes) {
    RegSetValueExW(key_, device.c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes));
  }
  // The value names as the registry enumerates them.
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    wchar_t name[256];
    DWORD nameLen = 256;
    for (DWORD i = 0; RegEnumValueW(key_, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, nameLen = 256)
      names.emplace_back(name, nameLen);
    return names;
  }
  void Clear() {
    wchar_t name[256];
    DWORD nameLen = 256;
    while (RegEnumValueW(key_, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      RegDeleteValueW(key_, name);
      nameLen = 256;
    }
  }

 private:
  struct Value {
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
  };
  HKEY key_ = nullptr;
  bool ok_ = false;
  std::vector<Value> saved_;
};

TEST(PortListWindows, TheSerialDeviceMapInRegistryOrder) {
  SerialDeviceMap map;
  if (!map.Writable()) GTEST_SKIP() << "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM cannot be written (not an administrator)";
  map.Add(L"\\Device\\Serial0", L"COM1");
  map.Add(L"\\Device\\VCP0", L"COM12");
  const DWORD number = 7;
  map.Raw(L"\\Device\\Odd", REG_DWORD, &number, sizeof number);  // no text: passed over
  const std::wstring huge(1500, L'X');
  map.Add(L"\\Device\\Huge", huge);  // longer than any port name: passed over, the list goes on
  map.Add(L"\\Device\\ProlificSerial0", L"COM5");
  map.Raw(L"\\Device\\Unterminated", REG_SZ, L"COM7", 4 * sizeof(wchar_t));  // no closing zero
  // The system's order, whatever it is (Wine sorts by the device's name,
  // Windows keeps the order the drivers came in), not an order of the list's.
  std::vector<std::string> expected;
  for (const std::wstring& name : map.Names()) {
    if (name == L"\\Device\\VCP0") expected.push_back("COM12");
    if (name == L"\\Device\\Serial0") expected.push_back("COM1");
    if (name == L"\\Device\\ProlificSerial0") expected.push_back("COM5");
    if (name == L"\\Device\\Unterminated") expected.push_back("COM7");
  }
  ASSERT_EQ(expected.size(), 4u);
  EXPECT_EQ(BuildPortList(), expected);
  map.Clear();
  EXPECT_TRUE(BuildPortList().empty());
}

TEST(PortListWindows, AListedPortOpensByItsText) {
  SerialDeviceMap map;
  if (!map.Writable()) GTEST_SKIP() << "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM cannot be written (not an administrator)";
  test::ComBridge pty("PTY");
  map.Add(L"\\Device\\Serial0", test::WideOf(pty.Port()));
  const std::vector<std::string> ports = BuildPortList();
  ASSERT_EQ(ports, std::vector<std::string>{pty.Port()});
  const auto path = DriverPortName(ports[0]);
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(*path, "\\\\.\\" + pty.Port());
  TCommPortDriver d(CreateSystemSerialDevice(), nullptr);
  d.SetPortName(*path);
  EXPECT_TRUE(d.Open());
  d.Close();

  // tivolan-cli ports without names lists the registry's.
  const test::WinRunResult r = test::RunWindowsProgram(test::ProgramBeside("tivolan-cli.exe"), {"ports"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(pty.Port() + "  свободен"), std::string::npos) << r.out;
}

struct PortTextCase {
  const char* text;
  std::optional<std::string> driver;
};
class PortTextWindows : public ::testing::TestWithParam<PortTextCase> {};

// COM names in any letter case, as Windows takes them, with any number.
TEST_P(PortTextWindows, ComNamesOnly) { EXPECT_EQ(DriverPortName(GetParam().text), GetParam().driver); }

INSTANTIATE_TEST_SUITE_P(
    Texts, PortTextWindows,
    ::testing::Values(PortTextCase{"COM1", "\\\\.\\COM1"}, PortTextCase{"COM256", "\\\\.\\COM256"},
                      PortTextCase{"com5", "\\\\.\\COM5"}, PortTextCase{"Com12", "\\\\.\\COM12"},
                      PortTextCase{"/dev/ttyUSB0", std::nullopt}, PortTextCase{"\\\\.\\COM3", std::nullopt},
                      PortTextCase{"CO", std::nullopt}, PortTextCase{"", std::nullopt}));

// A folder and a file whose names are outside any ANSI code page but the
// Cyrillic one, given as UTF-8 like every path of the program.
class WidePaths : public ::testing::Test, protected test::TempDir {
 protected:
  WidePaths() : TempDir("tivolan-wide"), folder(dir / PathFromUtf8("Объекты — «Склад №2»")) {
    fs::create_directories(folder);
  }
  std::string In(const std::string& name) const { return Utf8FromPath(folder / PathFromUtf8(name)); }
  bool ExistsByWideName(const std::wstring& name) const {
    const std::wstring full = folder.wstring() + L"\\" + name;
    const DWORD attributes = GetFileAttributesW(full.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  const fs::path folder;
};

TEST_F(WidePaths, AConfigurationIsSavedAndOpenedByItsName) {
  test::RecordingPrompter prompter;
  ImageBuffer image{};
  ASSERT_TRUE(SetDefaultImage(image, 1, prompter));
  image[4] = 0x42;
  const std::string file = In("прибор 1.cf8");
  SaveConfigFile(file, image, 1);
  EXPECT_TRUE(ExistsByWideName(L"прибор 1.cf8"));
  const LoadedConfig loaded = LoadConfigFile(file, ImageBuffer{});
  EXPECT_EQ(loaded.code, 1);
  EXPECT_EQ(loaded.buffer[4], 0x42);

  // Saving again replaces the file through a temporary one beside it.
  image[4] = 0x43;
  SaveConfigFile(file, image, 1);
  EXPECT_EQ(LoadConfigFile(file, ImageBuffer{}).buffer[4], 0x43);
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1u) << "no temporary file is left";
}

TEST_F(WidePaths, FileErrorsNameThePathInUtf8) {
  const std::string missing = In("нет такого.cf8");
  try {
    ReadWholeFile(missing, 1024);
    FAIL() << "a missing file was read";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_THROW(CheckSaveTarget(In("нет папки\\файл.cf8")), FileError);
  EXPECT_NO_THROW(CheckSaveTarget(In("можно.cf8")));
}

TEST_F(WidePaths, TheShortFormReachesTheSameFile) {
  const std::string file = In("длинное имя файла конфигурации.cf8");
  WriteFileReplacing(file, "содержимое");
  const std::string shortForm = ShortPathName(file);
  EXPECT_FALSE(shortForm.empty());
  EXPECT_EQ(ReadWholeFile(shortForm, 1024), "содержимое") << shortForm;
  EXPECT_EQ(ShortPathName(In("нет такого.cf8")), In("нет такого.cf8")) << "no file: the path itself";
}

TEST(VersionRecordWindows, TheShippedProgramCarriesIt) {
  const std::wstring exe = test::WideOf(test::ProgramBeside("tivolan-cli.exe"));
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041904E3\\ProductName",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(std::wstring(value), L"Тиволан");
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041904E3\\FileDescription",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(std::wstring(value), L"Программатор конфигурации приборов");
}

}  // namespace
}  // namespace tivolan
