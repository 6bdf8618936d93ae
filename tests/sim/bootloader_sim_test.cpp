// The simulated boot loader: blocks in, verdicts out, its faults, its log,
// on a pseudo-terminal through the program's serial driver and as a process.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "link/CPDrv.h"
#include "sim/BootloaderSimulator.h"
#include "sim/SimPort.h"
#include "support/ProgramPort.h"
#include "support/SimHelp.h"
#include "support/Processes.h"

namespace tivolan::sim {
namespace {
using test::ProgramPort;
using test::FaultListInHelp;

// A block whose data is `size` bytes counting up from `first`.
Bytes CountingBlock(std::size_t size, uint8_t first = 0) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(first + i);
  return MakeBootBlock(data);
}

// A block numbered in its data, for telling blocks apart in the log.
Bytes Numbered(uint32_t n) {
  return MakeBootBlock({static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
}

DeviceSetup WithFault(Fault fault, int atBlock = 1) {
  DeviceSetup setup;
  setup.fault = fault;
  setup.atBlock = atBlock;
  return setup;
}

// Feeds `blocks` one at a time, as the program sends them; one reply each.
std::vector<Reply> SendEach(BootloaderSimulator& loader, const std::vector<Bytes>& blocks) {
  std::vector<Reply> replies;
  for (const auto& b : blocks) {
    auto got = loader.Feed(b.data(), b.size());
    EXPECT_EQ(got.size(), 1u) << Hex(b);
    replies.insert(replies.end(), got.begin(), got.end());
  }
  return replies;
}

const Bytes kAccepted{kVerdictAccepted};

TEST(BootloaderParser, MakeBootBlockPutsTheLengthFirstMostSignificantByteFirst) {
  EXPECT_EQ(MakeBootBlock({0xAA, 0xBB, 0xCC}), (Bytes{0x00, 0x03, 0xAA, 0xBB, 0xCC}));
  const Bytes big = CountingBlock(0x0102);
  ASSERT_EQ(big.size(), 0x0104u);
  EXPECT_EQ(big[0], 0x01);
  EXPECT_EQ(big[1], 0x02);
  EXPECT_EQ(MakeBootBlock({}), (Bytes{0x00, 0x00}));
}

TEST(BootloaderParser, AnswersTheThreeByteBlockWithAccepted) {
  BootloaderSimulator loader(DeviceSetup{});
  const Bytes block{0x00, 0x03, 0xAA, 0xBB, 0xCC};
  std::vector<Bytes> completed;
  const auto replies = loader.Feed(block.data(), block.size(), &completed);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].bytes, kAccepted);
  EXPECT_FALSE(replies[0].hangUpAfter);
  EXPECT_EQ(replies[0].delayMs, 0);
  EXPECT_EQ(completed, std::vector<Bytes>{block});
  EXPECT_EQ(loader.BlockCount(), 1u);
}

TEST(BootloaderParser, ABlockInPiecesIsAnsweredOnlyWhenComplete) {
  // Longer than 255 bytes, so the high length byte counts; pieces of one
  // byte split the length prefix too.
  for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{100}}) {
    BootloaderSimulator loader(DeviceSetup{});
    const Bytes block = CountingBlock(0x0123, 5);
    std::vector<Bytes> completed;
    std::vector<Reply> replies;
    for (std::size_t i = 0; i < block.size(); i += piece) {
      const std::size_t n = std::min(piece, block.size() - i);
      auto got = loader.Feed(block.data() + i, n, &completed);
      if (i + n < block.size()) {
        ASSERT_TRUE(got.empty()) << "piece " << piece << " at " << i;
      }
      replies.insert(replies.end(), got.begin(), got.end());
    }
    ASSERT_EQ(replies.size(), 1u) << piece;
    EXPECT_EQ(replies[0].bytes, kAccepted);
    EXPECT_EQ(completed, std::vector<Bytes>{block}) << piece;
  }
}

TEST(BootloaderParser, TwoBlocksInOneDeliveryGetTwoVerdictsAndAThirdWaitsForItsRest) {
  BootloaderSimulator loader(DeviceSetup{});
  const Bytes first = CountingBlock(300, 1);
  const Bytes second = MakeBootBlock({});  // an empty block is still a block
  const Bytes third = CountingBlock(4, 9);
  Bytes stream = first;
  stream.insert(stream.end(), second.begin(), second.end());
  stream.insert(stream.end(), third.begin(), third.begin() + 3);
  std::vector<Bytes> completed;
  const auto replies = loader.Feed(stream.data(), stream.size(), &completed);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].bytes, kAccepted);
  EXPECT_EQ(replies[1].bytes, kAccepted);
  EXPECT_EQ(completed, (std::vector<Bytes>{first, second}));
  const auto rest = loader.Feed(third.data() + 3, third.size() - 3, &completed);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(completed, (std::vector<Bytes>{first, second, third}));
  EXPECT_EQ(loader.BlockCount(), 3u);
}

// The verdict a fault gives at its block; an empty one is silence.
struct FaultCase {
  Fault fault;
  int atBlock;
  Bytes verdict;
  bool hangUp;
};

class BootloaderFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(BootloaderFault, MeetsOnlyItsBlockAndTheLoaderGoesOnListening) {
  const auto& c = GetParam();
  BootloaderSimulator loader(WithFault(c.fault, c.atBlock));
  // A hang-up ends the session: nothing is heard after it.
  const int blocks = c.hangUp ? c.atBlock : 5;
  std::vector<Bytes> sent;
  for (int i = 0; i < blocks; ++i) sent.push_back(CountingBlock(static_cast<std::size_t>(10 + i)));
  const auto replies = SendEach(loader, sent);
  ASSERT_EQ(replies.size(), sent.size());
  for (int k = 1; k <= blocks; ++k) {
    const Reply& r = replies[static_cast<std::size_t>(k - 1)];
    const bool faulty = k == c.atBlock;
    EXPECT_EQ(r.bytes, faulty ? c.verdict : kAccepted) << FaultName(c.fault) << " block " << k;
    EXPECT_EQ(r.hangUpAfter, faulty && c.hangUp) << FaultName(c.fault) << " block " << k;
    EXPECT_FALSE(r.atOnce);
  }
  EXPECT_EQ(std::vector<Bytes>(loader.Blocks().begin(), loader.Blocks().end()), sent);
}

INSTANTIATE_TEST_SUITE_P(Bootloader, BootloaderFault,
                         ::testing::Values(FaultCase{Fault::Reject, 1, {kVerdictRejected}, false},
                                           FaultCase{Fault::Reject, 3, {kVerdictRejected}, false},
                                           FaultCase{Fault::ZeroVerdict, 1, {0x00}, false},
                                           FaultCase{Fault::ZeroVerdict, 3, {0x00}, false},
                                           FaultCase{Fault::NoAnswer, 1, {}, false},
                                           FaultCase{Fault::NoAnswer, 3, {}, false},
                                           FaultCase{Fault::HangUp, 1, {}, true},
                                           FaultCase{Fault::HangUp, 3, {}, true}));

TEST(BootloaderFaults, ExtraBytesFollowEveryVerdictInOneWrite) {
  for (int atBlock : {1, 3}) {
    BootloaderSimulator loader(WithFault(Fault::ExtraVerdictBytes, atBlock));
    std::vector<Bytes> sent;
    for (uint32_t i = 0; i < 5; ++i) sent.push_back(Numbered(i));
    const auto replies = SendEach(loader, sent);
    Bytes expected = kAccepted;
    expected.insert(expected.end(), kExtraVerdictBytes.begin(), kExtraVerdictBytes.end());
    ASSERT_GT(expected.size(), 1u);
    for (std::size_t k = 0; k < replies.size(); ++k) {
      EXPECT_EQ(replies[k].bytes, expected) << "block " << k + 1;
      EXPECT_TRUE(replies[k].atOnce);
      EXPECT_FALSE(replies[k].hangUpAfter);
    }
  }
}

TEST(BootloaderFaults, APanelFaultLeavesTheVerdictsAlone) {
  for (Fault fault : {Fault::Truncated, Fault::BadChecksum, Fault::Delay, Fault::Oversized}) {
    BootloaderSimulator loader(WithFault(fault));
    const auto replies = SendEach(loader, {Numbered(1), Numbered(2)});
    for (const auto& r : replies) {
      EXPECT_EQ(r.bytes, kAccepted) << FaultName(fault);
      EXPECT_EQ(r.delayMs, 0) << FaultName(fault);
    }
  }
}

TEST(BootloaderFaults, NamesParseBothWays) {
  for (Fault fault : {Fault::Reject, Fault::ZeroVerdict, Fault::ExtraVerdictBytes}) {
    const std::string name = FaultName(fault);
    EXPECT_NE(name, "?");
    EXPECT_EQ(ParseFault(name), fault) << name;
  }
  EXPECT_EQ(ParseFault("zero-verdict"), Fault::ZeroVerdict);
  EXPECT_EQ(ParseFault("extra-verdict-bytes"), Fault::ExtraVerdictBytes);
}

TEST(BootloaderLog, KeepsOnlyTheNewestBlocksInOrderAndCountsThemAll) {
  const std::size_t kept = BootloaderSimulator::kBlockLogSize;
  const uint32_t sent = 20000;
  BootloaderSimulator loader(DeviceSetup{});
  Bytes stream;
  for (uint32_t i = 0; i < sent; ++i) {
    const Bytes b = Numbered(i);
    stream.insert(stream.end(), b.begin(), b.end());
  }
  std::size_t largest = 0;
  std::size_t completed = 0;
  std::size_t replies = 0;
  for (std::size_t i = 0; i < stream.size(); i += 37) {  // pieces that cut blocks
    std::vector<Bytes> done;
    replies += loader.Feed(stream.data() + i, std::min<std::size_t>(37, stream.size() - i), &done).size();
    for (const auto& b : done)
      ASSERT_EQ(b, Numbered(static_cast<uint32_t>(completed++))) << "each block once, in order";
    largest = std::max(largest, loader.Blocks().size());
  }
  EXPECT_EQ(completed, sent);
  EXPECT_EQ(replies, sent);
  EXPECT_EQ(loader.BlockCount(), sent);
  EXPECT_LE(largest, kept);
  ASSERT_EQ(loader.Blocks().size(), kept);
  for (std::size_t k = 0; k < kept; ++k)
    ASSERT_EQ(loader.Blocks()[k], Numbered(static_cast<uint32_t>(sent - kept + k))) << k;
}

TEST(BootloaderLog, AShortTransferKeepsEveryBlock) {
  BootloaderSimulator loader(DeviceSetup{});
  std::vector<Bytes> sent;
  for (uint32_t i = 0; i < 4; ++i) sent.push_back(CountingBlock(i * 90, static_cast<uint8_t>(i)));
  SendEach(loader, sent);
  EXPECT_EQ(std::vector<Bytes>(loader.Blocks().begin(), loader.Blocks().end()), sent);
  EXPECT_EQ(loader.BlockCount(), sent.size());
}


template <typename Condition>
bool AwaitTrue(Condition condition, int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

SimOptions Loader(Fault fault = Fault::None, int atBlock = 1) {
  SimOptions options;
  options.bootloader = true;
  options.pacing = false;
  options.device = WithFault(fault, atBlock);
  return options;
}

TEST(BootloaderSimPort, ExpectsTheBootLoadersSpeedUnlessToldOtherwise) {
  EXPECT_EQ(SimPort(Loader()).ExpectedBaud(), kBootloaderBaud);
  EXPECT_EQ(SimPort(SimOptions{}).ExpectedBaud(), 9600u) << "a panel's speed is unchanged";
  SimOptions told = Loader();
  told.expectedBaud = 57600;
  EXPECT_EQ(SimPort(told).ExpectedBaud(), 57600u);
}

TEST(BootloaderSimPort, ABlockAt115200GetsAcceptedBackAndIsLoggedInHex) {
  std::mutex linesMutex;
  std::vector<std::string> lines;
  SimOptions options = Loader();
  options.pacing = true;  // as the program meets it
  options.log = [&](const std::string& line) {
    std::lock_guard lock(linesMutex);
    lines.push_back(line);
  };
  SimPort sim(options);
  sim.Start();
  ProgramPort program(sim, {.baud = 115200});
  ASSERT_TRUE(program.port.Open());
  const Bytes block{0x00, 0x03, 0xAA, 0xBB, 0xCC};
  EXPECT_EQ(program.Transfer(block), kVerdictAccepted);
  // Time for a stray second byte to show.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  program.port.PollTimerMessage();
  EXPECT_EQ(program.received, kAccepted) << "exactly one verdict byte";
  sim.Stop();
  EXPECT_TRUE(sim.Mismatches().empty());
  EXPECT_EQ(sim.ReceivedBlocks(), std::vector<Bytes>{block});
  EXPECT_EQ(sim.ReceivedBlockCount(), 1u);
  EXPECT_TRUE(sim.ReceivedFrames().empty()) << "no panel frames in boot loader mode";
  std::lock_guard lock(linesMutex);
  EXPECT_EQ(lines, std::vector<std::string>{"00 03 AA BB CC"});
}

TEST(BootloaderSimPort, ALineAt9600GetsNoVerdictAndIsReportedAsASettingsMismatch) {
  std::mutex linesMutex;
  std::vector<std::string> lines;
  SimOptions options = Loader();
  options.log = [&](const std::string& line) {
    std::lock_guard lock(linesMutex);
    lines.push_back(line);
  };
  SimPort sim(options);
  sim.Start();
  ProgramPort program(sim, {.baud = 9600});
  ASSERT_TRUE(program.port.Open());
  const Bytes block = CountingBlock(3);
  ASSERT_EQ(program.Write(block), block.size());
  ASSERT_TRUE(AwaitTrue([&] { return !sim.Mismatches().empty(); }, 2000));
  // The mismatch is recorded before any verdict would go out.
  EXPECT_FALSE(program.AwaitReceived(1, 200)) << Hex(program.received);
  const auto mismatches = sim.Mismatches();
  ASSERT_EQ(mismatches.size(), 1u);
  EXPECT_NE(mismatches[0].find("line settings mismatch"), std::string::npos) << mismatches[0];
  EXPECT_NE(mismatches[0].find("speed 9600"), std::string::npos) << mismatches[0];
  sim.Stop();
  std::lock_guard lock(linesMutex);
  EXPECT_EQ(lines, (std::vector<std::string>{Hex(block), mismatches[0]}));
}

TEST(BootloaderSimPort, AWholeTransferGetsOneVerdictPerBlockAndTheLogHoldsEachBlock) {
  SimPort sim(Loader());
  sim.Start();
  ProgramPort program(sim, {.baud = 115200});
  ASSERT_TRUE(program.port.Open());
  std::vector<Bytes> sent;
  // Larger than the driver's queue, so the block goes out in pieces.
  for (std::size_t size : {std::size_t{16}, std::size_t{700}, std::size_t{1}, std::size_t{255}})
    sent.push_back(CountingBlock(size, static_cast<uint8_t>(size)));
  for (const auto& b : sent) ASSERT_EQ(program.Transfer(b), kVerdictAccepted) << b.size();
  sim.Stop();
  EXPECT_EQ(sim.ReceivedBlocks(), sent);
  EXPECT_TRUE(sim.Mismatches().empty());
}

TEST(BootloaderSimPort, ARejectAtTheThirdBlockAndTheLoaderGoesOnListening) {
  for (Fault fault : {Fault::Reject, Fault::ZeroVerdict}) {
    SimPort sim(Loader(fault, 3));
    sim.Start();
    ProgramPort program(sim, {.baud = 115200});
    ASSERT_TRUE(program.port.Open());
    const uint8_t bad = fault == Fault::Reject ? kVerdictRejected : 0x00;
    const std::vector<std::optional<uint8_t>> expected{kVerdictAccepted, kVerdictAccepted, bad, kVerdictAccepted};
    for (std::size_t k = 0; k < expected.size(); ++k)
      EXPECT_EQ(program.Transfer(Numbered(static_cast<uint32_t>(k))), expected[k]) << FaultName(fault) << " " << k + 1;
    EXPECT_EQ(sim.ReceivedBlockCount(), expected.size());
  }
}

TEST(BootloaderSimPort, SilenceAtTheThirdBlockLeavesItWithoutVerdict) {
  SimPort sim(Loader(Fault::NoAnswer, 3));
  sim.Start();
  ProgramPort program(sim, {.baud = 115200});
  ASSERT_TRUE(program.port.Open());
  EXPECT_EQ(program.Transfer(Numbered(1)), kVerdictAccepted);
  EXPECT_EQ(program.Transfer(Numbered(2)), kVerdictAccepted);
  EXPECT_EQ(program.Transfer(Numbered(3), 300), std::nullopt);
  EXPECT_EQ(sim.ReceivedBlockCount(), 3u);
  EXPECT_FALSE(sim.HungUp());
  EXPECT_EQ(program.Transfer(Numbered(4)), kVerdictAccepted) << "the line is still there";
}

TEST(BootloaderSimPort, AHangUpAtTheThirdBlockDropsTheLineBeforeItsVerdict) {
  SimPort sim(Loader(Fault::HangUp, 3));
  sim.Start();
  ProgramPort program(sim, {.baud = 115200});
  ASSERT_TRUE(program.port.Open());
  EXPECT_EQ(program.Transfer(Numbered(1)), kVerdictAccepted);
  EXPECT_EQ(program.Transfer(Numbered(2)), kVerdictAccepted);
  EXPECT_FALSE(sim.HungUp());
  ASSERT_EQ(program.Write(Numbered(3)), Numbered(3).size());
  ASSERT_TRUE(AwaitTrue([&] { return sim.HungUp(); }, 2000));
  program.received.clear();
  EXPECT_FALSE(program.AwaitReceived(1, 200)) << Hex(program.received);
  EXPECT_EQ(sim.ReceivedBlockCount(), 3u);
}

TEST(BootloaderSimPort, ExtraBytesComeWithTheVerdictInOneDelivery) {
  SimOptions options = Loader(Fault::ExtraVerdictBytes);
  options.pacing = true;
  SimPort sim(options);
  sim.Start();
  ProgramPort program(sim, {.baud = 115200});
  ASSERT_TRUE(program.port.Open());
  Bytes expected = kAccepted;
  expected.insert(expected.end(), kExtraVerdictBytes.begin(), kExtraVerdictBytes.end());
  for (uint32_t k = 0; k < 2; ++k) {
    program.received.clear();
    program.deliveries.clear();
    ASSERT_EQ(program.Write(Numbered(k)), Numbered(k).size());
    ASSERT_TRUE(program.AwaitReceived(expected.size(), 2000)) << Hex(program.received);
    EXPECT_EQ(program.received, expected);
    ASSERT_FALSE(program.deliveries.empty());
    EXPECT_EQ(program.deliveries[0], expected);
  }
}


TEST(BootloaderProcess, HelpDocumentsTheModeItsBlockOptionAndItsFaults) {
  const auto run = test::RunProgram(TIVOLAN_SIM_PATH, {"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\n  --bootloader "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n  --at-block K "), std::string::npos) << run.out;
  const auto listed = FaultListInHelp(run.out);
  for (Fault fault : {Fault::Reject, Fault::ZeroVerdict, Fault::NoAnswer, Fault::HangUp, Fault::ExtraVerdictBytes})
    EXPECT_TRUE(listed.count(FaultName(fault))) << FaultName(fault) << " missing from:\n" << run.out;
}

TEST(BootloaderProcess, RefusesFaultsAndOptionsOfTheOtherMode) {
  for (const char* args : {"--bootloader --fault truncated", "--bootloader --fault stall", "--fault reject",
                           "--fault extra-verdict-bytes", "--at-block 2", "--bootloader --at-block 0",
                           "--bootloader --at-block x"}) {
    std::string port;
    const pid_t pid = test::StartSim(std::string(args) + " 2>/dev/null", port);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 2) << args;
    EXPECT_TRUE(port.empty()) << args;
  }
}

TEST(BootloaderProcess, AnswersBlocksWithTheFaultAtTheGivenBlockAndLogsThem) {
  const std::string log = ::testing::TempDir() + "tivolan-sim-boot-" + std::to_string(::getpid()) + ".log";
  std::remove(log.c_str());
  std::string path;
  const pid_t pid = test::StartSim("--bootloader --fault reject --at-block 2 --log " + log, path);
  ASSERT_GT(pid, 0);
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  const std::vector<Bytes> sent{MakeBootBlock({0xAA, 0xBB, 0xCC}), CountingBlock(40), CountingBlock(2)};
  std::vector<std::optional<uint8_t>> verdicts;
  {
    TCommPortDriver port(CreateSystemSerialDevice(), nullptr);
    Bytes received;
    port.SetPortName(path);
    port.SetBaudRateValue(115200);
    port.SetOnReceiveData([&](TCommPortDriver&, const uint8_t* d, uint32_t n) { received.insert(received.end(), d, d + n); });
    ASSERT_TRUE(port.Open());
    for (const auto& b : sent) {
      received.clear();
      ASSERT_EQ(port.Write(b.data(), static_cast<uint32_t>(b.size())), b.size());
      const bool got = AwaitTrue(
          [&] {
            port.PollTimerMessage();
            return !received.empty();
          },
          2000);
      verdicts.push_back(got ? std::optional<uint8_t>(received[0]) : std::nullopt);
    }
  }
  EXPECT_EQ(test::StopProcess(pid), 0);
  EXPECT_EQ(verdicts, (std::vector<std::optional<uint8_t>>{kVerdictAccepted, kVerdictRejected, kVerdictAccepted}));
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{Hex(sent[0]), Hex(sent[1]), Hex(sent[2])}));
  std::remove(log.c_str());
}

}  // namespace
}  // namespace tivolan::sim
