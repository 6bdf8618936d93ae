// The GSM settings below "configMPI": byte-exact subtrees, the reading
// rules, the refused files and the round trip through the file commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "files/FileIO.h"
#include "files/FileOps.h"
#include "files/GsmSubtree.h"
#include "link/BCC.h"
#include "model/DefaultImages.h"
#include "configuration/FileCommands.h"
#include "support/ConfigTexts.h"
#include "support/FrameBytes.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {


using test::Ascii;
using test::Bytes;
using test::Concat;
using test::DefaultLoops;
using test::FrameOf;
using test::Sealed;
const auto& kHead = test::kFileHead;
const auto& kTail = test::kFileTail;

// The SMS records 1..k of block 4 and the end mark behind them.
Bytes SmsRecords(const SmsList& list, int k) {
  const BlockData data = list.Pack();
  return Bytes(data.begin(), data.begin() + std::min<long>(static_cast<long>(data.size()), 1 + 10 * k));
}

// A block as the frame written out gives it.
template <typename Values>
void Put(Values& values, const Bytes& frame) {
  values = test::ValuesOf<Values>(frame);
}

GprsSettings Gprs(std::string apn1, std::string user1, std::string pass1, std::string apn2, std::string user2,
                  std::string pass2) {
  return {{{{std::move(apn1), std::move(user1), std::move(pass1)}, {std::move(apn2), std::move(user2), std::move(pass2)}}}};
}


ImageBuffer Defaults(int type) { return test::DefaultImage(type); }

// What the program held before a file was read: every field set, so that a
// field the reader should have set and did not shows.
GsmSettings Held() {
  GsmSettings s;
  s.dest.deviceNumber = 0xA5A5;
  s.dest.gprs = s.dest.sms = 0xA5;
  for (auto& record : s.dest.records) record = DestRecord::OfConfig(0xA5, "held");
  s.sms.records.assign(kSmsRecords, SmsRecord{0x5A, 0x5A, {0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}});
  s.gprs = Gprs("held.apn1", "u1", "p1", "held.apn2", "u2", "p2");
  return s;
}


// The panel children before "configMPI"; `sysCfg` differs by type.
std::string PanelHead(int type, const char* name, int sysCfg) {
  return kHead + "\t<device ID=\"" + std::to_string(type) + "\" name=\"" + name + "\">\r\n" + DefaultLoops() +
         "\t\t<PartDep mask=\"0\"/>\r\n"
         "\t\t<rele AlarmFire=\"51\" CtrlFail=\"16\"/>\r\n"
         "\t\t<sndWrkTime min=\"2\"/>\r\n"
         "\t\t<OPsCheck mask=\"0\"/>\r\n"
         "\t\t<sysCFG Value=\"" + std::to_string(sysCfg) + "\"/>\r\n"
         "\t\t<GuardSnd On=\"1\"/>\r\n"
         "\t\t<LampMode mode=\"16\"/>\r\n"
         "\t\t<devTX ID=\"2\"/>\r\n";
}

// The subtree written below a "configMPI" root of a readable document.
std::string WrittenSubtree(const GsmSettings& s) {
  TXmlDocument doc("configMPI");
  doc.SetForm(XmlForm::Readable);
  doc.SetLineEnd(XmlLineEnd::CRLF);
  GsmFileSubtree(s).Write(*doc.Root());
  return doc.SaveToString();
}
const std::string kMpiHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<configMPI>\r\n";
const std::string kMpiTail = "</configMPI>\r\n";

// Reads a "CFG" text over `base`; nullopt when refused.
std::optional<GsmSettings> ReadSubtree(const std::string& cfg, const GsmSettings& base = Held()) {
  TXmlDocument doc;
  doc.LoadFromString("<configMPI>" + cfg + "</configMPI>");
  GsmFileSubtree gsm(base);
  if (!gsm.Read(*doc.Root())) return std::nullopt;
  return gsm.Settings();
}

const Bytes kPhone79031234567 = {0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF};
const Bytes kPhone9031234567 = {0x09, 0x13, 0x32, 0x54, 0x76, 0x0F, 0xFF, 0xFF};
const Bytes kSeven = Ascii("+79031234567");

// ---------------------------------------------------------------------------
// Whole files, byte for byte, and what they read back to.

// Type 1: one destination (2 attempts, SIM 1, CSD), two SMS recipients, GPRS.
const Bytes kPanelDest = Sealed(Concat({{0x7E, 0x1B, 0x57, 0x02, 0x12, 0x34, 0x01, 0x01, 0x0D, 0x49},
                                        kSeven,
                                        {0x00, 0x00, 0x00, 0x00}}));
const Bytes kPanelSmsRecords = Concat({{0x02, 0x03}, kPhone79031234567, {0x01, 0x01}, kPhone9031234567, {0x00}});
const std::string kPanelCfg =
    "<CFG DeviceNum=\"4660\"><CID_Destinations><Dest1 trySIMProt=\"73\" PhOrHst=\"+79031234567\"/>"
    "</CID_Destinations><SMS_List><SMS PartID=\"3\" cfg=\"2\" pdu=\"9730214365F7FFFF\"/>"
    "<SMS PartID=\"1\" cfg=\"1\" pdu=\"09133254760FFFFF\"/></SMS_List><GPRS_Settings>"
    "<SIM1 APN=\"internet\" user=\"\" password=\"\"/><SIM2 APN=\"internet.mts.ru\" user=\"zuk\" password=\"zuk\"/>"
    "</GPRS_Settings></CFG>";

TEST(GsmFileText, TypeOnePanelByteForByteAndBack) {
  ImageBuffer image = Defaults(1);
  image[38] = 2;
  GsmSettings s = Held();
  Put(s.dest, kPanelDest);
  Put(s.sms, Sealed(Concat({{0x7E, 0x1A, 0x57, 0x04}, kPanelSmsRecords})));
  s.gprs = Gprs("internet", "", "", "internet.mts.ru", "zuk", "zuk");
  GsmFileSubtree gsm(s);
  const std::string expected = PanelHead(1, "Ирт-ОП8А", 192) +
                               "\t\t<configMPI>\r\n" + kPanelCfg + "\t\t</configMPI>\r\n" + kTail;
  EXPECT_EQ(BuildConfigDocument(image, 1, &gsm).SaveToString(), expected);

  TXmlDocument doc;
  doc.LoadFromString(expected);
  GsmFileSubtree back(Held());
  const LoadedConfig loaded = ReadConfigDocument(doc, Defaults(1), &back);
  ASSERT_EQ(loaded.code, 1);
  EXPECT_EQ(loaded.buffer, image);
  EXPECT_EQ(FrameOf(back.Settings().dest), kPanelDest);
  EXPECT_EQ(SmsRecords(back.Settings().sms, 2), kPanelSmsRecords);
  EXPECT_EQ(FrameOf(back.Settings().gprs),
            Sealed(Concat({{0x7E, 0x2A, 0x57, 0x03, 0x0B}, Ascii("internet"), {0x00, 0x00, 0x00, 0x18},
                           Ascii("internet.mts.ru"), {0x00}, Ascii("zuk"), {0x00}, Ascii("zuk"), {0x00}})));
  EXPECT_EQ(back.Settings().gprs, Gprs("internet", "", "", "internet.mts.ru", "zuk", "zuk"));
}

// Type 2: "configMPI" before "SlaveBus"; a host in destination 2 only,
// neither SMS nor GPRS.
TEST(GsmFileText, TypeTwoPanelPutsTheSubtreeBeforeTheBusNumber) {
  ImageBuffer image = Defaults(2);
  image[38] = 2;
  GsmSettings s = Held();
  const Bytes dest = Sealed(Concat({{0x7E, 0x1C, 0x57, 0x02, 0x00, 0x07, 0x00, 0x00, 0x00, 0x0E, 0x62},
                                    Ascii("10.0.0.1:5000"),
                                    {0x00, 0x00, 0x00}}));
  Put(s.dest, dest);
  GsmFileSubtree gsm(s);
  const std::string expected = PanelHead(2, "Ирт-ОП8", 128) +
                               "\t\t<configMPI>\r\n"
                               "<CFG DeviceNum=\"7\"><CID_Destinations><Dest2 trySIMProt=\"98\" "
                               "PhOrHst=\"10.0.0.1:5000\"/></CID_Destinations></CFG>\t\t</configMPI>\r\n"
                               "\t\t<SlaveBus BusID=\"1\"/>\r\n" +
                               kTail;
  EXPECT_EQ(BuildConfigDocument(image, 2, &gsm).SaveToString(), expected);

  TXmlDocument doc;
  doc.LoadFromString(expected);
  GsmFileSubtree back(Held());
  ASSERT_EQ(ReadConfigDocument(doc, Defaults(2), &back).code, 2);
  EXPECT_EQ(FrameOf(back.Settings().dest), dest);
  EXPECT_EQ(back.Settings().sms, Held().sms) << "no SMS list: block 4 stays";
  EXPECT_EQ(back.Settings().gprs, Held().gprs) << "no GPRS settings: block 3 stays";
}

// The concentrator: "configMPI", then "GSM_Control" and "GSM_TX".
TEST(GsmFileText, ConcentratorByteForByteAndBack) {
  ImageBuffer image = Defaults(3);
  image[10] = 1;
  GsmSettings s = Held();
  const Bytes dest = Sealed(Concat({{0x7E, 0x2D, 0x57, 0x02, 0x27, 0x0F, 0x01, 0x01, 0x0D, 0x21},
                                    kSeven,
                                    {0x00, 0x00, 0x00, 0x12, 0xB3},
                                    Ascii("host.example:7000")}));
  Put(s.dest, dest);
  const Bytes records = Concat({{0x01, 0x40}, kPhone79031234567, {0x00}});
  Put(s.sms, Sealed(Concat({{0x7E, 0x10, 0x57, 0x04}, records})));
  s.gprs = Gprs("", "", "", "internet", "", "");
  GsmFileSubtree gsm(s);
  const std::string expected =
      kHead +
      "\t<device ID=\"3\" name=\"Ирт-ОП-КС\">\r\n"
      "\t\t<expanders mask=\"0\"/>\r\n"
      "\t\t<BVIAlarm mask=\"0\"/>\r\n"
      "\t\t<BVIButtons mask=\"0\"/>\r\n"
      "\t\t<rele AlarmFire=\"51\"/>\r\n"
      "\t\t<OPsCheck mask=\"0\"/>\r\n"
      "\t\t<buzzer Value=\"1\"/>\r\n"
      "\t\t<useTD mask=\"0\"/>\r\n"
      "\t\t<configMPI>\r\n"
      "<CFG DeviceNum=\"9999\"><CID_Destinations><Dest1 trySIMProt=\"33\" PhOrHst=\"+79031234567\"/>"
      "<Dest5 trySIMProt=\"179\" PhOrHst=\"host.example:7000\"/></CID_Destinations><SMS_List>"
      "<SMS PartID=\"64\" cfg=\"1\" pdu=\"9730214365F7FFFF\"/></SMS_List><GPRS_Settings>"
      "<SIM1 APN=\"\" user=\"\" password=\"\"/><SIM2 APN=\"internet\" user=\"\" password=\"\"/></GPRS_Settings>"
      "</CFG>\t\t</configMPI>\r\n"
      "\t\t<GSM_Control mask=\"1\"/>\r\n"
      "\t\t<GSM_TX mask=\"0\"/>\r\n" +
      kTail;
  EXPECT_EQ(BuildConfigDocument(image, 3, &gsm).SaveToString(), expected);

  TXmlDocument doc;
  doc.LoadFromString(expected);
  GsmFileSubtree back(Held());
  const LoadedConfig loaded = ReadConfigDocument(doc, Defaults(3), &back);
  ASSERT_EQ(loaded.code, 3);
  EXPECT_EQ(loaded.buffer[10], 1);
  EXPECT_EQ(FrameOf(back.Settings().dest), dest);
  EXPECT_EQ(SmsRecords(back.Settings().sms, 1), records);
  EXPECT_EQ(FrameOf(back.Settings().gprs),
            Sealed(Concat({{0x7E, 0x12, 0x57, 0x03, 0x00, 0x0B}, Ascii("internet"), {0x00, 0x00, 0x00}})));
}

// ---------------------------------------------------------------------------
// The subtree's edge cases, written and read back.

TEST(GsmFileSubtreeRules, DeviceNumberAndPhoneBytesGoBothWays) {
  GsmSettings s = Held();
  Put(s.dest, Sealed({0x7E, 0x0E, 0x57, 0x02, 0x12, 0x34, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
  Put(s.sms, Sealed({0x7E, 0x10, 0x57, 0x04, 0x02, 0x05, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x00}));
  const std::string cfg = "<CFG DeviceNum=\"4660\"><CID_Destinations/><SMS_List>"
                          "<SMS PartID=\"5\" cfg=\"2\" pdu=\"0123456789ABCDEF\"/></SMS_List></CFG>";
  EXPECT_EQ(WrittenSubtree(s), kMpiHead + cfg + kMpiTail);

  const auto back = ReadSubtree(cfg);
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), Sealed({0x7E, 0x0E, 0x57, 0x02, 0x12, 0x34, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(SmsRecords(back->sms, 1), Bytes({0x02, 0x05, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x00}));
}

// Numbers beyond 16 bits and values that are no number are refused
// (file_numbers_test.cpp).
TEST(GsmFileSubtreeRules, DeviceNumIsReadByNameInAnyCaseAsSixteenBits) {
  const struct {
    const char* cfg;
    uint8_t high, low;
  } cases[] = {
      {"<CFG x=\"9\" devicenum=\"258\"/>", 0x01, 0x02},
      {"<CFG DEVICENUM=\"$1234\" x=\"9\"/>", 0x12, 0x34},
      {"<CFG DeviceNum=\"65535\" fromDevice=\"1\"/>", 0xFF, 0xFF},  // a device's, beyond four digits
      {"<CFG/>", 0x00, 0x00},  // missing: 0, not the reset's 1
  };
  for (const auto& c : cases) {
    const auto back = ReadSubtree(c.cfg);
    ASSERT_TRUE(back) << c.cfg;
    EXPECT_EQ(back->dest.deviceNumber >> 8, c.high) << c.cfg;
    EXPECT_EQ(back->dest.deviceNumber & 0xFF, c.low) << c.cfg;
  }
}

TEST(GsmFileSubtreeRules, AnSmsFlagWithoutRecordsWritesAnEmptyListThatReadsBackOff) {
  GsmSettings s = Held();
  Put(s.dest, Sealed({0x7E, 0x0E, 0x57, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
  s.sms.records.clear();
  const std::string cfg = "<CFG DeviceNum=\"1\"><CID_Destinations/><SMS_List/></CFG>";
  EXPECT_EQ(WrittenSubtree(s), kMpiHead + cfg + kMpiTail);

  const auto back = ReadSubtree(cfg);
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), Sealed({0x7E, 0x0E, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_TRUE(back->sms.records.empty()) << "the list is emptied";
}

// "SMS" with partition p and phone bytes p repeated.
std::string Sms(int partition, const char* name = "SMS") {
  const std::string pair = (partition < 10 ? "0" : "") + std::to_string(partition);
  std::string pdu;
  for (int i = 0; i < 8; ++i) pdu += pair;
  return std::string("<") + name + " PartID=\"" + std::to_string(partition) + "\" cfg=\"1\" pdu=\"" + pdu + "\"/>";
}

Bytes SmsRecord(uint8_t partition) {
  const uint8_t phone = static_cast<uint8_t>(partition / 10 * 16 + partition % 10);
  return {0x01, partition, phone, phone, phone, phone, phone, phone, phone, phone};
}

TEST(GsmFileSubtreeRules, OnlyTheFirstEightChildNodesOfTheSmsListAreExamined) {
  std::string nine;
  for (int p = 1; p <= 9; ++p) nine += Sms(p);
  auto back = ReadSubtree("<CFG><SMS_List>" + nine + "</SMS_List></CFG>");
  ASSERT_TRUE(back);
  Bytes eight;
  for (uint8_t p = 1; p <= 8; ++p) eight = Concat({eight, SmsRecord(p)});
  EXPECT_EQ(SmsRecords(back->sms, 8), Concat({eight, {0x00}})) << "the end mark just behind record 8";
  EXPECT_EQ(back->sms.records.size(), 8u) << "nothing of the ninth";
  EXPECT_EQ(back->dest.sms, 1);

  // Children of other names, and text, are examined too; "sms" is no "SMS".
  std::string mixed = Sms(1) + Sms(70, "sms") + "<Note/>note";
  for (int p = 2; p <= 7; ++p) mixed += Sms(p);
  back = ReadSubtree("<CFG><SMS_List>" + mixed + "</SMS_List></CFG>");
  ASSERT_TRUE(back);
  Bytes five;
  for (uint8_t p = 1; p <= 5; ++p) five = Concat({five, SmsRecord(p)});
  EXPECT_EQ(SmsRecords(back->sms, 5), Concat({five, {0x00}}));
}

TEST(GsmFileSubtreeRules, FiveEmptyDestinationsAreAnEmptyElementAndComeBackEmpty) {
  GsmSettings s = Held();
  const Bytes empty = Sealed({0x7E, 0x0E, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  Put(s.dest, empty);
  const std::string cfg = "<CFG DeviceNum=\"1\"><CID_Destinations/></CFG>";
  EXPECT_EQ(WrittenSubtree(s), kMpiHead + cfg + kMpiTail);
  const auto back = ReadSubtree(cfg);
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), empty);

  // Without the element the reset's five empty records stay.
  const auto without = ReadSubtree("<CFG DeviceNum=\"1\"/>");
  ASSERT_TRUE(without);
  EXPECT_EQ(FrameOf(without->dest), empty);
}

TEST(GsmFileSubtreeRules, ADestinationWithoutTextIsItsConfigurationByteAlone) {
  GsmSettings s = Held();
  const Bytes dest = Sealed({0x7E, 0x0F, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x01, 0x2A, 0x00, 0x00, 0x00, 0x00});
  Put(s.dest, dest);
  const std::string cfg = "<CFG DeviceNum=\"1\"><CID_Destinations><Dest1 trySIMProt=\"42\"/></CID_Destinations></CFG>";
  EXPECT_EQ(WrittenSubtree(s), kMpiHead + cfg + kMpiTail);
  const auto back = ReadSubtree(cfg);
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), dest);
}

TEST(GsmFileSubtreeRules, DestinationsOneAndThreeKeepTheirPositions) {
  GsmSettings s = Held();
  const Bytes dest = Sealed(Concat({{0x7E, 0x26, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x0D, 0x49},
                                    kSeven,
                                    {0x00, 0x0B, 0x62},
                                    Ascii("host:24333"),
                                    {0x00, 0x00}}));
  Put(s.dest, dest);
  const std::string list = "<Dest1 trySIMProt=\"73\" PhOrHst=\"+79031234567\"/><Dest3 trySIMProt=\"98\" "
                           "PhOrHst=\"host:24333\"/>";
  EXPECT_EQ(WrittenSubtree(s),
            kMpiHead + "<CFG DeviceNum=\"1\"><CID_Destinations>" + list + "</CID_Destinations></CFG>" + kMpiTail);
  auto back = ReadSubtree("<CFG DeviceNum=\"1\"><CID_Destinations>" + list + "</CID_Destinations></CFG>");
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), dest);

  // Packed by the number in the name, not by the order in the file.
  back = ReadSubtree("<CFG DeviceNum=\"1\"><CID_Destinations><dest3 trySIMProt=\"98\" PhOrHst=\"host:24333\"/>"
                     "<Dest1 trySIMProt=\"73\" PhOrHst=\"+79031234567\"/></CID_Destinations></CFG>");
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), dest);
}

TEST(GsmFileSubtreeRules, ACyrillicDestinationIsUtf8InTheFileAndItsOwnBytesInTheFrame) {
  GsmSettings s = Held();
  const Bytes dest = Sealed({0x7E, 0x15, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x07, 0x73, 0xF1, 0xE5, 0xF0, 0xE2, 0xE5,
                             0xF0, 0x00, 0x00, 0x00, 0x00});
  Put(s.dest, dest);
  // "сервер" in UTF-8.
  const std::string cfg = "<CFG DeviceNum=\"1\"><CID_Destinations><Dest1 trySIMProt=\"115\" "
                          "PhOrHst=\"\xD1\x81\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80\"/></CID_Destinations></CFG>";
  EXPECT_EQ(WrittenSubtree(s), kMpiHead + cfg + kMpiTail);
  const auto back = ReadSubtree(cfg);
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), dest);
}

TEST(GsmFileSubtreeRules, ThirtyCharactersAndAFullFrameAreAccepted) {
  const std::string thirty(30, 'h');
  std::string list;
  for (int n = 1; n <= 4; ++n) list += "<Dest" + std::to_string(n) + " trySIMProt=\"99\" PhOrHst=\"" + thirty + "\"/>";
  list += "<Dest5 trySIMProt=\"99\" PhOrHst=\"" + std::string(11, 'e') + "\"/>";
  const auto back = ReadSubtree("<CFG><CID_Destinations>" + list + "</CID_Destinations></CFG>");
  ASSERT_TRUE(back);
  const Bytes frame = FrameOf(back->dest);
  ASSERT_EQ(frame.size(), 150u) << "8 + 4 x 32 + 13 + the checksum";
  EXPECT_EQ(frame[8], 31);
  EXPECT_EQ(frame[136], 12);
  EXPECT_EQ(frame[149], FrameChecksum(frame.data(), 149));
}

TEST(GsmFileSubtreeRules, GprsTextsByPositionAndAMissingSimKeepsItsFields) {
  const auto back = ReadSubtree("<CFG><GPRS_Settings><SIM1 a=\"internet\" b=\"u\" c=\"p\"/></GPRS_Settings></CFG>");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->dest.gprs, 1);
  EXPECT_EQ(back->gprs, Gprs("internet", "u", "p", "held.apn2", "u2", "p2"));
  EXPECT_EQ(FrameOf(back->gprs), Sealed(Concat({{0x7E, 0x24, 0x57, 0x03, 0x0D}, Ascii("internet"), {0x00, 'u', 0x00,
                                              'p', 0x00, 0x10}, Ascii("held.apn2"), {0x00, 'u', '2', 0x00, 'p', '2',
                                              0x00}})));
}

TEST(GsmFileSubtreeRules, WithoutSmsListOrGprsSettingsTheirFlagsAreOffAndTheirBlocksStay) {
  const auto back = ReadSubtree("<CFG DeviceNum=\"5\"><CID_Destinations/></CFG>");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->dest.gprs, 0);
  EXPECT_EQ(back->dest.sms, 0);
  EXPECT_EQ(back->sms, Held().sms);
  EXPECT_EQ(back->gprs, Held().gprs);
}

// XML has no control characters other than tab and line ends: a device's
// are written as their pictures (U+2400 + the byte) and read back to their
// bytes; a tab stays as it was.
TEST(GsmFileSubtreeRules, ControlCharactersAreWrittenAsTheirPictures) {
  GsmSettings s = Held();
  const Bytes tab = Sealed({0x7E, 0x12, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x04, 0x73, 'a', '\t', 0x01, 0x00, 0x00,
                            0x00, 0x00});
  Put(s.dest, tab);
  const std::string cfg = "<CFG DeviceNum=\"1\"><CID_Destinations><Dest1 trySIMProt=\"115\" PhOrHst=\"a\t␁\"/>"
                          "</CID_Destinations></CFG>";
  EXPECT_EQ(WrittenSubtree(s), kMpiHead + cfg + kMpiTail);
  const auto back = ReadSubtree(cfg);
  ASSERT_TRUE(back);
  EXPECT_EQ(FrameOf(back->dest), tab);
}

TEST(GsmFileHexToBytes, PairsInEitherCaseAndNothingElse) {
  const std::array<uint8_t, 8> bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  EXPECT_EQ(HexToBytes("0123456789ABCDEF"), bytes);
  EXPECT_EQ(HexToBytes("0123456789abcdef"), bytes);
  EXPECT_EQ(HexToBytes("0123456789aBcDeF"), bytes);
  EXPECT_EQ(HexToBytes("0123456789ABCDEF77"), bytes) << "after the sixteenth, ignored";
  EXPECT_EQ(HexToBytes("0123456789ABCDEFxyz"), bytes);
  for (const char* refused : {"", "0123456789ABCDE", "01", "0123456789ABCDEG", "G123456789ABCDEF",
                              " 123456789ABCDEF", "+123456789ABCDEF", "0x23456789ABCDEF", "01 23 45 67 89 AB"}) {
    EXPECT_EQ(HexToBytes(refused), std::nullopt) << refused;
  }
}

// ---------------------------------------------------------------------------
// Refused files: all or nothing, through the open command.

// Everything of the shared data and the pages that a refused file could
// have touched, as text.
std::string Describe(const SharedData& d, const FormState& f) {
  std::ostringstream o;
  auto bytes = [&o](const auto& b) {
    for (uint8_t v : b) o << int(v) << ' ';
    o << '\n';
  };
  bytes(d.ConfigBuffer);
  bytes(d.DestTX_Buffer.Pack());
  bytes(d.GprsTX_Buffer.Pack());
  bytes(d.SmsTX_Buffer.Pack());
  o << int(d.DeviceType) << ' ' << int(d.SmsListFilled) << ' ' << f.activeTab << '\n';
  for (bool v : f.tabVisible) o << v;
  const TxPageState& t = f.tx;
  o << '\n' << t.kindIndex << t.kindVisible << t.gsmVisible << t.cncTxGsm << t.smsOn << t.gprsOn << t.devNumber << '\n';
  for (const std::string& item : t.kindItems) o << item << '|';
  for (const DestRow& r : t.dest.rows)
    o << r.label << '|' << r.Cell(kColTries) << '|' << r.Cell(kColSim) << '|' << r.Cell(kColProtocol) << '|' << r.text << '\n';
  for (const SmsGridRow& r : t.sms.grdSMS) o << r.number << '|' << r.kind << '|' << r.partition << '|' << r.phone << '\n';
  const GprsDialogState& g = t.gprs;
  o << g.edtAPN1 << '|' << g.edtUser1 << '|' << g.edtPass1 << '|' << g.edtAPN2 << '|' << g.edtUser2 << '|' << g.edtPass2
    << '|' << g.bxOper1 << g.bxOper2 << '\n';
  return o.str();
}

// A minimal file whose "configMPI" holds `cfg`.
std::string GsmFile(int type, const std::string& cfg) {
  const std::string tx = type == 3 ? "" : "<devTX ID=\"2\"/>";
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><config FileID=\"8\"><device ID=\"" + std::to_string(type) +
         "\">" + tx + "<configMPI>" + cfg + "</configMPI></device></config>";
}

std::string Dests(const std::vector<std::string>& texts) {
  std::string list;
  for (std::size_t n = 0; n < texts.size(); ++n)
    list += "<Dest" + std::to_string(n + 1) + " trySIMProt=\"99\" PhOrHst=\"" + texts[n] + "\"/>";
  return "<CFG DeviceNum=\"77\"><CID_Destinations>" + list + "</CID_Destinations></CFG>";
}

class GsmFileCommands : public ::testing::Test, protected test::TempDir {
 protected:
  GsmFileCommands() : TempDir("tivolan-gsmfile") {}

  void Start(SharedData& d, FormState& f, int type) {
    DeviceTypeListChange(d, f, type - 1, prompter, settings);
    InitTxPage(f.tx, d);
  }
  TxPageState& page() { return form.tx; }

  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
};

TEST_F(GsmFileCommands, ARefusedFileChangesNothing) {
  Start(data, form, 1);
  // A GSM configuration of its own, so that a partial read would show.
  bxRTX_TypeCloseUp(page(), data, "GSM-KVT");
  ASSERT_TRUE(medtDevNumberExit(page(), data, "0042"));
  bxGrTryCntCloseUp(page().dest, 2, 3);
  chkSMS_OnClick(page(), data, true);
  page().sms.Row(1) = {"1", SmsKindList[1], "2", "+7(903)123-45-67"};
  chkUseGPRScfgClick(page(), data, true);
  ASSERT_FALSE(UpdateAllTXBuffers(data, form));
  RefreshControls(data, form);

  const std::string goodSms = "<SMS PartID=\"1\" cfg=\"1\" pdu=\"9730214365F7FFFF\"/>";
  const std::string thirty(30, 'h');
  const struct {
    const char* why;
    std::string file;
  } refused[] = {
      {"a pdu with a letter that is no hexadecimal digit",
       GsmFile(1, "<CFG DeviceNum=\"5\"><CID_Destinations/><SMS_List>" + goodSms +
                      "<SMS PartID=\"1\" cfg=\"1\" pdu=\"9730214365F7FFFG\"/></SMS_List></CFG>")},
      {"a pdu of 15 digits", GsmFile(1, "<CFG><SMS_List><SMS PartID=\"1\" cfg=\"1\" pdu=\"9730214365F7FFF\"/></SMS_List></CFG>")},
      {"an SMS without pdu", GsmFile(1, "<CFG><SMS_List><SMS PartID=\"1\" cfg=\"1\"/></SMS_List></CFG>")},
      {"no CFG below configMPI", GsmFile(1, "<cfg2 DeviceNum=\"5\"/>")},
      {"an empty configMPI", GsmFile(1, "")},
      {"an access point of 32 characters, which the block cannot carry",
       GsmFile(1, "<CFG><GPRS_Settings><SIM1 APN=\"" + thirty + "ab\" user=\"\" password=\"\"/></GPRS_Settings></CFG>")},
      {"a user name with a character code page 1251 does not have",
       GsmFile(1, "<CFG><GPRS_Settings><SIM1 APN=\"internet\" user=\"\xC3\xBC\" password=\"\"/></GPRS_Settings></CFG>")},
      {"GSM without configMPI",
       "<?xml version=\"1.0\"?><config FileID=\"8\"><device ID=\"1\"><devTX ID=\"2\"/></device></config>"},
      {"a concentrator without CFG", GsmFile(3, "<Other/>")},
      {"a text of 31 characters", GsmFile(1, Dests({thirty + "h"}))},
      {"a character code page 1251 does not have", GsmFile(1, Dests({"Z\xC3\xBCrich"}))},
      {"destinations of 151 bytes", GsmFile(1, Dests({thirty, thirty, thirty, thirty, std::string(12, 'e')}))},
      {"a panel of the other type with a bad pdu",
       GsmFile(2, "<CFG><SMS_List><SMS PartID=\"1\" cfg=\"1\" pdu=\"zz\"/></SMS_List></CFG>")},
  };
  const std::string before = Describe(data, form);
  for (const auto& r : refused) {
    SCOPED_TRACE(r.why);
    const std::string file = Write("bad.cf8", r.file);
    GsmFileSubtree gsm(data.Gsm());
    const LoadedConfig loaded = LoadConfigFile(file, data.ConfigBuffer, &gsm);
    EXPECT_EQ(loaded.code, kNotAConfiguration);
    EXPECT_EQ(gsm.Settings().dest, data.DestTX_Buffer) << "the staged copy is untouched too";
    EXPECT_EQ(gsm.Settings().sms, data.SmsTX_Buffer);
    EXPECT_EQ(OpenConfigFile(file, data.ConfigBuffer, data.DeviceType, &gsm).code, kNotAConfiguration);

    prompter.shown.clear();
    EXPECT_FALSE(OpenConfiguration(data, form, file, prompter).opened);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "Ошибка чтения файла");
    EXPECT_EQ(prompter.shown[0].text, "Файл поврежден или не найден");
    EXPECT_EQ(Describe(data, form), before);
  }

  // The same limits met exactly open.
  const std::string full = Write("full.cf8", GsmFile(1, Dests({thirty, thirty, thirty, thirty, std::string(11, 'e')})));
  ASSERT_TRUE(OpenConfiguration(data, form, full, prompter).opened);
  EXPECT_EQ(FrameOf(data.DestTX_Buffer).size(), 150u);
  EXPECT_EQ(data.DestTX_Buffer.deviceNumber, 77);
  EXPECT_EQ(page().dest.Row(4).text, thirty);
}

// A GSM configuration saved, opened in a program just started, and saved
// again: the same frames, the same file.
TEST_F(GsmFileCommands, APanelConfigurationComesBackWhole) {
  Start(data, form, 1);
  bxRTX_TypeCloseUp(page(), data, "GSM-KVT");
  ASSERT_TRUE(medtDevNumberExit(page(), data, "4660"));
  bxGrTryCntCloseUp(page().dest, 1, 2);  // 2 attempts, SIM 1, CSD
  bxGrSIMCloseUp(page().dest, 1, 1);
  bxGrTypeCloseUp(page().dest, 1, 1);
  page().dest.Row(1).text = "+7(903)123-45-67";
  bxGrTryCntCloseUp(page().dest, 3, 5);  // 5 attempts, SIM 2, SIA-IP
  bxGrSIMCloseUp(page().dest, 3, 2);
  bxGrTypeCloseUp(page().dest, 3, 3);
  page().dest.Row(3).text = "сервер";
  chkSMS_OnClick(page(), data, true);
  page().sms.Row(1) = {"1", SmsKindList[2], "3", "+7(903)123-45-67"};
  page().sms.Row(2) = {"2", SmsKindList[1], "8", "9031234567"};
  chkUseGPRScfgClick(page(), data, true);
  page().gprs.edtAPN1 = "internet";
  page().gprs.edtUser1.clear();
  page().gprs.edtPass1.clear();
  bxOper2Change(page().gprs, 1);  // МТС
  SaveConfiguration(data, form, Path("a.cf8"));

  const Bytes dest = Sealed(Concat({{0x7E, 0x22, 0x57, 0x02, 0x12, 0x34, 0x01, 0x01, 0x0D, 0x49},
                                    kSeven,
                                    {0x00, 0x07, 0xB3, 0xF1, 0xE5, 0xF0, 0xE2, 0xE5, 0xF0, 0x00, 0x00}}));
  const Bytes sms = Sealed(Concat({{0x7E, 0x1A, 0x57, 0x04, 0x02, 0x03}, kPhone79031234567, {0x01, 0x08},
                                   kPhone9031234567, {0x00}}));
  const Bytes gprs = Sealed(Concat({{0x7E, 0x2A, 0x57, 0x03, 0x0B}, Ascii("internet"), {0x00, 0x00, 0x00, 0x18},
                                    Ascii("internet.mts.ru"), {0x00}, Ascii("zuk"), {0x00}, Ascii("zuk"), {0x00}}));
  ASSERT_EQ(FrameOf(data.DestTX_Buffer), dest);
  ASSERT_EQ(FrameOf(data.SmsTX_Buffer), sms);
  ASSERT_EQ(FrameOf(data.GprsTX_Buffer), gprs);

  SharedData reopened;
  FormState reform;
  Start(reopened, reform, 1);
  ASSERT_TRUE(OpenConfiguration(reopened, reform, Path("a.cf8"), prompter).opened);
  EXPECT_EQ(reopened.ConfigBuffer[38], 2);
  EXPECT_EQ(FrameOf(reopened.DestTX_Buffer), dest);
  EXPECT_EQ(SmsRecords(reopened.SmsTX_Buffer, 2), Bytes(sms.begin() + 4, sms.end() - 1));
  EXPECT_EQ(FrameOf(reopened.GprsTX_Buffer), gprs);
  EXPECT_EQ(reform.tx.devNumber, "4660");
  EXPECT_EQ(reform.tx.dest.Row(3).text, "сервер");

  SaveConfiguration(reopened, reform, Path("b.cf8"));
  EXPECT_EQ(ReadWholeFile(Path("b.cf8"), 1 << 20), ReadWholeFile(Path("a.cf8"), 1 << 20));
  EXPECT_EQ(FrameOf(reopened.DestTX_Buffer), dest);
  EXPECT_EQ(FrameOf(reopened.SmsTX_Buffer), sms);
  EXPECT_EQ(FrameOf(reopened.GprsTX_Buffer), gprs);
}

TEST_F(GsmFileCommands, AConcentratorConfigurationComesBackWholeOverAPanel) {
  Start(data, form, 3);
  chkCNC_TxGSMClick(page(), data, true);
  chkGSM_ControlEnblClick(page(), data, false);
  chkGSM_CIDTXClick(page(), data, true);
  ASSERT_TRUE(medtDevNumberExit(page(), data, "9999"));
  bxGrTryCntCloseUp(page().dest, 1, 1);  // 1 attempt, SIM 1,2, Voice
  page().dest.Row(1).text = "+7 903 123 45 67";
  bxGrTryCntCloseUp(page().dest, 5, 3);  // 3 attempts, SIM 2, Vel-Net
  bxGrSIMCloseUp(page().dest, 5, 2);
  bxGrTypeCloseUp(page().dest, 5, 2);
  page().dest.Row(5).text = "10.0.0.1:5000";
  chkSMS_OnClick(page(), data, true);
  page().sms.Row(1) = {"1", SmsKindList[1], "64", "+7(903)123-45-67"};
  chkUseGPRScfgClick(page(), data, true);
  page().gprs.edtAPN1.clear();
  page().gprs.edtUser1.clear();
  page().gprs.edtPass1.clear();
  bxOper2Change(page().gprs, 3);  // Megafon
  SaveConfiguration(data, form, Path("c.cf8"));

  const Bytes dest = Sealed(Concat({{0x7E, 0x29, 0x57, 0x02, 0x27, 0x0F, 0x01, 0x01, 0x0D, 0x20},
                                    kSeven,
                                    {0x00, 0x00, 0x00, 0x0E, 0x72},
                                    Ascii("10.0.0.1:5000")}));
  const Bytes sms = Sealed(Concat({{0x7E, 0x10, 0x57, 0x04, 0x01, 0x40}, kPhone79031234567, {0x00}}));
  const Bytes gprs = Sealed(Concat({{0x7E, 0x12, 0x57, 0x03, 0x00, 0x0B}, Ascii("internet"), {0x00, 0x00, 0x00}}));
  ASSERT_EQ(FrameOf(data.DestTX_Buffer), dest);
  ASSERT_EQ(FrameOf(data.SmsTX_Buffer), sms);
  ASSERT_EQ(FrameOf(data.GprsTX_Buffer), gprs);

  SharedData reopened;
  FormState reform;
  Start(reopened, reform, 1);
  const OpenResult opened = OpenConfiguration(reopened, reform, Path("c.cf8"), prompter);
  ASSERT_TRUE(opened.opened);
  EXPECT_TRUE(opened.typeChanged);
  EXPECT_EQ(reopened.DeviceType, 3);
  EXPECT_EQ(reopened.ConfigBuffer[10], 1);
  EXPECT_EQ(reopened.ConfigBuffer[13], 0);
  EXPECT_EQ(reopened.ConfigBuffer[14], 1);
  EXPECT_EQ(FrameOf(reopened.DestTX_Buffer), dest);
  EXPECT_EQ(SmsRecords(reopened.SmsTX_Buffer, 1), Bytes(sms.begin() + 4, sms.end() - 1));
  EXPECT_EQ(FrameOf(reopened.GprsTX_Buffer), gprs);
  EXPECT_TRUE(reform.tx.cncGsmOptionsVisible);

  SaveConfiguration(reopened, reform, Path("d.cf8"));
  EXPECT_EQ(ReadWholeFile(Path("d.cf8"), 1 << 20), ReadWholeFile(Path("c.cf8"), 1 << 20));
  EXPECT_EQ(FrameOf(reopened.DestTX_Buffer), dest);
  EXPECT_EQ(FrameOf(reopened.SmsTX_Buffer), sms);
  EXPECT_EQ(FrameOf(reopened.GprsTX_Buffer), gprs);
}

}  // namespace
}  // namespace tivolan
