#include "transmission/TxPage.h"

#include "model/DeviceCatalogue.h"
#include "model/ValueLists.h"

namespace tivolan {

void TxPageSetDevice(TxPageState& page, int type) {
  if (type == kTypeCNC1) {
    page.cncBoxesVisible = true;
    page.kindVisible = false;
    page.netIdVisible = false;
    return;
  }
  page.kindVisible = true;
  page.kindItems.clear();
  const std::size_t kinds = type == kTypePPKN ? 4 : 3;
  for (std::size_t i = 0; i < kinds; ++i) page.kindItems.emplace_back(TxKindList[i]);
  page.kindIndex = -1;
  page.cncBoxesVisible = false;
  if (type == kTypePPKP) page.netIdVisible = false;
}

bool AnyDestinationEnabled(const TxPageState& page) {
  for (int attempts : page.destinationAttempts)
    if (attempts != 0) return true;
  return false;
}

void RefreshTxPage(TxPageState& page, const ImageBuffer& image, int type) {
  if (type == kTypeCNC1) {
    page.cncTxTd = image[9] != 0;
    page.cncTxGsm = image[10] != 0;
    return;
  }
  const int kind = image[38];
  page.kindIndex = kind < static_cast<int>(page.kindItems.size()) ? kind : -1;
  // By list position: a type 1 list has no "RS-485", whatever byte 38 says.
  page.netIdVisible = page.kindIndex == 3;
  if (type == kTypePPKN) page.busId = image[46];
}

}  // namespace tivolan
