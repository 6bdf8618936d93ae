#pragma once
// The numbers of a ".cf8" file, each bound to what its field can hold. A
// file is hand-edited text: a number that its bytes cannot hold, or a
// second copy of an element that is read once, would otherwise be cut,
// wrapped or silently passed over; such a file is refused as damaged, with
// a cause that names the element, the attribute and the value. The rows of
// FileField tie each number to its element, so that one table drives both
// the writer and the reader.
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "files/FileCause.h"
#include "files/XmlDocument.h"

namespace tivolan {

// Why a file is refused; what() is the Russian cause line (OpenProblem).
class FileFieldError : public CausedError<FieldCause> {
 public:
  explicit FileFieldError(FieldCause cause);
};

// A numeric attribute: its name as the program writes it, and the values
// it takes: min..max in steps of `step` (the values its control shows).
// Up to `deviceMax` a value beyond them is taken when the element carries
// kDeviceValueMark: a device gave it, and the program keeps it as it is.
struct NumberField {
  const char* attribute;
  int64_t min;
  int64_t max;
  int64_t deviceMax = -1;  // -1: no value beyond min..max
  int64_t step = 1;
  bool Takes(int64_t value) const { return value >= min && value <= max && (value - min) % step == 0; }
  bool Outside(int64_t value) const { return !Takes(value) && deviceMax >= 0 && value >= 0 && value <= deviceMax; }
};

// The attribute ("fromDevice"="1") that keeps a device's value beyond what
// its control shows; a hand-edited number beyond it is refused as damaged.
inline constexpr const char* kDeviceValueMark = "fromDevice";

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
  // `ordinal` tells one of several like elements apart in the cause: the
  // place of a zone or of an SMS recipient among its like (1, 2, ...).
  explicit FileElement(const TXmlNode& node, int ordinal = 0) : node_(node), ordinal_(ordinal) {}

  // The attribute at `position` (the file is read by position), 0 when it
  // is missing.
  int64_t NumberAt(int position, const NumberField& field) const;
  // The same for a number the element cannot do without: refused when missing.
  int64_t RequiredAt(int position, const NumberField& field) const;
  // The attribute named as the field (letter case ignored), `missing`
  // when there is none; a second one differing only in case is refused.
  int64_t Number(const NumberField& field, int64_t missing) const;
  // Eight bytes written as exactly 16 hexadecimal digits, at `position`.
  std::array<uint8_t, kPhoneBytes> PhoneBytesAt(int position, const char* attribute) const;

  // The element named `name` below this one, found as FindNode finds it;
  // none when there is none, refused when there are two.
  const TXmlNode* Single(const std::string& name) const;

  // Refuses the element: its number at `position` was given before.
  [[noreturn]] void RefuseRepeated(int position, const NumberField& field) const;

 private:
  bool MarkedFromDevice() const;
  [[noreturn]] void Refuse(FieldFault fault, int position, const NumberField& field) const;
  int64_t Checked(int position, const NumberField& field) const;

  const TXmlNode& node_;
  int ordinal_;
};

// A number of the file bound to a value of `View`, a typed view of what
// the file holds. A run of rows with one element name is that element, its
// attributes in the rows' order: the writer writes them so, and the reader
// reads each by that position.
template <class View>
struct FileField {
  const char* element;
  NumberField number;
  int64_t (*get)(const View&);        // the value written
  void (*set)(const View&, int64_t);  // stores a value read; nullptr: the caller uses it
};

// The view class of an accessor `Byte& (View::*)() const`.
template <class Accessor>
struct ViewOf;
template <class View, class Byte>
struct ViewOf<Byte& (View::*)() const> {
  using type = View;
};

// The row of a byte the file holds whole, through the view's accessor: any
// byte, or the values of `number`.
template <auto Byte>
constexpr FileField<typename ViewOf<decltype(Byte)>::type> WholeByte(const char* element, NumberField number) {
  using View = typename ViewOf<decltype(Byte)>::type;
  return {element, number, [](const View& v) -> int64_t { return (v.*Byte)(); },
          [](const View& v, int64_t value) { (v.*Byte)() = static_cast<uint8_t>(value); }};
}
template <auto Byte>
constexpr FileField<typename ViewOf<decltype(Byte)>::type> WholeByte(const char* element, const char* attribute) {
  return WholeByte<Byte>(element, NumberField{attribute, 0, kByteMax});
}

// Where a row stands in its element: 0 for the first of a run.
template <class View, std::size_t N>
int PositionInRun(const FileField<View> (&fields)[N], std::size_t row) {
  int position = 0;
  while (row > 0 && std::strcmp(fields[row - 1].element, fields[row].element) == 0) --row, ++position;
  return position;
}

// The rows' elements below `parent`, each holding its run of attributes,
// and the mark after them when a value is the device's own.
template <class View, std::size_t N>
void WriteFields(TXmlNode& parent, const View& view, const FileField<View> (&fields)[N]) {
  TXmlNode* element = nullptr;
  bool outside = false;
  for (std::size_t i = 0; i < N; ++i) {
    if (PositionInRun(fields, i) == 0) element = parent.AddElement(fields[i].element);
    const int64_t value = fields[i].get(view);
    element->WriteAttributeInteger(fields[i].number.attribute, value, 0);
    outside = outside || fields[i].number.Outside(value);
    const bool last = i + 1 == N || PositionInRun(fields, i + 1) == 0;
    if (last && outside) element->WriteAttributeInteger(kDeviceValueMark, 1, 0);
    if (last) outside = false;
  }
}

// Each row from its element below `parent` (read once), at its position in
// the run; an element the file lacks leaves its values as they were.
template <class View, std::size_t N>
void ReadFields(const FileElement& parent, const View& view, const FileField<View> (&fields)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (const TXmlNode* node = parent.Single(fields[i].element))
      fields[i].set(view, FileElement(*node).NumberAt(PositionInRun(fields, i), fields[i].number));
}

// The rows as the attributes of `element` alone, by position: one record of
// a list ("zone").
template <class View, std::size_t N>
void ReadAttributes(const FileElement& element, const View& view, const FileField<View> (&fields)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (fields[i].set) fields[i].set(view, element.NumberAt(static_cast<int>(i), fields[i].number));
}

}  // namespace tivolan
