// TForm1's "Серийное программирование...": the window's configuration,
// committed and asked about as for a write, into many panels at once.
#include "configuration/FileCommands.h"
#include "configuration/OutsideValues.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/dialogs/StationDialog.h"
#include "station/Sha256.h"

namespace tivolan {

void TForm1::FileStationClick() {
  if (!CommitPendingEdits() || !CommitForWrite()) return;
  const auto outside = ValuesOutsideControls(data_);
  if (!outside.empty() && !prompter_->AskYesNo(OutsideValuesQuestion(outside))) return;
  if (WriteNeedsConfirmation(data_, form_) && !prompter_->AskYesNo(NoDestinationQuestion())) return;
  station::StationJob job;
  job.image = data_;
  job.file = currentFileName_;
  try {
    // The configuration as "Сохранить" would write it: the journal names it
    // whether or not a file holds it.
    job.fileSha256 = Sha256Hex(CommittedConfiguration(data_, form_, CommitFor::Save).document.SaveToString());
  } catch (const std::exception& e) {
    ShowError(e);
    return;
  }
  auto* dialog = new StationDialog(this, std::move(job), buildPortList_(), settings_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  // The window's own exchanges wait while the station holds the ports.
  SetLinkControlsEnabled(false);
  connect(dialog, &QDialog::finished, this, [this] { SetLinkControlsEnabled(true); });
  dialog->open();
}

}  // namespace tivolan
