#include "shell/ui/dialogs/ChangesDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/ui/kit/QtText.h"

namespace tivolan {

ChangesDialog::ChangesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ChangesDialog"));
  setWindowTitle(Q(kChangesTitle));
  auto* layout = new QVBoxLayout(this);
  heading_ = new QLabel(this);
  heading_->setObjectName(QStringLiteral("lblHeading"));
  heading_->setWordWrap(true);
  changes_ = new QTreeWidget(this);
  changes_->setObjectName(QStringLiteral("ChangesList"));
  changes_->setHeaderHidden(true);
  changes_->setRootIsDecorated(false);
  changes_->setAccessibleName(Q(kChangesTitle));
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("lblMessage"));
  message_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(this);
  btnWrite_ = buttons->addButton(QStringLiteral("Записать эти изменения"), QDialogButtonBox::AcceptRole);
  btnWrite_->setObjectName(QStringLiteral("btnWriteChanges"));
  QPushButton* close = buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("btnClose"));
  // The dialog stays open after a write: what it says of the write is read there.
  connect(btnWrite_, &QPushButton::clicked, this, &ChangesDialog::writeRequested);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  // The texts keep their height; the list, or without one the room below
  // the texts, takes the rest.
  for (QLabel* label : {heading_, message_}) label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  layout->addWidget(heading_);
  layout->addWidget(changes_, 1);
  layout->addWidget(message_);
  layout->addStretch(0);
  layout->addWidget(buttons);
  resize(560, 400);
}

void ChangesDialog::Show(const ChangesState& state) {
  heading_->setText(Q(state.heading));
  changes_->clear();
  for (const auto& group : state.groups) {
    auto* page = new QTreeWidgetItem(changes_, {Q(group.page)});
    QFont bold = page->font(0);
    bold.setBold(true);
    page->setFont(0, bold);
    for (const auto& line : group.lines) new QTreeWidgetItem(page, {Q(line)});
  }
  changes_->expandAll();
  changes_->setVisible(!state.groups.empty());
  message_->setText(Q(state.message));
  message_->setVisible(!state.message.empty());
  canWrite_ = state.canWrite;
  btnWrite_->setEnabled(canWrite_);
  show();
  raise();
  activateWindow();
}

void ChangesDialog::SetBusy(bool busy) { btnWrite_->setEnabled(canWrite_ && !busy); }

}  // namespace tivolan
