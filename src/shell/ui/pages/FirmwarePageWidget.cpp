#include "shell/ui/pages/FirmwarePageWidget.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tivolan {

FirmwarePageWidget::FirmwarePageWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PGUpdate"));
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

}  // namespace tivolan
