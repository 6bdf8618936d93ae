// TForm1's "Прошивка" page: the firmware file and its transfer to the boot
// loader, on the window's own thread.
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "configuration/FileCommands.h"
#include "files/FirmwareFile.h"
#include "platform/Platform.h"
#include "platform/PortState.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/pages/FirmwarePageWidget.h"

namespace tivolan {

void TForm1::btnUpdFileClick() {
  // The folder of the configuration files; it is not stored back.
  const auto path = chooseFile_(FileDialogKind::Firmware, ReadSetting(settings_, kSettingFilePath, CurrentFolder()));
  if (path) firmwarePage->edtUpdFileName->setText(Q(*path));
}

void TForm1::btnUpdClick() {
  const std::string file = S(firmwarePage->edtUpdFileName->text());
  if (file.empty()) {
    prompter_->Show(ChooseFirmwareFileBox());
    return;
  }
  // The whole file is checked before the port is opened.
  FirmwareFile firmware = LoadFirmwareFile(file);
  if (!firmware.image) {
    MessageBox box = firmware.error.box;
    box.detail = firmware.error.detail;
    prompter_->Show(box);
    return;
  }
  if (!TakePortOfBox(cmprtdrvrUpdate)) return;
  const std::string port = S(PortNameBox->currentText());
  SetFirmwareControlsEnabled(false);
  QProgressBar* bar = firmwarePage->pbUpdate;
  const bool started = update_->Start(
                                   std::move(*firmware.image),
                                   [bar](const FirmwareProgress& p) {
                                     bar->setValue(p.percent);
                                     bar->show();
                                   },
                                   [this](FirmwareResult result) { FirmwareEnded(result); });
  if (!started) {
    ShowPortError(port + ": " + DescribePortState(DiagnosePort(cmprtdrvrUpdate.PortName())));
    SetFirmwareControlsEnabled(true);
  }
}

void TForm1::FirmwareEnded(FirmwareResult result) {
  firmwarePage->pbUpdate->hide();
  SetFirmwareControlsEnabled(true);
  if (const auto box = FirmwareResultBox(result)) prompter_->Show(*box);
}

// What could start a second exchange on the port waits for the transfer.
void TForm1::SetFirmwareControlsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{PortNameBox, ButtonRead, ButtonWrite, firmwarePage->btnUpdFile,
                                                    firmwarePage->btnUpdProgress})
    w->setEnabled(enabled);
}

bool TForm1::FirmwareRunning() const { return update_->Running(); }

}  // namespace tivolan
