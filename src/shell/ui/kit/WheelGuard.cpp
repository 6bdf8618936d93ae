#include "shell/ui/kit/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QWidget>

namespace tivolan {
namespace {

class WheelFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && !widget->hasFocus();
  }
};

void Guard(QWidget* widget, QObject* filter) {
  widget->setFocusPolicy(Qt::StrongFocus);
  widget->installEventFilter(filter);
}

}  // namespace

void GuardWheel(QWidget* root) {
  auto* filter = new WheelFilter(root);
  for (QComboBox* box : root->findChildren<QComboBox*>()) Guard(box, filter);
  for (QAbstractSpinBox* box : root->findChildren<QAbstractSpinBox*>()) Guard(box, filter);
}

}  // namespace tivolan
