// TForm1's side of reading and writing a device: it starts the exchange and
// turns each report into status text, flash and controls.
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "configuration/OutsideValues.h"
#include "model/DeviceCatalogue.h"
#include "platform/Platform.h"
#include "platform/PortState.h"
#include "shell/ui/kit/PageSlot.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/UnitMain.h"

namespace tivolan {

void TForm1::ButtonReadClick() {
  if (CommitPendingEdits()) SendData(LinkMode::Read);
}

void TForm1::ButtonWriteClick() {
  if (!CommitPendingEdits() || !CommitForWrite()) return;
  // A device's value that no control offers is sent back only when asked for.
  const auto outside = ValuesOutsideControls(data_);
  if (!outside.empty() && !prompter_->AskYesNo(OutsideValuesQuestion(outside))) return;
  if (WriteNeedsConfirmation(data_, form_) && !prompter_->AskYesNo(NoDestinationQuestion())) return;
  SendData(LinkMode::Write);
}

// The commit step before a write; a configuration it refuses is not sent.
bool TForm1::CommitForWrite() {
  const auto refused = UpdateAllTXBuffers(data_, form_);
  SyncPages();
  if (refused) prompter_->Show(CancelledBy(*refused, CommitFor::Write));
  return !refused;
}

// Starts the worker; a write's commit step and question came before.
void TForm1::SendData(LinkMode mode) {
  // The port the box shows, whatever the driver was last given.
  const auto port = TakePortOfBox(dataModule_.cmprtdrvr1);
  if (!port) return;
  linkPort_ = *port;
  linkMode_ = mode;
  SetLinkControlsEnabled(false);
  link_.Start(mode, &gsmSteps_);
}

std::optional<std::string> TForm1::TakePortOfBox(TCommPortDriver& driver) {
  const std::string text = S(PortNameBox->currentText());
  const auto path = DriverPortName(text);
  if (!path) {
    ShowPortError(NotAPortText(text));
    return std::nullopt;
  }
  driver.SetPortName(*path);
  return text;
}

// The box keeps its text; why the port failed goes below it.
void TForm1::ShowPortError(const std::string& cause) {
  const StatusRow& row = RowOf(LinkStatus::StatusPortError);
  prompter_->Show(MessageBox{row.box->caption, row.box->text, BoxIcon::Error, cause});
  SetStatusText(Q(row.text));
  FlashStatusBar(FlashColour(row.flash), 3);
}

// The file commands go with the link controls: an open during a read would
// replace the buffers the worker is filling.
void TForm1::SetLinkControlsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{PortNameBox, ButtonWrite, ButtonRead, bxDeviceTypeList, PageMain,
                                                    pages_[kTabUpdate]})
    w->setEnabled(enabled);
  for (QAction* a : {FileOpen, FileSave, FileSaveAs, FileCompare}) a->setEnabled(enabled);
}

bool TForm1::ShowLinkStatus(LinkStatus code, uint8_t deviceVersion) {
  if (code == LinkStatus::StatusPortError) {
    const auto path = DriverPortName(linkPort_);
    ShowPortError(linkPort_ + ": " + DescribePortState(DiagnosePort(path.value_or(linkPort_))));
    return false;
  }
  SetStatusText(Q(StatusMessage(code, deviceVersion)));
  return true;
}

void TForm1::LinkStatusMessage(LinkStatus code, int param) {
  const StatusRow& row = RowOf(code);
  if (!ShowLinkStatus(code, data_.DeviceVersion)) return;
  if (code == LinkStatus::StatusReadDone) ShowDeviceRead(param);
  if (row.flash != Flash::None) FlashStatusBar(FlashColour(row.flash), 3);
  if (row.final && code != LinkStatus::StatusWriteDone && linkMode_ == LinkMode::Write) ShowUnfinishedWrite(link_);
}

void TForm1::ShowUnfinishedWrite(const ExchangeOperation& operation) {
  const std::vector<int> sent = operation.BlocksSent();
  if (!sent.empty()) prompter_->Show(MessageBox{"Тиволан", UnfinishedWriteText(sent), BoxIcon::Warning});
}

// The pages follow the device read; no defaults are loaded.
void TForm1::ShowDeviceRead(int type) {
  if (tivolan::ShowDeviceRead(data_, form_, type, *prompter_)) {
    const QSignalBlocker block(bxDeviceTypeList);
    bxDeviceTypeList->setCurrentIndex(ListIndexOfDeviceType(type));
  }
  SyncFromState();
}

void TForm1::SetStatusText(const QString& text) {
  statusLabel_->setText(text);
  // A label does not announce a new text itself; a screen reader would stay
  // silent about the outcome of a read or a write.
  QAccessibleEvent changed(statusLabel_, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
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

bool TForm1::WorkerRunning() { return link_.Running() || compareLink_.Running(); }

}  // namespace tivolan
