#pragma once
// The numbers of a ".cf8" file as the program reads them, each checked
// against what its field can hold. A file is hand-edited text: a number
// that its bytes cannot hold, or a second copy of an element that is read
// once, would otherwise be cut, wrapped or silently passed over; such a
// file is refused as damaged, with a line that names the element, the
// attribute and the value.
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "files/XmlDocument.h"

namespace tivolan {

// Why a file is refused: the message is the Russian cause line.
class FileFieldError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A numeric attribute: its name as the program writes it, and the values
// its bytes hold.
struct NumberField {
  const char* attribute;
  int64_t min;
  int64_t max;
};

inline constexpr int64_t kByteMax = 255;
inline constexpr int64_t kWordMax = 65535;
inline constexpr std::size_t kPhoneBytes = 8;  // a "pdu": 16 hexadecimal digits

// The eight phone bytes of a "pdu": pairs of hexadecimal digits, either
// case, characters after the sixteenth ignored; nullopt when a pair is
// missing or no hexadecimal number.
std::optional<std::array<uint8_t, kPhoneBytes>> HexToBytes(const std::string& text);

// One element of the file, read attribute by attribute.
class FileElement {
 public:
  // `which` tells one of several like elements apart in the cause line:
  // the place of a zone or of an SMS recipient among its like ("№2").
  explicit FileElement(const TXmlNode& node, std::string which = {}) : node_(node), which_(std::move(which)) {}

  // The attribute at `position` (the file is read by position), 0 when it
  // is missing.
  int64_t NumberAt(int position, const NumberField& field) const;
  // The attribute named as the field (letter case ignored), `missing`
  // when there is none; a second one differing only in case is refused.
  int64_t Number(const NumberField& field, int64_t missing) const;
  // Eight bytes written as exactly 16 hexadecimal digits, at `position`.
  std::array<uint8_t, kPhoneBytes> PhoneBytesAt(int position, const char* attribute) const;

  // The element named `name` below this one, found as FindNode finds it;
  // none when there is none, refused when there are two.
  const TXmlNode* Single(const std::string& name) const;

 private:
  std::string Label() const;
  [[noreturn]] void Refuse(int position, const char* expected, const std::string& why) const;
  int64_t Checked(int position, const NumberField& field) const;

  const TXmlNode& node_;
  std::string which_;
};

}  // namespace tivolan
