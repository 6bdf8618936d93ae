#include "model/Images.h"

#include "model/DeviceCatalogue.h"

namespace tivolan {

const PanelLayout* PanelLayoutOf(int type) {
  if (type == kTypePPKP) return &kLayoutPPKP;
  if (type == kTypePPKN) return &kLayoutPPKN;
  return nullptr;
}

}  // namespace tivolan
