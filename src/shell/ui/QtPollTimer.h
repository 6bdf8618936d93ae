#pragma once
#include <QObject>
#include <QTimer>
#include <functional>

#include "link/PollTimer.h"

namespace tivolan {

// A port's receive poll on a QTimer of the GUI thread. Start and Stop from
// another thread (the programming worker opens and closes the port) are
// queued to the GUI thread in call order.
class QtPollTimer final : public QObject, public PollTimer {
 public:
  explicit QtPollTimer(QObject* parent = nullptr);
  void Start(unsigned periodMs, std::function<void()> onTick) override;
  void Stop() override;

 private:
  void RunOnOwnThread(std::function<void()> action);
  QTimer timer_;
  std::function<void()> onTick_;
};

}  // namespace tivolan
