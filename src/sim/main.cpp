// tivolan-sim: a simulated panel or concentrator, or the boot loader that
// takes a firmware update, on a pseudo-terminal.
// Prints the port's path as the first line, then answers until stopped.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "model/DefaultImages.h"
#include "platform/Version.h"
#include "sim/SimPort.h"

namespace {

std::atomic<bool> g_stop{false};
void OnSignal(int) { g_stop = true; }

const char* kUsage =
    "usage: tivolan-sim [options]\n"
    "       tivolan-sim --help | --version\n"
    "  --type 1|2|3        device type (default 1)\n"
    "  --device-version N  firmware version byte the device reports (default 3)\n"
    "  --image HEX         configuration payload instead of the type's defaults\n"
    "  --block N=HEX       data of block N (2..4)\n"
    "  --bootloader        simulate the boot loader instead of a panel: checks for\n"
    "                      115200 baud, reads length-prefixed blocks, answers\n"
    "                      each with 0x11; --type, --device-version, --image,\n"
    "                      --block, --delay, --delays, --answer-type,\n"
    "                      --fault-block, --counter and --change-after do not apply\n"
    "  --fault NAME        panel, one of: no-answer truncated bad-crc wrong-type\n"
    "                      readback delay oversized hangup stall\n"
    "                      boot loader, at the block --at-block names:\n"
    "                      reject (verdict 0x22), zero-verdict (0x00), no-answer\n"
    "                      (no verdict), hangup (the line drops before the\n"
    "                      verdict); and for every verdict: extra-verdict-bytes\n"
    "                      (0x11 0x55 0xAA at once)\n"
    "  --delay MS          answer delay for --fault delay (default 1500); how long\n"
    "                      --fault stall holds the line (default: until stopped)\n"
    "  --delays MS,MS,...  answer delays for --fault delay, one per faulty answer in\n"
    "                      turn; the last one holds for every later answer\n"
    "                      (\"1200,0\": late once, then at once)\n"
    "  --answer-type N     device type byte (block 1) or block byte (blocks 2 to 4)\n"
    "                      for --fault wrong-type (default 9)\n"
    "  --fault-block N     apply the fault to the answers of block N (1..4) only\n"
    "  --at-block K        boot loader: the fault meets the K-th block received\n"
    "                      (1-based, default 1)\n"
    "  --counter           the version byte of each block-1 answer counts them: N of\n"
    "                      --device-version for the first, one more for each next (an\n"
    "                      answer shows which request it answers)\n"
    "  --present-after MS  a panel plugged in MS after the start: no answer before\n"
    "  --absent-after MS   the panel unplugged MS after the start: no answer from\n"
    "                      then on\n"
    "  --change-after N    after answering N block-1 reads the image changes (as when\n"
    "                      the panel is edited or swapped): to --changed-image, or\n"
    "                      the lowest bit of the first configuration byte flips\n"
    "  --changed-image HEX the configuration payload after --change-after\n"
    "  --no-pacing         send at once instead of at the line speed\n"
    "  --log FILE          log received frames (boot loader: blocks) to FILE\n"
    "                      instead of standard error\n"
    "  -h, --help          this text\n"
    "  -V, --version       the program's version\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "tivolan-sim: %s\n%s", message.c_str(), kUsage);
  return 2;
}

bool ParseInt(const char* text, int low, int high, int& out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < low || v > high) return false;
  out = static_cast<int>(v);
  return true;
}

// "MS,MS,...": at least one number, each low..high.
bool ParseIntList(const std::string& text, int low, int high, std::vector<int>& out) {
  std::vector<int> values;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = text.find(',', from);
    int value = 0;
    if (!ParseInt(text.substr(from, comma - from).c_str(), low, high, value)) return false;
    values.push_back(value);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  out = std::move(values);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tivolan::sim;
  SimOptions options;
  options.device.delayMs = 1500;
  bool delayGiven = false;
  std::string logPath;
  bool atBlockGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version" || arg == "-V") {
      std::printf("tivolan-sim (Тиволан) %s\n", tivolan::ProgramVersion().c_str());
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    if (arg == "--no-pacing") {
      options.pacing = false;
      continue;
    }
    if (arg == "--counter") {
      options.device.counter = true;
      continue;
    }
    if (arg == "--bootloader") {
      options.bootloader = true;
      continue;
    }
    const char* v = value();
    if (!v) return Fail("missing value after " + arg);
    if (arg == "--type") {
      if (!ParseInt(v, 1, 3, options.device.type)) return Fail("--type takes 1, 2 or 3");
    } else if (arg == "--device-version") {
      if (!ParseInt(v, 0, 255, options.device.version)) return Fail("--device-version takes 0..255");
    } else if (arg == "--image") {
      auto bytes = ParseHex(v);
      if (!bytes) return Fail("--image takes hexadecimal byte pairs");
      options.device.payload = *bytes;
    } else if (arg == "--changed-image") {
      auto bytes = ParseHex(v);
      if (!bytes) return Fail("--changed-image takes hexadecimal byte pairs");
      options.device.changedPayload = *bytes;
    } else if (arg == "--change-after") {
      if (!ParseInt(v, 1, 1000000, options.device.changeAfterReads)) return Fail("--change-after takes 1..1000000");
    } else if (arg == "--block") {
      const std::string given = v;
      int block = 0;
      auto bytes = given.size() > 2 && given[1] == '=' ? ParseHex(given.substr(2)) : std::nullopt;
      if (!ParseInt(given.substr(0, 1).c_str(), 2, 4, block) || !bytes) return Fail("--block takes N=HEX, N 2..4");
      if (bytes->size() > tivolan::Frame::kMaxData)
        return Fail("--block takes at most " + std::to_string(tivolan::Frame::kMaxData) + " bytes");
      options.device.blocks[static_cast<std::size_t>(block - 2)] = *bytes;
    } else if (arg == "--fault-block") {
      if (!ParseInt(v, 1, 4, options.device.faultBlock)) return Fail("--fault-block takes 1..4");
    } else if (arg == "--at-block") {
      if (!ParseInt(v, 1, 1000000, options.device.atBlock)) return Fail("--at-block takes 1..1000000");
      atBlockGiven = true;
    } else if (arg == "--fault") {
      auto fault = ParseFault(v);
      if (!fault) return Fail(std::string("unknown fault: ") + v);
      options.device.fault = *fault;
    } else if (arg == "--delay") {
      if (!ParseInt(v, 0, 600000, options.device.delayMs)) return Fail("--delay takes milliseconds");
      delayGiven = true;
    } else if (arg == "--delays") {
      if (!ParseIntList(v, 0, 600000, options.device.delays)) return Fail("--delays takes milliseconds, comma-separated");
    } else if (arg == "--answer-type") {
      if (!ParseInt(v, 0, 255, options.device.wrongType)) return Fail("--answer-type takes 0..255");
    } else if (arg == "--present-after") {
      if (!ParseInt(v, 0, 86400000, options.presentAfterMs)) return Fail("--present-after takes milliseconds");
    } else if (arg == "--absent-after") {
      if (!ParseInt(v, 0, 86400000, options.absentAfterMs)) return Fail("--absent-after takes milliseconds");
    } else if (arg == "--log") {
      logPath = v;
    } else {
      return Fail("unknown option: " + arg);
    }
  }
  const Fault fault = options.device.fault;
  const bool bootFault = fault == Fault::Reject || fault == Fault::ZeroVerdict || fault == Fault::ExtraVerdictBytes;
  const bool sharedFault = fault == Fault::None || fault == Fault::NoAnswer || fault == Fault::HangUp;
  if (options.bootloader && !bootFault && !sharedFault)
    return Fail(std::string("--fault ") + FaultName(fault) + " does not apply to the boot loader");
  if (!options.bootloader && bootFault) return Fail(std::string("--fault ") + FaultName(fault) + " needs --bootloader");
  if (!options.bootloader && atBlockGiven) return Fail("--at-block needs --bootloader");
  if (!options.device.delays.empty() && fault != Fault::Delay) return Fail("--delays needs --fault delay");
  // The answer delay's default would end a stall nobody asked to end.
  if (options.device.fault == Fault::Stall && !delayGiven) options.device.delayMs = 0;
  const std::size_t expected = tivolan::DefaultPayload(options.device.type).size();
  if (!options.device.payload.empty() && options.device.payload.size() != expected)
    return Fail("--image must hold " + std::to_string(expected) + " bytes for this type");
  if (!options.device.changedPayload.empty() && options.device.changedPayload.size() != expected)
    return Fail("--changed-image must hold " + std::to_string(expected) + " bytes for this type");
  if (!options.device.changedPayload.empty() && options.device.changeAfterReads == 0)
    return Fail("--changed-image needs --change-after");

  std::ofstream logFile;
  if (!logPath.empty()) {
    logFile.open(logPath, std::ios::app);
    if (!logFile) return Fail("cannot open log file " + logPath);
  }
  options.log = [&logFile](const std::string& line) {
    std::ostream& out = logFile.is_open() ? static_cast<std::ostream&>(logFile) : std::cerr;
    out << line << std::endl;
  };

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  try {
    SimPort port(options);
    std::printf("%s\n", port.SlavePath().c_str());
    std::fflush(stdout);
    port.Run(&g_stop);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tivolan-sim: %s\n", e.what());
    return 1;
  }
  return 0;
}
