#pragma once
#include <chrono>
#include <cstdint>

namespace tivolan {

// Milliseconds of a monotonic clock, the tick count of the link code.
inline int64_t TickCountMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tivolan
