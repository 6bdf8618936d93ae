// TForm1's side of reading and writing a device.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "link/LinkStatus.h"
#include "shell/ui/QtText.h"
#include "shell/ui/UnitMain.h"

namespace tivolan {

namespace {
constexpr int kWorkerExitWaitMs = 3000;
constexpr int kWorkerRetryMs = 10;
}

void TForm1::ButtonReadClick() { SendData(LinkMode::Read); }

void TForm1::ButtonWriteClick() {
  CommitPendingEdits();
  UpdateAllTXBuffers(data_, form_);
  SyncPages();
  if (WriteNeedsConfirmation(data_, form_) && !prompter_->AskYesNo(NoDestinationQuestion())) return;
  SendData(LinkMode::Write);
}

void TForm1::SendData(LinkMode mode) {
  SetLinkControlsEnabled(false);
  if (mode == LinkMode::Write) UpdateAllTXBuffers(data_, form_);
  StartWorkerWhenIdle(mode);
}

// The last worker reports its final code before it closes the port; a click
// in between must not open the port that worker is about to close, so the
// new one starts once the last one has ended.
void TForm1::StartWorkerWhenIdle(LinkMode mode) {
  if (closing_) return;
  if (worker_ && !worker_->Finished()) {
    QTimer::singleShot(kWorkerRetryMs, this, [this, mode] { StartWorkerWhenIdle(mode); });
    return;
  }
  worker_ = TThreadBuff::Start(ExchangeContext{dataModule_, data_, *reportChannel_, nullptr}, mode);
}

void TForm1::SetLinkControlsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{PortNameBox, ButtonWrite, ButtonRead, bxDeviceTypeList, PageMain,
                                                    pages[kTabUpdate]})
    w->setEnabled(enabled);
}

void TForm1::EnableLinkControls() { SetLinkControlsEnabled(true); }

void TForm1::LinkStatusMessage(int code, int param) {
  code &= 0x7F;
  const char* text = tivolan::StatusText(code);
  if (!text) return;
  const StatusAction action = ActionFor(code);
  if (action.portErrorBox)
    prompter_->Show(MessageBox{"Ошибка открытия порта",
                               "Невозможно открыть последовательный порт.\r\nВыберите другой порт и попробуйте снова",
                               BoxIcon::Error});
  QString status = Q(text);
  if (code == StatusReadDone) status += QString::number(data_.DeviceVersion);
  SetStatusText(status);
  if (action.showRead) {
    if (ShowReportedDevice(data_, form_, param, *prompter_)) {
      const QSignalBlocker block(bxDeviceTypeList);
      bxDeviceTypeList->setCurrentIndex(param - 1);
    }
    SyncFromState();
  }
  if (action.flash != Flash::None) FlashStatusBar(action.flash == Flash::Green ? kFlashGreen : kFlashRed, 3);
  if (action.enableControls) EnableLinkControls();
}

void TForm1::SetStatusText(const QString& text) {
  statusLabel_->setText(text);
  emit statusTextChanged(text);
}

QString TForm1::StatusText() const { return statusLabel_->text(); }

void TForm1::PaintStatus(uint32_t rgb) {
  QPalette palette = StatusBar->palette();
  const QColor colour(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
  palette.setColor(QPalette::Window, colour);
  StatusBar->setPalette(palette);
  emit statusColourChanged(colour);
}

void TForm1::FlashStatusBar(uint32_t colour, int count) {
  const QColor current = StatusBar->palette().color(QPalette::Window);
  const uint32_t rgb = static_cast<uint32_t>(current.rgb()) & 0xFFFFFF;
  PaintStatus(flash_.Start(rgb, colour, count));
  IndTimer->start();
}

void TForm1::IndTimerTimer() {
  PaintStatus(flash_.Tick());
  if (!flash_.Running()) IndTimer->stop();
}

bool TForm1::WorkerRunning() { return worker_ && !worker_->Finished(); }

// Closing while a read or write runs: the worker's reports are no longer
// shown and it gives up at its next step; it closes the port as it ends.
void TForm1::StopWorker() {
  closing_ = true;
  if (!WorkerRunning()) return;
  reportChannel_->Close();
  worker_->RequestAbort();
  worker_->WaitFinished(kWorkerExitWaitMs);
}

}  // namespace tivolan
