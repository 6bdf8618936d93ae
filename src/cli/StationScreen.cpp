#include "cli/StationScreen.h"

#include <ostream>

#include "cli/TerminalText.h"
#include "model/CodePage.h"

namespace tivolan::cli {

StationScreen::StationScreen(Streams& io, const std::vector<std::string>& ports, bool verify)
    : io_(io), verify_(verify) {
  for (const auto& port : ports) {
    ports_.push_back(Escaped(port));
    width_ = std::max(width_, Utf8Length(ports_.back()));
  }
}

void StationScreen::PortChanged(const station::PortView& view) {
  const std::string port = Escaped(view.port);
  const std::string text = station::PhaseText(view);
  if (states_[port] == text) return;
  states_[port] = text;
  if (io_.progressInPlace)
    Redraw();
  else
    io_.err << port << ": " << text << std::endl;
}

void StationScreen::PanelEnded(const station::JournalRow& row) {
  (row.statusCode == 0 ? programmed_ : failed_)++;
  if (io_.progressInPlace)
    Redraw();
  else
    io_.err << Escaped(row.port) << ": " << station::CountsText(programmed_, failed_, verify_) << std::endl;
}

void StationScreen::JournalFailed(const std::string& why) {
  Say("tivolan-cli: журнал не записан: " + why + "; новые приборы не принимаются");
}

void StationScreen::Say(const std::string& line) {
  io_.err << line << std::endl;
  drawn_ = false;  // the next drawing starts below it
}

void StationScreen::Redraw() {
  // Up to the first port's line, then each line cleared and written anew.
  if (drawn_) io_.err << "\x1b[" << ports_.size() + 1 << "A";
  for (const auto& port : ports_) io_.err << "\r\x1b[K" << PaddedTo(port, width_ + 2) << states_[port] << "\n";
  io_.err << "\r\x1b[K" << station::CountsText(programmed_, failed_, verify_) << std::endl;
  drawn_ = true;
}

}  // namespace tivolan::cli
