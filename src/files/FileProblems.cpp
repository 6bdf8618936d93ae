#include "files/FileProblems.h"

#include <cerrno>
#include <iterator>
#include <string_view>

#include "files/FileIO.h"
#include "files/TextCase.h"
#include "files/XmlDocument.h"
#include "model/CodePage.h"

namespace tivolan {
namespace {

constexpr const char* kNoConfiguration = "это не файл конфигурации: ";
constexpr const char* kFolderWords = "это папка, а не файл";
constexpr const char* kNotRegularWords = "это не обычный файл (устройство, канал или сокет)";

bool Is(const std::error_code& error, int code) { return error == std::error_condition(code, std::generic_category()); }

std::string OpenLine(const FileSystemCause& c) {
  switch (c.reason) {
    case FileReason::Folder:
      return kFolderWords;
    case FileReason::NotRegular:
      return kNotRegularWords;
    case FileReason::TooLarge:
      return "файл слишком велик для файла конфигурации";
    case FileReason::Inaccessible:
      return "файл недоступен: " + c.error.message();
    case FileReason::System:
      if (c.action != FileAction::Open) break;
      if (Is(c.error, ENOENT) || Is(c.error, ENOTDIR)) return "файла нет";
      if (Is(c.error, EACCES) || Is(c.error, EPERM)) return "нет прав на чтение файла";
      return "файл недоступен: " + c.error.message();
    default:
      break;
  }
  return kNoConfiguration + FileErrorText(c);
}

std::string XmlLine(const XmlCause& c) {
  if (c.line == 0) return kNoConfiguration + XmlErrorText(c);
  return std::string(kNoConfiguration) + "ошибка XML в строке " + std::to_string(c.line) + ", позиция " +
         std::to_string(c.position) + " (" + XmlFaultText(c) + ")";
}

std::string ConfigurationLine(const ConfigurationCause& c) {
  switch (c.fault) {
    case ConfigurationFault::NoFileId:
      return std::string(kNoConfiguration) + "нет отметки FileID=\"8\"";
    case ConfigurationFault::NoDevice:
      return std::string(kNoConfiguration) + "нет элемента \"device\"";
    case ConfigurationFault::UnknownDevice:
      return kNoConfiguration + ("тип прибора " + std::to_string(c.device) + " неизвестен");
    case ConfigurationFault::GsmSettings:
      break;
  }
  return "настройки GSM в файле повреждены или не помещаются в прибор";
}

// A value as the cause line shows it: a long one cut (never inside a UTF-8
// character), with its length.
std::string Shown(const std::string& value) {
  constexpr std::size_t kWhole = 32;
  constexpr std::size_t kCut = 24;
  if (value.size() <= kWhole) return "\"" + value + "\"";
  std::size_t cut = kCut;
  while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
  return "\"" + value.substr(0, cut) + "…\" (длина " + std::to_string(Utf8Length(value)) + ")";
}

std::string FieldLine(const FieldCause& c) {
  const std::string label = "элемент \"" + c.element + "\"" + (c.ordinal ? " №" + std::to_string(c.ordinal) : "");
  const std::string range = std::to_string(c.min) + ".." + std::to_string(c.max);
  std::string why;
  switch (c.fault) {
    case FieldFault::ElementTwice:
      return "элемент \"" + c.element + "\" повторяется, а в файле он может быть только один";
    case FieldFault::AttributeTwice:
      return label + ": атрибут \"" + c.expected + "\" повторяется, а он может быть только один";
    case FieldFault::MissingAttribute:
      return label + ": нет атрибута \"" + c.expected + "\"";
    case FieldFault::NotANumber:
      why = "не целое число (поле вмещает " + range + ")";
      break;
    case FieldFault::OutOfRange:
      why = "поле вмещает числа " + range;
      break;
    case FieldFault::NotPhoneDigits:
      why = "нужно ровно 16 шестнадцатеричных цифр";
      break;
  }
  // Read by position: a hand edit may have put another attribute there.
  const std::string instead = EqualsIgnoreCase(c.attribute, c.expected) ? "" : " (на месте \"" + c.expected + "\")";
  return label + ", атрибут \"" + c.attribute + "\"" + instead + " = " + Shown(c.value) + ": " + why;
}

// The save reasons the program names; a system reason by its error number.
struct SaveWords {
  FileReason reason;
  int error;  // for FileReason::System
  const char* words;
};
const SaveWords kSaveWords[] = {
    {FileReason::Folder, 0, kFolderWords},
    {FileReason::NotRegular, 0, kNotRegularWords},
    {FileReason::NoFolder, 0, "папки нет"},
    {FileReason::NoFileName, 0, "не указано имя файла"},
    {FileReason::System, ENOSPC, "на диске нет места"},
#ifdef EDQUOT
    {FileReason::System, EDQUOT, "исчерпана квота на диске"},
#endif
    {FileReason::System, EROFS, "диск доступен только для чтения"},
    {FileReason::System, EACCES, "нет прав на запись в эту папку или в этот файл"},
    {FileReason::System, EPERM, "нет прав на запись в эту папку или в этот файл"},
};

bool Matches(const SaveWords& row, const FileSystemCause& c) {
  if (row.reason != FileReason::System) return c.reason == row.reason;
  return (c.reason == FileReason::System || c.reason == FileReason::Inaccessible) && Is(c.error, row.error);
}

}  // namespace

std::string OpenProblem(const FileCause& cause) {
  struct {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(const FileSystemCause& c) const { return OpenLine(c); }
    std::string operator()(const XmlCause& c) const { return XmlLine(c); }
    std::string operator()(const ConfigurationCause& c) const { return ConfigurationLine(c); }
    std::string operator()(const FieldCause& c) const { return FieldLine(c); }
  } line;
  return std::visit(line, cause);
}

std::string SaveProblem(const FileSystemCause& cause) {
  for (const SaveWords& row : kSaveWords)
    if (Matches(row, cause)) return std::string("Файл не сохранён: ") + row.words;
  return "Файл не сохранён";
}

}  // namespace tivolan
