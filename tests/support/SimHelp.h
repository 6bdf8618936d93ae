#pragma once
// What tests of tivolan-sim and of the programs run against it share.
#include <set>
#include <sstream>
#include <string>

namespace tivolan::test {

// tivolan-sim's arguments for a type-1 panel with GSM in use: device number
// 4660, destination 1 a CSD phone, APN "internet" on SIM 1, one SMS.
inline constexpr const char* kGsmPanelArgs =
    "--type 1 --image 78171E1E68140000681400006814000048100000500F0000580400005804000000000200331"
    "0C00210 --block 2=123401010D492B373930333132333435363700000000 "
    "--block 3=0B696E7465726E657400000000 --block 4=02039730214365F7FFFF00";

// The words of tivolan-sim's help text's fault list: from "--fault NAME" to
// the next option.
inline std::set<std::string> FaultListInHelp(const std::string& help) {
  const auto from = help.find("--fault NAME");
  if (from == std::string::npos) return {};
  const auto to = help.find("\n  --", from);
  std::istringstream words(help.substr(from, to - from));
  std::set<std::string> out;
  for (std::string w; words >> w;) out.insert(w);
  return out;
}

}  // namespace tivolan::test
