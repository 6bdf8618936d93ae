// tivolan-cli: read, write, show, compare and create configurations
// without a window.
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/Output.h"

namespace {

#ifdef _WIN32
// argv is in the ANSI code page, which loses a Cyrillic file name on a
// Western system; the program's texts and paths are UTF-8 throughout.
std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
    args.push_back(arg);
  }
  LocalFree(wide);
  return args;
}

// _isatty is true for NUL and every other character device; only a console
// has a console mode.
bool IsTerminal(DWORD which) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

// A console shows and reads the UTF-8 texts as they are, and takes the
// terminal sequences that redraw the station's lines in place; its code
// pages and modes are given back at the end, since they belong to the
// console, not the program.
class Utf8Console {
 public:
  Utf8Console() : input_(GetConsoleCP()), output_(GetConsoleOutputCP()) {
    if (input_ != 0) SetConsoleCP(CP_UTF8);
    if (output_ != 0) SetConsoleOutputCP(CP_UTF8);
    if (GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &errorMode_))
      SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), errorMode_ | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  }
  ~Utf8Console() {
    if (input_ != 0) SetConsoleCP(input_);
    if (output_ != 0) SetConsoleOutputCP(output_);
    if (errorMode_ != 0) SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), errorMode_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  const UINT input_;
  const UINT output_;
  DWORD errorMode_ = 0;
};
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  const Utf8Console console;
  const std::vector<std::string> args = Arguments(argc, argv);
  const bool interactive = IsTerminal(STD_INPUT_HANDLE);
  const bool errorOnTerminal = IsTerminal(STD_ERROR_HANDLE);
#else
  // A reader that closed its end of an output (`2>&1 | head -1`) must not
  // end the program halfway through a write to a device: the failed write
  // is counted instead, and the exit status says so.
  std::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool interactive = isatty(0) != 0;
  const bool errorOnTerminal = isatty(2) != 0;
#endif
  // Through stdout as std::cout would write, keeping why a write failed.
  tivolan::cli::CheckedOutput standardOutput(stdout);
  std::ostream out(&standardOutput);
  // Run flushes it, before the console's code page is given back.
  return tivolan::cli::Run(args, {out, std::cerr, std::cin, interactive, errorOnTerminal});
}
