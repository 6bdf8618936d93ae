#pragma once
// The command line of tivolan-cli as a Unix user expects it: the help texts,
// and the words read as GNU tools read them ("--" ends the options, an
// option's value after it or after "=", "-" a file on standard input).
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tivolan::cli {

struct Options {
  std::string verb;
  std::vector<std::string> files;
  std::optional<std::string> port, output, type, backup, pdf, journal, backupDir;
  std::vector<std::string> ports;  // every --port, in order (station)
  bool yes = false;
  bool showChanges = false;  // write: the device compared first
  bool help = false;
  bool check = false;  // firmware: the file only
  bool showPasswords = false;
  bool names = false;  // ports: the names alone, nothing opened
  bool allPorts = false, once = false, verifyOnly = false;  // station
};

// The tool's help, and a command's (nullptr for no such command).
const char* ToolHelp();
const char* VerbHelp(const std::string& verb);

// Says what is wrong and how the command is used; returns kExitUsage.
int Usage(std::ostream& err, const std::string& message, const std::string& verb);

// Reads "verb [options] files"; on a usage error says so and returns its
// exit status.
std::optional<int> Parse(const std::vector<std::string>& args, Options& o, std::ostream& err);

}  // namespace tivolan::cli
