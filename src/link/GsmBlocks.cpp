#include "link/GsmBlocks.h"

#include "link/Frames.h"
#include "link/GsmRecords.h"

namespace tivolan {
namespace {

// Reads block `block` into `into`, whole: an answer longer than the device's
// frame of that block (it would lose records) or of another block fails. An
// answer that is no usable block answer leaves `into` as it was.
template <typename Values>
bool ReadBlock(TThreadBuff& worker, uint8_t block, std::size_t longest, Values& into) {
  if (!worker.Exchange(MakeRequestFrame(block))) return false;
  const Frame& answer = worker.LastAnswer();
  if (!IsUsableBlockAnswer(answer.Bytes())) return true;
  if (!IsBlockAnswer(answer.Bytes(), block) || answer.Bytes().size() > longest) return false;
  into = Values::Unpack(answer.Data());
  return true;
}

// Sends a block and checks its read-back.
bool WriteBlock(TThreadBuff& worker, const Frame& frame) {
  return worker.Exchange(frame) && BlockWriteAnswerMatches(worker.LastAnswer().Bytes(), frame);
}

}  // namespace

bool GsmBlockExchange::ReadGsmSettings(TThreadBuff& worker, GsmSettings& into) const {
  // A read replaces every GSM setting: a block the device's flags leave out
  // holds nothing afterwards, not what the previous device held.
  into = GsmSettings{};
  if (!worker.Exchange(MakeRequestFrame(kDestBlock))) return false;
  const Frame& answer = worker.LastAnswer();
  // Block 2 must come: an unusable answer is a failure here.
  if (!IsBlockAnswer(answer.Bytes(), kDestBlock) || answer.Bytes().size() > kDestBufferSize) return false;
  into.dest = DestSettings::Unpack(answer.Data());
  if (into.dest.GprsInUse() && !ReadBlock(worker, kGprsBlock, kGprsBufferSize, into.gprs)) return false;
  if (into.dest.SmsInUse() && !ReadBlock(worker, kSmsBlock, kSmsBufferSize, into.sms)) return false;
  return true;
}

bool GsmBlockExchange::WriteGsmSettings(TThreadBuff& worker) const {
  const SharedData& data = worker.Data();
  const DestSettings& dest = data.DestTX_Buffer;
  const auto frame = WriteFrame(dest);
  if (!frame || !worker.Exchange(*frame)) return false;
  if (!DestWriteAnswerMatches(worker.LastAnswer().Bytes(), *frame)) return false;
  // A block 3 with no access point holds nothing to send.
  if (dest.GprsInUse() && (data.GprsTX_Buffer.NoAccessPoint() || !WriteBlock(worker, WriteFrame(data.GprsTX_Buffer))))
    return false;
  if (dest.SmsInUse() && !WriteBlock(worker, WriteFrame(data.SmsTX_Buffer))) return false;
  return true;
}

}  // namespace tivolan
