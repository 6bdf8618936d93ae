#pragma once
// The GSM block steps of a read or a write (blocks 2 to 4 after block 1),
// run on the worker. A read stages what the device answers, which the
// worker stores only once the whole read succeeded; a write sends the frames
// the commit step built on the owner's thread before the worker started.
#include "link/UnitDevProg.h"
#include "model/SharedData.h"

namespace tivolan {

class GsmBlockExchange final : public GsmBlockSteps {
 public:
  bool ReadGsmSettings(TThreadBuff& worker, GsmFrames& into) const override;
  bool WriteGsmSettings(TThreadBuff& worker) const override;

  static bool ReadGprsBlock(TThreadBuff& worker, GprsBuffer& into);
  static bool ReadSmsBlock(TThreadBuff& worker, SmsBuffer& into);
  static bool WriteGprsBlock(TThreadBuff& worker);
  static bool WriteSmsBlock(TThreadBuff& worker);
};

}  // namespace tivolan
