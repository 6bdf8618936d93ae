#include "link/GsmBlocks.h"

#include <algorithm>

#include "link/Frames.h"

namespace tivolan {
namespace {

// Reads block `block`; a usable answer lands whole in `into`, another one
// leaves it as it was.
template <std::size_t N>
bool ReadBlock(TThreadBuff& worker, uint8_t block, std::array<uint8_t, N>& into) {
  const RequestFrame request = MakeRequestFrame(block);
  if (!worker.Exchange(request.data(), request.size())) return false;
  const auto answer = worker.DataModule().TakeSnapshot();
  if (IsUsableBlockAnswer(answer.AsAnswer()) && answer.count <= N)
    std::copy_n(answer.bytes.begin(), answer.count, into.begin());
  return true;
}

// Sends a frame whose byte 1 holds its length; a length that does not fit
// its buffer is never sent.
template <std::size_t N>
bool SendFrame(TThreadBuff& worker, const std::array<uint8_t, N>& frame) {
  const std::size_t length = frame[1];
  if (length < 6 || length > N) return false;
  return worker.Exchange(frame.data(), length);
}

// Sends block 3 or 4 and checks its read-back.
template <std::size_t N>
bool WriteBlock(TThreadBuff& worker, const std::array<uint8_t, N>& frame) {
  return SendFrame(worker, frame) &&
         BlockWriteAnswerMatches(worker.DataModule().TakeSnapshot().AsAnswer(), frame.data());
}

}  // namespace

bool GsmBlockExchange::ReadGsmSettings(TThreadBuff& worker) {
  dest_ = data_.DestTX_Buffer;
  gprs_ = data_.GprsTX_Buffer;
  sms_ = data_.SmsTX_Buffer;
  const RequestFrame request = MakeRequestFrame(2);
  if (!worker.Exchange(request.data(), request.size())) return false;
  const auto answer = worker.DataModule().TakeSnapshot();
  // An answer the buffer cannot hold whole would lose destinations: it fails.
  if (answer.count > dest_.size()) return false;
  std::copy_n(answer.bytes.begin(), answer.count, dest_.begin());
  if (dest_[kDestGprsFlag] != 0 && !ReadGprsBlock(worker)) return false;
  if (dest_[kDestSmsFlag] != 0 && !ReadSmsBlock(worker)) return false;
  return true;
}

bool GsmBlockExchange::ReadGprsBlock(TThreadBuff& worker) { return ReadBlock(worker, 3, gprs_); }

bool GsmBlockExchange::ReadSmsBlock(TThreadBuff& worker) { return ReadBlock(worker, 4, sms_); }

void GsmBlockExchange::CommitRead() {
  data_.DestTX_Buffer = dest_;
  data_.GprsTX_Buffer = gprs_;
  data_.SmsTX_Buffer = sms_;
}

bool GsmBlockExchange::WriteGsmSettings(TThreadBuff& worker) {
  const DestBuffer& dest = data_.DestTX_Buffer;
  if (!SendFrame(worker, dest)) return false;
  if (!DestWriteAnswerMatches(worker.DataModule().TakeSnapshot().AsAnswer(), dest.data())) return false;
  if (dest[kDestGprsFlag] != 0 && !WriteGprsBlock(worker)) return false;
  if (dest[kDestSmsFlag] != 0 && !WriteSmsBlock(worker)) return false;
  return true;
}

bool GsmBlockExchange::WriteGprsBlock(TThreadBuff& worker) { return WriteBlock(worker, data_.GprsTX_Buffer); }

bool GsmBlockExchange::WriteSmsBlock(TThreadBuff& worker) { return WriteBlock(worker, data_.SmsTX_Buffer); }

}  // namespace tivolan
