#pragma once
// The verbs of tivolan-cli. Each returns the process's exit status.
#include <iosfwd>
#include <string>
#include <vector>

namespace tivolan::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDiffer = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitBadFile = 3;
inline constexpr int kExitSaveFailed = 4;
inline constexpr int kExitRefused = 5;
inline constexpr int kExitInterrupted = 130;  // as a shell reports SIGINT

struct Streams {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool interactive;  // standard input is a terminal
  bool progressInPlace = false;  // standard error is a terminal: progress is redrawn in place
};

int Run(const std::vector<std::string>& args, Streams io);

// "Причина: <port> <why it cannot be opened>".
std::string PortCauseLine(const std::string& path);

// A box's lines ("\r\n" apart) as one line of the terminal.
std::string OneLine(const std::string& text);

}  // namespace tivolan::cli
