// The destinations table and block 2, byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "support/FrameBytes.h"
#include "model/CodePage.h"
#include "transmission/MPIGSM.h"

namespace tivolan {
namespace {

using test::Ascii;
using test::Bytes;
using test::Concat;
using test::Frame;
using test::Sealed;


// Block 2 as the device's frame buffer holds it, so that the cases can set
// the bytes a device or a file may have left there.
using DestBuffer = std::array<uint8_t, kDestBufferSize>;

DestSettings Held(const DestBuffer& buffer) { return DestSettings::Unpack(std::span(buffer).subspan(4)); }

void Store(const DestSettings& dest, DestBuffer& buffer) {
  const Bytes frame = test::FrameOf(dest);
  std::copy(frame.begin(), frame.end(), buffer.begin());
}

// The table built into the buffer's values; the buffer holds their frame
// unless refused.
std::optional<MessageBox> GridToDestBuffer(const DestTableState& table, DestBuffer& buffer) {
  DestSettings dest = Held(buffer);
  const auto refused = tivolan::GridToDestBuffer(table, dest);
  if (!refused) Store(dest, buffer);
  return refused;
}

void DestBufferToGrid(const DestBuffer& buffer, DestTableState& table) { tivolan::DestBufferToGrid(Held(buffer), table); }

class DestTable : public ::testing::Test {
 protected:
  DestTable() {
    Store(DestSettings{}, buffer);
    DestBufferToGrid(buffer, table);
  }
  void On(int row, const char* tries, const char* sim, const char* protocol, const std::string& text) {
    DestRow& r = table.Row(row);
    r.tries = static_cast<uint8_t>(IndexOfText(tries, TryCountList));
    r.sim = static_cast<uint8_t>(IndexOfText(sim, SimList));
    r.protocol = static_cast<uint8_t>(IndexOfText(protocol, ProtocolList));
    r.text = text;
  }
  Bytes Build() {
    EXPECT_FALSE(GridToDestBuffer(table, buffer));
    return Frame(buffer);
  }
  DestBuffer buffer{};
  DestTableState table;
};

TEST_F(DestTable, AnUntouchedTableIsTheFourteenByteFrame) {
  EXPECT_EQ(Build(), Sealed({0x7E, 0x0E, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
  for (int r = 1; r <= 5; ++r) {
    EXPECT_EQ(table.Row(r).Cell(kColTries), "Выкл.");
    EXPECT_EQ(table.Row(r).label, std::to_string(r));
  }
  EXPECT_FALSE(AnyDestinationEnabled(table));
}

TEST_F(DestTable, APhoneRowIsItsLengthConfigurationByteAndDigits) {
  On(1, "2", "1", "Voice", "+7(903)123-45-67");
  EXPECT_EQ(Build(), Sealed(Concat({{0x7E, 0x1B, 0x57, 0x02, 0x00, 0x01, 0x00, 0x00, 0x0D, 0x48},
                                    Ascii("+79031234567"),
                                    {0x00, 0x00, 0x00, 0x00}})));
  EXPECT_TRUE(AnyDestinationEnabled(table));
}

TEST_F(DestTable, TextsByProtocol) {
  On(1, "1", "1,2", "Voice", "8(903)123-45-67");
  On(2, "5", "2", "SIA-IP", "10.0.0.1:24333");
  On(3, "3", "1,2", "CSD", std::string(30, '7'));
  Build();
  DestTableState back;
  DestBufferToGrid(buffer, back);
  EXPECT_EQ(back.Row(1).text, "+89031234567");
  EXPECT_EQ(back.Row(2).text, "10.0.0.1:24333");
  EXPECT_EQ(back.Row(2).Cell(kColSim), "2");
  EXPECT_EQ(back.Row(2).Cell(kColProtocol), "SIA-IP");
  EXPECT_EQ(back.Row(2).Cell(kColTries), "5");
  EXPECT_EQ(back.Row(3).text, "+" + std::string(29, '7')) << "thirty characters, the plus included";
  EXPECT_EQ(buffer[8 + 2 + 12 + 2 + 14], 31) << "record 3: its length byte, 30 characters + 1";
}

TEST_F(DestTable, RowsThatAreOffOrHaveNoTextAreEmptyRecords) {
  On(1, "1", "1", "Voice", "");
  On(2, "Выкл.", "1", "Voice", "123");
  On(3, "4", "1", "CSD", "+7 903 111 22 33");
  const Bytes frame = Build();
  EXPECT_EQ(frame[8], 0x00);
  EXPECT_EQ(frame[9], 0x00);
  EXPECT_EQ(frame[10], 13);    // rows 1 and 3: the third record follows two empty ones
  EXPECT_EQ(frame[11], 0x89);  // 4 attempts, SIM "1", CSD
  DestTableState back;
  DestBufferToGrid(buffer, back);
  EXPECT_EQ(back.Row(1).Cell(kColTries), "Выкл.");
  EXPECT_EQ(back.Row(1).Cell(kColSim), "");
  EXPECT_EQ(back.Row(3).text, "+79031112233");
}

TEST_F(DestTable, OutOfRangeFieldsAreShownClampedAndStoredSo) {
  buffer[8] = 2;
  buffer[9] = 0xFD;  // attempts 7, SIM 3, protocol 5
  buffer[10] = 'x';
  DestBufferToGrid(buffer, table);
  EXPECT_EQ(table.Row(1).Cell(kColTries), "5");
  EXPECT_EQ(table.Row(1).Cell(kColSim), "1,2");
  EXPECT_EQ(table.Row(1).Cell(kColProtocol), "Voice");
  Build();
  EXPECT_EQ(buffer[9], 0xA0) << "5 attempts, SIM 1,2, Voice";
}

TEST_F(DestTable, AttemptsOffShowTheTextButNoSimOrProtocol) {
  buffer[8] = 4;
  buffer[9] = 0x0B;  // attempts 0, SIM 1, protocol 3
  std::copy_n("abc", 3, buffer.begin() + 10);
  DestBufferToGrid(buffer, table);
  EXPECT_EQ(table.Row(1).Cell(kColTries), "Выкл.");
  EXPECT_EQ(table.Row(1).text, "abc");
  EXPECT_EQ(table.Row(1).Cell(kColSim), "");
  EXPECT_EQ(table.Row(1).Cell(kColProtocol), "");
}

TEST_F(DestTable, ADamagedRecordLengthReadsAsEmptyWithoutLeavingTheBuffer) {
  buffer[8] = 0xFF;  // would run far past the 150 bytes
  DestBufferToGrid(buffer, table);
  EXPECT_EQ(table.Row(1).Cell(kColTries), "Выкл.");
  EXPECT_EQ(table.Row(1).text, "");
}

TEST_F(DestTable, SwitchingARowOnAndOff) {
  bxGrTryCntCloseUp(table, 2, 3);
  EXPECT_EQ(table.Row(2).Cell(kColTries), "3");
  EXPECT_EQ(table.Row(2).Cell(kColSim), "1,2");
  EXPECT_EQ(table.Row(2).Cell(kColProtocol), "Voice");
  EXPECT_EQ(table.Row(2).text, "+7(903)123-45-67");
  table.Row(2).text = "+70001112233";
  bxGrTryCntCloseUp(table, 2, 5);
  EXPECT_EQ(table.Row(2).text, "+70001112233") << "already on: the cells stay";
  bxGrTryCntCloseUp(table, 2, 0);
  EXPECT_EQ(table.Row(2).Cell(kColTries), "Выкл.");
  EXPECT_EQ(table.Row(2).Cell(kColSim), "");
  EXPECT_EQ(table.Row(2).Cell(kColProtocol), "");
  EXPECT_EQ(table.Row(2).text, "");
}

TEST_F(DestTable, AProtocolOfAnotherFamilyBringsItsPlaceholder) {
  bxGrTryCntCloseUp(table, 1, 1);
  table.Row(1).text = "+79990000000";
  bxGrTypeCloseUp(table, 1, 1);  // Voice -> CSD: same family
  EXPECT_EQ(table.Row(1).text, "+79990000000");
  bxGrTypeCloseUp(table, 1, 3);  // CSD -> SIA-IP
  EXPECT_EQ(table.Row(1).text, "127.0.0.1:24333");
  bxGrTypeCloseUp(table, 1, 2);  // SIA-IP -> Vel-Net: same family
  EXPECT_EQ(table.Row(1).text, "127.0.0.1:24333");
  bxGrTypeCloseUp(table, 1, 1);  // Vel-Net -> CSD
  EXPECT_EQ(table.Row(1).text, "+7(903)123-45-67");
  EXPECT_EQ(table.Row(1).Cell(kColProtocol), "CSD");
  bxGrSIMCloseUp(table, 1, 2);
  EXPECT_EQ(table.Row(1).Cell(kColSim), "2");
}

TEST_F(DestTable, CellsOfARowThatIsOffCannotBeSelected) {
  EXPECT_EQ(grdG1SelectCell(table, 1, kColTries), CellAction::ChooseTries);
  for (int c : {kColPark, kColSim, kColProtocol, kColText}) EXPECT_EQ(grdG1SelectCell(table, 1, c), CellAction::None);
  bxGrTryCntCloseUp(table, 1, 2);
  EXPECT_EQ(grdG1SelectCell(table, 1, kColSim), CellAction::ChooseSim);
  EXPECT_EQ(grdG1SelectCell(table, 1, kColProtocol), CellAction::ChooseProtocol);
  EXPECT_EQ(grdG1SelectCell(table, 1, kColText), CellAction::Type);
  EXPECT_EQ(grdG1SelectCell(table, 1, kColPark), CellAction::Park);
  EXPECT_EQ(grdG1SelectCell(table, 1, kColLabel), CellAction::None);
  EXPECT_EQ(grdG1SelectCell(table, 0, kColTries), CellAction::None) << "the title row";
}

TEST_F(DestTable, TheKeyFilterOfTheTextColumn) {
  bxGrTryCntCloseUp(table, 1, 1);
  table.Row(1).text.clear();
  for (const char* c : {"(", ")", "+", "-", ".", "0", "9", ":", "a", "z"}) EXPECT_TRUE(grdG1KeyPress(table, 1, kColText, c)) << c;
  for (const char* c : {"A", "Z", " ", ",", "/", "ж", "_"}) EXPECT_FALSE(grdG1KeyPress(table, 1, kColText, c)) << c;
  EXPECT_TRUE(grdG1KeyPress(table, 1, kColTries, "A")) << "other columns are not filtered";
  table.Row(1).text = std::string(30, '1');
  EXPECT_TRUE(grdG1KeyPress(table, 1, kColText, "2")) << "the 31st character";
  table.Row(1).text += "2";
  EXPECT_FALSE(grdG1KeyPress(table, 1, kColText, "3")) << "no 32nd";
  for (const char* pass : {"\r", "\x1b", "\b"}) EXPECT_TRUE(grdG1KeyPress(table, 1, kColText, pass));
  // 136 characters together at most.
  for (int r = 2; r <= 4; ++r) table.Row(r).text = std::string(31, '1');
  table.Row(5).text = std::string(11, '1');  // 135 in all
  EXPECT_TRUE(grdG1KeyPress(table, 5, kColText, "1"));
  table.Row(5).text += "1";
  EXPECT_FALSE(grdG1KeyPress(table, 5, kColText, "1"));
}

TEST_F(DestTable, ADraggedRowTakesItsLabelAndItsPlaceInTheFrame) {
  On(1, "1", "1,2", "Voice", "+111111111");
  On(3, "2", "1,2", "SIA-IP", "host:1");
  MoveDestRow(table, 3, 1);
  EXPECT_EQ(table.Row(1).label, "3");
  EXPECT_EQ(table.Row(2).label, "1");
  EXPECT_EQ(table.Row(3).label, "2");
  const Bytes frame = Build();
  EXPECT_EQ(frame[8], 7);
  EXPECT_EQ(frame[9], 0x43);
  EXPECT_EQ(Bytes(frame.begin() + 10, frame.begin() + 16), Ascii("host:1"));
  DestBufferToGrid(buffer, table);
  EXPECT_EQ(table.Row(1).text, "host:1") << "shown in stored order";
  EXPECT_EQ(table.Row(1).label, "3") << "the labels stay with the rows";
  MoveDestRow(table, 1, 5);
  EXPECT_EQ(table.Row(5).label, "3");
  EXPECT_EQ(table.Row(1).label, "1");
}

// Five texts of 30 characters do not fit the 150 bytes of the frame: the
// table is refused, the buffer and the table stay as they were.
TEST_F(DestTable, ATableThatDoesNotFitIsRefusedAndNothingChanges) {
  for (int r = 1; r <= 5; ++r) On(r, "1", "1,2", "SIA-IP", std::string(30, 'a'));
  const DestBuffer before = buffer;
  const DestTableState typed = table;
  EXPECT_EQ(DestFrameLength(table), 8 + 5 * 32 + 1);
  const auto refused = GridToDestBuffer(table, buffer);
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->text.find("169"), std::string::npos) << refused->text;
  EXPECT_NE(refused->text.find("150"), std::string::npos) << refused->text;
  EXPECT_EQ(buffer, before);
  EXPECT_EQ(table.Row(5).text, typed.Row(5).text);
  // Cut to fit: exactly 150 bytes pass.
  table.Row(5).text = std::string(11, 'a');
  EXPECT_EQ(DestFrameLength(table), 150);
  EXPECT_FALSE(GridToDestBuffer(table, buffer));
  EXPECT_EQ(buffer[1], 150);
}

TEST_F(DestTable, TextsAboveAsciiTravelInCodePage1251) {
  On(1, "1", "1,2", "SIA-IP", "сервер");
  const Bytes frame = Build();
  EXPECT_EQ(frame[8], 7);
  EXPECT_EQ(Bytes(frame.begin() + 10, frame.begin() + 16), (Bytes{0xF1, 0xE5, 0xF0, 0xE2, 0xE5, 0xF0}));
  DestTableState back;
  DestBufferToGrid(buffer, back);
  EXPECT_EQ(back.Row(1).text, "сервер");
  On(2, "1", "1,2", "SIA-IP", "日本");
  const auto refused = GridToDestBuffer(table, buffer);
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->text.find("направлении 2"), std::string::npos);
}

// A configuration opened or read goes to a write without passing through
// the table's texts: each record must be sent as the table would send it.
struct SentCase {
  const char* name;
  DestRecord record;
  friend void PrintTo(const SentCase& c, std::ostream* os) { *os << c.name; }
};
class DestSentAsTheTableWould : public ::testing::TestWithParam<SentCase> {};

TEST_P(DestSentAsTheTableWould, RecordByRecord) {
  DestSettings held;
  held.deviceNumber = 4660;
  held.sms = 1;
  held.records[1] = GetParam().record;
  held.records[3] = DestRecord{1, 0, 3, "host:1"};
  DestTableState table;
  tivolan::DestBufferToGrid(held, table);
  DestSettings viaTable = held;
  ASSERT_FALSE(tivolan::GridToDestBuffer(table, viaTable));
  DestSettings direct;
  ASSERT_FALSE(StoreSentSettings(held, direct));
  EXPECT_EQ(direct, viaTable);
  EXPECT_EQ(direct.sms, 1) << "the number and the options stay";
}

INSTANTIATE_TEST_SUITE_P(
    Records, DestSentAsTheTableWould,
    ::testing::Values(SentCase{"PhoneWithSeparators", {2, 1, 0, "8 (903) 123-45-67"}},
                      SentCase{"CsdPhoneWithPlus", {5, 2, 1, "+79031234567"}},
                      SentCase{"Host", {3, 0, 3, "10.0.0.1:24333"}},
                      SentCase{"FieldsBeyondTheLists", {7, 3, 5, "x"}},
                      SentCase{"AttemptsOffWithText", {0, 1, 3, "abc"}},
                      SentCase{"OnWithoutText", {2, 1, 0, ""}},
                      SentCase{"Cyrillic", {1, 0, 2, "\xF1\xE5\xF0\xE2\xE5\xF0"}},
                      SentCase{"ControlBytes", {1, 0, 3, std::string("a\x01\x00b", 4)}},
                      SentCase{"ThirtyDigitsGetAPlusAndLoseOne", {1, 0, 0, std::string(30, '7')}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DeviceNumber, TwoBytesBigEndianShownWithFourDigits) {
  for (const auto& [number, high, low, text] : {std::tuple{7, 0x00, 0x07, "0007"}, std::tuple{9999, 0x27, 0x0F, "9999"},
                                                std::tuple{256, 0x01, 0x00, "0256"}, std::tuple{0, 0, 0, "0000"}}) {
    DestSettings dest;
    dest.deviceNumber = static_cast<uint16_t>(number);
    const BlockData data = dest.Pack();
    EXPECT_EQ(data[0], high);
    EXPECT_EQ(data[1], low);
    EXPECT_EQ(DestSettings::Unpack(data).deviceNumber, number);
    EXPECT_EQ(DeviceNumberText(number), text);
  }
}

TEST(CodePage, EveryByteComesBackAndForeignCharactersAreRefused) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Utf8FromCp1251(all);
  EXPECT_EQ(Cp1251FromUtf8(utf8), all);
  EXPECT_EQ(Utf8FromCp1251("\xC0\xFF\xA8\xB8\xB9"), "АяЁё№");
  EXPECT_FALSE(Cp1251FromUtf8("日"));
  EXPECT_FALSE(Cp1251FromUtf8("\xD0"));      // cut in the middle of a character
  EXPECT_FALSE(Cp1251FromUtf8("\xC0\x80"));  // an overlong form
}

}  // namespace
}  // namespace tivolan
