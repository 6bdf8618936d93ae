#include "link/UnitDevProg.h"

#include <algorithm>
#include <utility>

#include "link/Frames.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"

namespace tivolan {
namespace {
constexpr uint8_t kNoDevice = 255;
using enum LinkStatus;  // the worker reports by the table's names
}  // namespace

void TThreadBuff::Execute() {
  TDataModule1& dm = context_.dataModule;
  // Another exchange on this port at the same time would take its answers.
  if (!dm.Claim(own_)) {
    Report(StatusPortError);
    return;
  }
  received_ = &own_;
  RunOnPort();
  dm.Release(own_);
}

void TThreadBuff::RunOnPort() {
  TCommPortDriver& port = context_.dataModule.cmprtdrvr1;
  if (!port.Open()) {
    Report(StatusPortError);
    return;
  }
  Report(StatusPortOpened);
  if (mode_ == LinkMode::Read) {
    const uint8_t type = ReadConfiguration();
    if (type != kNoDevice) Report(StatusReadDone, type);
  } else if (WriteConfiguration()) {
    Report(StatusWriteDone);
  }
  // The final code is out; an answer that missed its limit must never reach
  // the next request, in this program or the next one to open the port.
  if (!Cancelled()) SettleLine();
  port.Close();
}

bool TThreadBuff::Exchange(const Frame& frame) {
  TDataModule1& dm = context_.dataModule;
  if (!QuietBeforeRequest()) return false;
  received_->Clear();
  taken_ = 0;
  answer_ = Frame();
  dm.cmprtdrvr1.Purge(true, true);
  // A frame that could not go out can have no answer.
  if (dm.cmprtdrvr1.Write(frame.data(), static_cast<uint32_t>(frame.size()), &context_.cancel) != frame.size())
    return false;
  requestAt_ = QuietWatch::Clock::now();
  if (frame.Command() == kCmdWrite && context_.sent) context_.sent->Add(frame.Block());
  if (!WaitAnswer()) {
    owed_ = received_->Count() > 0 || dm.cmprtdrvr1.InputQueued() > 0 ? Owed::Rest : Owed::Whole;
    return false;
  }
  taken_ = static_cast<int32_t>(answer_.size());
  return true;
}

bool TThreadBuff::QuietBeforeRequest() {
  const Time now = QuietWatch::Clock::now();
  if (!std::exchange(firstRequest_, false)) {
    if (!Unasked()) return true;  // a quiet line costs nothing here
    return Listen(QuietWatch(now, limits::kLineQuiet));
  }
  TDataModule1& dm = context_.dataModule;
  const std::string port = dm.cmprtdrvr1.PortName();
  if (!Listen(QuietWatch(now, limits::kQuietAtOpen, dm.OwedAnswerUntil(port).value_or(now)))) return false;
  dm.ClearOwedAnswer(port);
  return true;
}

bool TThreadBuff::Unasked() {
  TDataModule1& dm = context_.dataModule;
  return dm.cmprtdrvr1.InputQueued() > 0 || received_->Count() != taken_;
}

bool TThreadBuff::Listen(QuietWatch watch) {
  TDataModule1& dm = context_.dataModule;
  TCommPortDriver& port = dm.cmprtdrvr1;
  taken_ = 0;
  while (port.IsOpen()) {
    const Time now = QuietWatch::Clock::now();
    // The poll may have taken some of the bytes already: both are emptied.
    if (port.InputQueued() > 0 || received_->Count() > 0) {
      port.Purge(true, false);
      received_->Clear();
      watch.Heard(now);
    }
    switch (watch.At(now)) {
      case QuietWatch::Verdict::Quiet: return true;
      case QuietWatch::Verdict::GiveUp: return false;
      case QuietWatch::Verdict::Wait: break;
    }
    if (!context_.cancel.SleepFor(limits::kWaitStep)) return false;
  }
  return false;
}

void TThreadBuff::SettleLine() {
  TDataModule1& dm = context_.dataModule;
  const Time now = QuietWatch::Clock::now();
  const Time owedUntil = requestAt_ + limits::kLateAnswerMost;
  switch (std::exchange(owed_, Owed::Nothing)) {
    case Owed::Nothing: return;
    case Owed::Rest:  // the device is answering: the rest ends soon
      Listen(QuietWatch(now, limits::kLineQuiet));
      return;
    case Owed::Whole:
      if (dm.WaitsForOwedAnswerBeforeClose())
        Listen(QuietWatch(now, limits::kLineQuiet, owedUntil));
      else
        dm.SetOwedAnswer(dm.cmprtdrvr1.PortName(), owedUntil);
      return;
  }
}

bool TThreadBuff::WaitAnswer() {
  TDataModule1& dm = context_.dataModule;
  const CancelToken& cancel = context_.cancel;
  if (!cancel.SleepFor(limits::kWaitStep)) return false;
  // Bytes the poll has not taken yet have arrived too: the request may go out
  // at any moment between two polls, so the limit is not shortened by one.
  const ReceiveBuffer& received = *received_;
  auto arrived = [&] { return received.Count() + static_cast<int64_t>(dm.cmprtdrvr1.InputQueued()); };
  const Deadline firstBytes(limits::kAnswerStart, &cancel);
  while (arrived() < 2 && firstBytes.Sleep(limits::kWaitStep)) {
  }
  if (cancel.Cancelled() || arrived() == 0) return false;
  Report(StatusAnswerReceived);
  auto complete = [&received] {
    const int32_t count = received.Count();
    // Bytes beyond the receive buffer were never stored: such an answer can
    // only fail, so there is nothing to wait for.
    return count > static_cast<int32_t>(kReceiveBufferSize) ||
           (count > static_cast<int32_t>(kFrameLengthByte) && received.Byte(kFrameLengthByte) == count);
  };
  const Deadline wholeFrame(limits::kAnswerComplete, &cancel);
  while (!complete() && wholeFrame.Sleep(limits::kWaitStep)) {
  }
  if (cancel.Cancelled()) return false;
  const auto accepted = Frame::Accept(received.TakeSnapshot().AsAnswer(), kReceiveBufferSize);
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
    GsmSettings gsm;
    Report(StatusGsmReading);
    if (!context_.gsm || !context_.gsm->ReadGsmSettings(*this, gsm)) {
      Report(StatusGsmError);
      return kNoDevice;
    }
    context_.data.TakeGsm(gsm);
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
