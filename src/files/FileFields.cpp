#include "files/FileFields.h"

#include <vector>

#include "files/TextCase.h"
#include "model/CodePage.h"

namespace tivolan {
namespace {

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

std::string Range(const NumberField& field) { return std::to_string(field.min) + ".." + std::to_string(field.max); }

}  // namespace

std::optional<std::array<uint8_t, kPhoneBytes>> HexToBytes(const std::string& text) {
  std::array<uint8_t, kPhoneBytes> bytes{};
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (2 * i + 1 >= text.size()) return std::nullopt;
    const int high = digit(text[2 * i]);
    const int low = digit(text[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return bytes;
}

std::string FileElement::Label() const {
  return "элемент \"" + node_.Name() + "\"" + (which_.empty() ? "" : " " + which_);
}

void FileElement::Refuse(int position, const char* expected, const std::string& why) const {
  const TXmlNode* attribute = position < node_.AttributeCount() ? node_.NodeAt(position) : nullptr;
  if (!attribute) throw FileFieldError(Label() + ": нет атрибута \"" + expected + "\"");
  // Read by position: a hand edit may have put another attribute there.
  const std::string instead =
      EqualsIgnoreCase(attribute->Name(), expected) ? "" : " (на месте \"" + std::string(expected) + "\")";
  throw FileFieldError(Label() + ", атрибут \"" + attribute->Name() + "\"" + instead + " = " +
                       Shown(attribute->Value()) + ": " + why);
}

int64_t FileElement::Checked(int position, const NumberField& field) const {
  const WholeNumber n = ReadWholeNumber(node_.AttributeValueAt(position));
  if (!n.number) Refuse(position, field.attribute, "не целое число (поле вмещает " + Range(field) + ")");
  if (n.huge || n.value < field.min || n.value > field.max)
    Refuse(position, field.attribute, "поле вмещает числа " + Range(field));
  return n.value;
}

int64_t FileElement::NumberAt(int position, const NumberField& field) const {
  if (position >= node_.AttributeCount()) return 0;
  return Checked(position, field);
}

int64_t FileElement::Number(const NumberField& field, int64_t missing) const {
  int found = -1;
  for (int i = 0; i < node_.AttributeCount(); ++i) {
    if (!EqualsIgnoreCase(node_.NodeAt(i)->Name(), field.attribute)) continue;
    if (found >= 0)
      throw FileFieldError(Label() + ": атрибут \"" + field.attribute +
                           "\" повторяется, а он может быть только один");
    found = i;
  }
  return found < 0 ? missing : Checked(found, field);
}

std::array<uint8_t, kPhoneBytes> FileElement::PhoneBytesAt(int position, const char* attribute) const {
  const std::string text = node_.AttributeValueAt(position);
  const auto bytes = text.size() == 2 * kPhoneBytes ? HexToBytes(text) : std::nullopt;
  if (!bytes) Refuse(position, attribute, "нужно ровно 16 шестнадцатеричных цифр");
  return *bytes;
}

const TXmlNode* FileElement::Single(const std::string& name) const {
  // The order of FindNode: each child before the children's own subtrees.
  const TXmlNode* first = nullptr;
  std::vector<const TXmlNode*> pending{&node_};
  while (!pending.empty()) {
    const TXmlNode* node = pending.back();
    pending.pop_back();
    for (int i = node->NodeCount() - 1; i >= node->AttributeCount(); --i) {
      const TXmlNode* child = node->NodeAt(i);
      if (child->NodeKind() == TXmlNode::Kind::Element) pending.push_back(child);
    }
    if (node == &node_ || !EqualsIgnoreCase(node->Name(), name)) continue;
    if (first)
      throw FileFieldError("элемент \"" + name + "\" повторяется, а в файле он может быть только один");
    first = node;
  }
  return first;
}

}  // namespace tivolan
