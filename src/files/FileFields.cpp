#include "files/FileFields.h"

#include <vector>

#include "files/FileProblems.h"
#include "files/TextCase.h"
#include "model/HexText.h"

namespace tivolan {

FileFieldError::FileFieldError(FieldCause cause) : CausedError(cause, OpenProblem(cause)) {}

std::optional<std::array<uint8_t, kPhoneBytes>> HexToBytes(const std::string& text) {
  std::array<uint8_t, kPhoneBytes> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = HexPairAt(text, 2 * i);
    if (!byte) return std::nullopt;
    bytes[i] = *byte;
  }
  return bytes;
}

void FileElement::Refuse(FieldFault fault, int position, const NumberField& field) const {
  FieldCause cause{fault, node_.Name(), ordinal_, {}, field.attribute, {}, field.min, field.max, field.step};
  if (position < node_.AttributeCount()) {
    const TXmlNode* attribute = node_.NodeAt(position);
    cause.attribute = attribute->Name();
    cause.value = attribute->Value();
  } else {
    cause.fault = FieldFault::MissingAttribute;
  }
  throw FileFieldError(std::move(cause));
}

void FileElement::RefuseRepeated(int position, const NumberField& field) const {
  Refuse(FieldFault::NumberTwice, position, field);
}

bool FileElement::MarkedFromDevice() const {
  for (int i = 0; i < node_.AttributeCount(); ++i)
    if (EqualsIgnoreCase(node_.NodeAt(i)->Name(), kDeviceValueMark)) return node_.AttributeValueAt(i) == "1";
  return false;
}

int64_t FileElement::Checked(int position, const NumberField& field) const {
  const WholeNumber n = ReadWholeNumber(node_.AttributeValueAt(position));
  if (!n.number) Refuse(FieldFault::NotANumber, position, field);
  const bool taken = !n.huge && (field.Takes(n.value) || (field.Outside(n.value) && MarkedFromDevice()));
  if (!taken) Refuse(FieldFault::OutOfRange, position, field);
  return n.value;
}

int64_t FileElement::NumberAt(int position, const NumberField& field) const {
  if (position >= node_.AttributeCount()) return 0;
  return Checked(position, field);
}

int64_t FileElement::RequiredAt(int position, const NumberField& field) const {
  if (position >= node_.AttributeCount()) Refuse(FieldFault::MissingAttribute, position, field);
  return Checked(position, field);
}

int64_t FileElement::Number(const NumberField& field, int64_t missing) const {
  int found = -1;
  for (int i = 0; i < node_.AttributeCount(); ++i) {
    if (!EqualsIgnoreCase(node_.NodeAt(i)->Name(), field.attribute)) continue;
    if (found >= 0) throw FileFieldError({FieldFault::AttributeTwice, node_.Name(), ordinal_, {}, field.attribute, {}});
    found = i;
  }
  return found < 0 ? missing : Checked(found, field);
}

std::array<uint8_t, kPhoneBytes> FileElement::PhoneBytesAt(int position, const char* attribute) const {
  const std::string text = node_.AttributeValueAt(position);
  const auto bytes = text.size() == 2 * kPhoneBytes ? HexToBytes(text) : std::nullopt;
  if (!bytes) Refuse(FieldFault::NotPhoneDigits, position, {attribute, 0, 0});
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
    if (first) throw FileFieldError({FieldFault::ElementTwice, name, 0, {}, {}, {}});
    first = node;
  }
  return first;
}

}  // namespace tivolan
