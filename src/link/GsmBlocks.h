#pragma once
// The GSM block steps of a read or a write (blocks 2 to 4 after block 1),
// run on the worker. A read unpacks what the device answers into values the
// worker stores only once the whole read succeeded; a write makes each
// frame from the values of the worker's configuration as it sends it.
#include "link/UnitDevProg.h"
#include "model/GsmSettings.h"

namespace tivolan {

class GsmBlockExchange final : public GsmBlockSteps {
 public:
  bool ReadGsmSettings(TThreadBuff& worker, GsmSettings& into) const override;
  bool WriteGsmSettings(TThreadBuff& worker) const override;
};

}  // namespace tivolan
