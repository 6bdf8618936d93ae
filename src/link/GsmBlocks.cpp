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

bool GsmBlockExchange::ReadGsmSettings(TThreadBuff& worker, GsmFrames& into) const {
  // A read replaces every GSM setting: a block the device's flags leave out
  // holds nothing afterwards, not what the previous device held.
  into = GsmFrames{};
  if (!worker.Exchange(MakeRequestFrame(kDestBlock))) return false;
  // An answer of another block, or one the buffer cannot hold whole (it
  // would lose destinations), fails.
  if (!IsBlockAnswer(worker.LastAnswer().Bytes(), kDestBlock) || !StoreFrame(worker.LastAnswer(), into.dest))
    return false;
  if (GprsInUse(into.dest) && !ReadGprsBlock(worker, into.gprs)) return false;
  if (SmsInUse(into.dest) && !ReadSmsBlock(worker, into.sms)) return false;
  return true;
}

bool GsmBlockExchange::ReadGprsBlock(TThreadBuff& worker, GprsBuffer& into) {
  return ReadBlock(worker, kGprsBlock, into);
}

bool GsmBlockExchange::ReadSmsBlock(TThreadBuff& worker, SmsBuffer& into) { return ReadBlock(worker, kSmsBlock, into); }

bool GsmBlockExchange::WriteGsmSettings(TThreadBuff& worker) const {
  const DestBuffer& dest = worker.Data().DestTX_Buffer;
  const auto frame = FrameToSend(dest);
  if (!frame || !worker.Exchange(*frame)) return false;
  if (!DestWriteAnswerMatches(worker.LastAnswer().Bytes(), *frame)) return false;
  if (GprsInUse(dest) && !WriteGprsBlock(worker)) return false;
  if (SmsInUse(dest) && !WriteSmsBlock(worker)) return false;
  return true;
}

bool GsmBlockExchange::WriteGprsBlock(TThreadBuff& worker) { return WriteBlock(worker, worker.Data().GprsTX_Buffer); }

bool GsmBlockExchange::WriteSmsBlock(TThreadBuff& worker) { return WriteBlock(worker, worker.Data().SmsTX_Buffer); }

}  // namespace tivolan
