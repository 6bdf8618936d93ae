#pragma once
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/CPDrv.h"
#include "link/Firmware.h"
#include "link/LinkStatus.h"
#include "model/Prompter.h"
#include "shell/ui/dialogs/FileDialogs.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tivolan {

class QtPollTimer;

// What the firmware page asks of the window around it.
struct FirmwareHost {
  std::function<Prompter&()> prompts;
  FileChooser chooseFile;
  std::function<std::string()> folder;  // where the file dialog starts
  // Points the port at the one the window's port box shows; nullopt, after
  // the window showed the port error, when its text names no port.
  std::function<std::optional<std::string>(TCommPortDriver& port)> takePort;
  std::function<void(const std::string& cause)> showPortError;
  // The window's controls that could start a second exchange on the port.
  std::function<void(bool enabled)> setPortControlsEnabled;
  // The status bar: what the transfer is doing or how it ended.
  std::function<void(const std::string& text, Flash flash)> showStatus;
};

// The "Прошивка" page: the instruction, the chosen file, its two buttons,
// the progress bar shown only during a transfer, and the transfer itself to
// the boot loader, run on the window's own thread.
class FirmwarePageWidget : public QWidget {
 public:
  FirmwarePageWidget(QWidget* parent, FirmwareHost host);
  ~FirmwarePageWidget() override;
  bool Running() const;
  void Cancel();
  TCommPortDriver& UpdatePort() { return cmprtdrvrUpdate; }

 private:
  void Build();
  void btnUpdFileClick();
  void btnUpdClick();
  void FirmwareEnded(FirmwareResult result);
  void SetControlsEnabled(bool enabled);

  FirmwareHost host_;
  QLabel* lblInstruction = nullptr;
  QLineEdit* edtUpdFileName = nullptr;
  QPushButton* btnUpdFile = nullptr;
  QPushButton* btnUpdProgress = nullptr;
  QProgressBar* pbUpdate = nullptr;
  QtPollTimer* updatePollTimer_ = nullptr;
  TCommPortDriver cmprtdrvrUpdate;
  QtPollTimer* tmrUpdOff_ = nullptr;
  std::unique_ptr<FirmwareTransfer> update_;
};

}  // namespace tivolan
