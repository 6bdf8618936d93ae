#pragma once
// The simulator on a pseudo-terminal: the program opens the slave like a
// serial port; the simulator answers on the master, paced at the line speed
// the program set, and checks that speed and raw 8N1 on its side. It is a
// panel, or the boot loader that takes a firmware update.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sim/BootloaderSimulator.h"
#include "sim/PanelSimulator.h"
#include "sim/Pty.h"

namespace tivolan::sim {

struct SimOptions {
  DeviceSetup device;
  bool bootloader = false;        // the boot loader instead of a panel (device: fault and atBlock only)
  bool pacing = true;             // ten bit times per byte at the program's speed
  uint32_t expectedBaud = 0;      // 0: the mode's own, 9600 for a panel, kBootloaderBaud for the boot loader
  int presentAfterMs = 0;          // a panel plugged in this long after the start answers nothing before
  int absentAfterMs = -1;          // and, from this long after the start on, nothing again (unplugged); -1 never
  std::function<void(const std::string&)> log;  // one line per received frame or block, in hex
};

class SimPort {
 public:
  explicit SimPort(SimOptions options);
  ~SimPort();
  SimPort(const SimPort&) = delete;
  SimPort& operator=(const SimPort&) = delete;

  const std::string& SlavePath() const { return pty_.SlavePath(); }
  void Start();  // answers on a thread of its own
  void Stop();
  // Answers on the calling thread until Stop (from another thread or a
  // signal handler's flag) or a hang-up.
  void Run(const std::atomic<bool>* externalStop = nullptr);

  // The newest frames received (at most PanelSimulator::kFrameLogSize),
  // oldest first, and how many arrived in all.
  std::vector<Bytes> ReceivedFrames() const;
  std::size_t ReceivedFrameCount() const;
  // Boot loader: the newest blocks received, each with its length bytes (at
  // most BootloaderSimulator::kBlockLogSize), oldest first, and how many
  // arrived in all.
  std::vector<Bytes> ReceivedBlocks() const;
  std::size_t ReceivedBlockCount() const;
  // The speed the line is checked against.
  uint32_t ExpectedBaud() const;
  std::vector<std::string> Mismatches() const;
  Bytes Payload() const;
  Bytes Block(int block) const;
  bool HungUp() const { return hungUp_; }
  // Fault::Stall holds the line from construction on; Release lets it go.
  // With a positive delayMs the line goes free by itself that long after
  // construction, checked while Run answers.
  void Release();
  bool Stalled() const { return stalled_; }

 private:
  void Serve(const uint8_t* data, std::size_t count);
  void Send(const Reply& reply, std::size_t requestBytes);
  uint32_t LineBaud(std::string* mismatch) const;
  void HangUp(double afterMs);
  bool Present() const;

  SimOptions options_;
  PanelSimulator device_;
  BootloaderSimulator loader_;
  Pty pty_;
  mutable std::mutex mutex_;
  std::vector<std::string> mismatches_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> hungUp_{false};
  std::atomic<bool> stalled_{false};
  std::optional<std::chrono::steady_clock::time_point> stallEnds_;
  const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::thread thread_;
};

// Text of bytes as hex pairs separated by blanks.
std::string Hex(const Bytes& bytes);
// Bytes of a hex text (blanks allowed); nullopt when it is not hex pairs.
std::optional<Bytes> ParseHex(const std::string& text);

}  // namespace tivolan::sim
