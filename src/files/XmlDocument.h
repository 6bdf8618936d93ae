#pragma once
// A small XML document model: elements whose values are all attributes, a
// writer with a fixed readable layout (or compact), and a hardened reader.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/FileCause.h"

namespace tivolan {

// A text the reader refuses (an XmlCause), or a file it could not read
// (the FileSystemCause of ReadWholeFile). what(): the English words of
// XmlErrorText or FileErrorText.
class XmlError : public CausedError<FileCause> {
 public:
  explicit XmlError(XmlCause cause);
  explicit XmlError(FileSystemCause cause);
};

// The fault in the reader's words, without its place: "begin and end tag
// mismatch: "a" and "b"".
std::string XmlFaultText(const XmlCause& cause);
// `words` with %1 and %2 replaced by the cause's subject and other name, in
// one pass, so that a name holding "%2" stays as it is.
std::string FaultWords(std::string_view words, const XmlCause& cause);
// With its place: "... at line 2 (pos 5)", "stream terminated prematurely at pos 80".
std::string XmlErrorText(const XmlCause& cause);

enum class XmlForm { Compact = 0, Readable = 1 };
enum class XmlLineEnd { LF = 0, CRLF = 1 };

struct XmlOptions {
  XmlForm form = XmlForm::Compact;
  XmlLineEnd lineEnd = XmlLineEnd::LF;
  std::string indent = "\t";
  std::string closeText = "/>";
  bool writeOnDefault = true;
};

class TXmlDocument;

// A node of the tree: an element, or (in an element's child list) one of its
// attributes or a text read from a file. Attributes come first in the list.
class TXmlNode {
 public:
  enum class Kind { Element, Attribute, Text };

  Kind NodeKind() const { return kind_; }
  const std::string& Name() const { return name_; }  // empty for text
  TXmlNode* Parent() const { return parent_; }
  int Depth() const;

  // Elements.
  TXmlNode* AddElement(const std::string& name);
  // Moves an element (with its subtree) here as the last child; it keeps the
  // options of the document that created it.
  void AttachNode(TXmlNode* node);
  void WriteAttributeInteger(const std::string& name, int64_t value, int64_t defaultValue);
  void WriteAttributeString(const std::string& name, const std::string& value, const std::string& defaultValue);
  int64_t ReadAttributeInteger(const std::string& name, int64_t defaultValue) const;
  std::string AttributeValueAt(int index) const;  // unescaped; empty when missing
  int64_t AttributeIntegerAt(int index) const;    // 0 when missing or no number
  int AttributeCount() const { return attributeCount_; }
  int NodeCount() const { return static_cast<int>(children_.size()); }
  TXmlNode* NodeAt(int index) const;
  // First element below this one named `name` (letter case ignored), depth
  // first in document order; the element itself is no candidate.
  TXmlNode* FindNode(const std::string& name) const;

  // Attributes and texts: the value as held, escaped.
  const std::string& RawValue() const { return value_; }
  std::string Value() const;

 private:
  friend class TXmlDocument;
  friend class XmlParser;
  friend class XmlWriter;
  TXmlNode(Kind kind, std::string name, std::shared_ptr<const XmlOptions> owner)
      : kind_(kind), name_(std::move(name)), owner_(std::move(owner)) {}
  TXmlNode* FindAttribute(const std::string& name) const;
  void SetAttribute(const std::string& name, const std::string& value);
  TXmlNode* Append(std::unique_ptr<TXmlNode> node);

  Kind kind_;
  std::string name_;
  std::string value_;  // attributes and texts, escaped
  char quote_ = '"';
  std::shared_ptr<const XmlOptions> owner_;  // options of the creating document
  TXmlNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TXmlNode>> children_;
  int attributeCount_ = 0;
};

class TXmlDocument {
 public:
  // A document for reading; LoadFromFile fills it.
  TXmlDocument();
  // A document for writing: declaration and a root element of that name.
  explicit TXmlDocument(const std::string& rootName);

  TXmlNode* Root() const { return root_.get(); }
  void SetForm(XmlForm form) { options_->form = form; }
  void SetLineEnd(XmlLineEnd lineEnd) { options_->lineEnd = lineEnd; }
  XmlOptions& Options() { return *options_; }

  // The text of the document: declaration first, then the root element.
  std::string SaveToString() const;
  void SaveToFile(const std::string& fileName) const;
  // Replaces the content by the parsed text; on an error (XmlError) the
  // document keeps what it had.
  void LoadFromString(const std::string& text);
  void LoadFromFile(const std::string& fileName);

  // Limits of the reader: a configuration file is a few kilobytes.
  static constexpr std::size_t kMaxFileBytes = 1 << 20;
  static constexpr int kMaxDepth = 32;
  static constexpr std::size_t kMaxNameBytes = 256;
  static constexpr std::size_t kMaxValueBytes = 4096;

 private:
  std::shared_ptr<XmlOptions> options_;
  bool declaration_ = false;
  std::string version_ = "1.0";
  std::string encoding_ = "utf-8";
  std::unique_ptr<TXmlNode> root_;
};

// The five predefined entities, both ways.
std::string XmlEscape(const std::string& text);
std::string XmlUnescape(const std::string& text);

// A whole decimal or "$"-prefixed hexadecimal number with an optional sign:
// whether the text is one, whether it lies beyond 64 bits, and its value.
struct WholeNumber {
  bool number = false;
  bool huge = false;
  int64_t value = 0;
};
WholeNumber ReadWholeNumber(const std::string& text);

// A whole number within 32 bits, as the readers of the configuration file
// convert their values.
bool ParseXmlInteger(const std::string& text, int64_t& value);

}  // namespace tivolan
