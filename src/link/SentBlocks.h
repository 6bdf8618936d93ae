#pragma once
// The blocks of a write that went out whole. The worker adds each block as
// its frame leaves; the owner may ask at any time, so that a write that was
// cancelled or failed half-way can say what the device may now hold.
#include <atomic>
#include <cstdint>
#include <vector>

namespace tivolan {

class SentBlocks {
 public:
  void Add(int block) {
    if (block >= 1 && block <= 4) mask_.fetch_or(static_cast<uint8_t>(1u << block), std::memory_order_release);
  }
  // Ascending, which is also the order in which a write sends them.
  std::vector<int> List() const {
    const unsigned mask = mask_.load(std::memory_order_acquire);
    std::vector<int> blocks;
    for (int block = 1; block <= 4; ++block)
      if (mask & (1u << block)) blocks.push_back(block);
    return blocks;
  }

 private:
  std::atomic<uint8_t> mask_{0};
};

}  // namespace tivolan
