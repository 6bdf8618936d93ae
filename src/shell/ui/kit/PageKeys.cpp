#include "shell/ui/kit/PageKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>

namespace tivolan {
namespace {

// +1 for the next page, -1 for the one before, 0 for any other key.
int StepOf(const QKeyEvent& key) {
  if (!(key.modifiers() & Qt::ControlModifier) || (key.modifiers() & Qt::AltModifier)) return 0;
  const bool shift = key.modifiers() & Qt::ShiftModifier;
  switch (key.key()) {
    case Qt::Key_Tab: return shift ? -1 : 1;
    case Qt::Key_Backtab: return -1;  // Shift+Tab as X11 and Windows send it
    case Qt::Key_PageDown: return shift ? 0 : 1;
    case Qt::Key_PageUp: return shift ? 0 : -1;
    default: return 0;
  }
}

// Seen before the focused control sees the key.
class PageKeyFilter final : public QObject {
 public:
  explicit PageKeyFilter(QTabWidget* tabs) : QObject(tabs), tabs_(tabs) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != tabs_->window() || !tabs_->isEnabled()) return false;
    const int step = StepOf(static_cast<const QKeyEvent&>(*event));
    if (step == 0) return false;
    const int count = tabs_->count();
    for (int i = 1; i < count; ++i) {
      const int page = ((tabs_->currentIndex() + step * i) % count + count) % count;
      if (tabs_->isTabVisible(page) && tabs_->isTabEnabled(page)) {
        tabs_->setCurrentIndex(page);
        break;
      }
    }
    return true;
  }

 private:
  QTabWidget* tabs_;
};

}  // namespace

void StepPagesByKeys(QTabWidget* tabs) { qApp->installEventFilter(new PageKeyFilter(tabs)); }

}  // namespace tivolan
