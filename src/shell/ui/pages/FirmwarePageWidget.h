#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tivolan {

// The "Прошивка" page: the instruction, the chosen file, its two buttons
// and the progress bar shown only during a transfer. TForm1 runs the
// buttons.
class FirmwarePageWidget : public QWidget {
 public:
  explicit FirmwarePageWidget(QWidget* parent);

  QLabel* lblInstruction = nullptr;
  QLineEdit* edtUpdFileName = nullptr;
  QPushButton* btnUpdFile = nullptr;
  QPushButton* btnUpdProgress = nullptr;
  QProgressBar* pbUpdate = nullptr;
};

}  // namespace tivolan
