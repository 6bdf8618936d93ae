#include "model/Images.h"

#include "model/DeviceCatalogue.h"

namespace tivolan {

bool PanelImage::GuardSound() const {
  const uint8_t byte = b_[static_cast<std::size_t>(layout_.guardSndByte)];
  return layout_.guardSndBit < 0 ? byte != 0 : TestBit(byte, layout_.guardSndBit);
}

void PanelImage::SetGuardSound(bool on) {
  uint8_t& byte = b_[static_cast<std::size_t>(layout_.guardSndByte)];
  if (layout_.guardSndBit < 0)
    byte = on ? 1 : 0;
  else
    WriteBit(byte, layout_.guardSndBit, on);
}

const PanelLayout* PanelLayoutOf(int type) {
  if (type == kTypePPKP) return &kLayoutPPKP;
  if (type == kTypePPKN) return &kLayoutPPKN;
  return nullptr;
}

}  // namespace tivolan
