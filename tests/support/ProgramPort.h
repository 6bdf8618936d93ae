#pragma once
// The program's serial driver on a simulator's port, for the simulator's
// own tests: what comes back is collected as the receive poll delivers it.
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "link/CPDrv.h"
#include "sim/SimPort.h"

namespace tivolan::test {

struct ProgramPortSetup {
  std::optional<uint32_t> baud = {};             // the driver's own when unset
  std::optional<uint16_t> outputTimeoutMs = {};  // a write making no progress gives up after it
};

struct ProgramPort {
  using Setup = ProgramPortSetup;
  explicit ProgramPort(const sim::SimPort& sim, Setup setup = {}) : port(CreateSystemSerialDevice(), nullptr) {
    port.SetPortName(sim.SlavePath());
    if (setup.baud) port.SetBaudRateValue(*setup.baud);
    if (setup.outputTimeoutMs) port.SetOutputTimeout(*setup.outputTimeoutMs);
    port.SetOnReceiveData([this](TCommPortDriver&, const uint8_t* d, uint32_t n) {
      received.insert(received.end(), d, d + n);
      deliveries.emplace_back(d, d + n);
    });
  }
  uint32_t Write(const sim::Bytes& bytes) { return port.Write(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  // Polls until `count` bytes came back in all; false after `ms`.
  bool AwaitReceived(std::size_t count, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (port.PollTimerMessage(); received.size() < count; port.PollTimerMessage()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  // Writes a block and waits for one verdict byte, as the program does with
  // the boot loader; the verdict, or nullopt when none came.
  std::optional<uint8_t> Transfer(const sim::Bytes& block, int ms = 2000) {
    received.clear();
    if (Write(block) != block.size()) return std::nullopt;
    if (!AwaitReceived(1, ms)) return std::nullopt;
    return received[0];
  }

  TCommPortDriver port;
  sim::Bytes received;
  std::vector<sim::Bytes> deliveries;  // each as the poll handed it over
};

}  // namespace tivolan::test
