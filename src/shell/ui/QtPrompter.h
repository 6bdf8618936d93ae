#pragma once
#include <QWidget>

#include "model/Prompter.h"

namespace tivolan {

// Message boxes as modal dialogs, buttons in Russian whatever the Qt
// translations on the machine.
class QtPrompter final : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}
  void Show(const MessageBox& box) override;
  bool AskYesNo(const MessageBox& box) override;

 private:
  QWidget* parent_;
};

// The application's default error display: the message of an exception that
// nobody expected, after which the program goes on.
void ShowDefaultError(QWidget* parent, const char* message);

}  // namespace tivolan
