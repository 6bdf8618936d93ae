#include "files/FileProblems.h"

#include <filesystem>
#include <fstream>
#include <regex>

#include "files/FileIO.h"

namespace tivolan {

namespace fs = std::filesystem;

std::string ReadProblem(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  const fs::path file = PathFromUtf8(path);
  const fs::file_status status = fs::status(file, ec);
  if (status.type() == fs::file_type::not_found) return "файла нет";
  if (status.type() == fs::file_type::none) return "файл недоступен: " + ec.message();
  if (fs::is_directory(status)) return "это папка, а не файл";
  if (!fs::is_regular_file(status)) return "это не обычный файл (устройство, канал или сокет)";
  if (fs::file_size(file, ec) > maxBytes) return "файл слишком велик для файла конфигурации";
  if (!std::ifstream(file, std::ios::binary)) return "нет прав на чтение файла";
  return {};
}

std::string XmlProblem(const std::string& readerMessage) {
  static const std::regex kWhere(R"((.*) at line (\d+) \(pos (\d+)\))");
  std::smatch m;
  if (std::regex_match(readerMessage, m, kWhere))
    return "это не файл конфигурации: ошибка XML в строке " + m[2].str() + ", позиция " + m[3].str() + " (" +
           m[1].str() + ")";
  return "это не файл конфигурации: " + readerMessage;
}

std::string SaveProblem(const std::string& errorText) {
  struct Cause {
    const char* reason;  // as the file layer or the system words it
    const char* words;
  };
  static const Cause kCauses[] = {
      {"No space left on device", "на диске нет места"},
      {"Disk quota exceeded", "исчерпана квота на диске"},
      {"Read-only file system", "диск доступен только для чтения"},
      {"Permission denied", "нет прав на запись в эту папку или в этот файл"},
      {"Operation not permitted", "нет прав на запись в эту папку или в этот файл"},
      {"It is a folder", "это папка, а не файл"},
      {"It is not a regular file", "это не обычный файл (устройство, канал или сокет)"},
      {"The folder does not exist", "папки нет"},
      {"No file name", "не указано имя файла"},
  };
  for (const Cause& c : kCauses)
    if (errorText.find(c.reason) != std::string::npos) return std::string("Файл не сохранён: ") + c.words;
  return "Файл не сохранён";
}

}  // namespace tivolan
