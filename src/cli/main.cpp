// tivolan-cli: read, write, show, compare and create configurations
// without a window.
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

#include <iostream>

#include "cli/CliCommands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return tivolan::cli::Run(args, {std::cout, std::cerr, std::cin, isatty(0) != 0, isatty(2) != 0});
}
