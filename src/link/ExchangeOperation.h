#pragma once
// The one way a read or a write runs, for every front end: it starts the
// worker (TThreadBuff) on its own thread, carries its reports to the owner's
// thread as blocking queued calls, and cancels it and waits for its end
// within limits::kShutdown. The owner only turns reports into what it shows.
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/EventLoop.h"
#include "link/UnitDevProg.h"

namespace tivolan {

class ExchangeOperation {
 public:
  using Task = std::function<void()>;
  // Runs a task on the owner's thread, in the order posted; from any thread.
  using Poster = std::function<void(Task)>;
  // Runs on the owner's thread for every report, before the worker goes on.
  using ReportHandler = std::function<void(LinkStatus code, int param)>;

  ExchangeOperation(TDataModule1& dataModule, SharedData& data, Poster post, ReportHandler onReport);
  ~ExchangeOperation();  // Close
  ExchangeOperation(const ExchangeOperation&) = delete;
  ExchangeOperation& operator=(const ExchangeOperation&) = delete;

  // Starts a read or a write of the configuration given at construction.
  // The last worker reports its final code before it closes the port; a
  // start in between waits for that worker's end, so that the new one never
  // opens the port the old one is about to close.
  void Start(LinkMode mode, const GsmBlockSteps* gsm = nullptr);
  // The same on another configuration: a read lands there, a write sends it.
  // It must outlive the exchange.
  void Start(LinkMode mode, SharedData& data, const GsmBlockSteps* gsm = nullptr);
  // A worker runs, or a start waits for the last one to end.
  bool Running() const;
  // Stops a running worker at once: no report reaches the owner any more,
  // the worker gives up at its next step, closes the port and ends. Waits
  // for that at most limits::kShutdown; true once nothing runs.
  bool Cancel();
  // Cancel, and refuse every later start (the owner goes away).
  bool Close();
  // Runs on the owner's thread each time a worker has closed the port and
  // ended. After a failed exchange that can come a while after the final
  // report (the rest of an answer that came in part is drained first, and
  // with TDataModule1::WaitsForOwedAnswerBeforeClose an answer that did not
  // come is awaited); until then the port stays open, so that a port name
  // set meanwhile is not taken and another user of the device finds it busy.
  void SetOnEnded(Task onEnded);
  // The blocks the last write sent whole, ascending (SentBlocks); empty for
  // a read. Final once the worker ended (Cancel or Close returned true, or
  // Running is false); asked from a report, what went out before it.
  std::vector<int> BlocksSent() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

struct ExchangeOutcome {
  std::optional<LinkStatus> finalCode;  // none when the exchange was cancelled before it
  int param = 0;
  std::vector<LinkStatus> codes;  // every report in order
  bool cancelled = false;  // interrupted before its final report
  bool ended = true;       // the worker ended (and closed the port) in time
  LinkMode mode = LinkMode::Read;
  std::vector<int> blocksSent;  // ExchangeOperation::BlocksSent at the end

  // A write that did not end with StatusWriteDone (failed or cancelled)
  // after at least one block went out: the device may now hold part of the
  // new configuration, or a block-1 image it did not confirm, and must be
  // written again.
  bool WriteUnfinished() const {
    return mode == LinkMode::Write && finalCode != LinkStatus::StatusWriteDone && !blocksSent.empty();
  }
};

// What the front ends say about an unfinished write, with the blocks sent.
std::string UnfinishedWriteText(const std::vector<int>& blocksSent);

// One read or write on an EventLoop that the calling thread runs until the
// exchange ends or `interrupted` is set (from a signal handler, say); then
// the exchange is cancelled. `dataModule` must poll through a LoopPollTimer
// on `loop`. For the command-line tool, the benchmark and the tests.
ExchangeOutcome RunExchange(EventLoop& loop, TDataModule1& dataModule, SharedData& data, LinkMode mode,
                            const std::function<void(LinkStatus code, int param)>& onReport = {},
                            const GsmBlockSteps* gsm = nullptr, const std::atomic<bool>* interrupted = nullptr);

}  // namespace tivolan
