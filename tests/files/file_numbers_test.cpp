// Numbers a field cannot hold, and second copies of elements read once:
// the program's own files with one value changed, opened as "Открыть..."
// opens them. A value within its field keeps its meaning; any other
// refuses the file with a cause naming element, attribute and value, and
// changes nothing.
#include <gtest/gtest.h>

#include "files/FileOps.h"
#include "files/FileProblems.h"
#include "files/GsmSubtree.h"
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
using test::Sealed;

// Device number 4660, one destination, one SMS recipient, GPRS for SIM 1.
// With `fill`, every byte the subtree holds as a number is `fill` (an SMS
// kind of 0 would end the list: 1 then).
GsmSettings Gsm(int fill) {
  GsmSettings s;
  s.dest = test::ValuesOf<DestSettings>(Sealed(Concat(
      {{0x7E, 0x1B, 0x57, 0x02, 0x12, 0x34, 0x01, 0x01, 0x0D, 0x49}, Ascii("+79031234567"), {0x00, 0x00, 0x00, 0x00}})));
  s.sms = test::ValuesOf<SmsList>(
      Sealed({0x7E, 0x10, 0x57, 0x04, 0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00}));
  s.gprs.sims[0].apn = "internet";
  if (fill < 0) return s;
  const auto byte = static_cast<uint8_t>(fill);
  s.dest.deviceNumber = static_cast<uint16_t>(byte * 257);
  s.dest.records[0] = DestRecord::OfConfig(byte, s.dest.records[0]->text);
  s.sms.records[0].partition = byte;
  s.sms.records[0].kind = fill ? byte : 1;
  return s;
}

// The file the program writes: types 1 and 3 with GSM settings, type 2
// without; with `fill`, every byte of the image is `fill`.
std::string Saved(int type, int fill = -1) {
  ImageBuffer image = test::DefaultImage(type);
  if (fill >= 0) std::fill(image.begin() + 4, image.begin() + 4 + static_cast<long>(DefaultPayload(type).size()), static_cast<uint8_t>(fill));
  image[type == 3 ? 10 : 38] = static_cast<uint8_t>(type == 2 ? 0 : type == 1 ? 2 : 1);
  GsmFileSubtree gsm(Gsm(fill));
  return BuildConfigDocument(image, type, &gsm).SaveToString();
}

std::size_t TagOf(const std::string& text, const std::string& element) {
  for (std::size_t at = text.find("<" + element); at != std::string::npos; at = text.find("<" + element, at + 1))
    if (std::string(" />").find(text[at + 1 + element.size()]) != std::string::npos) return at;
  ADD_FAILURE() << "no element " << element;
  return 0;
}

// The first element named `element` with `attribute` set to `value`.
std::string WithValue(std::string text, const std::string& element, const std::string& attribute, const std::string& value) {
  const std::size_t start = text.find(" " + attribute + "=\"", TagOf(text, element)) + attribute.size() + 3;
  return text.replace(start, text.find('"', start) - start, value);
}

// Where an accepted value lands.
enum class Into { Nowhere, Image, Dest, Sms };

class FileNumbers : public ::testing::Test, protected test::TempDir {
 protected:
  FileNumbers() : TempDir("tivolan-numbers") {}

  // Opens `text` in a program started with `type`, its zone 1 cleared so
  // that a read of it shows; on a refusal checks the box and that nothing changed.
  OpenResult Open(int type, const std::string& text) {
    DeviceTypeListChange(data, form, type - 1, prompter, settings);
    InitTxPage(form.tx, data);
    std::fill(data.ConfigBuffer.begin() + 4, data.ConfigBuffer.begin() + 8, 0);
    const SharedData before = data;
    prompter.shown.clear();
    const OpenResult opened = OpenConfiguration(data, form, Write("edited.cf8", text), prompter);
    if (!opened.opened) {
      EXPECT_EQ(prompter.shown.size(), 1u);
      EXPECT_EQ(prompter.shown.at(0).text, "Файл поврежден или не найден");
      EXPECT_EQ(prompter.shown.at(0).detail, OpenProblem(opened.problem));
      EXPECT_EQ(data.ConfigBuffer, before.ConfigBuffer);
      EXPECT_EQ(data.DestTX_Buffer, before.DestTX_Buffer);
      EXPECT_EQ(data.SmsTX_Buffer, before.SmsTX_Buffer);
    }
    return opened;
  }
  int Byte(Into into, int index) const {
    const auto i = static_cast<std::size_t>(index);
    // The GSM blocks by the bytes of the frames a write makes of them.
    if (into == Into::Dest) return test::FrameOf(data.DestTX_Buffer).at(i);
    return into == Into::Sms ? test::FrameOf(data.SmsTX_Buffer).at(i) : data.ConfigBuffer[i];
  }

  SharedData data;
  FormState form;
  test::RecordingPrompter prompter;
  MemorySettingsStore settings;
};

// A numeric field and the values its bytes hold; for a whole byte, the
// byte that holds it.
struct FieldCase {
  int type;
  const char* element;
  const char* attribute;
  int64_t min, max;
  Into into = Into::Nowhere;
  int index = 0;
  friend void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.type << " " << c.element << " " << c.attribute; }
};

class FileFieldRanges : public FileNumbers, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(FileFieldRanges, BothEndsOpenAndOneBeyondEitherRefusesNamingIt) {
  const FieldCase& c = GetParam();
  for (const int64_t v : {c.min, c.max, c.min - 1, c.max + 1}) {
    SCOPED_TRACE(v);
    const OpenResult opened = Open(c.type, WithValue(Saved(c.type), c.element, c.attribute, std::to_string(v)));
    if (v < c.min || v > c.max) {
      EXPECT_FALSE(opened.opened);
      const std::string problem = OpenProblem(opened.problem);
      EXPECT_EQ(problem.rfind("элемент \"" + std::string(c.element) + "\"", 0), 0u) << problem;
      EXPECT_NE(problem.find("атрибут \"" + std::string(c.attribute) + "\" = \"" + std::to_string(v) + "\""),
                std::string::npos) << problem;
    } else {
      ASSERT_TRUE(opened.opened) << OpenProblem(opened.problem);
      if (c.into != Into::Nowhere) {
        EXPECT_EQ(Byte(c.into, c.index), v);
      }
    }
  }
}

constexpr int64_t kB = 255;
INSTANTIATE_TEST_SUITE_P(
    EveryField, FileFieldRanges,
    ::testing::Values(
        // Zone 1: what each of its numbers can mean (its "ID" below).
        FieldCase{1, "zone", "PartID", 0, 7}, FieldCase{1, "zone", "tactics", 0, 7},
        FieldCase{1, "zone", "rearm", 0, 1}, FieldCase{1, "zone", "CID", 0, kB, Into::Image, 5},
        FieldCase{1, "zone", "TimeIn", 0, kB, Into::Image, 7}, FieldCase{1, "zone", "TimeOut", 0, kB, Into::Image, 6},
        FieldCase{1, "zone", "FireReCheck", 0, 128}, FieldCase{1, "PartDep", "mask", 0, kB, Into::Image, 37},
        FieldCase{1, "rele", "AlarmFire", 0, kB, Into::Image, 40}, FieldCase{1, "rele", "CtrlFail", 0, kB, Into::Image, 41},
        // The numbers the window's up-downs offer: the siren time, the network number.
        FieldCase{1, "sndWrkTime", "min", 1, 10, Into::Image, 43}, FieldCase{2, "sndWrkTime", "min", 1, 10, Into::Image, 44},
        FieldCase{1, "OPsCheck", "mask", 0, kB, Into::Image, 39},
        FieldCase{1, "sysCFG", "Value", 0, kB}, FieldCase{1, "GuardSnd", "On", 0, kB},
        FieldCase{1, "LampMode", "mode", 0, kB, Into::Image, 44}, FieldCase{1, "devTX", "ID", 0, kB, Into::Image, 38},
        FieldCase{2, "GuardSnd", "On", 0, kB, Into::Image, 43}, FieldCase{2, "LampMode", "mode", 0, kB, Into::Image, 45},
        FieldCase{2, "SlaveBus", "BusID", 1, 7, Into::Image, 46},
        FieldCase{3, "expanders", "mask", 0, kB, Into::Image, 8}, FieldCase{3, "BVIAlarm", "mask", 0, kB, Into::Image, 11},
        FieldCase{3, "BVIButtons", "mask", 0, kB, Into::Image, 12}, FieldCase{3, "rele", "AlarmFire", 0, kB, Into::Image, 5},
        FieldCase{3, "OPsCheck", "mask", 0, kB, Into::Image, 4}, FieldCase{3, "buzzer", "Value", 0, kB, Into::Image, 7},
        FieldCase{3, "useTD", "mask", 0, kB, Into::Image, 9}, FieldCase{3, "GSM_Control", "mask", 0, kB, Into::Image, 13},
        FieldCase{3, "GSM_TX", "mask", 0, kB, Into::Image, 14},
        // The GSM subtree: the device number in bytes 4 and 5 of block 2,
        // destination 1's configuration byte, SMS record 1's kind and partition.
        FieldCase{1, "CFG", "DeviceNum", 0, 9999}, FieldCase{3, "CFG", "DeviceNum", 0, 9999},
        FieldCase{1, "Dest1", "trySIMProt", 0, kB, Into::Dest, 9}, FieldCase{1, "SMS", "cfg", 0, kB, Into::Sms, 4},
        FieldCase{1, "SMS", "PartID", 0, kB, Into::Sms, 5}));

// The examples and values of other kinds, with the whole cause line.
TEST_F(FileNumbers, OtherValuesRefusedWithTheirCause) {
  const struct {
    int type;
    const char* element;
    const char* attribute;
    std::string value;
    const char* cause;  // empty: opens
  } cases[] = {
      {1, "CFG", "DeviceNum", "-5", "элемент \"CFG\", атрибут \"DeviceNum\" = \"-5\": поле вмещает числа 0..9999"},
      {1, "CFG", "DeviceNum", "$270F", ""},
      {1, "CFG", "DeviceNum", "$FFFF", "элемент \"CFG\", атрибут \"DeviceNum\" = \"$FFFF\": поле вмещает числа 0..9999"},
      // A zone the file cannot mean.
      {1, "zone", "ID", "0", "элемент \"zone\" №1, атрибут \"ID\" = \"0\": поле вмещает числа 1..8"},
      {1, "zone", "ID", "9", "элемент \"zone\" №1, атрибут \"ID\" = \"9\": поле вмещает числа 1..8"},
      {1, "zone", "FireReCheck", "5", "элемент \"zone\" №1, атрибут \"FireReCheck\" = \"5\": поле вмещает числа 0 или 128"},
      {1, "zone", "TimeIn", "12345678901234567890",
       "элемент \"zone\" №1, атрибут \"TimeIn\" = \"12345678901234567890\": поле вмещает числа 0..255"},
      {1, "Dest1", "trySIMProt", "70000", "элемент \"Dest1\", атрибут \"trySIMProt\" = \"70000\": поле вмещает числа 0..255"},
      {1, "zone", "PartID", "256", "элемент \"zone\" №1, атрибут \"PartID\" = \"256\": поле вмещает числа 0..7"},
      {1, "zone", "tactics", "263", "элемент \"zone\" №1, атрибут \"tactics\" = \"263\": поле вмещает числа 0..7"},
      {1, "devTX", "ID", "$102", "элемент \"devTX\", атрибут \"ID\" = \"$102\": поле вмещает числа 0..255"},
      {1, "rele", "CtrlFail", "0x10", "элемент \"rele\", атрибут \"CtrlFail\" = \"0x10\": не целое число (поле вмещает 0..255)"},
      {3, "OPsCheck", "mask", "", "элемент \"OPsCheck\", атрибут \"mask\" = \"\": не целое число (поле вмещает 0..255)"},
      {2, "device", "ID", "99999999999999999999", "элемент \"device\", атрибут \"ID\" = \"99999999999999999999\": поле вмещает числа 0..255"},
      {1, "SMS", "pdu", "0123456789abcdef", ""},
      {1, "SMS", "pdu", "9730214365F7FFFF0", "элемент \"SMS\" №1, атрибут \"pdu\" = \"9730214365F7FFFF0\": нужно ровно 16 шестнадцатеричных цифр"},
      {1, "SMS", "pdu", std::string(4000, '7'),
       "элемент \"SMS\" №1, атрибут \"pdu\" = \"777777777777777777777777…\" (длина 4000): нужно ровно 16 шестнадцатеричных цифр"},
  };
  for (const auto& c : cases) {
    const OpenResult opened = Open(c.type, WithValue(Saved(c.type), c.element, c.attribute, c.value));
    EXPECT_EQ(OpenProblem(opened.problem), c.cause) << c.element << " " << c.value;
  }
  // Read by position: the cause names the attribute that stands there.
  std::string moved = WithValue(Saved(1), "zone", "PartID", "9");
  EXPECT_EQ(OpenProblem(Open(1, moved.replace(moved.find("PartID"), 6, "Extra1")).problem),
            "элемент \"zone\" №1, атрибут \"Extra1\" (на месте \"PartID\") = \"9\": поле вмещает числа 0..7");
}

TEST_F(FileNumbers, ASecondCopyOfAnElementReadOnceRefusesTheFile) {
  const struct {
    int type;
    const char* before;  // inserted in front of the first of these
    const char* copy;
    const char* named;  // empty: opens
  } cases[] = {
      {1, "</CID_Destinations>", "<Dest1 trySIMProt=\"9\" PhOrHst=\"x\"/>", "Dest1"},
      {1, "</CID_Destinations>", "<dest2/><DEST1/>", "Dest1"},  // letter case ignored
      {1, "\t\t<PartDep", "<RELE AlarmFire=\"0\"/>", "rele"},
      {1, "</loops>", "<devTX ID=\"0\"/>", "devTX"},  // found inside "loops" too
      {1, "</CFG>", "<SMS_List/>", "SMS_List"},
      {1, "</CFG>", "<SIM1 APN=\"other\"/>", "SIM1"},
      {1, "</configMPI>", "<CFG/>", "CFG"},
      {1, "</config>", "<device ID=\"1\"/>", "device"},
      {2, "</device>", "<SlaveBus BusID=\"3\"/>", "SlaveBus"},
      {3, "</device>", "<GSM_TX mask=\"1\"/>", "GSM_TX"},
      // Only eight children of "SMS_List" are read.
      {1, "</SMS_List>", "<a/><b/><c/><d/><e/><f/><g/><SMS pdu=\"bad\"/>", ""},
  };
  for (const auto& c : cases) {
    std::string text = Saved(c.type);
    const OpenResult opened = Open(c.type, text.insert(text.find(c.before), c.copy));
    EXPECT_EQ(OpenProblem(opened.problem), *c.named ? "элемент \"" + std::string(c.named) +
                                             "\" повторяется, а в файле он может быть только один"
                                       : "") << c.copy;
  }
  std::string text = Saved(1);
  EXPECT_EQ(OpenProblem(Open(1, text.insert(text.find(" DeviceNum="), " devicenum=\"1\"")).problem),
            "элемент \"CFG\": атрибут \"DeviceNum\" повторяется, а он может быть только один");
  // A zone given twice, or one without its number.
  for (const auto& [zone, cause] : {std::pair<std::string, std::string>{
           "<zone ID=\"1\" PartID=\"7\"/>", "элемент \"zone\" №9, атрибут \"ID\" = \"1\": такой номер уже был, а каждый может быть в файле только один раз"},
                                    {"<zone/>", "элемент \"zone\" №9: нет атрибута \"ID\""}}) {
    text = Saved(1);
    EXPECT_EQ(OpenProblem(Open(1, text.insert(text.find("</loops>"), zone)).problem), cause);
  }
}

// The cause holds what was found where, for whoever words it.
TEST_F(FileNumbers, TheCauseHoldsTheElementThePlaceAndBothNames) {
  std::string moved = WithValue(Saved(1), "zone", "PartID", "9");
  moved.replace(moved.find("PartID"), 6, "Extra1");
  const OpenResult opened = Open(1, moved);
  ASSERT_TRUE(std::holds_alternative<FieldCause>(opened.problem));
  EXPECT_EQ(std::get<FieldCause>(opened.problem), (FieldCause{FieldFault::OutOfRange, "zone", 1, "Extra1", "PartID", "9", 0, 7}));
  std::string second = Saved(3);
  second.insert(second.find("</device>"), "<Buzzer Value=\"0\"/>");
  EXPECT_EQ(Open(3, second).problem, FileCause(FieldCause{FieldFault::ElementTwice, "buzzer", 0, {}, {}, {}, 0, 0}));
}

// A device's value beyond what its control offers is kept with the mark the
// program writes; the mark takes no more than the bytes hold.
TEST_F(FileNumbers, ADevicesValueBeyondItsControlOpensOnlyWithTheMark) {
  for (const auto& [edited, opens] : {std::pair<std::string, bool>{"<sndWrkTime min=\"15\" fromDevice=\"1\"", true},
                                      {"<sndWrkTime min=\"15\" fromDevice=\"0\"", false},
                                      {"<sndWrkTime min=\"300\" fromDevice=\"1\"", false},
                                      {"<sndWrkTime min=\"-1\" fromDevice=\"1\"", false}}) {
    std::string text = Saved(1);
    const std::size_t at = TagOf(text, "sndWrkTime");
    EXPECT_EQ(Open(1, text.replace(at, text.find('/', at) - at, edited)).opened, opens) << edited;
    if (opens) {
      EXPECT_EQ(data.ConfigBuffer[43], 15);
    }
  }
}

// Every byte the program writes, at either end of its range, opens again:
// a device's siren time, network number or device number beyond what the
// controls offer (0, 255, 65535) with its mark.
TEST_F(FileNumbers, WhatTheProgramWritesOpensAgain) {
  for (const int type : {1, 2, 3})
    for (const int fill : {0x00, 0xFF}) {
      const std::string text = Saved(type, fill);
      EXPECT_EQ(text.find("fromDevice=\"1\"") != std::string::npos, type != 3 || fill == 0xFF) << text;
      ASSERT_TRUE(Open(type, text).opened) << text;
      GsmFileSubtree gsm(data.Gsm());
      EXPECT_EQ(BuildConfigDocument(data.ConfigBuffer, type, &gsm).SaveToString(), text);
    }
}

}  // namespace
}  // namespace tivolan
