#pragma once
// The verbs of tivolan-cli. Each returns the process's exit status.
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "configuration/Configuration.h"

namespace tivolan::cli {

struct Streams {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool interactive;  // standard input is a terminal
  bool progressInPlace = false;  // standard error is a terminal: progress is redrawn in place
};

int Run(const std::vector<std::string>& args, Streams io);

// "Причина: <port> <why it cannot be opened>", escaped for the terminal.
std::string PortCauseLine(const std::string& path);

// The lines of a port that cannot be opened: the window's box without its
// advice to pick another port in the box, the status text, the cause and
// what to do on the command line instead.
std::string PortErrorText(const std::string& path);

// Opens a configuration file (or "-", standard input) as "Открыть..." does
// in a program just started; a refusal is said on standard error.
bool OpenConfigurationFile(const std::string& path, SharedData& data, FormState& form, Streams& io);

// A box's lines ("\r\n" apart) as one line of the terminal.
std::string OneLine(const std::string& text);

}  // namespace tivolan::cli
