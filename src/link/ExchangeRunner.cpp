#include "link/ExchangeRunner.h"

#include "link/ReportChannel.h"

namespace tivolan {

ExchangeOutcome RunExchange(EventLoop& loop, TDataModule1& dataModule, SharedData& data, LinkMode mode,
                            const std::function<void(int, int)>& onReport, GsmBlockSteps* gsm) {
  ExchangeOutcome outcome;
  ReportChannel channel([&loop](ReportChannel::Task task) { loop.Post(std::move(task)); },
                        [&](int code, int param) {
                          outcome.codes.push_back(code);
                          if (IsFinalStatus(code)) {
                            outcome.finalCode = code;
                            outcome.param = param;
                          }
                          if (onReport) onReport(code, param);
                        });
  auto worker = TThreadBuff::Start(ExchangeContext{dataModule, data, channel, gsm}, mode);
  loop.RunUntil([&] { return worker->Finished(); });
  if (!worker->Finished()) {  // the loop was quit: let the worker give up
    channel.Close();
    worker->RequestAbort();
    worker->WaitFinished(5000);
  }
  return outcome;
}

}  // namespace tivolan
