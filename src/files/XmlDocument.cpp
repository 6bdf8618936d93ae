#include "files/XmlDocument.h"

#include <charconv>
#include <limits>
#include <string_view>

#include "files/FileIO.h"
#include "files/TextCase.h"

namespace tivolan {
namespace {

// The reader's words for each fault, in XmlFault's order; %1 is the
// cause's subject, %2 the other name.
constexpr std::string_view kFaultWords[] = {
    "control character",
    "not UTF-8 text",
    "not an XML character",
    "no root element",
    "text outside the root element",
    "content after the root element",
    "'%1' expected",
    "name expected",
    "name too long",
    "unknown entity",
    "white space expected before an attribute",
    "attribute \"%1\" given twice",
    "quoted attribute value expected",
    "attribute value too long",
    "'<' in an attribute value",
    "too many nodes",
    "'--' in a comment",
    "document type declarations are not supported",
    "processing instructions are not supported",
    "malformed declaration",
    "version %1 is not supported",
    "encoding %1 is not supported",
    "\"]]>\" in text",
    "CDATA sections are not supported",
    "unrecognised construct",
    "elements nested too deeply",
    "begin and end tag mismatch: \"%1\" and \"%2\"",
    "stream terminated prematurely",
    "file too large",
    "XML root element not defined.",
};
static_assert(std::size(kFaultWords) == static_cast<std::size_t>(XmlFault::NoRootToWrite) + 1);

}  // namespace

XmlError::XmlError(XmlCause cause) : CausedError(cause, XmlErrorText(cause)) {}
XmlError::XmlError(FileSystemCause cause) : CausedError(cause, FileErrorText(cause)) {}

std::string XmlFaultText(const XmlCause& cause) {
  return FaultWords(kFaultWords[static_cast<std::size_t>(cause.fault)], cause);
}

std::string FaultWords(std::string_view words, const XmlCause& cause) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == '%' && i + 1 < words.size() && (words[i + 1] == '1' || words[i + 1] == '2'))
      text += words[++i] == '1' ? cause.subject : cause.other;
    else
      text += words[i];
  }
  return text;
}

std::string XmlErrorText(const XmlCause& cause) {
  const std::string text = XmlFaultText(cause);
  if (cause.fault == XmlFault::Premature) return text + " at pos " + std::to_string(cause.position);
  if (cause.line == 0) return text;
  return text + " at line " + std::to_string(cause.line) + " (pos " + std::to_string(cause.position) + ")";
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '"': out += "&quot;"; break;
      case '&': out += "&amp;"; break;
      case '\'': out += "&apos;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string XmlUnescape(const std::string& text) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&quot;", '"'}, {"&amp;", '&'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&')
      for (const auto& [entity, c] : kEntities)
        if (text.compare(i, entity.size(), entity) == 0) {
          out += c;
          i += entity.size();
          replaced = true;
          break;
        }
    if (!replaced) out += text[i++];
  }
  return out;
}

WholeNumber ReadWholeNumber(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  bool negative = false;
  if (first != last && (*first == '-' || *first == '+')) negative = *first++ == '-';
  int base = 10;
  if (first != last && *first == '$') {
    base = 16;
    ++first;
  }
  uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(first, last, magnitude, base);
  WholeNumber n;
  // Digits beyond 64 bits are still a number, one that no field holds.
  if (first == last || end != last || (ec != std::errc{} && ec != std::errc::result_out_of_range)) return n;
  n.number = true;
  n.huge = ec == std::errc::result_out_of_range || magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (!n.huge) n.value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return n;
}

bool ParseXmlInteger(const std::string& text, int64_t& value) {
  const WholeNumber n = ReadWholeNumber(text);
  if (!n.number || n.huge || n.value < std::numeric_limits<int32_t>::min() ||
      n.value > std::numeric_limits<int32_t>::max())
    return false;
  value = n.value;
  return true;
}

int TXmlNode::Depth() const {
  int depth = 0;
  for (const TXmlNode* p = parent_; p; p = p->parent_) ++depth;
  return depth;
}

TXmlNode* TXmlNode::Append(std::unique_ptr<TXmlNode> node) {
  node->parent_ = this;
  TXmlNode* raw = node.get();
  if (node->kind_ == Kind::Attribute) {
    children_.insert(children_.begin() + attributeCount_, std::move(node));
    ++attributeCount_;
  } else {
    children_.push_back(std::move(node));
  }
  return raw;
}

TXmlNode* TXmlNode::AddElement(const std::string& name) {
  return Append(std::unique_ptr<TXmlNode>(new TXmlNode(Kind::Element, name, owner_)));
}

void TXmlNode::AttachNode(TXmlNode* node) {
  if (!node || node == this) return;
  std::unique_ptr<TXmlNode> moved;
  if (TXmlNode* old = node->parent_) {
    for (auto it = old->children_.begin(); it != old->children_.end(); ++it)
      if (it->get() == node) {
        moved = std::move(*it);
        old->children_.erase(it);
        if (node->kind_ == Kind::Attribute) --old->attributeCount_;
        break;
      }
  }
  if (moved) Append(std::move(moved));  // a root cannot move: its document owns it
}

TXmlNode* TXmlNode::FindAttribute(const std::string& name) const {
  for (int i = 0; i < attributeCount_; ++i)
    if (EqualsIgnoreCase(children_[static_cast<std::size_t>(i)]->name_, name))
      return children_[static_cast<std::size_t>(i)].get();
  return nullptr;
}

void TXmlNode::SetAttribute(const std::string& name, const std::string& value) {
  TXmlNode* attribute = FindAttribute(name);
  if (!attribute) attribute = Append(std::unique_ptr<TXmlNode>(new TXmlNode(Kind::Attribute, name, owner_)));
  attribute->value_ = XmlEscape(value);
  attribute->quote_ = '"';
}

void TXmlNode::WriteAttributeString(const std::string& name, const std::string& value,
                                    const std::string& defaultValue) {
  if (owner_->writeOnDefault || value != defaultValue) SetAttribute(name, value);
}

void TXmlNode::WriteAttributeInteger(const std::string& name, int64_t value, int64_t defaultValue) {
  if (owner_->writeOnDefault || value != defaultValue) SetAttribute(name, std::to_string(value));
}

int64_t TXmlNode::ReadAttributeInteger(const std::string& name, int64_t defaultValue) const {
  const TXmlNode* attribute = FindAttribute(name);
  int64_t value = 0;
  return attribute && ParseXmlInteger(attribute->Value(), value) ? value : defaultValue;
}

std::string TXmlNode::AttributeValueAt(int index) const {
  if (index < 0 || index >= attributeCount_) return {};
  return children_[static_cast<std::size_t>(index)]->Value();
}

int64_t TXmlNode::AttributeIntegerAt(int index) const {
  int64_t value = 0;
  return ParseXmlInteger(AttributeValueAt(index), value) ? value : 0;
}

TXmlNode* TXmlNode::NodeAt(int index) const {
  if (index < 0 || index >= NodeCount()) return nullptr;
  return children_[static_cast<std::size_t>(index)].get();
}

std::string TXmlNode::Value() const { return XmlUnescape(value_); }

TXmlNode* TXmlNode::FindNode(const std::string& name) const {
  // Pre-order: child 1, child 1's subtree, child 2, ... An explicit stack
  // keeps the search safe for any depth.
  std::vector<const TXmlNode*> pending;
  auto pushChildren = [&pending](const TXmlNode* node) {
    for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
      if ((*it)->kind_ == Kind::Element) pending.push_back(it->get());
  };
  pushChildren(this);
  while (!pending.empty()) {
    const TXmlNode* node = pending.back();
    pending.pop_back();
    if (EqualsIgnoreCase(node->name_, name)) return const_cast<TXmlNode*>(node);
    pushChildren(node);
  }
  return nullptr;
}

TXmlDocument::TXmlDocument() : options_(std::make_shared<XmlOptions>()) {}

TXmlDocument::TXmlDocument(const std::string& rootName) : TXmlDocument() {
  declaration_ = true;
  root_.reset(new TXmlNode(TXmlNode::Kind::Element, rootName, options_));
}

void TXmlDocument::SaveToFile(const std::string& fileName) const { WriteFileReplacing(fileName, SaveToString()); }

void TXmlDocument::LoadFromFile(const std::string& fileName) {
  std::string text;
  try {
    text = ReadWholeFile(fileName, kMaxFileBytes);
  } catch (const FileError& e) {
    throw XmlError(e.Cause());
  }
  LoadFromString(text);
}

}  // namespace tivolan
