// A configuration file is untrusted input: every malformed text must end in
// an XmlError (or a refused configuration) and leave what was held untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "files/FileOps.h"
#include "files/XmlDocument.h"
#include "model/DefaultImages.h"
#include "support/RecordingPrompter.h"
#include "support/ConfigTexts.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;
using namespace std::literals;


ImageBuffer Defaults(int type) { return test::DefaultImage(type); }

std::string SavedText(int type) { return BuildConfigDocument(Defaults(type), type).SaveToString(); }

// Loads the text into a document that held "<kept/>"; returns the error
// text, or "" when the text was accepted.
std::string Refusal(const std::string& text) {
  TXmlDocument doc;
  doc.LoadFromString("<kept/>");
  try {
    doc.LoadFromString(text);
  } catch (const XmlError& e) {
    EXPECT_EQ(doc.Root()->Name(), "kept") << "a refused text replaced the document";
    return e.what();
  }
  return "";
}

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string s;
  s.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) s += piece;
  return s;
}

TEST(HostileXml, EveryTruncationOfASavedFileIsRefused) {
  for (int type = 1; type <= 3; ++type) {
    const std::string text = SavedText(type);
    const std::size_t rootEnd = text.rfind("</config>") + std::string("</config>").size();
    for (std::size_t cut = 0; cut < rootEnd; ++cut)
      ASSERT_NE(Refusal(text.substr(0, cut)), "") << "type " << type << " cut at " << cut;
    EXPECT_EQ(Refusal(text.substr(0, rootEnd)), "") << "only the last line end is missing";
  }
}

TEST(HostileXml, MalformedTextsNameTheirFault) {
  const struct {
    std::string_view text;
    const char* fault;
  } cases[] = {
      {"<a>\r\n<b></a>", "begin and end tag mismatch: \"b\" and \"a\" at line 2"},
      {"<a b=\"1/>", "stream terminated prematurely"},
      {"<a b=1/>", "quote"},
      {"<a b=\"1\" b=\"2\"/>", "given twice"},
      {"<a b=\"<\"/>", "'<' in an attribute value"},
      {"<a b=\"&foo;\"/>", "unknown entity"},
      {"<a b=\"&#65;\"/>", "unknown entity"},
      {"<a>x &amp y</a>", "unknown entity"},
      {"<!DOCTYPE a><a/>", "document type declarations are not supported"},
      {"<a><![CDATA[x]]></a>", "CDATA"},
      {"<a><?pi x?></a>", "unrecognised construct"},
      {"<a><!-- x -- y --></a>", "'--' in a comment"},
      {"<a><!-- never closed </a>", "stream terminated prematurely"},
      {"<a/><b/>", "content after the root element"},
      {"text<a/>", "text outside the root element"},
      {"", "no root element"},
      {"<?xml version=\"1.0\"?>", "no root element"},
      {"<?xml version=\"1.0\" encoding=\"windows-1251\"?><a/>", "encoding windows-1251 is not supported"},
      {"<?xml version=\"2.0\"?><a/>", "version 2.0 is not supported"},
      {"<a>\x01</a>", "control character"},
      {"<a>\xC3</a>", "not UTF-8 text"},
      {"<a>\xC0\x80</a>", "not UTF-8 text"},
      {"<a>\xED\xA0\x80</a>", "not UTF-8 text"},
      {"\xFF\xFE<\0a\0/\0>\0"sv, "not UTF-8 text"},
      {"<a>]]></a>", "\"]]>\" in text"},
      {"<a", "stream terminated prematurely"},
      {"<a></a", "stream terminated prematurely"},
  };
  for (const auto& c : cases) {
    const std::string error = Refusal(std::string(c.text));
    ASSERT_NE(error, "") << "accepted: " << c.text;
    EXPECT_NE(error.find(c.fault), std::string::npos) << c.text << " gave: " << error;
  }
}

TEST(HostileXml, SizeAndNestingLimitsHold) {
  // 200 000 open elements: refused at the depth limit, without recursion.
  EXPECT_NE(Refusal(Repeat("<a>", 200000)).find("nested too deeply"), std::string::npos);
  // Closed again they pass the file limit first.
  EXPECT_EQ(Refusal(Repeat("<a>", 200000) + Repeat("</a>", 200000)), "file too large");
  EXPECT_NE(Refusal("<r>" + Repeat("<a/>", 200000) + "</r>").find("too many nodes"), std::string::npos);
  EXPECT_EQ(Refusal("<a v=\"" + std::string(20u << 20, 'x') + "\"/>"), "file too large");
  EXPECT_NE(Refusal("<a v=\"" + std::string(900000, 'x') + "\"/>").find("attribute value too long"),
            std::string::npos);
  EXPECT_NE(Refusal("<" + std::string(300, 'n') + "/>").find("name"), std::string::npos);

  std::string deepest;
  for (int i = 0; i < TXmlDocument::kMaxDepth; ++i) deepest += "<a>";
  for (int i = 0; i < TXmlDocument::kMaxDepth; ++i) deepest += "</a>";
  EXPECT_EQ(Refusal(deepest), "") << "the limit itself is allowed";
}

TEST(HostileXml, BinaryJunkAndDamagedFilesNeverCrash) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 2000; ++round) {
    std::string junk(random() % 600, '\0');
    for (char& c : junk) c = static_cast<char>(random());
    junk.insert(0, round % 2 ? "<config FileID=\"8\">" : "");
    EXPECT_NE(Refusal(junk), "");
  }
  // Damaged copies of a real file: each is refused or, when still XML, read
  // as a configuration or refused as one, never half taken.
  const std::string text = SavedText(2);
  const ImageBuffer current = Defaults(1);
  for (int round = 0; round < 3000; ++round) {
    std::string damaged = text;
    for (int k = 0; k <= round % 4; ++k) damaged[random() % damaged.size()] = "<>/=\"&x\x01\xD0 "[random() % 11];
    TXmlDocument doc;
    try {
      doc.LoadFromString(damaged);
    } catch (const XmlError&) {
      continue;
    }
    const LoadedConfig r = ReadConfigDocument(doc, current);
    if (r.code == kNotAConfiguration) {
      ASSERT_EQ(r.buffer, current) << damaged;
    }
  }
}

class HostileFiles : public ::testing::Test, protected test::TempDir {
 protected:
  HostileFiles() : TempDir("tivolan-hostile") {}
};

TEST_F(HostileFiles, RefusedFilesLeaveTheImageAsItWas) {
  ImageBuffer current = Defaults(3);
  current[20] = 0x5A;
  const std::string paths[] = {
      Write("empty.cf8", ""),
      Write("huge.cf8", "<a v=\"" + std::string(20u << 20, 'x') + "\"/>"),
      Write("deep.cf8", Repeat("<a>", 200000)),
      Write("cut.cf8", SavedText(1).substr(0, 900)),
      Write("junk.cf8", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)),
      dir.string(),
  };
  for (const std::string& path : paths) {
    const LoadedConfig r = LoadConfigFile(path, current);
    EXPECT_EQ(r.code, kNotAConfiguration) << path;
    EXPECT_EQ(r.buffer, current) << path;
  }
}

}  // namespace
}  // namespace tivolan
