#include "shell/ui/QtPrompter.h"

#include <QPushButton>
#include <QMessageBox>

#include "shell/ui/kit/QtText.h"

namespace tivolan {
namespace {

QMessageBox::Icon ToQt(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Error: return QMessageBox::Critical;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

void Prepare(QMessageBox& dialog, const MessageBox& box) {
  dialog.setIcon(ToQt(box.icon));
  dialog.setWindowTitle(Q(box.caption));
  dialog.setText(Q(box.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  if (!box.detail.empty()) dialog.setInformativeText(Q(box.detail));
  dialog.setObjectName(QStringLiteral("MessageBox"));
}

}  // namespace

void QtPrompter::Show(const MessageBox& box) {
  QMessageBox dialog(parent_);
  Prepare(dialog, box);
  dialog.addButton(QStringLiteral("ОК"), QMessageBox::AcceptRole);
  dialog.exec();
}

bool QtPrompter::AskYesNo(const MessageBox& box) {
  QMessageBox dialog(parent_);
  Prepare(dialog, box);
  QPushButton* yes = dialog.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
  QPushButton* no = dialog.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
  dialog.setDefaultButton(yes);
  dialog.setEscapeButton(no);
  dialog.exec();
  return dialog.clickedButton() == yes;
}

void ShowDefaultError(QWidget* parent, const char* message) {
  QtPrompter(parent).Show(MessageBox{"Тиволан", message, BoxIcon::Error});
}

}  // namespace tivolan
