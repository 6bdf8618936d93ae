#include "shell/ui/kit/PageSlot.h"

#include <QVBoxLayout>

namespace tivolan {

PageSlot::PageSlot(QWidget* parent, Builder build) : QWidget(parent), build_(std::move(build)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
}

QWidget* PageSlot::Page() {
  if (!page_) {
    page_ = build_(this);
    layout()->addWidget(page_);
  }
  return page_;
}

void PageSlot::showEvent(QShowEvent* event) {
  Page();
  QWidget::showEvent(event);
}

}  // namespace tivolan
