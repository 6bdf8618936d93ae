// The reader: UTF-8 XML 1.0 with a declaration, one root element, nested
// elements and attributes. A file is untrusted input: nesting, names, values
// and node counts are bounded, nothing recurses, and every malformed input
// ends in an XmlError that names the problem and where it is.
#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "files/TextCase.h"
#include "files/XmlDocument.h"

namespace tivolan {

class XmlParser {
 public:
  XmlParser(const std::string& text, std::shared_ptr<const XmlOptions> owner)
      : t_(text), owner_(std::move(owner)) {}

  std::unique_ptr<TXmlNode> Parse(bool& declaration, std::string& version, std::string& encoding) {
    ValidateCharacters();
    if (t_.compare(0, 3, "\xEF\xBB\xBF") == 0) p_ = 3;  // a byte-order mark is accepted
    declaration = Declaration(version, encoding);
    Misc();
    if (AtEnd()) Fail(XmlFault::NoRoot);
    if (t_[p_] != '<') Fail(XmlFault::TextOutsideRoot);
    auto root = Content();
    Misc();
    if (!AtEnd()) Fail(XmlFault::ContentAfterRoot);
    return root;
  }

 private:
  static constexpr std::size_t kMaxNodes = 65536;

  [[noreturn]] void Fail(XmlFault fault, std::string subject = {}, std::string other = {}) const {
    FailAt(p_, fault, std::move(subject), std::move(other));
  }
  [[noreturn]] void FailAt(std::size_t at, XmlFault fault, std::string subject = {}, std::string other = {}) const {
    at = std::min(at, t_.size());
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(t_.begin(), t_.begin() + static_cast<long>(at), '\n'));
    const std::size_t lineStart = t_.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t column = lineStart == std::string::npos || at == 0 ? at + 1 : at - lineStart;
    throw XmlError(XmlCause{fault, std::move(subject), std::move(other), line, column});
  }
  [[noreturn]] void Premature() const { throw XmlError(XmlCause{XmlFault::Premature, {}, {}, 0, t_.size()}); }

  bool AtEnd() const { return p_ >= t_.size(); }
  bool StartsWith(std::string_view s) const { return t_.compare(p_, s.size(), s) == 0; }
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  void SkipSpace() {
    while (!AtEnd() && IsSpace(t_[p_])) ++p_;
  }
  void Expect(char c) {
    if (AtEnd()) Premature();
    if (t_[p_] != c) Fail(XmlFault::Expected, std::string(1, c));
    ++p_;
  }

  // Only UTF-8, and no control characters but tab and line ends.
  void ValidateCharacters() const {
    for (std::size_t i = 0; i < t_.size();) {
      const auto b = static_cast<unsigned char>(t_[i]);
      if (b < 0x80) {
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') FailAt(i, XmlFault::ControlCharacter);
        ++i;
        continue;
      }
      const int n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
      if (n == 0 || b > 0xF4 || i + static_cast<std::size_t>(n) > t_.size()) FailAt(i, XmlFault::NotUtf8);
      char32_t c = b & (0x7F >> n);
      for (int k = 1; k < n; ++k) {
        const auto cb = static_cast<unsigned char>(t_[i + static_cast<std::size_t>(k)]);
        if ((cb & 0xC0) != 0x80) FailAt(i, XmlFault::NotUtf8);
        c = (c << 6) | (cb & 0x3F);
      }
      const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
      if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) FailAt(i, XmlFault::NotUtf8);
      if (c == 0xFFFE || c == 0xFFFF) FailAt(i, XmlFault::NotXmlCharacter);
      i += static_cast<std::size_t>(n);
    }
  }

  std::string Name() {
    const std::size_t start = p_;
    auto nameChar = [](unsigned char c, bool first) {
      if (c >= 0x80 || c == '_' || c == ':' || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')) return true;
      return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
    };
    while (!AtEnd() && nameChar(static_cast<unsigned char>(t_[p_]), p_ == start)) ++p_;
    if (AtEnd()) Premature();
    if (p_ == start) Fail(XmlFault::NameExpected);
    if (p_ - start > TXmlDocument::kMaxNameBytes) FailAt(start, XmlFault::NameTooLong);
    return t_.substr(start, p_ - start);
  }

  // Raw text must hold only the five predefined entities.
  void CheckEntities(std::size_t from, std::size_t to) const {
    static constexpr std::string_view kEntities[] = {"&quot;", "&amp;", "&apos;", "&lt;", "&gt;"};
    // The search stays within the range: past it, a text without '&' would
    // be scanned to its end once per value.
    const std::string_view range = std::string_view(t_).substr(0, to);
    for (std::size_t i = range.find('&', from); i != std::string_view::npos; i = range.find('&', i + 1)) {
      const bool known = std::any_of(std::begin(kEntities), std::end(kEntities),
                                     [&](std::string_view e) { return i + e.size() <= to && t_.compare(i, e.size(), e) == 0; });
      if (!known) FailAt(i, XmlFault::UnknownEntity);
    }
  }

  // name="value" pairs up to '>' or '/>'; returns true for '/>'.
  bool Attributes(TXmlNode& node) {
    std::unordered_set<std::string_view> names;  // views into the text
    for (;;) {
      const std::size_t before = p_;
      SkipSpace();
      if (AtEnd()) Premature();
      if (t_[p_] == '/') {
        ++p_;
        Expect('>');
        return true;
      }
      if (t_[p_] == '>') {
        ++p_;
        return false;
      }
      if (p_ == before) Fail(XmlFault::SpaceBeforeAttribute);
      const std::size_t nameAt = p_;
      std::string name = Name();
      if (!names.insert(std::string_view(t_).substr(nameAt, name.size())).second)
        FailAt(nameAt, XmlFault::AttributeTwice, name);
      SkipSpace();
      Expect('=');
      SkipSpace();
      if (AtEnd()) Premature();
      const char quote = t_[p_];
      if (quote != '"' && quote != '\'') Fail(XmlFault::QuoteExpected);
      const std::size_t start = ++p_;
      const std::size_t end = t_.find(quote, start);
      if (end == std::string::npos) Premature();
      if (end - start > TXmlDocument::kMaxValueBytes) FailAt(start, XmlFault::ValueTooLong);
      const std::size_t lt = std::string_view(t_).substr(start, end - start).find('<');
      if (lt != std::string_view::npos) FailAt(start + lt, XmlFault::LessThanInValue);
      CheckEntities(start, end);
      auto attribute = std::unique_ptr<TXmlNode>(new TXmlNode(TXmlNode::Kind::Attribute, std::move(name), owner_));
      attribute->value_ = t_.substr(start, end - start);
      attribute->quote_ = quote;
      Count();
      node.Append(std::move(attribute));
      p_ = end + 1;
    }
  }

  void Count() {
    if (++nodes_ > kMaxNodes) Fail(XmlFault::TooManyNodes);
  }

  // "--" may only close a comment.
  void Comment() {
    const std::size_t end = t_.find("--", p_ + 4);
    if (end == std::string::npos || end + 2 >= t_.size()) Premature();
    if (t_[end + 2] != '>') FailAt(end, XmlFault::DashesInComment);
    p_ = end + 3;
  }

  // Comments and white space around the root; anything else there is refused.
  void Misc() {
    for (;;) {
      SkipSpace();
      if (StartsWith("<!--")) Comment();
      else if (StartsWith("<!DOCTYPE")) Fail(XmlFault::DocumentType);
      else if (StartsWith("<?")) Fail(XmlFault::ProcessingInstruction);
      else return;
    }
  }

  bool Declaration(std::string& version, std::string& encoding) {
    if (!StartsWith("<?xml") || (p_ + 5 < t_.size() && !IsSpace(t_[p_ + 5]) && t_[p_ + 5] != '?')) return false;
    const std::size_t end = t_.find("?>", p_);
    if (end == std::string::npos) Premature();
    TXmlNode holder(TXmlNode::Kind::Element, "xml", owner_);
    // The text up to "?>", so that errors in it are placed as in the file.
    std::string inner = t_.substr(0, end) + "/>";
    XmlParser attributes(inner, owner_);
    attributes.p_ = p_ + 5;
    attributes.Attributes(holder);
    if (attributes.p_ != inner.size()) Fail(XmlFault::MalformedDeclaration);
    const std::string v = holder.FindAttribute("version") ? holder.FindAttribute("version")->Value() : "1.0";
    const std::string e = holder.FindAttribute("encoding") ? holder.FindAttribute("encoding")->Value() : "utf-8";
    // The version is written back as read: only "1." and digits can be.
    if (v.size() < 3 || v.compare(0, 2, "1.") != 0 || v.find_first_not_of("0123456789", 2) != std::string::npos)
      Fail(XmlFault::VersionUnsupported, v);
    if (!EqualsIgnoreCase(e, "utf-8") && !EqualsIgnoreCase(e, "utf8")) Fail(XmlFault::EncodingUnsupported, e);
    version = v;
    encoding = e;
    p_ = end + 2;
    return true;
  }

  // Text between tags, trimmed; white space alone makes no node.
  void Text(TXmlNode& parent, std::size_t start, std::size_t end) {
    while (start < end && IsSpace(t_[start])) ++start;
    while (end > start && IsSpace(t_[end - 1])) --end;
    if (start == end) return;
    const std::size_t cdataEnd = std::string_view(t_).substr(0, end).find("]]>", start);
    if (cdataEnd != std::string_view::npos) FailAt(cdataEnd, XmlFault::CdataEndInText);
    CheckEntities(start, end);
    auto text = std::unique_ptr<TXmlNode>(new TXmlNode(TXmlNode::Kind::Text, std::string(), owner_));
    text->value_ = t_.substr(start, end - start);
    Count();
    parent.Append(std::move(text));
  }

  // One start tag at '<'; returns the element and whether it closed itself.
  std::unique_ptr<TXmlNode> StartTag(bool& closed) {
    ++p_;
    auto element = std::unique_ptr<TXmlNode>(new TXmlNode(TXmlNode::Kind::Element, Name(), owner_));
    Count();
    closed = Attributes(*element);
    return element;
  }

  std::unique_ptr<TXmlNode> Content() {
    bool closed = false;
    std::unique_ptr<TXmlNode> root = StartTag(closed);
    if (closed) return root;
    std::vector<TXmlNode*> open{root.get()};
    while (!open.empty()) {
      const std::size_t lt = t_.find('<', p_);
      if (lt == std::string::npos) Premature();
      Text(*open.back(), p_, lt);
      p_ = lt;
      if (StartsWith("</")) {
        EndTag(open);
      } else if (StartsWith("<!--")) {
        Comment();
      } else if (StartsWith("<![CDATA[")) {
        Fail(XmlFault::Cdata);
      } else if (StartsWith("<!") || StartsWith("<?")) {
        Fail(XmlFault::UnrecognisedConstruct);
      } else {
        if (open.size() >= static_cast<std::size_t>(TXmlDocument::kMaxDepth)) Fail(XmlFault::NestedTooDeeply);
        auto child = StartTag(closed);
        TXmlNode* added = open.back()->Append(std::move(child));
        if (!closed) open.push_back(added);
      }
    }
    return root;
  }

  void EndTag(std::vector<TXmlNode*>& open) {
    const std::size_t at = p_;
    p_ += 2;
    const std::string name = Name();
    SkipSpace();
    Expect('>');
    if (name != open.back()->name_)
      FailAt(at, XmlFault::TagMismatch, open.back()->name_, name);
    open.pop_back();
  }

  const std::string& t_;
  std::shared_ptr<const XmlOptions> owner_;
  std::size_t p_ = 0;
  std::size_t nodes_ = 0;
};

void TXmlDocument::LoadFromString(const std::string& text) {
  if (text.size() > kMaxFileBytes) throw XmlError(XmlCause{XmlFault::TooLarge});
  auto options = std::make_shared<XmlOptions>();
  bool declaration = false;
  std::string version = "1.0";
  std::string encoding = "utf-8";
  auto root = XmlParser(text, options).Parse(declaration, version, encoding);
  options_ = std::move(options);
  root_ = std::move(root);
  declaration_ = declaration;
  version_ = version;
  encoding_ = encoding;
}

}  // namespace tivolan
