#include "cli/Interrupt.h"

#include <csignal>

namespace tivolan::cli {
namespace {

// Lock-free, so that the handler may set it.
std::atomic<bool> g_interrupted{false};
std::atomic<int> g_count{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
  g_interrupted = true;
  g_count.fetch_add(1);
}

using Handler = void (*)(int);
Handler g_previousInt = SIG_DFL;
Handler g_previousTerm = SIG_DFL;

}  // namespace

InterruptGuard::InterruptGuard() {
  g_interrupted = false;
  g_count = 0;
  g_previousInt = std::signal(SIGINT, OnInterrupt);
  g_previousTerm = std::signal(SIGTERM, OnInterrupt);
}

InterruptGuard::~InterruptGuard() {
  std::signal(SIGINT, g_previousInt == SIG_ERR ? SIG_DFL : g_previousInt);
  std::signal(SIGTERM, g_previousTerm == SIG_ERR ? SIG_DFL : g_previousTerm);
}

const std::atomic<bool>& InterruptGuard::Flag() const { return g_interrupted; }

int InterruptGuard::Count() const { return g_count.load(); }

}  // namespace tivolan::cli
