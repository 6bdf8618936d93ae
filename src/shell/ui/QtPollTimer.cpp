#include "shell/ui/QtPollTimer.h"

#include <QThread>

namespace tivolan {

QtPollTimer::QtPollTimer(QObject* parent) : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (onTick_) onTick_();
  });
}

void QtPollTimer::RunOnOwnThread(std::function<void()> action) {
  if (QThread::currentThread() == thread())
    action();
  else
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void QtPollTimer::Start(unsigned periodMs, std::function<void()> onTick) {
  RunOnOwnThread([this, periodMs, onTick = std::move(onTick)]() mutable {
    onTick_ = std::move(onTick);
    timer_.start(static_cast<int>(periodMs));
  });
}

void QtPollTimer::Stop() {
  RunOnOwnThread([this] { timer_.stop(); });
}

}  // namespace tivolan
