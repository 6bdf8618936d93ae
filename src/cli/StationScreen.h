#pragma once
// What the station shows on standard error: on a terminal one line per port
// redrawn in place with the counts below; otherwise one line per event,
// each beginning with the port.
#include <map>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "station/Station.h"

namespace tivolan::cli {

class StationScreen final : public station::StationEvents {
 public:
  StationScreen(Streams& io, const std::vector<std::string>& ports, bool verify);

  void PortChanged(const station::PortView& view) override;
  void PanelEnded(const station::JournalRow& row) override;
  void JournalFailed(const std::string& why) override;
  // A line of its own, below the ports' lines.
  void Say(const std::string& line);

 private:
  void Redraw();

  Streams& io_;
  bool verify_;
  std::vector<std::string> ports_;
  std::map<std::string, std::string> states_;
  std::size_t width_ = 0;
  bool drawn_ = false;
  int programmed_ = 0, failed_ = 0;
};

}  // namespace tivolan::cli
