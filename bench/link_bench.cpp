// Reads and writes a simulated panel N times over a pseudo-terminal, paced
// at 9600 baud, and prints the median time of each next to the floor the
// protocol's own timing allows: block 1 alone, then a panel that uses GSM
// with blocks 2, 3 and 4.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/ExchangeOperation.h"
#include "link/Firmware.h"
#include "link/GsmBlocks.h"
#include "model/DefaultImages.h"
#include "platform/Version.h"
#include "sim/SimPort.h"
#include "StartupBench.h"
#include "CommitBench.h"
#include "StationBench.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double WireMs(int bytes, double baud = 9600.0) { return bytes * 10.0 * 1000.0 / baud; }

// 155 blocks of 256 data bytes (39 990 bytes with their lengths) to the
// paced boot loader; the floor is the wire time of every block and verdict
// at 115200 plus one 10 ms receive poll a block.
int FirmwareRun(int runs) {
  using namespace tivolan;
  constexpr int kBlocks = 155;
  constexpr int kData = 256;
  std::string text;
  for (int b = 0; b < kBlocks; ++b) {
    text += "0100";
    for (int i = 0; i < kData; ++i) text += "5A";
  }
  sim::SimOptions options;
  options.bootloader = true;
  sim::SimPort port(options);
  port.Start();
  EventLoop loop;
  LoopPollTimer timer(loop);
  TCommPortDriver update = MakeUpdatePort(CreateSystemSerialDevice(), &timer);
  update.SetPortName(port.SlavePath());
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    FirmwareFile file = DecodeFirmware(text);
    const auto start = std::chrono::steady_clock::now();
    const auto result = RunFirmwareTransfer(loop, update, std::move(*file.image));
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (result != FirmwareResult::Updated) {
      std::fprintf(stderr, "firmware transfer failed\n");
      return 1;
    }
  }
  const double floor = kBlocks * (WireMs(kData + 2 + 1, 115200.0) + update.PollingDelay());
  std::printf("firmware: median %7.1f ms   floor %7.1f ms (%d blocks of %d bytes, 115200 baud, poll %u ms)\n",
              Median(times), floor, kBlocks, kData, update.PollingDelay());
  return 0;
}

struct Medians {
  double read = 0;
  double write = 0;
};

// Reads the panel, then writes what was read back to it, `runs` times.
bool TimeExchanges(int runs, const tivolan::sim::SimOptions& options, tivolan::SharedData& data, bool gsm,
                   Medians& medians, double& poll) {
  using namespace tivolan;
  sim::SimPort port(options);
  port.Start();
  EventLoop loop;
  LoopPollTimer timer(loop);
  TDataModule1 dm(CreateSystemSerialDevice(), &timer);
  dm.cmprtdrvr1.SetPortName(port.SlavePath());
  const GsmBlockExchange steps{};
  std::vector<double> reads, writes;
  for (int i = 0; i < runs; ++i) {
    for (LinkMode mode : {LinkMode::Read, LinkMode::Write}) {
      const auto start = std::chrono::steady_clock::now();
      const auto outcome = RunExchange(loop, dm, data, mode, {}, gsm ? &steps : nullptr);
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      const LinkStatus done = mode == LinkMode::Read ? LinkStatus::StatusReadDone : LinkStatus::StatusWriteDone;
      if (outcome.finalCode != done) {
        std::fprintf(stderr, "exchange failed: %s\n", outcome.finalCode ? RowOf(*outcome.finalCode).name : "no final status");
        return false;
      }
      (mode == LinkMode::Read ? reads : writes).push_back(ms);
      // What a read stored goes back as it is: the next write makes its frames.
    }
  }
  medians = {Median(reads), Median(writes)};
  poll = dm.cmprtdrvr1.PollingDelay();
  return true;
}

// A type 1 panel whose configuration uses GSM, with a destination, an access
// point and an SMS recipient, so that a read or a write takes four exchanges.
tivolan::sim::SimOptions GsmPanel() {
  tivolan::sim::SimOptions options;
  const auto defaults = tivolan::DefaultPayload(1);
  options.device.payload.assign(defaults.begin(), defaults.end());
  options.device.payload[34] = 2;  // configuration byte 38: GSM
  options.device.blocks[0] = {0x12, 0x34, 0x01, 0x01, 0x0D, 0x49, '+', '7', '9', '0', '3', '1', '2', '3', '4', '5', '6',
                              '7', 0, 0, 0, 0};
  options.device.blocks[1] = {0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0};
  options.device.blocks[2] = {0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00};
  return options;
}

constexpr const char* kUsage =
    "usage: tivolan-bench [N]\n"
    "       tivolan-bench startup [N]\n"
    "       tivolan-bench station [N...]\n"
    "       tivolan-bench commit [N]\n"
    "       tivolan-bench --help | --version\n"
    "\n"
    "Reads and writes a simulated panel N times (default 10), block 1 alone and then with the GSM\n"
    "blocks, and prints the median of each beside the floor the protocol's timing allows; then sends\n"
    "a firmware of 155 blocks to the simulated boot loader (at most 3 times).\n"
    "'startup' starts the window N times (default 15) against a bare window of the same size and\n"
    "prints the medians of the time to the first paint and of the peak memory.\n"
    "'station' programs N simulated panels at once (default 1, 4 and 16) with tivolan-cli station's\n"
    "code and prints the wall time against one panel and the CPU time a panel, then what a port\n"
    "waiting for a panel costs.\n"
    "'commit' opens a full GSM configuration, commits it for a device and makes the frames a write\n"
    "sends, N times (default 2000), and prints the median.\n";

// A count of runs: a whole number from 1.
bool ParseRuns(const char* text, int& runs) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1 || value > 100000) return false;
  runs = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tivolan;
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "--help" || first == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (first == "--version" || first == "-V") {
    std::printf("tivolan-bench (Тиволан) %s\n", ProgramVersion().c_str());
    return 0;
  }
  if (first == "startup" || first == "startup-child") return bench::StartupBench(argc - 1, argv + 1);
  if (first == "station") return bench::StationBench(argc - 1, argv + 1);
  if (first == "commit") return bench::CommitBench(argc - 1, argv + 1);
  int runs = 10;
  if (argc > 2 || (argc == 2 && !ParseRuns(argv[1], runs))) {
    std::fprintf(stderr, "tivolan-bench: unknown argument '%s'\n%s", argv[argc > 2 ? 2 : 1], kUsage);
    return 2;
  }
  struct Quiet final : Prompter {
    void Show(const MessageBox&) override {}
    bool AskYesNo(const MessageBox&) override { return true; }
  } quiet;
  SharedData data;
  SetDefaultImage(data.ConfigBuffer, 1, quiet);
  Medians plain, gsm;
  double poll = 0;
  if (!TimeExchanges(runs, sim::SimOptions{}, data, false, plain, poll)) return 1;
  SharedData gsmData;
  SetDefaultImage(gsmData.ConfigBuffer, 1, quiet);
  const int gsmRuns = std::max(1, runs / 4);
  if (!TimeExchanges(gsmRuns, GsmPanel(), gsmData, true, gsm, poll)) return 1;

  const double readWire = WireMs(10 + 47);
  const double writeWire = WireMs(46 + 47);
  // The answer reaches the worker at the first poll tick after it is
  // complete (the poll starts with the port), then at the worker's next step.
  std::printf("runs: %d, type 1 panel, 9600 baud, receive poll %.0f ms\n", runs, poll);
  std::printf("read : median %7.1f ms   floor %7.1f ms (wire %.1f ms, first poll tick %.0f ms)\n", plain.read,
              std::max(readWire, poll), readWire, poll);
  std::printf("write: median %7.1f ms   floor %7.1f ms (wire %.1f ms, first poll tick %.0f ms)\n", plain.write,
              std::max(writeWire, poll), writeWire, poll);
  // Each of the four answers waits for a poll tick of its own.
  std::printf("runs: %d, type 1 panel with GSM (blocks 1 to 4)\n", gsmRuns);
  std::printf("gsm read : median %7.1f ms   floor %7.1f ms (four poll ticks)\n", gsm.read, 4 * poll);
  std::printf("gsm write: median %7.1f ms   floor %7.1f ms (four poll ticks)\n", gsm.write, 4 * poll);
  return FirmwareRun(std::min(runs, 3));
}
