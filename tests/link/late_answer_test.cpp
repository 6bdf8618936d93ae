// An answer that misses its limit is never taken for the answer to a later
// request. A table of lateness through tivolan-cli, and one of device timings
// and command sequences, run through
// the operation the window and the tool share (one process, one data
// module, as the window keeps it) and through tivolan-cli (a process a
// command, as a script programming panels runs it).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "files/FileIO.h"
#include "model/HexText.h"
#include "support/CliBench.h"
#include "support/Processes.h"
#include "support/SimFixture.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

using sim::Bytes;
using sim::Fault;

// Two configurations of a type 1 panel, differing from each other and from
// the panel's own in the siren time (configuration byte 43).
constexpr std::size_t kSirenAt = 39;  // in the payload
Bytes PanelPayload(uint8_t sirenMinutes) {
  const auto defaults = DefaultPayload(1);
  Bytes payload(defaults.begin(), defaults.end());
  payload[kSirenAt] = sirenMinutes;
  return payload;
}
const Bytes kPayloadA = PanelPayload(5);
const Bytes kPayloadB = PanelPayload(9);

// A type 1 panel whose configuration uses GSM (byte 38 = 2) with the GPRS
// and SMS blocks, so that a read takes blocks 1 to 4.
const Bytes kGsmPayload = [] {
  Bytes payload = PanelPayload(3);
  payload[34] = 2;
  return payload;
}();
const std::vector<Bytes> kGsmBlocks{
    {0x12, 0x34, 0x01, 0x01, 0x0D, 0x49, '+', '7', '9', '0', '3', '1', '2', '3', '4', '5', '6', '7', 0, 0, 0, 0},
    {0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0},
    {0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00}};

// How the device answers: the simulator's delay fault with one delay per
// answer in turn (the last for the rest), at every block or at one.
struct Timing {
  std::vector<int> delaysMs;
  int faultBlock = 0;
  bool gsm = false;
};

sim::SimOptions DeviceWith(const Timing& t) {
  sim::SimOptions o;
  o.device.type = 1;
  o.device.fault = t.delaysMs.empty() ? Fault::None : Fault::Delay;
  o.device.delays = t.delaysMs;
  o.device.faultBlock = t.faultBlock;
  if (t.gsm) {
    o.device.payload = kGsmPayload;
    for (std::size_t i = 0; i < 3; ++i) o.device.blocks[i] = kGsmBlocks[i];
  }
  return o;
}

enum class Step { WriteA, WriteB, Read };

struct LateCase {
  const char* name;
  Timing timing;
  std::vector<Step> steps;
  std::vector<int> statuses;  // of each step: 0 done, else the final code (the tool's exit status)
};
void PrintTo(const LateCase& c, std::ostream* os) { *os << c.name; }
std::string CaseName(const ::testing::TestParamInfo<LateCase>& p) { return p.param.name; }

const Step kWA = Step::WriteA;
const Step kWB = Step::WriteB;
const Step kR = Step::Read;

// 1200 ms: the answer starts about 150 ms after the answer limit ran out.
const std::vector<LateCase> kLateCases{
    {"LateEveryTime", {{1200}}, {kWB, kWB, kWB, kWA, kWB, kWA, kR, kR, kR}, {7, 7, 7, 7, 7, 7, 7, 7, 7}},
    {"LateOnceThenAtOnce", {{1200, 0}}, {kWB, kWA, kR}, {7, 0, 0}},
    {"LateOnceThenWithinTheLimit", {{1200, 700}}, {kWB, kWA, kR, kR}, {7, 0, 0, 0}},
    {"GsmBlockThreeLateEveryTime", {{1200}, 3, true}, {kR, kR}, {10, 10}},
    {"GsmBlockThreeLateOnce", {{1200, 0}, 3, true}, {kR, kR, kR}, {10, 0, 0}},
};

// The data of block 2, 3 or 4 in the frame a read stored whole.
template <std::size_t N>
Bytes BlockData(const std::array<uint8_t, N>& frame) {
  return Bytes(frame.begin() + 4, frame.begin() + std::max<int>(frame[1] - 1, 4));
}

class LateAnswerInOneProcess : public ::testing::TestWithParam<LateCase> {};

TEST_P(LateAnswerInOneProcess, EveryStepEndsAsWantedAndAReadTakesWhatTheDeviceHolds) {
  const LateCase& c = GetParam();
  test::SimFixture f(DeviceWith(c.timing));
  std::vector<int> statuses;
  for (const Step step : c.steps) {
    if (step != Step::Read) {
      const Bytes& payload = step == Step::WriteA ? kPayloadA : kPayloadB;
      std::copy(payload.begin(), payload.end(), f.data.ConfigBuffer.begin() + 4);
    }
    const ExchangeOutcome outcome = f.RunWithGsm(step == Step::Read ? LinkMode::Read : LinkMode::Write);
    EXPECT_TRUE(outcome.ended);
    statuses.push_back(outcome.finalCode <= LinkStatus::StatusWriteDone ? 0 : test::Number(outcome.finalCode));
    if (step != Step::Read || outcome.finalCode != LinkStatus::StatusReadDone) continue;
    const Bytes read(f.data.ConfigBuffer.begin() + 4, f.data.ConfigBuffer.begin() + 4 + 41);
    EXPECT_EQ(read, f.Sim().Payload()) << "read " << statuses.size() << " took another answer";
    if (c.timing.gsm) {
      EXPECT_EQ(f.data.DestTX_Buffer.Pack(), f.Sim().Block(2));
      EXPECT_EQ(f.data.GprsTX_Buffer.Pack(), f.Sim().Block(3));
      EXPECT_EQ(f.data.SmsTX_Buffer.Pack(), f.Sim().Block(4));
    }
  }
  EXPECT_EQ(statuses, c.statuses);
}

INSTANTIATE_TEST_SUITE_P(Timings, LateAnswerInOneProcess, ::testing::ValuesIn(kLateCases),
                         CaseName);

class LateAnswerThroughTheCli : public ::testing::TestWithParam<LateCase>, protected test::TempDir {
 protected:
  LateAnswerThroughTheCli() : TempDir("tivolan-late") {}

  test::RunResult Tool(const std::vector<std::string>& args) { return test::RunProgram(TIVOLAN_CLI_PATH, args); }
  std::string Text(const std::string& path) const { return ReadWholeFile(path, 1 << 20); }

  // The file the tool makes of a device holding `payload` (and the GSM
  // blocks), read from one that answers at once; what a read must give.
  std::string FileOf(const Bytes& payload, const char* name) {
    Timing prompt;
    prompt.gsm = payload == kGsmPayload;
    sim::SimOptions options = DeviceWith(prompt);
    options.device.payload = payload;
    sim::SimPort device(options);
    device.Start();
    const test::RunResult r = Tool({"read", "--port", device.SlavePath(), "-o", Path(name)});
    EXPECT_EQ(r.status, 0) << r.err;
    references[payload] = Text(Path(name));
    return Path(name);
  }

  std::map<Bytes, std::string> references;
};

TEST_P(LateAnswerThroughTheCli, EveryCommandExitsAsWantedAndAReadSavesWhatTheDeviceHolds) {
  const LateCase& c = GetParam();
  const bool writes = std::any_of(c.steps.begin(), c.steps.end(), [](Step s) { return s != Step::Read; });
  const std::string a = writes ? FileOf(kPayloadA, "a.cf8") : "";
  const std::string b = writes ? FileOf(kPayloadB, "b.cf8") : "";
  if (c.timing.gsm) FileOf(kGsmPayload, "gsm.cf8");
  sim::SimPort device(DeviceWith(c.timing));
  device.Start();
  std::vector<int> statuses;
  for (const Step step : c.steps) {
    const std::string port = device.SlavePath();
    const test::RunResult r = step == Step::Read ? Tool({"read", "--port", port, "-o", Path("read.cf8")})
                                                 : Tool({"write", "--port", port, step == Step::WriteA ? a : b});
    statuses.push_back(r.status);
    if (step != Step::Read || r.status != 0) continue;
    const auto held = references.find(device.Payload());
    ASSERT_NE(held, references.end()) << "the device holds a configuration of no file";
    EXPECT_EQ(Text(Path("read.cf8")), held->second) << "command " << statuses.size() << " took another answer";
  }
  EXPECT_EQ(statuses, c.statuses);
}

INSTANTIATE_TEST_SUITE_P(Timings, LateAnswerThroughTheCli, ::testing::ValuesIn(kLateCases),
                         CaseName);

// Lateness from 0 to 5 s through tivolan-cli, a process a command as a
// script runs them. Each device's version byte counts its block-1 answers,
// so a read shows which request it took: every command ends with 7 or with
// the answer to its own request, never an earlier one's. The rows run side
// by side, each against a device of its own.
struct LatenessRow {
  std::string sim;  // besides --counter
  std::vector<std::string> commands;
  std::vector<int> statuses;
};

class LatenessTable : public ::testing::Test, protected test::CliBench {
 protected:
  LatenessTable() : CliBench("tivolan-lateness") {}
};

TEST_F(LatenessTable, ACommandTakesTheAnswerToItsOwnRequestOrExitsSeven) {
  const std::vector<std::string> reads{"read", "read", "read"};
  const std::vector<LatenessRow> rows{
      {"", reads, {0, 0, 0}},
      {"--fault delay --delay 500", reads, {0, 0, 0}},
      {"--fault delay --delay 1500", reads, {7, 7, 7}},
      {"--fault delay --delay 2500", reads, {7, 7, 7}},
      {"--fault delay --delay 4000", reads, {7, 7, 7}},
      {"--fault delay --delay 5000", reads, {7, 7, 7}},
      {"--fault delay --delays 2500,0", reads, {7, 0, 0}},
      // The read-back of a write that came late is no read-back of the next.
      {"--fault delay --delay 2500", {"write b.cf8", "write a.cf8"}, {7, 7}},
  };
  ASSERT_EQ(Tool({"defaults", "--type", "1", "-o", "a.cf8"}).status, 0);
  const std::string other = Sim("--type 1 --log /dev/null --image " + HexOf(kPayloadB));
  ASSERT_EQ(Tool({"read", "--port", other, "-o", "b.cf8"}).status, 0);
  std::string script = "{ ";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string port = Sim("--type 1 --counter --log /dev/null " + rows[r].sim);
    script += "( ";
    for (std::size_t c = 0; c < rows[r].commands.size(); ++c) {
      const std::string at = std::to_string(r) + "-" + std::to_string(c);
      script += "\"$0\" " + rows[r].commands[c] + " --port " + port + " >/dev/null 2>e" + at + "; echo $? >s" + at + "; ";
    }
    script += ") & ";
  }
  Tool({}, script + "wait; }");
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::vector<int> statuses;
    for (std::size_t c = 0; c < rows[r].commands.size(); ++c) {
      const std::string at = std::to_string(r) + "-" + std::to_string(c);
      statuses.push_back(std::atoi(Text(("s" + at).c_str()).c_str()));
      // The c-th read is the device's c-th block-1 request: version 3 + c.
      const std::string read = "Конфигурация прочитана, версия прибора - " + std::to_string(3 + c) + "\n";
      if (statuses.back() != 0 || rows[r].commands[c] != "read") continue;
      EXPECT_NE(Text(("e" + at).c_str()).find(read), std::string::npos) << rows[r].sim << ", read " << c + 1
                                                                         << " took another request's answer";
    }
    EXPECT_EQ(statuses, rows[r].statuses) << rows[r].sim;
  }
}

}  // namespace
}  // namespace tivolan
