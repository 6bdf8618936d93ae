#pragma once
// The lines of the about box, from the program's version record.
#include <map>
#include <string>
#include <vector>

namespace tivolan {

struct AboutLine {
  std::string text;
  bool title;  // the product name: bold, navy
};

// Product name, "Версия: " with the first five characters of the file
// version, "Компания: ", "Автор: " — each only when present and not empty.
std::vector<AboutLine> AboutLines(const std::map<std::string, std::string>& record);

}  // namespace tivolan
