#pragma once
// The GSM block steps of a read or a write (blocks 2 to 4 after block 1),
// run on the worker. A read stages what the device answers and stores it
// only once the whole read succeeded; a write sends the frames the commit
// step built on the owner's thread before the worker started.
#include "link/UnitDevProg.h"
#include "model/SharedData.h"

namespace tivolan {

class GsmBlockExchange final : public GsmBlockSteps {
 public:
  explicit GsmBlockExchange(SharedData& data) : data_(data) {}

  bool ReadGsmSettings(TThreadBuff& worker) override;
  bool WriteGsmSettings(TThreadBuff& worker) override;
  void CommitRead() override;

  bool ReadGprsBlock(TThreadBuff& worker);
  bool ReadSmsBlock(TThreadBuff& worker);
  bool WriteGprsBlock(TThreadBuff& worker);
  bool WriteSmsBlock(TThreadBuff& worker);

 private:
  SharedData& data_;
  DestBuffer dest_{};
  GprsBuffer gprs_{};
  SmsBuffer sms_{};
};

}  // namespace tivolan
