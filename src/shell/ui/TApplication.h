#pragma once
#include <QApplication>

namespace tivolan {

// The application object: loads the Russian Qt texts and is the default
// error display for exceptions nobody expected.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace tivolan
