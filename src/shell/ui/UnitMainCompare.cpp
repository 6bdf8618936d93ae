// TForm1's "Сравнить с прибором...": a read into a configuration of the
// comparison's own, the dialog, and its write of exactly what was compared
// after one more read confirms the device is the one compared.
#include <QAction>
#include <utility>

#include "configuration/OutsideValues.h"
#include "shell/ui/dialogs/ChangesDialog.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/UnitMain.h"

namespace tivolan {

std::optional<SharedData> TForm1::CommittedCopy(bool showRefusal) {
  SharedData copy = data_;
  FormState form = form_;
  if (const auto refused = UpdateAllTXBuffers(copy, form)) {
    if (showRefusal) prompter_->Show(CancelledBy(*refused, CommitFor::Write));
    return std::nullopt;
  }
  return copy;
}

void TForm1::FileCompareClick() {
  // The configuration a write would send: one the commit step refuses
  // could not be written after the comparison either.
  if (!CommitPendingEdits() || !CommittedCopy(true)) return;
  const auto port = TakePortOfBox(dataModule_.cmprtdrvr1);
  if (!port) return;
  linkPort_ = *port;
  // What an earlier comparison offered to write no longer holds.
  changes_.reset();
  if (changesDialog_) changesDialog_->hide();
  compareData_ = SharedData{};
  compareStep_ = CompareStep::Reading;
  SetLinkControlsEnabled(false);
  compareLink_.Start(LinkMode::Read, &gsmSteps_);
}

void TForm1::CompareStatusMessage(LinkStatus code, int param) {
  const StatusRow& row = RowOf(code);
  const bool shown = ShowLinkStatus(code, compareData_.DeviceVersion);
  if (shown && row.flash != Flash::None) FlashStatusBar(FlashColour(row.flash), 3);
  if (row.final) CompareEnded(code, param);
}

void TForm1::CompareEnded(LinkStatus code, int param) {
  const CompareStep step = std::exchange(compareStep_, CompareStep::None);
  if (changesDialog_) changesDialog_->SetBusy(false);
  // The read answers with the type it found; the window's type stays.
  if (code == LinkStatus::StatusReadDone) compareData_.DeviceType = static_cast<uint8_t>(param);
  if (step == CompareStep::Reading && code == LinkStatus::StatusReadDone) {
    const auto window = CommittedCopy(false);
    if (!window) return;
    changes_ = CompareWithDevice(compareData_, *window);
    if (!changesDialog_) {
      changesDialog_ = new ChangesDialog(this);
      connect(changesDialog_, &ChangesDialog::writeRequested, this, &TForm1::WriteChangesClick);
    }
    changesDialog_->Show(*changes_);
    SetStatusText(QStringLiteral("Сравнение с прибором: ") + Q(changes_->heading));
    return;
  }
  if (!changes_) return;
  if (step == CompareStep::Rereading && code == LinkStatus::StatusReadDone) {
    const auto window = CommittedCopy(false);
    if (const auto refusal = window ? WriteRefusal(*changes_, compareData_, *window) : kDeviceChanged) {
      EndChangesWrite(*refusal);
      FlashStatusBar(kFlashRed, 3);
      return;
    }
    compareData_ = changes_->compared;
    compareStep_ = CompareStep::Writing;
    SetLinkControlsEnabled(false);
    changesDialog_->SetBusy(true);
    compareLink_.Start(LinkMode::Write, &gsmSteps_);
    return;
  }
  if (step == CompareStep::Writing && code == LinkStatus::StatusWriteDone) {
    EndChangesWrite("Изменения записаны в прибор");
    return;
  }
  if (step == CompareStep::Writing) ShowUnfinishedWrite(compareLink_);
  if (step != CompareStep::Reading) EndChangesWrite("Запись не выполнена: " + StatusMessage(code, compareData_.DeviceVersion));
}

// "Записать эти изменения": the questions a write asks, then the read
// that must find the device as it was compared.
void TForm1::WriteChangesClick() {
  if (!changes_ || !changes_->canWrite || WorkerRunning()) return;
  const SharedData& compared = changes_->compared;
  const auto outside = ValuesOutsideControls(compared);
  if (!outside.empty() && !prompter_->AskYesNo(OutsideValuesQuestion(outside))) return;
  if (WriteNeedsConfirmation(compared, form_) && !prompter_->AskYesNo(NoDestinationQuestion())) return;
  const auto port = TakePortOfBox(dataModule_.cmprtdrvr1);
  if (!port) return;
  linkPort_ = *port;
  compareData_ = SharedData{};
  compareStep_ = CompareStep::Rereading;
  SetLinkControlsEnabled(false);
  changesDialog_->SetBusy(true);
  compareLink_.Start(LinkMode::Read, &gsmSteps_);
}

void TForm1::EndChangesWrite(const std::string& message) {
  EndWrite(*changes_, message);
  changesDialog_->Show(*changes_);
  SetStatusText(Q(message));
}

}  // namespace tivolan
