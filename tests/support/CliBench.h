#pragma once
// tivolan-cli run as a user runs it, in a folder of the test's own, against
// simulators started for the test and stopped after it.
#include <string>
#include <vector>

#include "files/FileIO.h"
#include "support/Processes.h"
#include "support/TempDir.h"

namespace tivolan::test {

class CliBench : protected TempDir {
 protected:
  explicit CliBench(const std::string& prefix) : TempDir(prefix) {}
  ~CliBench() {
    for (pid_t pid : sims) StopProcess(pid);
  }
  // A simulator with `args`; its port.
  std::string Sim(const std::string& args) {
    std::string port;
    sims.push_back(StartSim(args, port));
    return port;
  }
  // The tool run in the test's folder by `sh -c shell`, "$0" "$@" being it and `args`.
  RunResult Tool(const std::vector<std::string>& args, const std::string& shell = "exec \"$0\" \"$@\"") {
    std::vector<std::string> words{"-c", "cd '" + dir.string() + "' && " + shell, TIVOLAN_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    return RunProgram("/bin/sh", words);
  }
  std::string Text(const char* name) const { return ReadWholeFile(Path(name), 1 << 20); }

  std::vector<pid_t> sims;
};

}  // namespace tivolan::test
