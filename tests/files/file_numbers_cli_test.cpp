// A file with a number its field cannot hold, or a second copy of an
// element read once, through tivolan-cli: "show" and "write" exit 3 with
// the cause on standard error, and the panel gets no frame.
#include <gtest/gtest.h>

#include "files/FileIO.h"
#include "support/SimHelp.h"
#include "support/Processes.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

struct DamagedFile {
  const char* name;
  const char* from;  // in the file the program wrote
  std::string to;
  const char* cause;
};

// The examples, each in the GSM configuration a panel gave.
const DamagedFile kDamaged[] = {
    {"negative_device_number", "DeviceNum=\"4660\"", "DeviceNum=\"-5\"",
     "элемент \"CFG\", атрибут \"DeviceNum\" = \"-5\": поле вмещает числа 0..9999"},
    {"twenty_digits", "DeviceNum=\"4660\"", "DeviceNum=\"12345678901234567890\"",
     "атрибут \"DeviceNum\" = \"12345678901234567890\": поле вмещает числа 0..9999"},
    {"tries_sim_and_protocol_at_once", "trySIMProt=\"73\"", "trySIMProt=\"70000\"",
     "элемент \"Dest1\", атрибут \"trySIMProt\" = \"70000\": поле вмещает числа 0..255"},
    {"partition_above_255", "PartID=\"0\"", "PartID=\"256\"",
     "элемент \"zone\" №1, атрибут \"PartID\" = \"256\": поле вмещает числа 0..7"},
    {"pdu_of_4000_digits", "pdu=\"9730214365F7FFFF\"", "pdu=\"" + std::string(4000, '7') + "\"",
     "атрибут \"pdu\" = \"777777777777777777777777…\" (длина 4000): нужно ровно 16 шестнадцатеричных цифр"},
    {"second_destination_1", "</CID_Destinations>", "<Dest1 trySIMProt=\"9\" PhOrHst=\"x\"/></CID_Destinations>",
     "элемент \"Dest1\" повторяется, а в файле он может быть только один"},
    // Numbers the window's controls cannot show, and zones the file cannot mean.
    {"siren_time_15", "<sndWrkTime min=\"2\"", "<sndWrkTime min=\"15\"",
     "элемент \"sndWrkTime\", атрибут \"min\" = \"15\": поле вмещает числа 1..10"},
    {"zone_9", "<zone ID=\"8\"", "<zone ID=\"9\"", "элемент \"zone\" №8, атрибут \"ID\" = \"9\": поле вмещает числа 1..8"},
    {"zone_1_twice", "<zone ID=\"8\"", "<zone ID=\"1\"",
     "элемент \"zone\" №8, атрибут \"ID\" = \"1\": такой номер уже был, а каждый может быть в файле только один раз"},
};

// A type 1 panel using GSM: one destination, an SMS recipient, GPRS for SIM 1.
constexpr const char* kGsmPanel = test::kGsmPanelArgs;

class CliFileNumbers : public ::testing::Test, protected test::TempDir {
 protected:
  CliFileNumbers() : TempDir("tivolan-cli-numbers") {}
  ~CliFileNumbers() override {
    for (pid_t pid : sims) test::StopProcess(pid);
  }
  std::string Sim(const std::string& args, const char* log) {
    std::string port;
    sims.push_back(test::StartSim(args + " --log " + Path(log), port));
    return port;
  }
  test::RunResult Tool(const std::vector<std::string>& args) { return test::RunProgram(TIVOLAN_CLI_PATH, args); }
  std::string Log(const char* name) const {
    try {
      return ReadWholeFile(Path(name), 1 << 20);
    } catch (const FileError&) {
      return {};
    }
  }

  std::vector<pid_t> sims;
};

TEST_F(CliFileNumbers, ShowAndWriteExitThreeNameTheCauseAndSendNothing) {
  const std::string source = Sim(kGsmPanel, "source.log");
  ASSERT_EQ(Tool({"read", "--port", source, "-o", Path("read.cf8")}).status, 0);
  const std::string text = ReadWholeFile(Path("read.cf8"), 1 << 20);
  const std::string target = Sim("--type 1", "target.log");
  for (const DamagedFile& c : kDamaged) {
    SCOPED_TRACE(c.name);
    std::string edited = text;
    const std::size_t at = edited.find(c.from);
    ASSERT_NE(at, std::string::npos) << text;
    const std::string damaged = Write("damaged.cf8", edited.replace(at, std::string(c.from).size(), c.to));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"show", damaged},
                                                 {"write", "--port", target, damaged},
                                                 {"write", "--yes", "--port", target, damaged}}) {
      const test::RunResult r = Tool(args);
      EXPECT_EQ(r.status, 3) << args[0] << "\n" << r.err;
      EXPECT_NE(r.err.find(damaged + ": Файл поврежден или не найден\n"), std::string::npos) << r.err;
      EXPECT_NE(r.err.find(c.cause), std::string::npos) << r.err;
      EXPECT_EQ(r.out, "");
    }
  }
  EXPECT_EQ(Log("target.log"), "") << "no frame reached the panel";

  // The file as it was read goes out whole: four frames.
  const test::RunResult written = Tool({"write", "--port", target, Path("read.cf8")});
  ASSERT_EQ(written.status, 0) << written.err;
  const std::string log = Log("target.log");
  for (const char* block : {"7E 2E 57 01", "7E 1B 57 02", "57 03", "57 04"})
    EXPECT_NE(log.find(block), std::string::npos) << block << " in\n" << log;
}

}  // namespace
}  // namespace tivolan
