#include "link/UnitDevProg.h"

#include <algorithm>

#include "link/Frames.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"

namespace tivolan {
namespace {
constexpr uint8_t kNoDevice = 255;
using enum LinkStatus;  // the worker reports by the table's names
}  // namespace

void TThreadBuff::Execute() {
  TCommPortDriver& port = context_.dataModule.cmprtdrvr1;
  if (!port.Open()) {
    Report(StatusPortError);
    return;
  }
  // Opening purged the port; what an earlier worker left is no arrival.
  context_.dataModule.ClearReceiveBuffer();
  Report(StatusPortOpened);
  if (mode_ == LinkMode::Read) {
    const uint8_t type = ReadConfiguration();
    if (type != kNoDevice) Report(StatusReadDone, type);
  } else if (WriteConfiguration()) {
    Report(StatusWriteDone);
  }
  // The final code is out; the port stays open until an answer that missed
  // its limit has been drained, so that it never reaches the next request,
  // in this program or the next one to open the port.
  if (answerOwed_ && !Cancelled()) DrainLine();
  port.Close();
}

bool TThreadBuff::Exchange(const Frame& frame) {
  TDataModule1& dm = context_.dataModule;
  // Answers carry no request number: what came unasked is drained, never
  // taken for this request's answer. A quiet line costs nothing here.
  if (!LineQuiet() && !DrainLine()) return false;
  dm.ClearReceiveBuffer();
  taken_ = 0;
  answer_ = Frame();
  dm.cmprtdrvr1.Purge(true, true);
  // A frame that could not go out can have no answer.
  if (dm.cmprtdrvr1.Write(frame.data(), static_cast<uint32_t>(frame.size()), &context_.cancel) != frame.size())
    return false;
  if (frame.Command() == kCmdWrite && context_.sent) context_.sent->Add(frame.Block());
  if (!WaitAnswer()) {
    answerOwed_ = true;
    return false;
  }
  taken_ = static_cast<int32_t>(answer_.size());
  return true;
}

bool TThreadBuff::LineQuiet() {
  TDataModule1& dm = context_.dataModule;
  return dm.cmprtdrvr1.InputQueued() == 0 && dm.ReceivedCount() == taken_;
}

bool TThreadBuff::DrainLine() {
  TDataModule1& dm = context_.dataModule;
  TCommPortDriver& port = dm.cmprtdrvr1;
  const Deadline most(limits::kDrainMost, &context_.cancel);
  Deadline quiet(limits::kLineQuiet);
  taken_ = 0;
  answerOwed_ = false;
  while (port.IsOpen()) {
    // The poll may have taken some of the bytes already: both are emptied.
    if (port.InputQueued() > 0 || dm.ReceivedCount() > 0) {
      port.Purge(true, false);
      dm.ClearReceiveBuffer();
      quiet.Restart();
    }
    if (quiet.Passed()) return true;
    if (!most.Sleep(limits::kWaitStep)) return false;
  }
  return false;
}

bool TThreadBuff::WaitAnswer() {
  TDataModule1& dm = context_.dataModule;
  const CancelToken& cancel = context_.cancel;
  if (!cancel.SleepFor(limits::kWaitStep)) return false;
  const Deadline firstBytes(limits::kAnswerStart, &cancel);
  while (dm.ReceivedCount() < 2 && firstBytes.Sleep(limits::kWaitStep)) {
  }
  if (cancel.Cancelled() || dm.ReceivedCount() == 0) return false;
  Report(StatusAnswerReceived);
  auto complete = [&dm] {
    const int32_t count = dm.ReceivedCount();
    // Bytes beyond the receive buffer were never stored: such an answer can
    // only fail, so there is nothing to wait for.
    return count > static_cast<int32_t>(kReceiveBufferSize) || dm.ReceivedByte(kFrameLengthByte) == count;
  };
  const Deadline wholeFrame(limits::kAnswerComplete, &cancel);
  while (!complete() && wholeFrame.Sleep(limits::kWaitStep)) {
  }
  if (cancel.Cancelled()) return false;
  const auto accepted = Frame::Accept(dm.TakeSnapshot().AsAnswer(), kReceiveBufferSize);
  if (!accepted) return false;
  answer_ = *accepted;
  return true;
}

uint8_t TThreadBuff::ReadConfiguration() {
  if (!Exchange(MakeRequestFrame(1))) {
    Report(StatusNoLink);
    return kNoDevice;
  }
  Report(StatusAnswerReceived);
  // The answer is staged and stored only when the whole read succeeded, so a
  // failed read never leaves values behind that the pages do not show.
  StagedConfig staged{context_.data.ConfigBuffer, context_.data.DeviceVersion};
  const uint8_t type = ParseConfigAnswer(answer_.Bytes(), staged);
  if (type == kNoDevice) {
    Report(StatusUnknownDevice);
    return kNoDevice;
  }
  if (type == kTypePPKP && staged.version < 3) {
    Report(StatusVersionTooOld);
    return kNoDevice;
  }
  if (IsGsmInUse(staged.config, type)) {
    Report(StatusGsmReading);
    if (!context_.gsm || !context_.gsm->ReadGsmSettings(*this)) {
      Report(StatusGsmError);
      return kNoDevice;
    }
    context_.gsm->CommitRead();
  }
  context_.data.ConfigBuffer = staged.config;
  context_.data.DeviceVersion = staged.version;
  return type;
}

bool TThreadBuff::WriteConfiguration() {
  SharedData& data = context_.data;
  const int type = data.DeviceType;
  const int length = CompleteWriteFrame(data.ConfigBuffer, type);
  if (length == 0) {  // no layout for the selected type: nothing is sent
    Report(StatusUnknownDevice);
    return false;
  }
  if (!Exchange(*StoredFrame(data.ConfigBuffer))) {
    Report(StatusNoLink);
    return false;
  }
  Report(StatusAnswerReceived);
  if (!WriteAnswerTypeMatches(answer_.Bytes(), type)) {
    Report(StatusUnknownDevice);
    return false;
  }
  if (!WriteReadBackMatches(answer_.Bytes(), data.ConfigBuffer, type)) {
    Report(StatusWriteMismatch);
    return false;
  }
  if (!IsGsmInUse(data.ConfigBuffer, type)) return true;
  Report(StatusGsmWriting);
  if (!context_.gsm || !context_.gsm->WriteGsmSettings(*this)) {
    Report(StatusGsmError);
    return false;
  }
  return true;
}

}  // namespace tivolan
