#pragma once
// "Серийное программирование": the window's configuration into every panel
// plugged into the ports ticked, with the station of tivolan-cli station.
// The station runs on a thread of its own; its events come to the dialog's
// thread queued. Closing the dialog stops taking panels and waits for the
// exchanges in progress.
#include <QDialog>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/Settings.h"
#include "station/Station.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tivolan {

class StationDialog : public QDialog {
  Q_OBJECT

 public:
  // `job` holds the committed configuration, its file and SHA-256; `ports`
  // are the system's, offered ticked off.
  StationDialog(QWidget* parent, station::StationJob job, const std::vector<std::string>& ports,
                SettingsStore& settings);
  ~StationDialog() override;

  bool Running() const { return runner_.joinable(); }
  void done(int result) override;

 private:
  class Events;
  void Start();
  void Stop();
  void Finished();
  void ShowPort(const station::PortView& view);
  void ShowPanel(const station::JournalRow& row);
  int RowOf(const std::string& port);

  station::StationJob job_;
  SettingsStore& settings_;
  std::unique_ptr<Events> events_;
  station::StationControl control_;
  std::thread runner_;
  int programmed_ = 0, failed_ = 0;
  QListWidget* portList_;
  QLineEdit* portToAdd_;
  QLineEdit* journal_;
  QPushButton* start_;
  QPushButton* stop_;
  QTableWidget* table_;
  QLabel* counts_;
  QLabel* message_;
};

}  // namespace tivolan
