#pragma once
// State of the "Передача" page controls that follow the device type and the
// image: the transmission kind list, the network number, and the
// concentrator's two "connected" boxes.
#include <string>
#include <vector>

#include "model/ConfigBuffer.h"

namespace tivolan {

struct TxPageState {
  bool kindVisible = true;  // "Вид передачи:" and bxRTX_Type
  std::vector<std::string> kindItems;
  int kindIndex = -1;
  bool netIdVisible = false;  // lblNetID, edtBusID, udBusID
  int busId = 1;
  bool cncBoxesVisible = false;  // "518Hn подключен", "GSM-KVT подключен"
  bool cncTxTd = false;
  bool cncTxGsm = false;
  // Attempt counts of the delivery destinations table, top row first; a
  // destination is enabled when its count is not 0 ("Выкл.").
  std::vector<int> destinationAttempts;
};

bool AnyDestinationEnabled(const TxPageState& page);

// What a change of device type does to the page.
void TxPageSetDevice(TxPageState& page, int type);

// Shows the image's transmission fields without changing them.
void RefreshTxPage(TxPageState& page, const ImageBuffer& image, int type);

}  // namespace tivolan
