#pragma once
// "Что изменится при записи": shows a ChangesState. It stays open beside the
// window (not modal), so that the pages can be looked at; "Записать эти
// изменения" only asks the window to write, which decides.
#include <QDialog>

#include "configuration/ChangesState.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tivolan {

class ChangesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ChangesDialog(QWidget* parent);
  void Show(const ChangesState& state);
  // While the device is read again and written, nothing more is offered.
  void SetBusy(bool busy);

 signals:
  void writeRequested();

 private:
  QLabel* heading_ = nullptr;
  QTreeWidget* changes_ = nullptr;
  QLabel* message_ = nullptr;
  QPushButton* btnWrite_ = nullptr;
  bool canWrite_ = false;
};

}  // namespace tivolan
