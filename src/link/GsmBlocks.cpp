#include "link/GsmBlocks.h"

#include "link/Frames.h"
#include "link/GsmRecords.h"

namespace tivolan {
namespace {

// Reads block `block`; a usable answer lands whole in `into`, another one
// leaves it as it was. A usable answer of another block is none to this
// request.
template <std::size_t N>
bool ReadBlock(TThreadBuff& worker, uint8_t block, FrameStorage<N>& into) {
  if (!worker.Exchange(MakeRequestFrame(block))) return false;
  const Frame& answer = worker.LastAnswer();
  if (!IsUsableBlockAnswer(answer.Bytes())) return true;
  return IsBlockAnswer(answer.Bytes(), block) && StoreFrame(answer, into);
}

// The frame the commit step built; one that is not whole and sealed, or
// holds no data, is never sent.
template <std::size_t N>
std::optional<Frame> FrameToSend(const FrameStorage<N>& storage) {
  auto frame = StoredFrame(storage);
  if (!frame || frame->Data().empty()) return std::nullopt;
  return frame;
}

// Sends block 3 or 4 and checks its read-back.
template <std::size_t N>
bool WriteBlock(TThreadBuff& worker, const FrameStorage<N>& storage) {
  const auto frame = FrameToSend(storage);
  return frame && worker.Exchange(*frame) && BlockWriteAnswerMatches(worker.LastAnswer().Bytes(), *frame);
}

}  // namespace

bool GsmBlockExchange::ReadGsmSettings(TThreadBuff& worker) {
  // A read replaces every GSM setting: a block the device's flags leave out
  // holds nothing afterwards, not what the previous device held.
  dest_ = {};
  gprs_ = {};
  sms_ = {};
  if (!worker.Exchange(MakeRequestFrame(kDestBlock))) return false;
  // An answer of another block, or one the buffer cannot hold whole (it
  // would lose destinations), fails.
  if (!IsBlockAnswer(worker.LastAnswer().Bytes(), kDestBlock) || !StoreFrame(worker.LastAnswer(), dest_))
    return false;
  if (GprsInUse(dest_) && !ReadGprsBlock(worker)) return false;
  if (SmsInUse(dest_) && !ReadSmsBlock(worker)) return false;
  return true;
}

bool GsmBlockExchange::ReadGprsBlock(TThreadBuff& worker) { return ReadBlock(worker, kGprsBlock, gprs_); }

bool GsmBlockExchange::ReadSmsBlock(TThreadBuff& worker) { return ReadBlock(worker, kSmsBlock, sms_); }

void GsmBlockExchange::CommitRead() {
  data_.DestTX_Buffer = dest_;
  data_.GprsTX_Buffer = gprs_;
  data_.SmsTX_Buffer = sms_;
}

bool GsmBlockExchange::WriteGsmSettings(TThreadBuff& worker) {
  const DestBuffer& dest = data_.DestTX_Buffer;
  const auto frame = FrameToSend(dest);
  if (!frame || !worker.Exchange(*frame)) return false;
  if (!DestWriteAnswerMatches(worker.LastAnswer().Bytes(), *frame)) return false;
  if (GprsInUse(dest) && !WriteGprsBlock(worker)) return false;
  if (SmsInUse(dest) && !WriteSmsBlock(worker)) return false;
  return true;
}

bool GsmBlockExchange::WriteGprsBlock(TThreadBuff& worker) { return WriteBlock(worker, data_.GprsTX_Buffer); }

bool GsmBlockExchange::WriteSmsBlock(TThreadBuff& worker) { return WriteBlock(worker, data_.SmsTX_Buffer); }

}  // namespace tivolan
