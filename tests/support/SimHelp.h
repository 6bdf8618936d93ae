#pragma once
#include <set>
#include <sstream>
#include <string>

namespace tivolan::test {

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
