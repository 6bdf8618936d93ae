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
  if (c.reason == FileReason::TooLarge) return "файл слишком велик для файла конфигурации";
  return ReadProblem(c);
}

// The reader's faults in the user's words, in XmlFault's order; %1 is the
// cause's subject, %2 the other name.
constexpr std::string_view kXmlWords[] = {
    "управляющий символ",
    "текст не в кодировке UTF-8",
    "символ, недопустимый в XML",
    "нет корневого элемента",
    "текст вне корневого элемента",
    "что-то после корневого элемента",
    "ожидался знак '%1'",
    "ожидалось имя",
    "слишком длинное имя",
    "неизвестная ссылка на символ",
    "перед атрибутом нужен пробел",
    "атрибут \"%1\" указан дважды",
    "значение атрибута должно быть в кавычках",
    "слишком длинное значение атрибута",
    "знак '<' в значении атрибута",
    "слишком много элементов",
    "'--' внутри комментария",
    "объявление типа документа не поддерживается",
    "инструкции обработки не поддерживаются",
    "неверное объявление XML",
    "версия %1 не поддерживается",
    "кодировка %1 не поддерживается",
    "\"]]>\" в тексте",
    "разделы CDATA не поддерживаются",
    "нераспознанная конструкция",
    "слишком глубокая вложенность элементов",
    "открывающий и закрывающий теги не совпадают: \"%1\" и \"%2\"",
    "файл обрывается раньше конца",
    "файл слишком велик",
    "нет корневого элемента для записи",
};
static_assert(std::size(kXmlWords) == static_cast<std::size_t>(XmlFault::NoRootToWrite) + 1);

std::string XmlLine(const XmlCause& c) {
  const std::string words = FaultWords(kXmlWords[static_cast<std::size_t>(c.fault)], c);
  if (c.line != 0)
    return std::string(kNoConfiguration) + "ошибка XML в строке " + std::to_string(c.line) + ", позиция " +
           std::to_string(c.position) + " (" + words + ")";
  // A text that ends too soon has its length as its place.
  if (c.fault == XmlFault::Premature) return kNoConfiguration + words + " (после знака " + std::to_string(c.position) + ")";
  return kNoConfiguration + words;
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
  // Two values a step apart are named as such ("0 или 128").
  const std::string range = std::to_string(c.min) + (c.max - c.min == c.step && c.step > 1 ? " или " : "..") +
                            std::to_string(c.max);
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
    case FieldFault::NumberTwice:
      why = "такой номер уже был, а каждый может быть в файле только один раз";
      break;
  }
  // Read by position: a hand edit may have put another attribute there.
  const std::string instead = EqualsIgnoreCase(c.attribute, c.expected) ? "" : " (на месте \"" + c.expected + "\")";
  return label + ", атрибут \"" + c.attribute + "\"" + instead + " = " + Shown(c.value) + ": " + why;
}

// The system's reasons in the user's words, by error number; the reasons
// the program itself names beside them.
struct ReasonWords {
  FileReason reason;
  int error;  // for FileReason::System
  const char* words;
};
const ReasonWords kSystemWords[] = {
    {FileReason::System, ENOSPC, "на диске нет места"},
#ifdef EDQUOT
    {FileReason::System, EDQUOT, "исчерпана квота на диске"},
#endif
    {FileReason::System, EROFS, "диск доступен только для чтения"},
    {FileReason::System, EFBIG, "файл больше, чем позволяет система"},
    {FileReason::System, ENAMETOOLONG, "слишком длинное имя файла"},
    {FileReason::System, ELOOP, "слишком много символических ссылок (или они замкнуты в кольцо)"},
    {FileReason::System, ENOTDIR, "часть пути - не папка"},
    {FileReason::System, ENOENT, "нет такого файла или папки"},
    {FileReason::System, EIO, "ошибка ввода-вывода"},
    {FileReason::System, EBUSY, "файл занят"},
    {FileReason::System, EMFILE, "открыто слишком много файлов"},
    {FileReason::System, ENFILE, "открыто слишком много файлов"},
    {FileReason::System, ENOMEM, "не хватает памяти"},
    {FileReason::System, EPIPE, "программа, читавшая вывод, закрыла канал"},
    {FileReason::System, EBADF, "вывод закрыт"},
    {FileReason::System, EINTR, "запись прервана"},
    {FileReason::System, EACCES, "нет прав доступа"},
    {FileReason::System, EPERM, "нет прав доступа"},
};
const ReasonWords kSaveWords[] = {
    {FileReason::Folder, 0, kFolderWords},
    {FileReason::NotRegular, 0, kNotRegularWords},
    {FileReason::NoFolder, 0, "папки нет"},
    {FileReason::NoFileName, 0, "не указано имя файла"},
    {FileReason::System, EACCES, "нет прав на запись в эту папку или в этот файл"},
    {FileReason::System, EPERM, "нет прав на запись в эту папку или в этот файл"},
};

bool Matches(const ReasonWords& row, const FileSystemCause& c) {
  if (row.reason != FileReason::System) return c.reason == row.reason;
  return (c.reason == FileReason::System || c.reason == FileReason::Inaccessible) && Is(c.error, row.error);
}

template <std::size_t N>
const char* WordsOf(const ReasonWords (&rows)[N], const FileSystemCause& c) {
  for (const ReasonWords& row : rows)
    if (Matches(row, c)) return row.words;
  return nullptr;
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

std::string SystemReason(const FileSystemCause& cause) {
  if (const char* words = WordsOf(kSystemWords, cause)) return words;
  // The system's own words are English; its number can still be looked up.
  if (cause.error.value() != 0) return "системная ошибка " + std::to_string(cause.error.value());
  return {};
}

std::string ReadProblem(const FileSystemCause& c) {
  switch (c.reason) {
    case FileReason::Folder:
      return kFolderWords;
    case FileReason::NotRegular:
      return kNotRegularWords;
    case FileReason::TooLarge:
      return "файл слишком велик";
    case FileReason::System:
      if (Is(c.error, ENOENT) || Is(c.error, ENOTDIR)) return "файла нет";
      if (Is(c.error, EACCES) || Is(c.error, EPERM)) return "нет прав на чтение файла";
      break;
    default:
      break;
  }
  const std::string reason = SystemReason(c);
  const char* what = c.action == FileAction::Read ? "файл не прочитан" : "файл недоступен";
  return reason.empty() ? what : what + (": " + reason);
}

std::string SaveReason(const FileSystemCause& cause) {
  if (const char* words = WordsOf(kSaveWords, cause)) return words;
  return SystemReason(cause);
}

std::string SaveProblem(const FileSystemCause& cause) {
  const std::string reason = SaveReason(cause);
  return reason.empty() ? "Файл не сохранён" : "Файл не сохранён: " + reason;
}

}  // namespace tivolan
