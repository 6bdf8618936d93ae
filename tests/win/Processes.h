#pragma once
// Running the project's Windows programs from the Windows suite.
#include <string>
#include <vector>

namespace tivolan::test {

struct WinRunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// A program built beside core_tests.exe ("tivolan-cli.exe"), as a UTF-8 path.
std::string ProgramBeside(const std::string& name);

// Runs `program` with `args` (UTF-8, quoted as the C runtime splits them),
// standard input from NUL, and collects both outputs as bytes. With
// `outputClosed` its standard output is a pipe nobody reads any more, as
// after `| head -0`.
WinRunResult RunWindowsProgram(const std::string& program, const std::vector<std::string>& args,
                               bool outputClosed = false);

// UTF-8 <-> UTF-16 at the Win32 API.
std::wstring WideOf(const std::string& utf8);
std::string Utf8Of(const std::wstring& wide);

}  // namespace tivolan::test
