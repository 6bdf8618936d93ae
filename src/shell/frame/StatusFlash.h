#pragma once
// The status bar flash: flash colour, rest colour, flash colour, each for one
// tick of IndTimer (400 ms), then the rest colour stays.
#include <cstdint>

namespace tivolan {

class StatusFlash {
 public:
  static constexpr int kTickMs = 400;

  // Returns the colour to paint now. A flash that starts while another runs
  // keeps the earlier rest colour, so the bar never stays in a flash colour.
  uint32_t Start(uint32_t currentColour, uint32_t flashColour, int count = 3);
  // One timer tick: the colour to paint.
  uint32_t Tick();
  bool Running() const { return counter_ > 0; }

 private:
  uint32_t rest_ = 0;
  uint32_t flash_ = 0;
  int counter_ = 0;
};

}  // namespace tivolan
