// Reads and writes a simulated panel N times over a pseudo-terminal, paced
// at 9600 baud, and prints the median time of each next to the floor the
// protocol's own timing allows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/ExchangeOperation.h"
#include "link/Firmware.h"
#include "model/DefaultImages.h"
#include "sim/SimPort.h"

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
  TCommPortDriver update(CreateSystemSerialDevice(), &timer);
  ConfigureUpdatePort(update);
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

}  // namespace

int main(int argc, char** argv) {
  using namespace tivolan;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  sim::SimOptions options;
  sim::SimPort port(options);
  port.Start();
  EventLoop loop;
  LoopPollTimer timer(loop);
  TDataModule1 dm(CreateSystemSerialDevice(), &timer);
  dm.cmprtdrvr1.SetPortName(port.SlavePath());
  SharedData data;
  struct Quiet final : Prompter {
    void Show(const MessageBox&) override {}
    bool AskYesNo(const MessageBox&) override { return true; }
  } quiet;
  SetDefaultImage(data.ConfigBuffer, 1, quiet);

  std::vector<double> reads, writes;
  for (int i = 0; i < runs; ++i) {
    for (LinkMode mode : {LinkMode::Read, LinkMode::Write}) {
      const auto start = std::chrono::steady_clock::now();
      const auto outcome = RunExchange(loop, dm, data, mode);
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (outcome.finalCode > 1) {
        std::fprintf(stderr, "exchange failed with code %d\n", outcome.finalCode);
        return 1;
      }
      (mode == LinkMode::Read ? reads : writes).push_back(ms);
    }
  }
  const double poll = dm.cmprtdrvr1.PollingDelay();
  const double readWire = WireMs(10 + 47);
  const double writeWire = WireMs(46 + 47);
  // The answer reaches the worker at the first poll tick after it is
  // complete (the poll starts with the port), then at the worker's next step.
  std::printf("runs: %d, type 1 panel, 9600 baud, receive poll %.0f ms\n", runs, poll);
  std::printf("read : median %7.1f ms   floor %7.1f ms (wire %.1f ms, first poll tick %.0f ms)\n", Median(reads),
              std::max(readWire, poll), readWire, poll);
  std::printf("write: median %7.1f ms   floor %7.1f ms (wire %.1f ms, first poll tick %.0f ms)\n", Median(writes),
              std::max(writeWire, poll), writeWire, poll);
  return FirmwareRun(std::min(runs, 3));
}
