#pragma once
// TThreadBuff, the programming worker: reads or writes the configuration
// block (and, through GsmBlockSteps, the GSM blocks) on its own thread and
// reports every step. It knows nothing of windows.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "link/LinkStatus.h"
#include "link/UnitData.h"
#include "model/SharedData.h"

namespace tivolan {

enum class LinkMode : uint8_t { Read = 0, Write = 1 };

class TThreadBuff;

// The GSM block steps, run after block 1 when the configuration uses GSM.
class GsmBlockSteps {
 public:
  virtual ~GsmBlockSteps() = default;
  virtual bool ReadGsmSettings(TThreadBuff& worker) = 0;
  virtual bool WriteGsmSettings(TThreadBuff& worker) = 0;
  // A read that succeeds stores what the GSM steps read only then.
  virtual void CommitRead() = 0;
};

// What the owner keeps of a worker that frees itself: whether it has ended,
// and a way to make it give up at once when the program closes.
class WorkerHandle {
 public:
  void RequestAbort() { abort_ = true; }
  bool AbortRequested() const { return abort_; }
  // True once the worker has closed the port and ended.
  bool WaitFinished(int timeoutMs);
  bool Finished();
  void MarkFinished();

 private:
  std::atomic<bool> abort_{false};
  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
};

struct ExchangeContext {
  TDataModule1& dataModule;
  SharedData& data;
  LinkReporter& reporter;
  GsmBlockSteps* gsm = nullptr;  // none: a configuration that uses GSM fails with code 10
};

class TThreadBuff {
 public:
  // Creates the worker at lowered priority and starts it; it ends and frees
  // itself after its final report.
  static std::shared_ptr<WorkerHandle> Start(const ExchangeContext& context, LinkMode mode);

  // The exchange: clear, purge, send `length` bytes, wait for the answer.
  bool Exchange(const uint8_t* frame, std::size_t length);
  bool WaitAnswer();
  void Report(int code, int param = 0) { context_.reporter.LinkStatusMessage(code, param); }
  TDataModule1& DataModule() { return context_.dataModule; }

  // Steps of Execute, public for the GSM steps and for tests.
  void Execute();
  uint8_t ReadConfiguration();
  bool WriteConfiguration();

  TThreadBuff(const ExchangeContext& context, LinkMode mode, std::shared_ptr<WorkerHandle> handle);

 private:
  bool Sleep50();  // false when the program asked the worker to give up

  ExchangeContext context_;
  LinkMode mode_;
  std::shared_ptr<WorkerHandle> handle_;
};

// The answer to the block-1 request, parsed into a copy of ConfigBuffer:
// the payload lands one index lower, header and checksum stay.
struct StagedConfig {
  ImageBuffer config{};
  uint8_t version = 0;
};
// Returns the device type 1..3, or 255 for no device answer (nothing copied).
uint8_t ParseConfigAnswer(const TDataModule1::Snapshot& answer, StagedConfig& staged);

}  // namespace tivolan
