#pragma once
// Why a file could not be opened, read as XML, taken as a configuration, or
// saved: values made where the problem is found. They become words only
// where they are shown (FileProblems.h for the user's Russian line; the
// exceptions' what() keeps the system's English words).
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace tivolan {

// What the file layer was doing on `path`.
enum class FileAction {
  Open,         // reading a file starts
  Read,         // reading it through
  Create,       // saving: the target, the temporary file, the rename
  WriteOutput,  // standard output, written as a saved file is
};

enum class FileReason {
  System,        // the system refused: `error`
  Inaccessible,  // not even the file's type could be found out: `error`
  Folder,        // a folder where a file was wanted
  NotRegular,    // a device, FIFO or socket
  TooLarge,      // more bytes than the reader takes
  NoFileName,
  NoFolder,      // the folder to save in does not exist
  Unexplained,   // a write failed and the system set no reason
};

struct FileSystemCause {
  FileAction action = FileAction::Open;
  FileReason reason = FileReason::System;
  std::string path;        // as given, UTF-8
  std::error_code error{};  // for System and Inaccessible
  friend bool operator==(const FileSystemCause&, const FileSystemCause&) = default;
};

// The XML reader's (and writer's) faults, in the reader's order of checks.
enum class XmlFault {
  ControlCharacter,
  NotUtf8,
  NotXmlCharacter,
  NoRoot,
  TextOutsideRoot,
  ContentAfterRoot,
  Expected,  // `subject`: the character
  NameExpected,
  NameTooLong,
  UnknownEntity,
  SpaceBeforeAttribute,
  AttributeTwice,  // `subject`: the attribute
  QuoteExpected,
  ValueTooLong,
  LessThanInValue,
  TooManyNodes,
  DashesInComment,
  DocumentType,
  ProcessingInstruction,
  MalformedDeclaration,
  VersionUnsupported,   // `subject`: the version
  EncodingUnsupported,  // `subject`: the encoding
  CdataEndInText,
  Cdata,
  UnrecognisedConstruct,
  NestedTooDeeply,
  TagMismatch,  // `subject`: the open element, `other`: the end tag's name
  Premature,    // the text ends inside a construct: `position` is its length
  TooLarge,     // no place
  NoRootToWrite,
};

struct XmlCause {
  XmlFault fault = XmlFault::NoRoot;
  std::string subject = {};
  std::string other = {};
  std::size_t line = 0;      // 1-based; 0 when the fault has no line
  std::size_t position = 0;  // 1-based column on `line`
  friend bool operator==(const XmlCause&, const XmlCause&) = default;
};

// XML, but no configuration of the program.
enum class ConfigurationFault {
  NoFileId,       // the root has no FileID 8
  NoDevice,       // no "device" element
  UnknownDevice,  // `device`: the type it names
  GsmSettings,    // the GSM subtree is missing, damaged or too large for the device
};

struct ConfigurationCause {
  ConfigurationFault fault = ConfigurationFault::NoFileId;
  int64_t device = 0;
  friend bool operator==(const ConfigurationCause&, const ConfigurationCause&) = default;
};

// A value of the file its field cannot hold, or an element or attribute
// given twice where the program reads one.
enum class FieldFault {
  MissingAttribute,  // nothing at the position read
  NotANumber,
  OutOfRange,
  NotPhoneDigits,    // not exactly 16 hexadecimal digits
  AttributeTwice,    // `expected` twice, letter case aside
  ElementTwice,      // `element` twice below the element searched from
  NumberTwice,       // a second `element` whose `expected` number an earlier one has
};

struct FieldCause {
  FieldFault fault = FieldFault::OutOfRange;
  std::string element;
  int ordinal = 0;         // its place among like elements (zone 2: 2); 0 when alone
  std::string attribute;   // the name at the position read, as in the file
  std::string expected;    // the name the program reads there
  std::string value;       // as in the file, unescaped
  int64_t min = 0;         // what the field holds: min..max in steps of `step`
  int64_t max = 0;
  int64_t step = 1;
  friend bool operator==(const FieldCause&, const FieldCause&) = default;
};

// No cause (a file that was taken), or one of the above.
using FileCause = std::variant<std::monostate, FileSystemCause, XmlCause, ConfigurationCause, FieldCause>;

inline bool HasCause(const FileCause& cause) { return !std::holds_alternative<std::monostate>(cause); }

// An exception that carries its cause; what() holds the words made from it
// where it is thrown.
template <class C>
class CausedError : public std::runtime_error {
 public:
  CausedError(C cause, const std::string& words) : std::runtime_error(words), cause_(std::move(cause)) {}
  const C& Cause() const { return cause_; }

 private:
  C cause_;
};

}  // namespace tivolan
