#pragma once
// TThreadBuff, the programming worker: reads or writes the configuration
// block (and, through GsmBlockSteps, the GSM blocks) on its own thread and
// reports every step. It knows nothing of windows; ExchangeOperation starts,
// watches and stops it.
#include <cstdint>

#include "link/Deadline.h"
#include "link/Frames.h"
#include "link/LinkStatus.h"
#include "link/QuietWatch.h"
#include "link/SentBlocks.h"
#include "link/UnitData.h"
#include "model/SharedData.h"

namespace tivolan {

enum class LinkMode : uint8_t { Read = 0, Write = 1 };

class TThreadBuff;


// The GSM block steps, run after block 1 when the configuration uses GSM.
// They keep nothing: each works on the exchange it is given, so that one
// object serves any number of exchanges at once.
class GsmBlockSteps {
 public:
  virtual ~GsmBlockSteps() = default;
  // What a read got is kept apart until the whole read succeeded.
  virtual bool ReadGsmSettings(TThreadBuff& worker, GsmSettings& into) const = 0;
  // Sends the frames of the worker's configuration.
  virtual bool WriteGsmSettings(TThreadBuff& worker) const = 0;
};

struct ExchangeContext {
  TDataModule1& dataModule;
  SharedData& data;
  LinkReporter& reporter;
  CancelToken cancel;
  const GsmBlockSteps* gsm = nullptr;  // none: a configuration that uses GSM fails with code 10
  SentBlocks* sent = nullptr;    // where the write frames that went out whole are told
};

class TThreadBuff {
 public:
  TThreadBuff(const ExchangeContext& context, LinkMode mode)
      : context_(context), mode_(mode), received_(&context.dataModule.Receiving()) {}

  // The exchange: make sure the line is quiet, clear, purge, send the frame,
  // wait for the answer.
  bool Exchange(const Frame& frame);
  // The answer the last exchange accepted (no frame after a failed one).
  const Frame& LastAnswer() const { return answer_; }
  // The configuration this exchange reads into or writes from.
  const SharedData& Data() const { return context_.data; }

  // Opens the port, runs the read or the write, closes the port.
  void Execute();

 private:
  // Waits for the answer; the frame it accepted is LastAnswer.
  bool WaitAnswer();
  void Report(LinkStatus code, int param = 0) { context_.reporter.LinkStatusMessage(code, param); }
  bool Cancelled() const { return context_.cancel.Cancelled(); }
  uint8_t ReadConfiguration();
  bool WriteConfiguration();
  using Time = QuietWatch::Time;
  // What may still come after the last request: nothing (its answer was
  // taken), the rest of an answer that came in part, or a whole answer of
  // which not a byte came.
  enum class Owed { Nothing, Rest, Whole };

  // A request goes out only on a quiet line: the first after the port opened
  // once it has been quiet for limits::kQuietAtOpen (and an answer owed on
  // the port can no longer come), a later one when nothing arrived since the
  // last answer was taken. What came unasked is drained.
  bool QuietBeforeRequest();
  // Bytes arrived since the last answer was taken, or are queued.
  bool Unasked();
  // Reads and discards until `watch` finds the line quiet; false when it
  // gives up, on cancel, or when the port closed.
  bool Listen(QuietWatch watch);
  // After the final code: what is owed is drained, or left to the next
  // exchange on the port.
  void SettleLine();

  // Opens the port, runs the read or the write; Execute holds the port.
  void RunOnPort();

  ExchangeContext context_;
  LinkMode mode_;
  ReceiveBuffer own_;  // what this exchange received, while Execute holds the port
  ReceiveBuffer* received_;  // own_ then; the port's current one for steps run alone
  // Bytes of the last answer taken, still in the receive buffer: anything
  // beyond them came unasked.
  int32_t taken_ = 0;
  bool firstRequest_ = true;
  Owed owed_ = Owed::Nothing;
  Time requestAt_{};  // when the last request went out whole
  Frame answer_;
};

}  // namespace tivolan
