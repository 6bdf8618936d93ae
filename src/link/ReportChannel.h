#pragma once
// A blocking queued call from the worker to the window's thread: the report
// is posted to the window's event loop and the worker waits until it has been
// handled. Closing the channel (when the program ends) releases a waiting
// worker at once and drops every later report, so that the window can wait
// for the worker without both waiting for each other.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "link/LinkStatus.h"

namespace tivolan {

class ReportChannel final : public LinkReporter {
 public:
  using Task = std::function<void()>;
  using Poster = std::function<void(Task)>;  // runs a task on the window's thread
  using Handler = std::function<void(LinkStatus code, int param)>;

  ReportChannel(Poster post, Handler handler);
  void LinkStatusMessage(LinkStatus code, int param) override;
  void Close();

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable handled;
    bool closed = false;
  };
  Poster post_;
  Handler handler_;
  std::shared_ptr<State> state_;
};

}  // namespace tivolan
