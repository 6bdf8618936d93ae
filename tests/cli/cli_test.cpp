// tivolan-cli as an installer scripts it, against tivolan-sim processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/CliCommands.h"

#include "files/FileIO.h"
#include "link/Deadline.h"
#include "files/FileOps.h"
#include "model/DefaultImages.h"
#include "support/SimHelp.h"
#include "support/HeldPort.h"
#include "support/Processes.h"
#include "support/RecordingPrompter.h"
#include "support/CliBench.h"
#include "support/HeldBlocks.h"
#include "sim/SimPort.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;
using test::RunResult;

class Cli : public ::testing::Test, protected test::CliBench {
 protected:
  Cli() : CliBench("tivolan-cli") {}
  // A simulator that logs the frames it receives, for SimLog(its index).
  std::string Sim(const std::string& args) {
    return CliBench::Sim(args + " --log " + Path(("sim" + std::to_string(sims.size()) + ".log").c_str()));
  }
  std::string SimLog(int index) const { return ReadWholeFile(Path(("sim" + std::to_string(index) + ".log").c_str()), 1 << 20); }
};

TEST_F(Cli, ReadWriteIntoASecondPanelAndReadBackGivesTheSameFile) {
  // A panel with settings of its own: zone 3 a door with 45/50 s delays.
  std::string image = "78171E1E68140000683C2D32681400004810000050" "0F000058040000580400000000000033" "10C00510";
  image.replace(16, 2, "78");
  const std::string first = Sim("--type 1 --image " + image);
  const RunResult read = Tool({"read", "--port", first, "-o", Path("a.cf8")});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.err, "Порт открыт\nОтвет прибора получен\nОтвет прибора получен\n"
                      "Конфигурация прочитана, версия прибора - 3\n");
  const std::string second = Sim("--type 1");
  const RunResult write = Tool({"write", "--port", second, Path("a.cf8")});
  ASSERT_EQ(write.status, 0) << write.err;
  EXPECT_NE(write.err.find("Конфигурация записана"), std::string::npos);
  ASSERT_EQ(Tool({"read", "--port", second, "-o", Path("b.cf8")}).status, 0);
  EXPECT_EQ(Text("a.cf8"), Text("b.cf8"));
  EXPECT_NE(Text("a.cf8").find("<zone ID=\"3\" PartID=\"0\" tactics=\"7\" rearm=\"1\" CID=\"60\" TimeIn=\"50\" TimeOut=\"45\""),
            std::string::npos)
      << Text("a.cf8");
  EXPECT_EQ(SimLog(1).substr(0, 29), "7E 2E 57 01 78 17 1E 1E 68 14") << "the write frame reached the panel";
}

TEST_F(Cli, ReadWithoutAFileListsTheSettings) {
  const std::string port = Sim("--type 3");
  const RunResult r = Tool({"read", "--port", port});
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Тип прибора: Ирт-ОП-КС  Концентратор сети"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Концентратор\n  Реле \"Тревога\": До сброса"), std::string::npos) << r.out;
}

struct FailureCase {
  const char* sim;
  const char* verb;
  int status;
  const char* text;
  friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.verb << " " << c.sim; }
};
class CliFailures : public Cli, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliFailures, ExitWithTheFinalStatusAndItsTextAndWriteNoFile) {
  const auto& c = GetParam();
  const std::string port = Sim(c.sim);
  Write("keep.cf8", "old contents");
  RunResult r;
  if (std::string(c.verb) == "read") {
    r = Tool({"read", "--port", port, "-o", Path("keep.cf8")});
  } else {
    ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
    r = Tool({"write", "--port", port, Path("d.cf8")});
  }
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
  EXPECT_EQ(Text("keep.cf8"), "old contents");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CliFailures,
    ::testing::Values(FailureCase{"--type 1 --fault no-answer", "read", 7, "Нет связи, проверьте соединения или тип прибора"},
                      FailureCase{"--type 1 --fault wrong-type", "read", 9, "Ошибка. Неизвестное устройство"},
                      FailureCase{"--type 1 --device-version 2", "read", 11, "Версия 2 поддерживается программатором только версии 2"},
                      FailureCase{"--type 1 --fault readback", "write", 8, "Обнаружены ошибки записи, попробуйте ещё раз"},
                      FailureCase{"--type 2", "write", 9, "Ошибка. Неизвестное устройство"}));

TEST_F(Cli, PortThatCannotBeOpened) {
  const RunResult r = Tool({"read", "--port", "/dev/no-such-port", "-o", Path("x.cf8")});
  EXPECT_EQ(r.status, 6);
  EXPECT_NE(r.err.find("Ошибка порта"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("x.cf8")));
}

TEST_F(Cli, APortThatCannotBeOpenedSaysWhy) {
  for (const auto& [port, why] : {std::pair<std::string, std::string>{"/dev/null", "это не последовательный порт"},
                                  {"/dev/no-such-port", "нет такого устройства"}}) {
    const RunResult r = Tool({"read", "--port", port, "-o", Path("x.cf8")});
    EXPECT_EQ(r.status, 6);
    EXPECT_NE(r.err.find("Ошибка порта\nПричина: " + port + ": " + why), std::string::npos) << r.err;
  }
  const RunResult fw = Tool({"firmware", "--port", "/dev/null", Write("f.enc", "0001AA")});
  EXPECT_EQ(fw.status, 6);
  EXPECT_NE(fw.err.find("Причина: /dev/null: это не последовательный порт"), std::string::npos) << fw.err;
}

TEST_F(Cli, PortsListsEachPortWithItsState) {
  const std::string sim = Sim("--type 1");
  const RunResult r = Tool({"ports", "/dev/null", sim, Path("")});
  EXPECT_EQ(r.status, 6) << "/dev/null and the folder cannot be used";
  EXPECT_NE(r.out.find("/dev/null"), std::string::npos);
  EXPECT_NE(r.out.find("это не последовательный порт"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(sim), std::string::npos);
  EXPECT_NE(r.out.find("(tivolan-sim)"), std::string::npos) << "the simulator holds its own side\n" << r.out;
  EXPECT_NE(r.out.find("это не имя порта"), std::string::npos) << r.out;
}

// Files in `folder`, by name.
std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  return names;
}

TEST_F(Cli, AWriteKeepsABackupOfWhatTheDeviceHeld) {
  std::string image = "78171E1E68140000681400006814000048100000500F000058040000580400000000000033" "10C00510";
  const std::string port = Sim("--type 1 --image " + image);  // siren 5 minutes, as no default has it
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
  fs::create_directory(dir / "backups");
  const RunResult r = Tool({"write", "--port", port, Path("d.cf8"), "--backup", Path("backups")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto names = FilesIn(dir / "backups");
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind("Ирт-ОП8А-", 0), 0u) << names[0];
  EXPECT_EQ(names[0].size(), std::string("Ирт-ОП8А-20261209-031500.cf8").size()) << names[0];
  EXPECT_NE(r.err.find("Резервная копия: " + (dir / "backups" / names[0]).string()), std::string::npos) << r.err;
  const std::string backup = (dir / "backups" / names[0]).string();
  EXPECT_NE(ReadWholeFile(backup, 1 << 20).find("<sndWrkTime min=\"5\"/>"), std::string::npos);
  const std::string log = SimLog(0);
  EXPECT_LT(log.find("7E 0A 52 01"), log.find("7E 2E 57 01")) << "read first, then written\n" << log;
  // The backup is a configuration write accepts: the device gets its own back.
  ASSERT_EQ(Tool({"write", "--port", port, backup}).status, 0);
  ASSERT_EQ(Tool({"read", "--port", port, "-o", Path("again.cf8")}).status, 0);
  EXPECT_EQ(Text("again.cf8"), ReadWholeFile(backup, 1 << 20));
}

TEST_F(Cli, AFailedBackupReadWritesNothing) {
  const std::string port = Sim("--type 1 --fault no-answer");
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
  fs::create_directory(dir / "backups");
  const RunResult r = Tool({"write", "--port", port, Path("d.cf8"), "--backup", Path("backups")});
  EXPECT_EQ(r.status, 7);
  EXPECT_TRUE(FilesIn(dir / "backups").empty());
  EXPECT_EQ(SimLog(0).find("57 01"), std::string::npos) << "no write frame went out";
}

TEST_F(Cli, ABackupFolderThatCannotTakeOneIsRefusedBeforeTheDevice) {
  const std::string port = Sim("--type 1");
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
  for (const std::string& folder : {Path("absent"), Path("d.cf8"), std::string("/proc")}) {
    const RunResult r = Tool({"write", "--port", port, Path("d.cf8"), "--backup", folder});
    EXPECT_EQ(r.status, 4) << folder << r.err;
    EXPECT_NE(r.err.find("запись не выполнена"), std::string::npos) << r.err;
  }
  EXPECT_EQ(SimLog(0), "") << "the device heard nothing";
}

TEST_F(Cli, UsageErrors) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"read"}, {"read", "--port"}, {"read", "--port", "COM3"}, {"write", "--port", "/dev/x"},
           {"diff", "a.cf8"}, {"defaults", "--type", "4", "-o", "x.cf8"}, {"show", "--bogus", "a.cf8"}}) {
    const RunResult r = Tool(args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_FALSE(r.err.empty());
  }
  const RunResult help = Tool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: tivolan-cli <command>"), std::string::npos);
  const RunResult verbHelp = Tool({"diff", "--help"});
  EXPECT_EQ(verbHelp.status, 0);
  EXPECT_NE(verbHelp.out.find("usage: tivolan-cli diff A.cf8 B.cf8"), std::string::npos);
}

TEST_F(Cli, FilesThatAreNoConfiguration) {
  Write("junk.cf8", "<config FileID=\"8\"><device ID=\"1\">");
  for (const char* file : {"junk.cf8", "missing.cf8"}) {
    const RunResult r = Tool({"show", Path(file)});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("Файл поврежден или не найден"), std::string::npos);
  }
  EXPECT_EQ(Tool({"write", "--port", "/dev/null", Path("junk.cf8")}).status, 3);
}

TEST_F(Cli, DefaultsAreTheFilesTheProgramSaves) {
  for (int type = 1; type <= 3; ++type) {
    ASSERT_EQ(Tool({"defaults", "--type", std::to_string(type), "-o", Path("d.cf8")}).status, 0);
    ImageBuffer b{};
    test::RecordingPrompter prompter;
    SetDefaultImage(b, type, prompter);
    EXPECT_EQ(Text("d.cf8"), BuildConfigDocument(b, type).SaveToString()) << type;
  }
}

TEST_F(Cli, AFailedSaveKeepsTheExistingFile) {
  fs::create_directory(dir / "folder.cf8");
  const RunResult r = Tool({"defaults", "--type", "2", "-o", Path("folder.cf8")});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "tivolan-cli: " + Path("folder.cf8") + ": Файл не сохранён: это папка, а не файл\n");
  EXPECT_TRUE(fs::is_directory(dir / "folder.cf8"));
}

TEST_F(Cli, ShowAndDiffInTheProgramsWords) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("a.cf8")}).status, 0);
  // A hand edit: LF line ends, blanks for indentation, zone 3 made a door.
  std::string edited = Text("a.cf8");
  for (std::size_t at; (at = edited.find("\r\n")) != std::string::npos;) edited.replace(at, 2, "\n");
  for (std::size_t at; (at = edited.find('\t')) != std::string::npos;) edited.replace(at, 1, "  ");
  const std::string zone3 = "<zone ID=\"3\" PartID=\"0\" tactics=\"5\" rearm=\"1\" CID=\"20\" TimeIn=\"0\" TimeOut=\"0\"";
  ASSERT_NE(edited.find(zone3), std::string::npos);
  edited.replace(edited.find(zone3), zone3.size(),
                 "<zone ID=\"3\" PartID=\"0\" tactics=\"7\" rearm=\"1\" CID=\"23\" TimeIn=\"45\" TimeOut=\"30\"");
  edited.replace(edited.find("sysCFG Value=\"192\""), 18, "sysCFG Value=\"199\"");
  Write("b.cf8", edited);

  const RunResult show = Tool({"show", Path("b.cf8")});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("  ШС3  1       Дверной          134 - ВХОД/ВЫХОД   45    30"), std::string::npos)
      << show.out;
  EXPECT_NE(show.out.find("Раздел для внутренних событий: 8"), std::string::npos);

  const RunResult diff = Tool({"diff", Path("a.cf8"), Path("b.cf8")});
  EXPECT_EQ(diff.status, 1);
  EXPECT_EQ(diff.out,
            "ШС3: Тип шлейфа Охранный → Дверной\n"
            "ШС3: Код события 131 - ПЕРИМЕТР → 134 - ВХОД/ВЫХОД\n"
            "ШС3: Задержка вход — → 45\n"
            "ШС3: Задержка выход — → 30\n"
            "Раздел для внутренних событий 1 → 8\n");
  EXPECT_EQ(Tool({"diff", Path("a.cf8"), Path("a.cf8")}).status, 0);
}

// A type 1 panel whose configuration uses GSM: one destination on, an SMS
// recipient, GPRS for SIM 1.
constexpr const char* kGsmPanel = test::kGsmPanelArgs;

TEST_F(Cli, AGsmConfigurationGoesFromDeviceToFileToDeviceWithEveryByte) {
  const std::string a = Sim(kGsmPanel);
  ASSERT_EQ(Tool({"read", "--port", a, "-o", Path("a.cf8")}).status, 0);
  EXPECT_NE(Text("a.cf8").find("<CFG DeviceNum=\"4660\"><CID_Destinations><Dest1 trySIMProt=\"73\" "
                               "PhOrHst=\"+79031234567\"/></CID_Destinations><SMS_List><SMS PartID=\"3\" cfg=\"2\" "
                               "pdu=\"9730214365F7FFFF\"/></SMS_List><GPRS_Settings><SIM1 APN=\"internet\" user=\"\" "
                               "password=\"\"/><SIM2 APN=\"\" user=\"\" password=\"\"/></GPRS_Settings></CFG>\t\t</configMPI>"),
            std::string::npos)
      << Text("a.cf8");
  const std::string b = Sim("--type 1");
  const RunResult write = Tool({"write", "--port", b, Path("a.cf8")});
  ASSERT_EQ(write.status, 0) << write.err;
  EXPECT_NE(write.err.find("Пишем настройки GSM"), std::string::npos);
  ASSERT_EQ(Tool({"read", "--port", b, "-o", Path("b.cf8")}).status, 0);
  EXPECT_EQ(Text("a.cf8"), Text("b.cf8"));
  const std::string log = SimLog(1);
  EXPECT_NE(log.find("7E 1B 57 02 12 34 01 01 0D 49 2B 37 39 30 33 31 32 33 34 35 36 37 00 00 00 00"), std::string::npos)
      << log;
  EXPECT_NE(log.find("7E 12 57 03 0B 69 6E 74 65 72 6E 65 74 00 00 00 00"), std::string::npos) << log;
  EXPECT_NE(log.find("7E 10 57 04 02 03 97 30 21 43 65 F7 FF FF 00"), std::string::npos) << log;
}

TEST_F(Cli, AFailedGsmStepExitsTenAndAReadWritesNoFile) {
  const std::string port = Sim(std::string(kGsmPanel) + " --fault no-answer --fault-block 4");
  const RunResult r = Tool({"read", "--port", port, "-o", Path("x.cf8")});
  EXPECT_EQ(r.status, 10);
  EXPECT_NE(r.err.find("Ошибка при чтении или записи параметров GSM"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("x.cf8")));
}

// Blocks 2, 3 and 4 of a device, and whether one holds a control byte.
struct KeptCase {
  std::array<const char*, 3> blocks;
  bool pictured;
  friend void PrintTo(const KeptCase& c, std::ostream* os) { *os << c.blocks[0] << " " << c.blocks[1]; }
};
class CliKeeps : public Cli, public ::testing::WithParamInterface<KeptCase> {};

// What a device holds, also what the GPRS dialog or a write would refuse, is
// kept by read -o and by write --backup: each file opened again gives it.
TEST_P(CliKeeps, WhatTheDeviceHoldsByReadAndByBackup) {
  const std::string panel = test::kGsmPanelArgs;
  std::string args = panel.substr(0, panel.find(" --block"));
  test::HeldBlocks device;
  for (std::size_t n = 0; n < 3; ++n) {
    args += " --block " + std::to_string(n + 2) + "=" + GetParam().blocks[n];
    device[n] = *sim::ParseHex(GetParam().blocks[n]);
  }
  const std::string port = Sim(args);
  const RunResult read = Tool({"read", "--port", port, "-o", Path("read.cf8")});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.err.find("(направление 1)") != std::string::npos, GetParam().pictured) << read.err;
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
  fs::create_directory(dir / "backups");
  ASSERT_EQ(Tool({"write", "--port", port, Path("d.cf8"), "--backup", Path("backups")}).status, 0);
  EXPECT_EQ(test::BlocksOfFile(Path("read.cf8")), device);
  EXPECT_EQ(test::BlocksOfFile((dir / "backups" / FilesIn(dir / "backups").at(0)).string()), device);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, CliKeeps,
    ::testing::Values(  // GPRS on without an access point; a blank, an @ and a Cyrillic letter in the GPRS texts;
                        // a control byte and a 0 in a destination, and one the table shows clamped
        KeptCase{{"123401000D492B373930333132333435363700000000", "0000", "00"}, false},
        KeptCase{{"123401000D492B373930333132333435363700000000", "10696E746572206E6574E000754031000000", "00"}, false},
        KeptCase{{"123400010D492B370100303331323334353601FF000000", "0000", "02039730214365F7FFFF00"}, true}));

// Blocks 1 and 2 written and block 3 unanswered: the panel may hold part of
// the new configuration, and the tool says which blocks went out.
TEST_F(Cli, AWriteStoppedAfterSomeBlocksSaysWhichWentOut) {
  ASSERT_EQ(Tool({"read", "--port", Sim(kGsmPanel), "-o", Path("g.cf8")}).status, 0);
  const std::string port = Sim(std::string(kGsmPanel) + " --fault no-answer --fault-block 3");
  const RunResult r = Tool({"write", "--port", port, Path("g.cf8")});
  EXPECT_EQ(r.status, 10);
  EXPECT_NE(r.err.find("Запись не завершена: прибор может содержать часть новой конфигурации, запишите её ещё раз "
                       "(отправлены блоки 1 - настройки прибора, 2 - направления доставки, 3 - GPRS)"),
            std::string::npos)
      << r.err;
}

// A GSM configuration without any destination on: the program asks first.
class CliQuestion : public Cli {
 protected:
  void SetUp() override {
    const std::string source = Sim(kGsmPanel);
    ASSERT_EQ(Tool({"read", "--port", source, "-o", Path("g.cf8")}).status, 0);
    std::string text = Text("g.cf8");
    const std::string on = "trySIMProt=\"73\"";
    ASSERT_NE(text.find(on), std::string::npos);
    text.replace(text.find(on), on.size(), "trySIMProt=\"9\"");  // attempts "Выкл."
    Write("off.cf8", text);
    target = Sim("--type 1");
  }
  int RunInProcess(const std::vector<std::string>& args, const std::string& answer, std::string& err) {
    std::ostringstream out, errors;
    std::istringstream in(answer);
    const int status = cli::Run(args, {out, errors, in, true});
    err = errors.str();
    return status;
  }
  std::string target;
};

TEST_F(CliQuestion, WithoutATerminalTheWriteIsRefusedAndNothingIsSent) {
  const RunResult r = Tool({"write", "--port", target, Path("off.cf8")});
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
  EXPECT_EQ(SimLog(1), "");
}

TEST_F(CliQuestion, AnsweredNoSendsNothingAndYesWrites) {
  std::string err;
  // No, or just Enter: the default the prompt shows in capitals.
  for (const char* no : {"н\n", "\n"}) {
    EXPECT_EQ(RunInProcess({"write", "--port", target, Path("off.cf8")}, no, err), 5);
    EXPECT_NE(err.find("Ни одно направление не включено, сохранять настройки? [д/Н] "
                       "tivolan-cli: запись отменена, в прибор ничего не записано\n"),
              std::string::npos)
        << err;
  }
  EXPECT_EQ(SimLog(1), "");
  EXPECT_EQ(RunInProcess({"write", "--port", target, Path("off.cf8")}, "д\n", err), 0) << err;
  EXPECT_NE(SimLog(1).find("7E 0E 57 02 12 34 01 01 00 00 00 00 00"), std::string::npos) << "the destination that is off goes as an empty record";
  const RunResult yes = Tool({"write", "--port", target, Path("off.cf8"), "--yes"});
  EXPECT_EQ(yes.status, 0) << yes.err;
}

// tivolan-cli firmware against tivolan-sim --bootloader.
struct FirmwareCase {
  const char* sim;     // nullptr: no simulator, a port that does not exist
  const char* file;
  int status;
  std::vector<const char*> texts;
  friend void PrintTo(const FirmwareCase& c, std::ostream* os) { *os << (c.sim ? c.sim : "no port") << " " << c.file; }
};
class CliFirmware : public Cli, public ::testing::WithParamInterface<FirmwareCase> {};

TEST_P(CliFirmware, ExitsWithItsStatusAndTheTexts) {
  const FirmwareCase& c = GetParam();
  const std::string port = c.sim ? Sim(c.sim) : "/dev/no-such-port";
  const RunResult r = Tool({"firmware", "--port", port, Write("f.enc", c.file)});
  EXPECT_EQ(r.status, c.status) << r.err;
  for (const char* text : c.texts) EXPECT_NE(r.err.find(text), std::string::npos) << text << "\n" << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, CliFirmware,
    ::testing::Values(
        FirmwareCase{"--bootloader", "0002AABB0002CCDD", 0,
                     {"0 % (0 из 2 блоков)\n", "50 % (2 из 2 блоков)\n", "100 % (2 из 2 блоков)\n",
                      "Прошивка прибора: Прошивка прибора обновлена"}},
        FirmwareCase{"--bootloader", "0003AABBCC\n", 3, {"Ошибка: Файл не найден", "f.enc: знак 11: байт 0x0A"}},
        FirmwareCase{"--bootloader", "", 3, {"Файл прошивки пуст"}},
        FirmwareCase{"--bootloader", "0009AABB", 3, {"блок 1 с байта 0 объявляет 9 байт данных"}},
        FirmwareCase{nullptr, "0003AABBCC", 6, {"Ошибка открытия порта", "Ошибка порта"}},
        FirmwareCase{"--bootloader --fault reject --at-block 2", "0001AA0001BB", 13,
                     {"Прошивка прибора: Ошибка контрольной суммы"}},
        FirmwareCase{"--bootloader --fault no-answer", "0001AA", 12, {"Прошивка прибора: Нет связи с устройством"}}));

TEST_F(Cli, FirmwareUsage) {
  EXPECT_EQ(Tool({"firmware", "--port", "/dev/x"}).status, 2);
  EXPECT_EQ(Tool({"firmware", Path("f.enc")}).status, 2);
  const RunResult help = Tool({"firmware", "--help"});
  EXPECT_NE(help.out.find("13 a block was rejected"), std::string::npos);
}

TEST_F(Cli, AReportOfEachTypeAndNothingForAFileThatIsNoConfiguration) {
  for (int type = 1; type <= 3; ++type) {
    ASSERT_EQ(Tool({"defaults", "--type", std::to_string(type), "-o", Path("d.cf8")}).status, 0);
    const RunResult r = Tool({"report", Path("d.cf8"), "-o", Path("d.html")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string html = Text("d.html");
    EXPECT_NE(html.find("<td>" + Path("d.cf8") + "</td>"), std::string::npos);
    EXPECT_NE(html.find(type == 3 ? "<h2>Концентратор</h2>" : "<h2>Шлейфы</h2>"), std::string::npos);
    EXPECT_NE(html.find("<h2>Проверки</h2>"), std::string::npos);
  }
  Write("junk.cf8", "<config FileID=\"8\"><device ID=\"7\"/></config>");
  const RunResult bad = Tool({"report", Path("junk.cf8"), "-o", Path("junk.html")});
  EXPECT_EQ(bad.status, 3);
  EXPECT_FALSE(fs::exists(Path("junk.html")));
}

// The report as it prints, kept for review in build/screenshots/.
TEST_F(Cli, AReportPrintsToAnA4Pdf) {
  const std::string a = Sim(kGsmPanel);
  ASSERT_EQ(Tool({"read", "--port", a, "-o", Path("g.cf8")}).status, 0);
  const RunResult r = Tool({"report", Path("g.cf8"), "--pdf", Path("g.pdf")});
  if (r.status != 0 && r.err.find("without Qt") != std::string::npos) GTEST_SKIP() << "this build has no Qt";
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "no notes of Qt's on the terminal";
  EXPECT_EQ(Text("g.pdf").substr(0, 5), "%PDF-");
  if (std::system("command -v pdftoppm >/dev/null") != 0) GTEST_SKIP() << "pdftoppm (poppler-utils) not installed";
  const fs::path shots = fs::path(TIVOLAN_CLI_PATH).parent_path() / "screenshots";
  fs::create_directories(shots);
  const std::string command = "pdftoppm -png -r 70 -singlefile " + Path("g.pdf") + " " + (shots / "report").string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(fs::exists(shots / "report.png"));
}

// Ctrl+C while the tool talks to a device: the exchange is cancelled, the
// port closed, and the tool says so instead of dying mid-frame.
struct InterruptCase {
  const char* sim;
  const char* verb;
  const char* after;  // the status text after which Ctrl+C comes
  int delayMs;
  friend void PrintTo(const InterruptCase& c, std::ostream* os) { *os << c.verb << " " << c.sim; }
};
class CliInterrupt : public Cli, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(CliInterrupt, CancelsTheExchangeAndWritesNoFile) {
  const auto& c = GetParam();
  const std::string port = Sim(c.sim);
  std::vector<std::string> args{"read", "--port", port, "-o", Path("x.cf8")};
  if (std::string(c.verb) == "write") {
    ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
    args = {"write", "--port", port, Path("d.cf8")};
  }
  const RunResult r = test::RunProgram(TIVOLAN_CLI_PATH, args, c.after, c.delayMs);
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_NE(r.err.find("обмен с прибором прерван"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("порт не закрылся"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Нет связи"), std::string::npos) << "cancelled before the exchange failed on its own";
  EXPECT_FALSE(fs::exists(Path("x.cf8")));
}

INSTANTIATE_TEST_SUITE_P(Steps, CliInterrupt,
                         ::testing::Values(InterruptCase{"--type 1 --fault truncated", "read", "Ответ прибора получен", 100},
                                           InterruptCase{"--type 1 --fault stall", "write", "Порт открыт", 60}));

// After "Нет связи" the tool waits for an answer the device may still send;
// Ctrl+C ends that wait, and the exit status is still the exchange's.
TEST_F(Cli, CtrlCWhileALateAnswerIsAwaitedKeepsTheExchangesStatus) {
  const std::string port = Sim("--type 1 --fault no-answer");
  const auto start = std::chrono::steady_clock::now();
  const RunResult r = test::RunProgram(TIVOLAN_CLI_PATH, {"read", "--port", port}, "Нет связи", 100);
  EXPECT_EQ(r.status, 7) << r.err;
  EXPECT_NE(r.err.find("tivolan-cli: ожидание запоздалого ответа прибора прервано\n"), std::string::npos) << r.err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, limits::kLateAnswerMost);
}

TEST_F(Cli, ReadRefusesAnOutputItCannotWriteBeforeTouchingTheDevice) {
  const std::string port = Sim("--type 1");
  fs::create_directory(dir / "folder.cf8");
  for (const std::string& target : {Path("folder.cf8"), Path("no-such-dir/x.cf8"), std::string("/dev/full")}) {
    const RunResult r = Tool({"read", "--port", port, "-o", target});
    EXPECT_EQ(r.status, 4) << target;
    EXPECT_NE(r.err.find("tivolan-cli: " + target + ": Файл не сохранён: "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Порт открыт"), std::string::npos) << "the port was never opened";
  }
  EXPECT_EQ(SimLog(0), "") << "the device heard nothing";
}

// `args` with each word that is a key of `values` ("{port}") replaced by its value.
std::vector<std::string> Filled(std::vector<std::string> args, const std::map<std::string, std::string>& values) {
  for (auto& arg : args)
    if (const auto v = values.find(arg); v != values.end()) arg = v->second;
  return args;
}

// Standard output that cannot be written is a save that failed, not a success.
struct OutputCase {
  const char* name;
  const char* sim;  // nullptr: no device
  std::vector<std::string> args;
  friend void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }
};
class CliOutput : public Cli, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(CliOutput, AFullStandardOutputExitsFourWithTheCause) {
  const OutputCase& c = GetParam();
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("a.cf8")}).status, 0);
  ASSERT_EQ(Tool({"defaults", "--type", "3", "-o", Path("b.cf8")}).status, 0);
  const std::string port = c.sim ? Sim(c.sim) : "";
  const auto args = Filled(c.args, {{"{a}", Path("a.cf8")}, {"{b}", Path("b.cf8")}, {"{port}", port}});
  const RunResult r = Tool(args, "exec \"$0\" \"$@\" >/dev/full");
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("tivolan-cli: стандартный вывод не записан: на диске нет места\n"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, CliOutput,
    ::testing::Values(OutputCase{"show", nullptr, {"show", "{a}"}}, OutputCase{"report", nullptr, {"report", "{a}"}},
                      OutputCase{"read", "--type 1", {"read", "--port", "{port}"}},
                      OutputCase{"diff", nullptr, {"diff", "{a}", "{b}"}},
                      OutputCase{"ports", "--type 1", {"ports", "{port}"}},
                      OutputCase{"read_to_standard_output", "--type 1", {"read", "--port", "{port}", "-o", "-"}},
                      OutputCase{"defaults_to_standard_output", nullptr, {"defaults", "--type", "2", "-o", "-"}},
                      OutputCase{"report_to_standard_output", nullptr, {"report", "{a}", "-o", "-"}}),
    [](const ::testing::TestParamInfo<OutputCase>& row) { return std::string(row.param.name); });

// A disk that fills while the PDF goes out: the file size limit stops every
// write past 4 KiB as a full disk would (EFBIG instead of ENOSPC), without
// needing root for a small file system.
TEST_F(Cli, AReportPdfThatCannotBeWrittenWholeKeepsTheOldFile) {
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("a.cf8")}).status, 0);
  const RunResult whole = Tool({"report", Path("a.cf8"), "--pdf", Path("whole.pdf")});
  if (whole.status != 0 && whole.err.find("without Qt") != std::string::npos) GTEST_SKIP() << "this build has no Qt";
  ASSERT_GT(Text("whole.pdf").size(), 4096u) << "larger than the limit below";
  fs::remove(Path("whole.pdf"));
  Write("old.pdf", "the report printed before");
  const RunResult r = Tool({"report", Path("a.cf8"), "--pdf", Path("old.pdf")}, "trap '' XFSZ; ulimit -f 8; exec \"$0\" \"$@\"");
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find(Path("old.pdf") + ": Файл не сохранён: файл больше, чем позволяет система\n"), std::string::npos)
      << r.err;
  const std::string kept = Text("old.pdf");
  EXPECT_TRUE(kept == "the report printed before") << "replaced by " << kept.size() << " bytes: " << kept.substr(0, 8);
  auto names = FilesIn(dir);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.cf8", "old.pdf"})) << "no temporary file left";
}

// A terminal program or a script holding the port without a lock would take
// the device's answers: the port is refused, and its holder named as
// 'ports' names it, before a byte goes out.
struct HeldCase {
  const char* sim;
  std::vector<std::string> args;
  friend void PrintTo(const HeldCase& c, std::ostream* os) { *os << c.args[0] << " " << c.sim; }
};
class CliHeldPort : public Cli, public ::testing::WithParamInterface<HeldCase> {};

TEST_P(CliHeldPort, IsRefusedWithSixNamingTheHolder) {
  const HeldCase& c = GetParam();
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", Path("d.cf8")}).status, 0);
  Write("f.enc", "0001AA");
  const std::string port = Sim(c.sim);
  const test::HeldPort held(port);
  ASSERT_TRUE(held.Holding());
  const RunResult r = Tool(Filled(c.args, {{"{port}", port}, {"{d}", Path("d.cf8")}, {"{x}", Path("x.cf8")},
                                           {"{f}", Path("f.enc")}}));
  EXPECT_EQ(r.status, 6) << r.err;
  EXPECT_NE(r.err.find("Ошибка порта\nПричина: " + port + ": занят: " + held.Name() + "; на другом конце: процесс " +
                       std::to_string(sims[0]) + " (tivolan-sim)\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(SimLog(0), "") << "the device heard nothing";
}

INSTANTIATE_TEST_SUITE_P(Verbs, CliHeldPort,
                         ::testing::Values(HeldCase{"--type 1", {"read", "--port", "{port}", "-o", "{x}"}},
                                           HeldCase{"--type 1", {"write", "--port", "{port}", "{d}"}},
                                           HeldCase{"--bootloader", {"firmware", "--port", "{port}", "{f}"}}));

}  // namespace
}  // namespace tivolan
