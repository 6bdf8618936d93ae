#include "shell/frame/StatusFlash.h"

namespace tivolan {

uint32_t StatusFlash::Start(uint32_t currentColour, uint32_t flashColour, int count) {
  if (!Running()) rest_ = currentColour;
  flash_ = flashColour;
  counter_ = count;
  return flash_;
}

uint32_t StatusFlash::Tick() {
  if (!Running()) return rest_;
  const uint32_t colour = counter_ % 2 == 1 ? rest_ : flash_;
  --counter_;
  return colour;
}

}  // namespace tivolan
