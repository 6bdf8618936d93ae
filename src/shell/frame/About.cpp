#include "shell/frame/About.h"

namespace tivolan {
namespace {
const std::string* Value(const std::map<std::string, std::string>& record, const char* key) {
  const auto it = record.find(key);
  return it == record.end() || it->second.empty() ? nullptr : &it->second;
}
}  // namespace

std::vector<AboutLine> AboutLines(const std::map<std::string, std::string>& record) {
  std::vector<AboutLine> lines;
  if (const auto* name = Value(record, "ProductName")) lines.push_back({*name, true});
  if (const auto* version = Value(record, "FileVersion")) lines.push_back({"Версия: " + version->substr(0, 5), false});
  if (const auto* company = Value(record, "CompanyName")) lines.push_back({"Компания: " + *company, false});
  if (const auto* author = Value(record, "Author")) lines.push_back({"Автор: " + *author, false});
  return lines;
}

}  // namespace tivolan
