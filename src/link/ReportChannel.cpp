#include "link/ReportChannel.h"

namespace tivolan {

ReportChannel::ReportChannel(Poster post, Handler handler)
    : post_(std::move(post)), handler_(std::move(handler)), state_(std::make_shared<State>()) {}

void ReportChannel::LinkStatusMessage(LinkStatus code, int param) {
  auto done = std::make_shared<bool>(false);
  {
    std::lock_guard lock(state_->mutex);
    if (state_->closed) return;
  }
  post_([state = state_, handler = handler_, done, code, param] {
    // Marks the report handled however the handler ends, so that an
    // exception shown by the window never leaves the worker waiting.
    struct Handled {
      State& state;
      bool& done;
      ~Handled() {
        {
          std::lock_guard lock(state.mutex);
          done = true;
        }
        state.handled.notify_all();
      }
    } handled{*state, *done};
    bool closed = false;
    {
      std::lock_guard lock(state->mutex);
      closed = state->closed;
    }
    if (!closed) handler(code, param);
  });
  std::unique_lock lock(state_->mutex);
  state_->handled.wait(lock, [&] { return *done || state_->closed; });
}

void ReportChannel::Close() {
  {
    std::lock_guard lock(state_->mutex);
    state_->closed = true;
  }
  state_->handled.notify_all();
}

}  // namespace tivolan
