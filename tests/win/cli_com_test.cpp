// tivolan-cli.exe as an installer runs it on Windows, against tivolan-sim
// processes on the Linux side, reached as COM ports through Wine's
// dosdevices (the COM bridge), with files in a Cyrillic folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/FileIO.h"
#include "support/SimHelp.h"
#include "support/TempDir.h"
#include "win/ComBridge.h"
#include "win/Processes.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;
using test::WinRunResult;

// The programs write text mode: "\r\n" on Windows.
std::string Lines(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

constexpr const char* kGsmPanel = test::kGsmPanelArgs;

class CliOverCom : public ::testing::Test, protected test::TempDir {
 protected:
  CliOverCom() : TempDir("tivolan-cli-com"), folder(dir / PathFromUtf8("Объект №5 — склад")) {
    fs::create_directories(folder);
  }
  // A simulator mapped as a COM port; its port name ("COM12").
  std::string Sim(const std::string& args) {
    sims.push_back(std::make_unique<test::ComBridge>("SIM " + args));
    return sims.back()->Port();
  }
  std::string SimLog(std::size_t index) {
    const auto bytes = test::BytesOfHex(sims.at(index)->Call("LOG"));
    return std::string(bytes.begin(), bytes.end());
  }
  WinRunResult Tool(const std::vector<std::string>& args) {
    WinRunResult r = test::RunWindowsProgram(test::ProgramBeside("tivolan-cli.exe"), args);
    r.out = Lines(r.out);
    r.err = Lines(r.err);
    return r;
  }
  // UTF-8 path of a file in the Cyrillic folder.
  std::string In(const std::string& name) const { return Utf8FromPath(folder / PathFromUtf8(name)); }
  std::string Text(const std::string& name) const { return ReadWholeFile(In(name), 1 << 20); }

  const fs::path folder;
  std::vector<std::unique_ptr<test::ComBridge>> sims;
};

TEST_F(CliOverCom, ReadWriteIntoASecondPanelAndReadBackGivesTheSameFile) {
  // A panel with settings of its own: zone 3 a door with 45/50 s delays.
  std::string image = "78171E1E68140000683C2D32681400004810000050" "0F000058040000580400000000000033" "10C00510";
  image.replace(16, 2, "78");
  const std::string first = Sim("--type 1 --image " + image);
  const WinRunResult read = Tool({"read", "--port", first, "-o", In("первый.cf8")});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.err, "Порт открыт\nОтвет прибора получен\nОтвет прибора получен\n"
                      "Конфигурация прочитана, версия прибора - 3\n");
  EXPECT_EQ(SimLog(0), "7E 0A 52 01 00 00 00 00 00 E3\n") << "the read frame, byte for byte";
  // The file is in the folder by its Unicode name, not an ANSI mangling of it.
  EXPECT_TRUE(fs::is_regular_file(folder / PathFromUtf8("первый.cf8")));

  const std::string second = Sim("--type 1");
  const WinRunResult write = Tool({"write", "--port", second, In("первый.cf8")});
  ASSERT_EQ(write.status, 0) << write.err;
  EXPECT_NE(write.err.find("Конфигурация записана"), std::string::npos) << write.err;
  EXPECT_EQ(SimLog(1).rfind("7E 2E 57 01 78 17 1E 1E 68 14 00 00 78 3C 2D 32", 0), 0u)
      << "the write frame with the first panel's zone 3 reached the second\n" << SimLog(1);

  ASSERT_EQ(Tool({"read", "--port", second, "-o", In("второй.cf8")}).status, 0);
  EXPECT_EQ(Text("первый.cf8"), Text("второй.cf8"));
  EXPECT_NE(Text("первый.cf8").find("<zone ID=\"3\" PartID=\"0\" tactics=\"7\" rearm=\"1\" CID=\"60\" TimeIn=\"50\" "
                                    "TimeOut=\"45\""),
            std::string::npos)
      << Text("первый.cf8");
  const WinRunResult show = Tool({"show", In("второй.cf8")});
  EXPECT_EQ(show.status, 0);
  EXPECT_NE(show.out.find("Тип прибора: "), std::string::npos) << show.out;
}

struct FailureCase {
  const char* sim;
  int status;
  const char* text;
};

// A reader that has gone (`| head -0`): the pipe is said to be closed, as on
// Linux, not "системная ошибка 22".
TEST_F(CliOverCom, AClosedOutputPipeIsSaidToBeOne) {
  const WinRunResult r = test::RunWindowsProgram(test::ProgramBeside("tivolan-cli.exe"), {"--version"}, true);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(Lines(r.err), "tivolan-cli: стандартный вывод не записан: программа, читавшая вывод, закрыла канал\n");
}

TEST_F(CliOverCom, AFailedReadExitsWithTheFinalStatusAndWritesNoFile) {
  for (const FailureCase& c : {FailureCase{"--type 1 --fault no-answer", 7, "Нет связи, проверьте соединения или тип прибора"},
                               FailureCase{"--type 1 --fault wrong-type", 9, "Ошибка. Неизвестное устройство"}}) {
    const std::string port = Sim(c.sim);
    const WinRunResult r = Tool({"read", "--port", port, "-o", In("x.cf8")});
    EXPECT_EQ(r.status, c.status) << c.sim << "\n" << r.err;
    EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(folder / "x.cf8"));
  }
}

TEST_F(CliOverCom, APortThatDoesNotExistSaysWhy) {
  const WinRunResult r = Tool({"read", "--port", "COM250", "-o", In("x.cf8")});
  EXPECT_EQ(r.status, 6) << r.err;
  EXPECT_NE(r.err.find("Ошибка порта"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\\\\.\\COM250: нет такого устройства"), std::string::npos) << r.err;
}

TEST_F(CliOverCom, OnlyComNamesArePorts) {
  for (const char* port : {"/dev/ttyUSB0", "USB"}) {
    const WinRunResult r = Tool({"read", "--port", port});
    EXPECT_EQ(r.status, 2) << port << "\n" << r.err;
    EXPECT_NE(r.err.find("is no port name"), std::string::npos) << r.err;
  }
  // Any letter case, as Windows takes it: com12 is COM12.
  std::string port = Sim("--type 1");
  for (char& c : port) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const WinRunResult r = Tool({"read", "--port", port, "-o", In("строчные.cf8")});
  EXPECT_EQ(r.status, 0) << port << "\n" << r.err;
  EXPECT_EQ(SimLog(0), "7E 0A 52 01 00 00 00 00 00 E3\n");
}

TEST_F(CliOverCom, PortsSaysWhichArePresent) {
  const std::string port = Sim("--type 1");
  const WinRunResult r = Tool({"ports", port, "COM250"});
  EXPECT_EQ(r.status, 6) << "a port named is missing";
  // One line each, the states in a column.
  const std::string pad(std::string("COM250").size() - port.size(), ' ');
  EXPECT_NE(r.out.find(port + pad + "  свободен\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("COM250  нет такого устройства"), std::string::npos) << r.out;
}

// Standard input from NUL is no terminal, though the C runtime's _isatty
// says it is: the question must not be asked there.
TEST_F(CliOverCom, WithoutATerminalAWriteThatWouldAskIsRefused) {
  ASSERT_EQ(Tool({"read", "--port", Sim(kGsmPanel), "-o", In("g.cf8")}).status, 0);
  std::string text = Text("g.cf8");
  const std::string on = "trySIMProt=\"73\"";
  ASSERT_NE(text.find(on), std::string::npos);
  text.replace(text.find(on), on.size(), "trySIMProt=\"9\"");  // attempts "Выкл."
  WriteFileReplacing(In("off.cf8"), text);
  const std::string target = Sim("--type 1");
  const WinRunResult r = Tool({"write", "--port", target, In("off.cf8")});
  EXPECT_EQ(r.status, 5) << r.err;
  EXPECT_NE(r.err.find("без --yes запись не выполнена"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("[д/Н]"), std::string::npos) << "no question without a terminal\n" << r.err;
  EXPECT_EQ(SimLog(1), "") << "nothing was sent";
  const WinRunResult yes = Tool({"write", "--port", target, In("off.cf8"), "--yes"});
  EXPECT_EQ(yes.status, 0) << yes.err;
}

TEST_F(CliOverCom, FirmwareGoesToTheBootLoader) {
  const std::string port = Sim("--bootloader");
  WriteFileReplacing(In("прошивка.enc"), "0002AABB0002CCDD");
  const WinRunResult r = Tool({"firmware", "--port", port, In("прошивка.enc")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("100 % (2 из 2 блоков)\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Прошивка прибора обновлена"), std::string::npos) << r.err;
}

// The verdict would be waited for 4 s; a line that is gone ends it at once.
TEST_F(CliOverCom, AFirmwareLineThatDropsEndsWithoutWaitingForTheVerdict) {
  const std::string port = Sim("--bootloader --fault hangup");
  WriteFileReplacing(In("f.enc"), "0001AA");
  const auto start = std::chrono::steady_clock::now();
  const WinRunResult r = Tool({"firmware", "--port", port, In("f.enc")});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(r.status, 12) << r.err;
  EXPECT_NE(r.err.find("Нет связи с устройством"), std::string::npos) << r.err;
  EXPECT_LT(took, std::chrono::milliseconds(3000)) << "the lost line was seen";
}

}  // namespace
}  // namespace tivolan
