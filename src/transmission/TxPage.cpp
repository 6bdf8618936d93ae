#include "transmission/TxPage.h"

#include "model/DeviceCatalogue.h"
#include "model/Images.h"
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
    const ConstImageCNC1 cnc(image);
    page.cncTxTd = cnc.UseTD() != 0;
    page.cncTxGsm = cnc.GsmConnected() != 0;
    return;
  }
  const auto panel = PanelImageOf(image, type);
  if (!panel) return;
  const int kind = panel->TxKind();
  page.kindIndex = kind < static_cast<int>(page.kindItems.size()) ? kind : -1;
  // By list position: a type 1 list has no "RS-485", whatever byte 38 says.
  page.netIdVisible = page.kindIndex == kTxKindRs485;
  if (panel->HasSlaveBus()) page.busId = panel->SlaveBus();
}

}  // namespace tivolan
