#include "station/Station.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

#include "configuration/Configuration.h"
#include "link/EventLoop.h"
#include "link/ExchangeOperation.h"
#include "link/GsmBlocks.h"
#include "link/GsmRecords.h"
#include "link/UnitData.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"
#include "model/Prompter.h"
#include "station/PanelSteps.h"
#include "transmission/TxPage.h"

namespace tivolan::station {
namespace {

using Clock = std::chrono::steady_clock;

// Ports report from their threads; one at a time reaches the events, the
// journal and the counts.
class Sink {
 public:
  Sink(const StationJob& job, StationEvents& events, StationControl& control)
      : job_(job), events_(events), control_(control) {}

  void Changed(const PortView& view) {
    std::lock_guard lock(mutex_);
    events_.PortChanged(view);
  }

  void Ended(const JournalRow& row) {
    std::lock_guard lock(mutex_);
    (row.statusCode == 0 ? result_.programmed : result_.failed)++;
    Failed(row.statusCode);
    if (job_.journal)
      if (const auto why = AppendJournalRow(*job_.journal, row)) {
        result_.journalFailed = true;
        control_.stopTaking = true;
        events_.JournalFailed(*why);
      }
    events_.PanelEnded(row);
  }

  // A failure that is no panel (a port that cannot be opened).
  void Failed(int status) {
    if (status != 0 && result_.firstFailure == 0) result_.firstFailure = status;
  }
  void PortFailed(int status) {
    std::lock_guard lock(mutex_);
    Failed(status);
  }

  StationResult Result() {
    std::lock_guard lock(mutex_);
    return result_;
  }

 private:
  const StationJob& job_;
  StationEvents& events_;
  StationControl& control_;
  std::mutex mutex_;
  StationResult result_;
};

bool Answered(const ExchangeOutcome& o) {
  return !o.cancelled && o.finalCode && *o.finalCode != LinkStatus::StatusNoLink &&
         *o.finalCode != LinkStatus::StatusPortError;
}

// Not a byte of an answer came to block 1: what may still come is the
// answer to this same request.
bool SilentAtBlockOne(const ExchangeOutcome& o) {
  return o.finalCode == LinkStatus::StatusNoLink &&
         std::find(o.codes.begin(), o.codes.end(), LinkStatus::StatusAnswerReceived) == o.codes.end();
}

class PortRunner {
 public:
  PortRunner(const StationJob& job, const StationPort& port, Sink& sink, StationControl& control)
      : job_(job), port_(port), sink_(sink), control_(control), timer_(loop_),
        dataModule_(CreateSystemSerialDevice(), &timer_) {
    dataModule_.cmprtdrvr1.SetPortName(port.name);
    // In station mode the next poll on the port follows; with --once none does.
    dataModule_.SetWaitsForOwedAnswerBeforeClose(job.once);
    view_.port = port.name;
  }

  void Run() {
    while (!control_.stopTaking) {
      Show(Phase::Waiting);
      const auto due = Clock::now() + std::chrono::milliseconds(kPollPeriodMs);
      Poll poll = PollOnce();
      if (Answered(poll.outcome)) {
        if (control_.stopTaking) break;  // answered just as the station stopped: not taken
        TakePanel(poll);
        if (job_.once || !WaitUntilGone()) break;
        continue;
      }
      if (poll.outcome.finalCode == LinkStatus::StatusPortError) {
        view_.outcome = std::string("ошибка: ") + StatusText(LinkStatus::StatusPortError);
        view_.finishedAt.clear();
        Show(Phase::Failed);
        if (job_.once) sink_.PortFailed(StatusCode(LinkStatus::StatusPortError));
      } else if (job_.once) {
        view_.outcome = "нет прибора";
        view_.finishedAt.clear();
      }
      if (job_.once || !SleepUntil(due)) break;
    }
    if (!job_.once) {
      view_.outcome = "остановлен";
      view_.finishedAt.clear();
    }
    Show(Phase::Ended);
  }

 private:
  struct Poll {
    SharedData held;
    FormState form;
    ExchangeOutcome outcome;
    std::time_t at = 0;
  };

  void Show(Phase phase) {
    view_.phase = phase;
    sink_.Changed(view_);
  }

  // The block-1 read (and the GSM blocks a panel that uses GSM holds): the
  // panel's type, version and all it holds for a backup.
  Poll PollOnce() {
    Poll poll;
    poll.at = std::time(nullptr);
    SilentPrompter quiet;
    NewConfiguration(poll.held, poll.form, kTypePPKP, quiet);
    InitTxPage(poll.form.tx, poll.held);
    // A late answer to the previous poll, identical to this one, is what a
    // panel answers to this one: it is taken, instead of waiting up to
    // limits::kLateAnswerMost for it to be given up. Any other request
    // before (a GSM block) keeps the wait.
    if (lastPollSilent_) dataModule_.ClearOwedAnswer(port_.name);
    GsmBlockExchange gsm;
    poll.outcome = RunExchange(loop_, dataModule_, poll.held, LinkMode::Read, {}, &gsm, &control_.stopTaking);
    lastPollSilent_ = SilentAtBlockOne(poll.outcome);
    if (poll.outcome.finalCode == LinkStatus::StatusReadDone)
      ShowReportedDevice(poll.held, poll.form, poll.outcome.param, quiet);
    return poll;
  }

  void TakePanel(Poll& poll) {
    PanelSteps steps{job_, port_.name, loop_, dataModule_, control_};
    JournalRow row = steps.Begin(poll.held, poll.outcome, poll.at);
    row.adapter = port_.adapter;
    row.adapterSerial = port_.adapterSerial;
    view_.version = poll.held.DeviceVersion;
    if (row.statusCode == 0) steps.Backup(poll.held, poll.form, row);
    if (row.statusCode == 0) {
      if (job_.verifyOnly) {
        Show(Phase::Verifying);
        steps.Verify(poll.held, row);
      } else {
        steps.Write(row, [this](int block, int blocks) {
          view_.block = block;
          view_.blocks = blocks;
          Show(Phase::Writing);
        });
      }
    }
    row.ended = IsoLocalTime(std::time(nullptr));
    (row.statusCode == 0 ? view_.programmed : view_.failed)++;
    view_.outcome = row.statusCode == 0 ? "готово" : "ошибка: " + row.result;
    view_.finishedAt = row.ended.substr(11, 8);
    Show(row.statusCode == 0 ? Phase::Done : Phase::Failed);
    sink_.Ended(row);
  }

  // Polls until the panel has not answered kAbsentPolls times in a row;
  // false when the station stops meanwhile.
  bool WaitUntilGone() {
    Show(Phase::Remove);
    for (int silent = 0; silent < kAbsentPolls;) {
      const auto due = Clock::now() + std::chrono::milliseconds(kPollPeriodMs);
      if (!SleepUntil(due)) return false;
      const Poll poll = PollOnce();
      if (poll.outcome.cancelled) return false;
      silent = Answered(poll.outcome) ? 0 : silent + 1;
    }
    return true;
  }

  bool SleepUntil(Clock::time_point due) {
    while (Clock::now() < due) {
      if (control_.stopTaking) return false;
      std::this_thread::sleep_for(std::min<Clock::duration>(std::chrono::milliseconds(50), due - Clock::now()));
    }
    return !control_.stopTaking;
  }

  const StationJob& job_;
  const StationPort& port_;
  Sink& sink_;
  StationControl& control_;
  EventLoop loop_;
  LoopPollTimer timer_;
  TDataModule1 dataModule_;
  PortView view_;
  bool lastPollSilent_ = false;
};

// " (23:15:02, версия 3)" after a panel's outcome.
std::string Finished(const PortView& v) {
  if (v.finishedAt.empty()) return "";
  return " (" + v.finishedAt + (v.version ? ", версия " + std::to_string(v.version) : "") + ")";
}

}  // namespace

std::string PhaseText(const PortView& v) {
  switch (v.phase) {
    case Phase::Waiting: return "ожидание прибора";
    case Phase::Writing: return "запись " + std::to_string(v.block) + "/" + std::to_string(v.blocks);
    case Phase::Verifying: return "проверка";
    case Phase::Done:
    case Phase::Failed: return v.outcome + Finished(v);
    case Phase::Remove: return v.outcome + Finished(v) + "; снимите прибор";
    case Phase::Ended: return v.outcome + Finished(v);
  }
  return "";
}

std::string CountsText(int programmed, int failed, bool verify) {
  return std::string(verify ? "проверено " : "запрограммировано ") + std::to_string(programmed) + ", ошибок " +
         std::to_string(failed);
}

StationResult RunStation(const StationJob& job, StationEvents& events, StationControl& control) {
  Sink sink(job, events, control);
  std::vector<std::thread> threads;
  for (const StationPort& port : job.ports)
    threads.emplace_back([&job, &port, &sink, &control] { PortRunner(job, port, sink, control).Run(); });
  for (auto& t : threads) t.join();
  return sink.Result();
}

}  // namespace tivolan::station
