#include "shell/ui/pages/FirmwarePageWidget.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/FirmwareFile.h"
#include "link/UnitData.h"
#include "platform/PortState.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/kit/QtText.h"

namespace tivolan {

FirmwarePageWidget::FirmwarePageWidget(QWidget* parent, FirmwareHost host)
    : QWidget(parent),
      host_(std::move(host)),
      updatePollTimer_(new QtPollTimer(this)),
      cmprtdrvrUpdate(MakeUpdatePort(CreateSystemSerialDevice(), updatePollTimer_)),
      tmrUpdOff_(new QtPollTimer(this)) {
  setObjectName(QStringLiteral("PGUpdate"));
  update_ = std::make_unique<FirmwareTransfer>(cmprtdrvrUpdate, *tmrUpdOff_);
  Build();
  connect(btnUpdFile, &QPushButton::clicked, this, &FirmwarePageWidget::btnUpdFileClick);
  connect(btnUpdProgress, &QPushButton::clicked, this, &FirmwarePageWidget::btnUpdClick);
}

FirmwarePageWidget::~FirmwarePageWidget() { update_->Cancel(); }

void FirmwarePageWidget::Build() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(14, 14, 14, 14);
  column->setSpacing(10);
  // The text as it stands, blanks included; Qt wants plain line ends.
  lblInstruction = new QLabel(QStringLiteral("Для обновления прошивки:\r\n   - установите джампер J1, \r\n"
                                             "   - включите питание прибора\r\n")
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                              this);
  lblInstruction->setObjectName(QStringLiteral("lblInstruction"));
  lblInstruction->setTextFormat(Qt::PlainText);
  edtUpdFileName = new QLineEdit(this);
  edtUpdFileName->setObjectName(QStringLiteral("edtUpdFileName"));
  edtUpdFileName->setReadOnly(true);
  edtUpdFileName->setAccessibleName(QStringLiteral("Файл прошивки"));
  btnUpdFile = new QPushButton(QStringLiteral("Выбрать файл"), this);
  btnUpdFile->setObjectName(QStringLiteral("btnUpdFile"));
  btnUpdProgress = new QPushButton(QStringLiteral("Обновить прошивку"), this);
  btnUpdProgress->setObjectName(QStringLiteral("btnUpdProgress"));
  for (QPushButton* b : {btnUpdFile, btnUpdProgress}) b->setAccessibleName(b->text());
  pbUpdate = new QProgressBar(this);
  pbUpdate->setObjectName(QStringLiteral("pbUpdate"));
  pbUpdate->setAccessibleName(QStringLiteral("Ход обновления прошивки"));
  pbUpdate->setRange(0, 100);
  pbUpdate->hide();
  auto* file = new QGridLayout;
  file->addWidget(edtUpdFileName, 0, 0);
  file->addWidget(btnUpdFile, 0, 1);
  file->addWidget(btnUpdProgress, 1, 1);
  file->setColumnStretch(0, 1);
  column->addWidget(lblInstruction);
  column->addLayout(file);
  column->addWidget(pbUpdate);
  column->addStretch();
}

bool FirmwarePageWidget::Running() const { return update_->Running(); }

void FirmwarePageWidget::Cancel() { update_->Cancel(); }

void FirmwarePageWidget::btnUpdFileClick() {
  // The folder of the configuration files; it is not stored back.
  const auto path = host_.chooseFile(FileDialogKind::Firmware, host_.folder());
  if (path) edtUpdFileName->setText(Q(*path));
}

void FirmwarePageWidget::btnUpdClick() {
  const std::string file = S(edtUpdFileName->text());
  if (file.empty()) {
    host_.prompts().Show(ChooseFirmwareFileBox());
    return;
  }
  // The whole file is checked before the port is opened.
  FirmwareFile firmware = LoadFirmwareFile(file);
  if (!firmware.image) {
    MessageBox box = firmware.error.box;
    box.detail = firmware.error.detail;
    host_.prompts().Show(box);
    return;
  }
  const auto port = host_.takePort(cmprtdrvrUpdate);
  if (!port) return;
  SetControlsEnabled(false);
  QProgressBar* bar = pbUpdate;
  const bool started = update_->Start(
      std::move(*firmware.image),
      [bar](const FirmwareProgress& p) {
        bar->setValue(p.percent);
        bar->show();
      },
      [this](FirmwareResult result) { FirmwareEnded(result); });
  if (!started) {
    host_.showPortError(*port + ": " + DescribePortState(DiagnosePort(cmprtdrvrUpdate.PortName())));
    SetControlsEnabled(true);
    return;
  }
  host_.showStatus("Обновление прошивки", Flash::None);
}

// The outcome goes to the status bar as well, so that it never keeps an
// earlier exchange's words ("Ошибка порта" after an update that succeeded).
void FirmwarePageWidget::FirmwareEnded(FirmwareResult result) {
  pbUpdate->hide();
  SetControlsEnabled(true);
  const auto box = FirmwareResultBox(result);
  if (!box) return;
  host_.showStatus(box->text, result == FirmwareResult::Updated ? Flash::Green : Flash::Red);
  host_.prompts().Show(*box);
}

// What could start a second exchange on the port waits for the transfer.
void FirmwarePageWidget::SetControlsEnabled(bool enabled) {
  host_.setPortControlsEnabled(enabled);
  btnUpdFile->setEnabled(enabled);
  btnUpdProgress->setEnabled(enabled);
}

}  // namespace tivolan
