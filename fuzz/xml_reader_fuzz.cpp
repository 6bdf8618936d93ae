// libFuzzer target: the XML reader on arbitrary bytes. A refused text must
// end in XmlError and leave the document as it was; an accepted one must hold
// no more than the reader's limits allow.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/XmlDocument.h"

namespace {

using tivolan::TXmlDocument;
using tivolan::TXmlNode;

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

// Walks the tree without recursion, as a hostile tree deserves.
void CheckTree(const TXmlNode& root) {
  std::vector<const TXmlNode*> pending{&root};
  while (!pending.empty()) {
    const TXmlNode* node = pending.back();
    pending.pop_back();
    if (node->Depth() >= TXmlDocument::kMaxDepth) Broken("nested deeper than the limit");
    if (node->Name().empty() || node->Name().size() > TXmlDocument::kMaxNameBytes) Broken("bad element name");
    for (int i = 0; i < node->NodeCount(); ++i) {
      const TXmlNode* child = node->NodeAt(i);
      if (child->Parent() != node) Broken("child with a wrong parent");
      const bool isAttribute = child->NodeKind() == TXmlNode::Kind::Attribute;
      if (isAttribute != (i < node->AttributeCount())) Broken("attributes not first");
      if (isAttribute && child->RawValue().size() > TXmlDocument::kMaxValueBytes) Broken("value over the limit");
      if (child->NodeKind() == TXmlNode::Kind::Element) pending.push_back(child);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TXmlDocument doc;
  doc.LoadFromString("<kept a='1'/>");
  try {
    doc.LoadFromString(text);
  } catch (const tivolan::XmlError& e) {
    const TXmlNode* root = doc.Root();
    if (!root || root->Name() != "kept" || root->AttributeValueAt(0) != "1")
      Broken(std::string("a refused text changed the document: ") + e.what());
    return 0;
  }
  if (!doc.Root()) Broken("accepted without a root element");
  CheckTree(*doc.Root());
  return 0;
}
