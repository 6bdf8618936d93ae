// libFuzzer target: the ".cf8" reader behind the XML reader. For a text the
// XML reader accepts:
//  - a refused configuration says why and leaves the image as it was;
//  - the document written back, compact or readable, reads again to the same
//    text and to the same configuration;
//  - a configuration it accepts, written out as the program writes files,
//    reads back to the same image.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/FileOps.h"
#include "files/XmlDocument.h"

namespace {

using namespace tivolan;

// Stands in for the GSM settings' code: takes any "configMPI", writes none.
class AnyGsm : public GsmSubtree {
 public:
  void Write(TXmlNode&) override {}
  bool Read(const TXmlNode&) override { return true; }
};

[[noreturn]] void Broken(const std::string& what, const std::string& text) {
  std::fprintf(stderr, "%s\n--- text:\n%s\n---\n", what.c_str(), text.c_str());
  std::abort();
}

// Bytes unlike any default image, so that a byte the reader forgot to set
// or set wrongly shows.
ImageBuffer Background() {
  ImageBuffer b{};
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(0xA5 ^ (i * 7));
  return b;
}

bool Same(const LoadedConfig& a, const LoadedConfig& b) { return a.code == b.code && a.buffer == b.buffer; }

TXmlDocument Reread(const std::string& text) {
  TXmlDocument doc;
  try {
    doc.LoadFromString(text);
  } catch (const XmlError& e) {
    Broken(std::string("written text refused: ") + e.what(), text);
  }
  return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TXmlDocument doc;
  try {
    doc.LoadFromString(text);
  } catch (const XmlError&) {
    return 0;
  }

  const ImageBuffer current = Background();
  AnyGsm gsm;
  const LoadedConfig plain = ReadConfigDocument(doc, current);
  const LoadedConfig read = ReadConfigDocument(doc, current, &gsm);
  if (read.code != kNotAConfiguration && (read.code < 1 || read.code > 3)) Broken("code out of range", text);
  // A refused document says why and leaves the image as it was.
  for (const LoadedConfig* r : {&plain, &read})
    if (r->code == kNotAConfiguration && (!HasCause(r->problem) || r->buffer != current)) Broken("refused unseen", text);
  // Without GSM settings a file can only be refused more often, never read
  // differently.
  if (plain.code != kNotAConfiguration && !Same(plain, read)) Broken("GSM settings changed a file without GSM", text);

  const struct {
    XmlForm form;
    XmlLineEnd lineEnd;
  } layouts[] = {{XmlForm::Compact, XmlLineEnd::LF}, {XmlForm::Readable, XmlLineEnd::LF},
                 {XmlForm::Readable, XmlLineEnd::CRLF}};
  for (const auto& layout : layouts) {
    doc.SetForm(layout.form);
    doc.SetLineEnd(layout.lineEnd);
    const std::string written = doc.SaveToString();
    TXmlDocument again = Reread(written);
    again.SetForm(layout.form);
    again.SetLineEnd(layout.lineEnd);
    if (again.SaveToString() != written) Broken("written text not stable", written);
    if (!Same(ReadConfigDocument(again, current, &gsm), read)) Broken("written text reads differently", written);
  }

  if (read.code != kNotAConfiguration) {
    const std::string saved = BuildConfigDocument(read.buffer, read.code, &gsm).SaveToString();
    if (!Same(ReadConfigDocument(Reread(saved), current, &gsm), read)) Broken("saved file reads differently", saved);
  }
  return 0;
}
