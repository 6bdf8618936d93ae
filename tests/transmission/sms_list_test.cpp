#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "link/BCC.h"
#include "link/GsmRecords.h"
#include "transmission/FormSMS.h"

namespace tivolan {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string kOff = "Выключено";
const std::string kAlarms = "Только тревоги";
const std::string kAll = "Тревоги, взятия\\снятия";

// The first `count` bytes of the frame a write sends for the list.
Bytes Head(const SmsList& list, std::size_t count) {
  const Frame frame = WriteFrame(list);
  return Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(std::min(count, frame.size())));
}

// The list of a frame's bytes, as a read stores it.
SmsList ListOf(const Bytes& frame) { return SmsList::Unpack(std::span(frame).subspan(4)); }

// A list of one record that no table showed.
SmsList SomeList() { return ListOf({0x7E, 0, 0, 0, 1, 1, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x00}); }

// The frame bytes as written out, followed by their checksum.
Bytes Sealed(Bytes frame) {
  frame.push_back(FrameChecksum(frame.data(), frame.size()));
  return frame;
}

TEST(SmsKindListTest, TextsByValue) {
  ASSERT_EQ(SmsKindList.size(), 3u);
  EXPECT_EQ(std::string(SmsKindList[0]), kOff);
  EXPECT_EQ(std::string(SmsKindList[1]), kAlarms);
  EXPECT_EQ(std::string(SmsKindList[2]), "Тревоги, взятия\x5Cснятия") << "one literal backslash";
}

// ---- semi-octets ----

struct EncodeCase {
  const char* text;
  PhoneField bytes;
};

class SmsEncodePhoneTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(SmsEncodePhoneTest, StoresDigitPairsLowHalfFirst) {
  PhoneField out{};
  ASSERT_TRUE(EncodePhoneDigits(GetParam().text, out));
  EXPECT_EQ(out, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    SmsNumbers, SmsEncodePhoneTest,
    ::testing::Values(
        // the placeholder: 11 digits, odd, the last byte's high half is F
        EncodeCase{"+7(903)123-45-67", {0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF}},
        // ten digits, even: the byte after the last one is 0F
        EncodeCase{"9031234567", {0x09, 0x13, 0x32, 0x54, 0x76, 0x0F, 0xFF, 0xFF}},
        EncodeCase{"8 (903) 123.45.67", {0x98, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF}},
        // fourteen digits: the end mark fills the last byte
        EncodeCase{"12345678901234", {0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x0F}},
        // fifteen digits: the most the field holds
        EncodeCase{"123456789012345", {0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0xF5}}));

class SmsEncodeRefusedTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SmsEncodeRefusedTest, FailsAndLeavesTheFieldAlone) {
  PhoneField out{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  const PhoneField before = out;
  EXPECT_FALSE(EncodePhoneDigits(GetParam(), out));
  EXPECT_EQ(out, before);
}

INSTANTIATE_TEST_SUITE_P(SmsUnusable, SmsEncodeRefusedTest,
                         ::testing::Values("903123456",          // nine digits
                                           "+7(903)12-34-5",     // nine digits with separators
                                           "1234567890123456",   // sixteen: no room for the end mark
                                           "+7 (903) 123-45-67-890-12",  // sixteen with separators
                                           "",                   //
                                           "+7(903)12A-45-67",   // pasted letter
                                           "79031234567#",       //
                                           "7903123456\t7"));

struct DecodeCase {
  PhoneField bytes;
  const char* digits;
};

class SmsDecodePhoneTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(SmsDecodePhoneTest, ReadsHalfBytesUpToTheEndMark) {
  EXPECT_EQ(DecodePhoneDigits(GetParam().bytes), GetParam().digits);
}

INSTANTIATE_TEST_SUITE_P(
    SmsFields, SmsDecodePhoneTest,
    ::testing::Values(DecodeCase{{0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF}, "79031234567"},
                      DecodeCase{{0x09, 0x13, 0x32, 0x54, 0x76, 0x0F, 0xFF, 0xFF}, "9031234567"},
                      DecodeCase{{0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0xF5}, "123456789012345"},
                      // no end mark at all: 15 digits at most
                      DecodeCase{{0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x65}, "123456789012345"},
                      DecodeCase{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, ""},
                      DecodeCase{{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, "000000000000000"},
                      // a half-byte that is no digit stays visible
                      DecodeCase{{0x9A, 0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "A903"}));

// ---- the table and the frame ----

class SmsListTest : public ::testing::Test {
 protected:
  void On(int row, const std::string& kind, const std::string& partition, const std::string& phone) {
    state.Row(row).kind = kind;
    state.Row(row).partition = partition;
    state.Row(row).phone = phone;
  }
  // The table as after SetDefaults and RefreshControls.
  void Defaults() {
    SetDefaults(data);
    RefreshControls(state, data);
  }
  void ExpectRow(int row, const std::string& kind, const std::string& partition, const std::string& phone) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(state.Row(row).number, std::to_string(row));
    EXPECT_EQ(state.Row(row).kind, kind);
    EXPECT_EQ(state.Row(row).partition, partition);
    EXPECT_EQ(state.Row(row).phone, phone);
  }

  SharedData data;
  SmsDialogState state;
};

TEST_F(SmsListTest, FreshStateHoldsRowNumbersOnly) {
  for (int r = 1; r <= 8; ++r) ExpectRow(r, "", "", "");
}

TEST_F(SmsListTest, DefaultsShowEightRowsOffInPartitionOne) {
  data.SmsTX_Buffer = SomeList();
  Defaults();
  EXPECT_TRUE(data.SmsTX_Buffer.records.empty()) << "SetDefaults empties the list";
  for (int r = 1; r <= 8; ++r) ExpectRow(r, kOff, "1", "");
}

TEST_F(SmsListTest, RowsOneAndThreeOnArePackedAndShownInRowsOneAndTwo) {
  Defaults();
  On(1, kAlarms, "1", "+7(903)123-45-67");
  On(3, kAll, "5", "9031234567");
  UpdateTX_Buffer(state, data);
  const Bytes expected = Sealed({0x7E, 0x1A, 0x57, 0x04,                                      //
                                 0x01, 0x01, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,  //
                                 0x02, 0x05, 0x09, 0x13, 0x32, 0x54, 0x76, 0x0F, 0xFF, 0xFF,  //
                                 0x00});
  EXPECT_EQ(Head(data.SmsTX_Buffer, 26), expected);
  EXPECT_EQ(data.SmsListFilled, 1);

  SmsDialogState shown;
  RefreshControls(shown, data);
  state = shown;
  ExpectRow(1, kAlarms, "1", "79031234567");
  ExpectRow(2, kAll, "5", "9031234567");
  for (int r = 3; r <= 8; ++r) ExpectRow(r, kOff, "1", "");
}

TEST_F(SmsListTest, UnusablePhonesAreLeftOutWithoutGap) {
  Defaults();
  On(1, kAlarms, "2", "903123456");              // nine digits
  On(2, kAlarms, "3", "1234567890123456");       // sixteen digits
  On(3, kAlarms, "4", "+7(903)12A-45-67");       // pasted letter
  On(4, kAll, "6", "+7(903)123-45-67");
  UpdateTX_Buffer(state, data);
  EXPECT_EQ(Head(data.SmsTX_Buffer, 16),
            Sealed({0x7E, 0x10, 0x57, 0x04, 0x02, 0x06, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00}));
  EXPECT_EQ(data.SmsListFilled, 1);
}

TEST_F(SmsListTest, NothingStoredGivesTheEmptyFrameAndClearsTheFlag) {
  data.SmsListFilled = 1;
  Defaults();
  On(2, kAlarms, "1", "1234567890123456");  // sixteen digits only
  On(5, kOff, "1", "+7(903)123-45-67");     // off, whatever its phone
  UpdateTX_Buffer(state, data);
  EXPECT_EQ(Head(data.SmsTX_Buffer, 6), Sealed({0x7E, 0x06, 0x57, 0x04, 0x00}));
  EXPECT_EQ(data.SmsListFilled, 0);
}

TEST_F(SmsListTest, EightRecordsGiveAnEightySixByteFrame) {
  Defaults();
  for (int r = 1; r <= 8; ++r)
    On(r, r % 2 ? kAlarms : kAll, std::to_string(r), "+7(903)123-45-6" + std::to_string(r));
  UpdateTX_Buffer(state, data);
  const Bytes expected = Sealed({0x7E, 0x56, 0x57, 0x04,                                      //
                                 0x01, 0x01, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF1, 0xFF, 0xFF,  //
                                 0x02, 0x02, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF2, 0xFF, 0xFF,  //
                                 0x01, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF3, 0xFF, 0xFF,  //
                                 0x02, 0x04, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF4, 0xFF, 0xFF,  //
                                 0x01, 0x05, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF5, 0xFF, 0xFF,  //
                                 0x02, 0x06, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF6, 0xFF, 0xFF,  //
                                 0x01, 0x07, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,  //
                                 0x02, 0x08, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF8, 0xFF, 0xFF,  //
                                 0x00});
  ASSERT_EQ(expected.size(), 86u);
  EXPECT_EQ(Head(data.SmsTX_Buffer, 86), expected);
  EXPECT_EQ(Head(data.SmsTX_Buffer, 87).size(), 86u) << "nothing behind the frame";
  EXPECT_EQ(data.SmsListFilled, 1);
}

TEST_F(SmsListTest, ConcentratorPartitionsUpToAByteAreStoredAsTyped) {
  Defaults();
  On(1, kAlarms, "0", "9031234567");
  On(2, kAlarms, "064", "9031234567");
  On(3, kAlarms, "200", "9031234567");  // read from a device; CheckGridOK would refuse it
  On(4, kAlarms, "256", "9031234567");  // no byte holds it
  On(5, kAlarms, "", "9031234567");
  On(6, kAlarms, "1a", "9031234567");
  UpdateTX_Buffer(state, data);
  const Bytes frame = Head(data.SmsTX_Buffer, kSmsBufferSize);
  ASSERT_EQ(frame.size(), 36u);
  EXPECT_EQ(frame[5], 0);
  EXPECT_EQ(frame[15], 64);
  EXPECT_EQ(frame[25], 200);
  EXPECT_EQ(frame[34], 0x00) << "end mark after three records";
}

TEST_F(SmsListTest, RefreshStopsAtTheFirstKindZeroAndWritesNothing) {
  const Bytes frame{0x7E, 0x20, 0x44, 0x04,                                      //
                    0x02, 0x03, 0x09, 0x13, 0x32, 0x54, 0x76, 0x0F, 0xFF, 0xFF,  //
                    0x00, 0x04, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF,  //
                    0x01, 0x05, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF};
  data.SmsTX_Buffer = ListOf(frame);
  data.SmsListFilled = 1;
  const SharedData before = data;
  RefreshControls(state, data);
  ExpectRow(1, kAll, "3", "9031234567");
  for (int r = 2; r <= 8; ++r) ExpectRow(r, kOff, "1", "");
  EXPECT_EQ(data.SmsTX_Buffer, before.SmsTX_Buffer);
  EXPECT_EQ(data.SmsListFilled, 1);
}

TEST_F(SmsListTest, UnknownKindIsShownByItsValueAndStoredAgain) {
  const Bytes frame{0x7E, 0x10, 0x44, 0x04, 0x07, 0x02, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00};
  data.SmsTX_Buffer = ListOf(frame);
  RefreshControls(state, data);
  ExpectRow(1, "Неизвестный вид 7", "2", "79031234567");
  EXPECT_TRUE(SmsRowOn(state, 1));
  UpdateTX_Buffer(state, data);
  EXPECT_EQ(Head(data.SmsTX_Buffer, 16),
            Sealed({0x7E, 0x10, 0x57, 0x04, 0x07, 0x02, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00}));
}

TEST(SmsKindValueTest, TextsToBytes) {
  EXPECT_EQ(SmsKindValue(""), 0);
  EXPECT_EQ(SmsKindValue(kOff), 0);
  EXPECT_EQ(SmsKindValue(kAlarms), 1);
  EXPECT_EQ(SmsKindValue(kAll), 2);
  EXPECT_EQ(SmsKindValue("Неизвестный вид 255"), 255);
  EXPECT_EQ(SmsKindValue("Неизвестный вид 256"), 0);
  EXPECT_EQ(SmsKindValue("Неизвестный вид "), 0);
  EXPECT_EQ(SmsKindValue("Тревоги"), 0);
  EXPECT_EQ(SmsKindText(3), "Неизвестный вид 3");
  EXPECT_EQ(SmsKindText(1), kAlarms);
}

// ---- partition check and save ----

struct PartitionCase {
  const char* text;
  bool passes;
};

class SmsCheckGridTest : public SmsListTest, public ::testing::WithParamInterface<PartitionCase> {};

TEST_P(SmsCheckGridTest, PartitionOfRowOne) {
  data.DeviceType = kTypeCNC1;
  Defaults();
  On(1, kAlarms, GetParam().text, "+7(903)123-45-67");
  const auto box = CheckGridOK(state);
  if (GetParam().passes) {
    EXPECT_FALSE(box.has_value());
    return;
  }
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "SMS");
  EXPECT_EQ(box->text, "В номера разделов должны быть в пределах\r\n0-64\r\nИсправьте ошибки.");
  EXPECT_EQ(box->icon, BoxIcon::Warning);
}

INSTANTIATE_TEST_SUITE_P(SmsTexts, SmsCheckGridTest,
                         ::testing::Values(PartitionCase{"64", true}, PartitionCase{"0", true},
                                           PartitionCase{"1", true}, PartitionCase{"08", true},
                                           PartitionCase{"65", false}, PartitionCase{"", false},
                                           PartitionCase{"100", false}, PartitionCase{"6a", false},
                                           PartitionCase{" 5", false}, PartitionCase{"-1", false},
                                           PartitionCase{"99999999999999999999", false}));

TEST_F(SmsListTest, RowsThatAreOffAreCheckedToo) {
  Defaults();
  EXPECT_FALSE(CheckGridOK(state).has_value());
  state.Row(8).partition.clear();
  EXPECT_TRUE(CheckGridOK(state).has_value());
}

TEST_F(SmsListTest, SaveWithABadPartitionStaysOpenAndBuildsNothing) {
  data.SmsTX_Buffer = SomeList();
  data.SmsListFilled = 1;
  Defaults();
  On(1, kAlarms, "65", "+7(903)123-45-67");
  const SmsList before = data.SmsTX_Buffer;
  const SmsSaveResult result = btnSaveExitClick(state, data);
  EXPECT_FALSE(result.close);
  ASSERT_TRUE(result.box.has_value());
  EXPECT_EQ(result.box->caption, "SMS");
  EXPECT_EQ(data.SmsTX_Buffer, before);
  EXPECT_EQ(data.SmsListFilled, 1);
}

TEST_F(SmsListTest, SaveBuildsAndCloses) {
  Defaults();
  On(2, kAlarms, "7", "9031234567");
  const SmsSaveResult result = btnSaveExitClick(state, data);
  EXPECT_TRUE(result.close);
  EXPECT_FALSE(result.box.has_value());
  EXPECT_EQ(Head(data.SmsTX_Buffer, 16),
            Sealed({0x7E, 0x10, 0x57, 0x04, 0x01, 0x07, 0x09, 0x13, 0x32, 0x54, 0x76, 0x0F, 0xFF, 0xFF, 0x00}));
  EXPECT_EQ(data.SmsListFilled, 1);
}

TEST_F(SmsListTest, SaveOfAnAllOffListClosesWithTheFlagCleared) {
  data.SmsListFilled = 1;
  Defaults();
  const SmsSaveResult result = btnSaveExitClick(state, data);
  EXPECT_TRUE(result.close);
  EXPECT_EQ(Head(data.SmsTX_Buffer, 6), Sealed({0x7E, 0x06, 0x57, 0x04, 0x00}));
  EXPECT_EQ(data.SmsListFilled, 0);
}

// ---- the in-place choosers ----

TEST_F(SmsListTest, SwitchingOnFillsThePlaceholderAndOffEmptiesThePhoneOnly) {
  Defaults();
  state.Row(3).partition = "5";
  bxSMSTypeCloseUp(state, 3, 1);
  ExpectRow(3, kAlarms, "5", "+7(903)123-45-67");
  state.Row(3).phone = "89161234567";
  bxSMSTypeCloseUp(state, 3, 2);
  ExpectRow(3, kAll, "5", "89161234567");  // from one kind to another the phone stays
  bxSMSTypeCloseUp(state, 3, 0);
  ExpectRow(3, kOff, "5", "");
  ExpectRow(2, kOff, "1", "");
}

TEST_F(SmsListTest, SwitchingAnEmptyKindOnFillsThePlaceholder) {
  bxSMSTypeCloseUp(state, 1, 2);
  ExpectRow(1, kAll, "", "+7(903)123-45-67");
}

TEST_F(SmsListTest, ChoicesOutsideTheListsChangeNothing) {
  Defaults();
  On(4, kAlarms, "2", "9031234567");
  const SmsDialogState before = state;
  bxSMSTypeCloseUp(state, 4, -1);
  bxSMSTypeCloseUp(state, 4, 3);
  bxPartNumCloseUp(state, 4, -1);
  bxPartNumCloseUp(state, 4, 8);
  bxSMSTypeCloseUp(state, 0, 1);
  bxPartNumCloseUp(state, 9, 1);
  for (int r = 1; r <= 8; ++r) {
    EXPECT_EQ(state.Row(r).kind, before.Row(r).kind) << r;
    EXPECT_EQ(state.Row(r).partition, before.Row(r).partition) << r;
    EXPECT_EQ(state.Row(r).phone, before.Row(r).phone) << r;
  }
}

TEST_F(SmsListTest, PartitionChooserWritesPositionPlusOne) {
  Defaults();
  bxPartNumCloseUp(state, 2, 0);
  EXPECT_EQ(state.Row(2).partition, "1");
  bxPartNumCloseUp(state, 2, 7);
  EXPECT_EQ(state.Row(2).partition, "8");
}

// ---- selecting cells ----

class SmsSelectCellTest : public SmsListTest, public ::testing::WithParamInterface<int> {};

TEST_P(SmsSelectCellTest, RowsThatAreOffOfferOnlyTheKind) {
  Defaults();
  state.Row(6).kind.clear();  // an empty kind counts as off
  for (int r : {1, 6}) {
    SCOPED_TRACE(r);
    const auto kind = grdSMSSelectCell(state, GetParam(), r, kSmsColKind);
    EXPECT_TRUE(kind.canSelect);
    EXPECT_EQ(kind.action, SmsCellAction::OpenKindChooser);
    EXPECT_EQ(kind.chooserItem, r == 1 ? 0 : -1);
    for (int c : {0, 1, 3, 4}) {
      const auto other = grdSMSSelectCell(state, GetParam(), r, c);
      EXPECT_FALSE(other.canSelect) << "column " << c;
      EXPECT_EQ(other.action, SmsCellAction::None) << "column " << c;
    }
  }
}

TEST_P(SmsSelectCellTest, RowsThatAreOnOpenTheirEditors) {
  Defaults();
  On(2, kAll, "4", "9031234567");
  const auto kind = grdSMSSelectCell(state, GetParam(), 2, kSmsColKind);
  EXPECT_EQ(kind.action, SmsCellAction::OpenKindChooser);
  EXPECT_EQ(kind.chooserItem, 2);

  const auto partition = grdSMSSelectCell(state, GetParam(), 2, kSmsColPartition);
  EXPECT_TRUE(partition.canSelect);
  if (GetParam() == kTypeCNC1) {
    EXPECT_EQ(partition.action, SmsCellAction::TypeIn);
  } else {
    EXPECT_EQ(partition.action, SmsCellAction::OpenPartitionChooser);
    EXPECT_EQ(partition.chooserItem, 3);
  }

  const auto phone = grdSMSSelectCell(state, GetParam(), 2, kSmsColPhone);
  EXPECT_TRUE(phone.canSelect);
  EXPECT_EQ(phone.action, SmsCellAction::TypeIn);

  const auto number = grdSMSSelectCell(state, GetParam(), 2, kSmsColNumber);
  EXPECT_TRUE(number.canSelect);
  EXPECT_EQ(number.action, SmsCellAction::None);
}

TEST_P(SmsSelectCellTest, TitleRowAndOutsideAreNotHandled) {
  Defaults();
  On(1, kAlarms, "1", "9031234567");
  for (auto [r, c] : {std::pair{0, 2}, {0, 4}, {9, 2}, {1, 5}, {1, -1}}) {
    const auto s = grdSMSSelectCell(state, GetParam(), r, c);
    EXPECT_FALSE(s.canSelect) << r << "," << c;
    EXPECT_EQ(s.action, SmsCellAction::None) << r << "," << c;
  }
}

TEST_F(SmsListTest, PartitionChooserShowsNoItemForATextItDoesNotHold) {
  Defaults();
  On(1, kAlarms, "12", "9031234567");
  EXPECT_EQ(grdSMSSelectCell(state, kTypePPKP, 1, kSmsColPartition).chooserItem, -1);
  On(1, kAlarms, "08", "9031234567");
  EXPECT_EQ(grdSMSSelectCell(state, kTypePPKP, 1, kSmsColPartition).chooserItem, -1);
}

INSTANTIATE_TEST_SUITE_P(SmsDeviceTypes, SmsSelectCellTest, ::testing::Values(int{kTypePPKP}, int{kTypePPKN}, int{kTypeCNC1}));

// ---- typing ----

struct KeyCase {
  int column;
  std::string text;
  char32_t key;
  bool admitted;
};

class SmsKeyPressTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SmsKeyPressTest, Filter) {
  const KeyCase& k = GetParam();
  EXPECT_EQ(grdSMSKeyPress(k.column, k.text, k.key), k.admitted);
}

const std::string k21(21, '5');
const std::string k22(22, '5');

INSTANTIATE_TEST_SUITE_P(
    SmsKeys, SmsKeyPressTest,
    ::testing::Values(
        // partition: digits only
        KeyCase{3, "", U'0', true}, KeyCase{3, "6", U'9', true}, KeyCase{3, "", U'A', false},
        KeyCase{3, "", U' ', false}, KeyCase{3, "", U'-', false}, KeyCase{3, "", U'+', false},
        KeyCase{3, "1", 8, true}, KeyCase{3, "1", 13, true}, KeyCase{3, "1", 27, true},
        // phone: digits and "()+-"
        KeyCase{4, "", U'+', true}, KeyCase{4, "+7", U'(', true}, KeyCase{4, "+7(903", U')', true},
        KeyCase{4, "+7(903)123", U'-', true}, KeyCase{4, "+7", U'9', true}, KeyCase{4, "", U'A', false},
        KeyCase{4, "", U'Z', false}, KeyCase{4, "+7", U' ', false}, KeyCase{4, "+7", U'.', false},
        KeyCase{4, "", U'Ж', false}, KeyCase{4, "", U'*', false},
        // 22 characters at most
        KeyCase{4, k21, U'5', true}, KeyCase{4, k22, U'5', false}, KeyCase{4, k22, U'-', false},
        KeyCase{4, k22, 8, true}, KeyCase{4, k22, 13, true}, KeyCase{4, k22, 27, true},
        // characters are counted, not bytes
        KeyCase{4, "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ", U'5', true},
        // the other columns are not filtered
        KeyCase{2, "", U'A', true}, KeyCase{0, "1", U' ', true}));

TEST(SmsCellTest, CellsOfTheTable) {
  SmsDialogState state;
  state.Row(3).phone = "123";
  ASSERT_NE(Cell(state, 3, kSmsColPhone), nullptr);
  EXPECT_EQ(*Cell(state, 3, kSmsColPhone), "123");
  EXPECT_EQ(*Cell(state, 3, kSmsColNumber), "3");
  *Cell(state, 3, kSmsColPartition) = "9";
  EXPECT_EQ(state.Row(3).partition, "9");
  EXPECT_EQ(Cell(state, 3, kSmsColPark), nullptr);
  EXPECT_EQ(Cell(state, 0, kSmsColKind), nullptr);
  EXPECT_EQ(Cell(state, 9, kSmsColKind), nullptr);
}

}  // namespace
}  // namespace tivolan
