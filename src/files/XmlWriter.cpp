// The writer: each element takes its layout from the options of the
// document that created it, so a compact subtree can sit in a readable tree.
#include "files/XmlDocument.h"

namespace tivolan {

class XmlWriter {
 public:
  static void Element(const TXmlNode& node, int depth, std::string& out) {
    const XmlOptions& o = *node.owner_;
    const bool readable = o.form == XmlForm::Readable;
    std::string indent;
    if (readable)
      for (int i = 0; i < depth; ++i) indent += o.indent;
    const std::string eol = Eol(o);
    out += indent;
    out += '<';
    out += node.name_;
    for (int i = 0; i < node.attributeCount_; ++i) {
      const TXmlNode& a = *node.children_[static_cast<std::size_t>(i)];
      out += ' ';
      out += a.name_;
      out += '=';
      out += a.quote_;
      out += a.value_;
      out += a.quote_;
    }
    if (node.NodeCount() == node.attributeCount_) {
      out += o.closeText;
      out += eol;
      return;
    }
    out += '>';
    out += eol;
    for (std::size_t i = static_cast<std::size_t>(node.attributeCount_); i < node.children_.size(); ++i) {
      const TXmlNode& child = *node.children_[i];
      if (child.kind_ == TXmlNode::Kind::Element) {
        Element(child, depth + 1, out);
      } else {
        const std::string childIndent = readable ? indent + o.indent : std::string();
        out += childIndent + child.value_ + eol;
      }
    }
    out += indent;
    out += "</";
    out += node.name_;
    out += '>';
    out += eol;
  }

  static std::string Eol(const XmlOptions& o) {
    if (o.form != XmlForm::Readable) return {};
    return o.lineEnd == XmlLineEnd::CRLF ? "\r\n" : "\n";
  }
};

std::string TXmlDocument::SaveToString() const {
  if (!root_) throw XmlError(XmlCause{XmlFault::NoRootToWrite});
  std::string out;
  if (declaration_)
    out += "<?xml version=\"" + version_ + "\" encoding=\"" + encoding_ + "\"?>" + XmlWriter::Eol(*options_);
  XmlWriter::Element(*root_, 0, out);
  return out;
}

}  // namespace tivolan
