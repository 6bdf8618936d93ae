#include "link/ExchangeOperation.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "link/ReportChannel.h"
#include "link/os/ThreadPriority.h"

namespace tivolan {

struct ExchangeOperation::Shared : std::enable_shared_from_this<Shared> {
  struct Request {
    LinkMode mode;
    SharedData* data;
    const GsmBlockSteps* gsm;
  };

  Shared(TDataModule1& dm, SharedData& d, Poster p, ReportHandler r)
      : dataModule(dm), data(d), post(std::move(p)), onReport(std::move(r)) {}

  // Called with `mutex` held.
  void Launch(const Request& request) {
    workerRunning = true;
    cancel = CancelToken();
    channel = std::make_shared<ReportChannel>(post, onReport);
    sent = std::make_shared<SentBlocks>();
    ExchangeContext context{dataModule, *request.data, *channel, cancel, request.gsm, sent.get()};
    std::thread([self = shared_from_this(), channel = channel, sent = sent, context, mode = request.mode] {
      LowerCurrentThreadPriority();
      TThreadBuff(context, mode).Execute();
      self->WorkerEnded();
    }).detach();
  }

  // On the worker's thread, after it closed the port.
  void WorkerEnded() {
    bool startNext = false;
    Task endedTask;
    {
      std::lock_guard lock(mutex);
      workerRunning = false;
      posting = true;
      startNext = pending.has_value() && !closed;
      if (!closed) endedTask = onEnded;
    }
    ended.notify_all();
    if (endedTask) post(std::move(endedTask));
    if (startNext) post([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->StartPending();
      });
    {
      std::lock_guard lock(mutex);
      posting = false;
    }
    ended.notify_all();
  }

  void StartPending() {
    std::lock_guard lock(mutex);
    if (closed || workerRunning || !pending) return;
    const Request request = *pending;
    pending.reset();
    Launch(request);
  }

  TDataModule1& dataModule;
  SharedData& data;
  Poster post;
  ReportHandler onReport;
  Task onEnded;
  mutable std::mutex mutex;
  std::condition_variable ended;
  bool workerRunning = false;
  // The ended worker still hands its last tasks to `post`: whoever owns
  // what `post` reaches must not go away before that is over.
  bool posting = false;
  bool closed = false;
  std::optional<Request> pending;
  CancelToken cancel;
  std::shared_ptr<ReportChannel> channel;
  std::shared_ptr<SentBlocks> sent;  // of the last worker started
};

ExchangeOperation::ExchangeOperation(TDataModule1& dataModule, SharedData& data, Poster post,
                                     ReportHandler onReport)
    : shared_(std::make_shared<Shared>(dataModule, data, std::move(post), std::move(onReport))) {}

ExchangeOperation::~ExchangeOperation() { Close(); }

void ExchangeOperation::Start(LinkMode mode, const GsmBlockSteps* gsm) { Start(mode, shared_->data, gsm); }

void ExchangeOperation::Start(LinkMode mode, SharedData& data, const GsmBlockSteps* gsm) {
  std::lock_guard lock(shared_->mutex);
  if (shared_->closed) return;
  if (shared_->workerRunning)
    shared_->pending = Shared::Request{mode, &data, gsm};
  else
    shared_->Launch({mode, &data, gsm});
}

bool ExchangeOperation::Running() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->workerRunning || shared_->pending.has_value();
}

bool ExchangeOperation::Cancel() {
  std::unique_lock lock(shared_->mutex);
  shared_->pending.reset();
  const auto done = [this] { return !shared_->workerRunning && !shared_->posting; };
  if (done()) return true;
  if (shared_->workerRunning) {
    shared_->channel->Close();
    shared_->cancel.Cancel();
  }
  return shared_->ended.wait_for(lock, limits::kShutdown, done);
}

bool ExchangeOperation::Close() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
  }
  return Cancel();
}

void ExchangeOperation::SetOnEnded(Task onEnded) {
  std::lock_guard lock(shared_->mutex);
  shared_->onEnded = std::move(onEnded);
}

std::vector<int> ExchangeOperation::BlocksSent() const {
  std::shared_ptr<SentBlocks> sent;
  {
    std::lock_guard lock(shared_->mutex);
    sent = shared_->sent;
  }
  return sent ? sent->List() : std::vector<int>{};
}

std::string UnfinishedWriteText(const std::vector<int>& blocksSent) {
  // What each block holds, as the installer knows it.
  static constexpr const char* kBlockNames[] = {"", "настройки прибора", "направления доставки", "GPRS",
                                                "список SMS"};
  std::string list;
  for (int block : blocksSent) {
    list += (list.empty() ? "" : ", ") + std::to_string(block);
    if (block >= 1 && block <= 4) list += std::string(" - ") + kBlockNames[block];
  }
  return "Запись не завершена: прибор может содержать часть новой конфигурации, запишите её ещё раз (" +
         std::string(blocksSent.size() == 1 ? "отправлен блок " : "отправлены блоки ") + list + ")";
}

ExchangeOutcome RunExchange(EventLoop& loop, TDataModule1& dataModule, SharedData& data, LinkMode mode,
                            const std::function<void(LinkStatus, int)>& onReport, const GsmBlockSteps* gsm,
                            const std::atomic<bool>* interrupted) {
  ExchangeOutcome outcome;
  outcome.mode = mode;
  ExchangeOperation operation(
      dataModule, data, [&loop](ExchangeOperation::Task task) { loop.Post(std::move(task)); },
      [&](LinkStatus code, int param) {
        outcome.codes.push_back(code);
        if (IsFinalStatus(code)) {
          outcome.finalCode = code;
          outcome.param = param;
        }
        if (onReport) onReport(code, param);
      });
  // The loop looks again as soon as the worker ends, not at its next timer tick.
  operation.SetOnEnded([] {});
  operation.Start(mode, gsm);
  auto interrupt = [interrupted] { return interrupted && interrupted->load(); };
  loop.RunUntil([&] { return !operation.Running() || interrupt(); });
  if (operation.Running()) {  // interrupted, or the loop was quit
    outcome.cancelled = true;
    outcome.ended = operation.Cancel();
  }
  outcome.blocksSent = operation.BlocksSent();
  return outcome;
}

}  // namespace tivolan
