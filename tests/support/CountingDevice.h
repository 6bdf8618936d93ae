#pragma once
#include <atomic>
#include <memory>

#include "link/os/SerialDevice.h"

namespace tivolan::test {

// Passes every call to the system's serial device and counts the writes.
class CountingDevice final : public SerialDevice {
 public:
  explicit CountingDevice(std::atomic<int>& writes) : inner_(CreateSystemSerialDevice()), writes_(writes) {}
  bool Open(const std::string& path) override { return inner_->Open(path); }
  bool Close() override { return inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  bool SetState(const LineSettings& s) override { return inner_->SetState(s); }
  bool SetQueueSizes(uint32_t i, uint32_t o) override { return inner_->SetQueueSizes(i, o); }
  bool SetTimeouts(const CommTimeouts& t) override { return inner_->SetTimeouts(t); }
  bool Purge(bool i, bool o) override { return inner_->Purge(i, o); }
  bool QueryQueues(QueueState& q) override { return inner_->QueryQueues(q); }
  long Read(uint8_t* into, uint32_t n) override { return inner_->Read(into, n); }
  long Write(const uint8_t* from, uint32_t n) override {
    const long done = inner_->Write(from, n);
    if (done > 0) ++writes_;
    return done;
  }
  bool ModemStatus(uint32_t& lines) override { return inner_->ModemStatus(lines); }

 private:
  std::unique_ptr<SerialDevice> inner_;
  std::atomic<int>& writes_;
};

}  // namespace tivolan::test
