#include <gtest/gtest.h>

#include "files/TextCase.h"
#include "files/XmlDocument.h"

namespace tivolan {
namespace {

TEST(XmlEscaping, FiveCharactersBothWays) {
  EXPECT_EQ(XmlEscape("a\"b&c'd<e>f"), "a&quot;b&amp;c&apos;d&lt;e&gt;f");
  EXPECT_EQ(XmlUnescape("a&quot;b&amp;c&apos;d&lt;e&gt;f"), "a\"b&c'd<e>f");
  EXPECT_EQ(XmlUnescape("&AMP; &amp"), "&AMP; &amp") << "only exact entities";
  EXPECT_EQ(XmlUnescape("&amp;quot;"), "&quot;");
}

TEST(XmlEscaping, ValueWithAmpersandAndQuoteRoundTrips) {
  TXmlDocument doc("r");
  doc.Root()->WriteAttributeString("v", "Tom & \"Jerry\" <x>", "");
  const std::string text = doc.SaveToString();
  EXPECT_NE(text.find("v=\"Tom &amp; &quot;Jerry&quot; &lt;x&gt;\""), std::string::npos) << text;
  TXmlDocument back;
  back.LoadFromString(text);
  EXPECT_EQ(back.Root()->AttributeValueAt(0), "Tom & \"Jerry\" <x>");
}

TEST(XmlWriter, ReadableFormWithCrLfAndTabs) {
  TXmlDocument doc("config");
  doc.SetForm(XmlForm::Readable);
  doc.SetLineEnd(XmlLineEnd::CRLF);
  doc.Root()->WriteAttributeInteger("version", 1, 0);
  TXmlNode* device = doc.Root()->AddElement("device");
  device->AddElement("empty");
  device->AddElement("one")->WriteAttributeInteger("a", -5, 0);
  EXPECT_EQ(doc.SaveToString(),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
            "<config version=\"1\">\r\n"
            "\t<device>\r\n"
            "\t\t<empty/>\r\n"
            "\t\t<one a=\"-5\"/>\r\n"
            "\t</device>\r\n"
            "</config>\r\n");
}

TEST(XmlWriter, CompactFormIsOneRun) {
  TXmlDocument doc("a");
  doc.Root()->AddElement("b")->AddElement("c");
  EXPECT_EQ(doc.SaveToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?><a><b><c/></b></a>");
}

TEST(XmlWriter, CompactSubtreeInsideAReadableDocument) {
  TXmlDocument outer("config");
  outer.SetForm(XmlForm::Readable);
  outer.SetLineEnd(XmlLineEnd::CRLF);
  TXmlNode* mpi = outer.Root()->AddElement("device")->AddElement("configMPI");
  TXmlDocument inner("configMPI");  // compact by default
  TXmlNode* cfg = inner.Root()->AddElement("CFG");
  cfg->WriteAttributeInteger("DeviceNum", 4660, 0);
  cfg->AddElement("CID_Destinations");
  mpi->AttachNode(cfg);
  EXPECT_EQ(inner.Root()->NodeCount(), 0) << "moved, not copied";
  EXPECT_EQ(outer.SaveToString(),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
            "<config>\r\n"
            "\t<device>\r\n"
            "\t\t<configMPI>\r\n"
            "<CFG DeviceNum=\"4660\"><CID_Destinations/></CFG>\t\t</configMPI>\r\n"
            "\t</device>\r\n"
            "</config>\r\n");
}

TEST(XmlWriter, AnAttachedSubtreeOutlivesItsDocument) {
  TXmlDocument outer("r");
  {
    TXmlDocument inner("x");
    outer.Root()->AttachNode(inner.Root()->AddElement("kept"));
  }
  EXPECT_EQ(outer.SaveToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><kept/></r>");
}

TEST(XmlWriter, NoRootElement) {
  TXmlDocument doc;
  try {
    doc.SaveToString();
    FAIL();
  } catch (const XmlError& e) {
    EXPECT_STREQ(e.what(), "XML root element not defined.");
  }
}

TEST(XmlWriter, WriteOnDefaultOffSkipsDefaultValuesAndAttributesKeepTheirPlace) {
  TXmlDocument doc("r");
  doc.Options().writeOnDefault = false;
  TXmlNode* r = doc.Root();
  r->WriteAttributeInteger("a", 0, 0);
  r->WriteAttributeInteger("b", 2, 0);
  r->AddElement("child");
  r->WriteAttributeString("c", "x", "");
  r->WriteAttributeInteger("B", 3, 0);  // same attribute, another letter case
  EXPECT_EQ(r->AttributeCount(), 2);
  EXPECT_EQ(r->NodeCount(), 3);
  EXPECT_EQ(r->NodeAt(1)->Name(), "c") << "attributes come before elements";
  EXPECT_EQ(r->AttributeValueAt(0), "3");
}

TEST(XmlNodes, ReadingByPositionAndByName) {
  TXmlDocument doc;
  doc.LoadFromString("<r n=\"7\" h=\"$1F\" t=\"x1\" neg=\"-3\" big=\"99999999999\"/>");
  const TXmlNode* r = doc.Root();
  EXPECT_EQ(r->AttributeIntegerAt(0), 7);
  EXPECT_EQ(r->AttributeIntegerAt(1), 31);
  EXPECT_EQ(r->AttributeIntegerAt(2), 0);
  EXPECT_EQ(r->AttributeIntegerAt(3), -3);
  EXPECT_EQ(r->AttributeIntegerAt(4), 0);
  EXPECT_EQ(r->AttributeIntegerAt(9), 0);
  EXPECT_EQ(r->AttributeValueAt(9), "");
  EXPECT_EQ(r->ReadAttributeInteger("N", 5), 7);
  EXPECT_EQ(r->ReadAttributeInteger("missing", 5), 5);
  EXPECT_EQ(r->ReadAttributeInteger("t", 5), 5);
  EXPECT_EQ(r->NodeAt(5), nullptr);
  EXPECT_EQ(r->NodeAt(-1), nullptr);
}

TEST(XmlNodes, NamesCompareWithoutLetterCaseCyrillicIncluded) {
  EXPECT_TRUE(EqualsIgnoreCase("LOOPS", "loops"));
  EXPECT_TRUE(EqualsIgnoreCase("ШЛЕЙФЫ", "шлейфы"));
  EXPECT_TRUE(EqualsIgnoreCase("ЁЖИК", "ёжик"));
  EXPECT_TRUE(EqualsIgnoreCase("ЇЄЎЂҐ", "їєўђґ"));
  EXPECT_FALSE(EqualsIgnoreCase("Е", "Ё"));
  EXPECT_FALSE(EqualsIgnoreCase("zone", "zones"));
  EXPECT_FALSE(EqualsIgnoreCase("Ш", "ш\x80"));
}

TEST(XmlNodes, FindNodeIsDepthFirstCaseInsensitiveAndSkipsItself) {
  TXmlDocument doc;
  doc.LoadFromString(
      "<CFG><A><SIM1 k=\"deep\"/></A><GPRS_Settings><SIM1 k=\"later\"/></GPRS_Settings><sim1 k=\"last\"/></CFG>");
  EXPECT_EQ(doc.Root()->FindNode("sim1")->AttributeValueAt(0), "deep");
  EXPECT_EQ(doc.Root()->FindNode("gprs_settings")->FindNode("SIM1")->AttributeValueAt(0), "later");
  EXPECT_EQ(doc.Root()->FindNode("cfg"), nullptr);
  TXmlDocument cyr;
  cyr.LoadFromString("<r><Шлейф/></r>");
  EXPECT_NE(cyr.Root()->FindNode("шлейФ"), nullptr);
}

TEST(XmlReader, ReadableCrLfDocumentReadsBackWithoutTextNodes) {
  TXmlDocument doc("config");
  doc.SetForm(XmlForm::Readable);
  doc.SetLineEnd(XmlLineEnd::CRLF);
  TXmlNode* device = doc.Root()->AddElement("device");
  device->WriteAttributeString("name", "Ирт-ОП8А", "");
  device->AddElement("loops")->AddElement("zone")->WriteAttributeInteger("ID", 1, 0);
  const std::string text = doc.SaveToString();
  TXmlDocument back;
  back.LoadFromString(text);
  ASSERT_EQ(back.Root()->NodeCount(), 1);
  const TXmlNode* d = back.Root()->NodeAt(0);
  EXPECT_EQ(d->NodeCount(), 2);
  EXPECT_EQ(d->AttributeValueAt(0), "Ирт-ОП8А");
  EXPECT_EQ(d->NodeAt(1)->NodeAt(0)->Depth(), 3);
  back.SetForm(XmlForm::Readable);
  back.SetLineEnd(XmlLineEnd::CRLF);
  EXPECT_EQ(back.SaveToString(), text) << "read and written again, byte for byte";
}

TEST(XmlReader, TextContentIsTrimmedAndKept) {
  TXmlDocument doc;
  doc.LoadFromString("<r>\n  a &amp; b  \n<c/></r>");
  ASSERT_EQ(doc.Root()->NodeCount(), 2);
  EXPECT_EQ(doc.Root()->NodeAt(0)->NodeKind(), TXmlNode::Kind::Text);
  EXPECT_EQ(doc.Root()->NodeAt(0)->Value(), "a & b");
}

TEST(XmlReader, AFailedLoadKeepsTheDocument) {
  TXmlDocument doc;
  doc.LoadFromString("<keep/>");
  EXPECT_THROW(doc.LoadFromString("<a></b>"), XmlError);
  EXPECT_EQ(doc.Root()->Name(), "keep");
}

}  // namespace
}  // namespace tivolan
