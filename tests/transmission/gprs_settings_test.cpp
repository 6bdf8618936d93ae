#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "link/BCC.h"
#include "transmission/FormGprs.h"

namespace tivolan {
namespace {

using Bytes = std::vector<uint8_t>;

// Frame bytes written out: numbers and texts, each text byte by byte.
struct Piece {
  Piece(int byte) : bytes{static_cast<uint8_t>(byte)} {}
  Piece(const char* text) : bytes(text, text + std::char_traits<char>::length(text)) {}
  Bytes bytes;
};

Bytes Frame(std::initializer_list<Piece> pieces) {
  Bytes out;
  for (const Piece& p : pieces) out.insert(out.end(), p.bytes.begin(), p.bytes.end());
  return out;
}

// The written-out bytes with their checksum appended.
Bytes Sealed(Bytes bytes) {
  bytes.push_back(FrameChecksum(bytes.data(), bytes.size()));
  return bytes;
}

// Block 3 as the device's frame buffer holds it, so that the cases can write
// out the bytes of a frame and set what a device may have left there. A
// buffer holding no block 3 frame holds no configuration.
using GprsBuffer = std::array<uint8_t, kGprsBufferSize>;

GprsSettings Held(const GprsBuffer& b) {
  if (b[0] == 0 || b[3] != kGprsBlock) return {};
  return GprsSettings::Unpack(std::span(b).subspan(4));
}

GprsFieldSet BuildTX_Buffer(const GprsDialogState& state, GprsBuffer& b) {
  GprsSettings block;
  const GprsFieldSet unfit = tivolan::BuildTX_Buffer(state, block);
  if (block.NoAccessPoint()) {
    b[0] = 0;
    return unfit;
  }
  const tivolan::Frame frame = WriteFrame(block);
  std::copy(frame.begin(), frame.end(), b.begin());
  return unfit;
}

void FillFromBuffer(GprsDialogState& state, const GprsBuffer& b) { tivolan::FillFromBuffer(state, Held(b)); }
bool GprsHoldsConfiguration(const GprsBuffer& b) { return tivolan::GprsHoldsConfiguration(Held(b)); }

Bytes Head(const GprsBuffer& buffer, std::size_t count) { return Bytes(buffer.begin(), buffer.begin() + count); }

GprsBuffer Filled(uint8_t value) {
  GprsBuffer b;
  b.fill(value);
  return b;
}

GprsBuffer BufferOf(const Bytes& bytes) {
  GprsBuffer b{};
  std::copy(bytes.begin(), bytes.end(), b.begin());
  return b;
}

GprsDialogState Texts(std::string apn1, std::string user1, std::string pass1, std::string apn2, std::string user2,
                      std::string pass2) {
  GprsDialogState s;
  s.edtAPN1 = std::move(apn1);
  s.edtUser1 = std::move(user1);
  s.edtPass1 = std::move(pass1);
  s.edtAPN2 = std::move(apn2);
  s.edtUser2 = std::move(user2);
  s.edtPass2 = std::move(pass2);
  return s;
}

void ExpectTexts(const GprsDialogState& s, const GprsDialogState& want) {
  EXPECT_EQ(s.edtAPN1, want.edtAPN1);
  EXPECT_EQ(s.edtUser1, want.edtUser1);
  EXPECT_EQ(s.edtPass1, want.edtPass1);
  EXPECT_EQ(s.edtAPN2, want.edtAPN2);
  EXPECT_EQ(s.edtUser2, want.edtUser2);
  EXPECT_EQ(s.edtPass2, want.edtPass2);
}

void ExpectDefaults(const GprsDialogState& s) {
  EXPECT_EQ(s.bxOper1, 0);
  EXPECT_EQ(s.bxOper2, 0);
  ExpectTexts(s, Texts("internet.beeline.ru", "tavrona", "tavrona", "internet.beeline.ru", "tavrona", "tavrona"));
}

const std::string k31 = "abcdefghij-klmnopqrst.uvwxyz_01";  // 31 characters
const std::string k40 = k31 + "XYZ456789";                   // 40

// --- presets ---------------------------------------------------------------

TEST(GprsPresets, TableHoldsTheFourOperatorsInListOrder) {
  ASSERT_EQ(TOperators.size(), 4u);
  EXPECT_STREQ(TOperators[0].name, "Билайн");
  EXPECT_STREQ(TOperators[1].name, "МТС");
  EXPECT_STREQ(TOperators[2].name, "Tele2");
  EXPECT_STREQ(TOperators[3].name, "Megafon");
}

struct PresetRow {
  int row;
  const char* apn;
  const char* user;
  const char* pass;
};

class GprsPresetApply : public ::testing::TestWithParam<PresetRow> {};

TEST_P(GprsPresetApply, Sim1GetsTheRowAndSim2StaysAsItWas) {
  const PresetRow& r = GetParam();
  GprsDialogState s = Texts("old", "old", "old", "keep.apn", "keepU", "keepP");
  s.bxOper2 = 2;
  bxOper1Change(s, r.row);
  EXPECT_EQ(s.bxOper1, r.row);
  EXPECT_EQ(s.bxOper2, 2);
  ExpectTexts(s, Texts(r.apn, r.user, r.pass, "keep.apn", "keepU", "keepP"));
}

TEST_P(GprsPresetApply, Sim2GetsTheRowAndSim1StaysAsItWas) {
  const PresetRow& r = GetParam();
  GprsDialogState s = Texts("keep.apn", "keepU", "keepP", "old", "old", "old");
  s.bxOper1 = 1;
  bxOper2Change(s, r.row);
  EXPECT_EQ(s.bxOper2, r.row);
  EXPECT_EQ(s.bxOper1, 1);
  ExpectTexts(s, Texts("keep.apn", "keepU", "keepP", r.apn, r.user, r.pass));
}

INSTANTIATE_TEST_SUITE_P(GprsRows, GprsPresetApply,
                         ::testing::Values(PresetRow{0, "internet.beeline.ru", "tavrona", "tavrona"},
                                           PresetRow{1, "internet.mts.ru", "zuk", "zuk"},
                                           PresetRow{2, "internet.tele2.ru", "", ""},
                                           PresetRow{3, "internet", "", ""}),
                         [](const auto& row) { return "Row" + std::to_string(row.param.row); });

TEST(GprsPresets, MegafonForSim2EmptiesUserAndPasswordOfSim2Only) {
  GprsDialogState s;
  ApplyDefaultPresets(s);
  bxOper2Change(s, 3);
  EXPECT_EQ(s.bxOper1, 0);
  EXPECT_EQ(s.bxOper2, 3);
  ExpectTexts(s, Texts("internet.beeline.ru", "tavrona", "tavrona", "internet", "", ""));
}

TEST(GprsPresets, NoRowClearsTheChoiceAndKeepsTheTexts) {
  GprsDialogState s = Texts("a", "b", "c", "d", "e", "f");
  s.bxOper1 = 1;
  s.bxOper2 = 1;
  bxOper1Change(s, -1);
  bxOper2Change(s, 4);
  EXPECT_EQ(s.bxOper1, -1);
  EXPECT_EQ(s.bxOper2, -1);
  ExpectTexts(s, Texts("a", "b", "c", "d", "e", "f"));
}

TEST(GprsPresets, DefaultsAreBeelineForBothSims) {
  GprsDialogState s = Texts("x", "x", "x", "y", "y", "y");
  ApplyDefaultPresets(s);
  ExpectDefaults(s);
}

// --- building block 3 ------------------------------------------------------

TEST(GprsBuild, Sim1InternetAloneIsTheEighteenByteFrame) {
  GprsBuffer b = Filled(0xAA);
  EXPECT_EQ(BuildTX_Buffer(Texts("internet", "", "", "", "", ""), b), 0u);
  const Bytes body = {0x7E, 0x12, 0x57, 0x03, 0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0x00, 0x00, 0x00, 0x00};
  Bytes want = body;
  want.push_back(FrameChecksum(body.data(), body.size()));
  EXPECT_EQ(Head(b, 18), want);
  EXPECT_EQ(b[18], 0xAA) << "nothing is written behind the frame";
}

TEST(GprsBuild, Sim2InternetAloneLeavesSim1AsOneZero) {
  GprsBuffer b{};
  BuildTX_Buffer(Texts("", "", "", "internet", "", ""), b);
  EXPECT_EQ(b[4], 0x00);
  EXPECT_EQ(b[5], 0x0B);
  EXPECT_EQ(Head(b, 18), Sealed(Frame({0x7E, 0x12, 0x57, 0x03, 0x00, 0x0B, "internet", 0, 0, 0})));
}

TEST(GprsBuild, BothBeelinePresetsCarryUserAndPassword) {
  GprsDialogState s;
  ApplyDefaultPresets(s);
  GprsBuffer b{};
  BuildTX_Buffer(s, b);
  // 19 + 7 + 7 + 3 = 36 = 0x24 a SIM; 7 + 36 + 36 = 79 = 0x4F in all.
  EXPECT_EQ(Head(b, 79), Sealed(Frame({0x7E, 0x4F, 0x57, 0x03,                                       //
                                       0x24, "internet.beeline.ru", 0, "tavrona", 0, "tavrona", 0,  //
                                       0x24, "internet.beeline.ru", 0, "tavrona", 0, "tavrona", 0})));
}

TEST(GprsBuild, EmptyUserIsStoredAsAnEmptyText) {
  GprsBuffer b{};
  BuildTX_Buffer(Texts("a", "", "pw", "internet.mts.ru", "zuk", ""), b);
  // SIM 1: 1 + 0 + 2 + 3 = 6; SIM 2: 15 + 3 + 0 + 3 = 21 = 0x15; 7 + 6 + 21 = 34 = 0x22.
  EXPECT_EQ(Head(b, 34), Sealed(Frame({0x7E, 0x22, 0x57, 0x03, 0x06, "a", 0, 0, "pw", 0,  //
                                       0x15, "internet.mts.ru", 0, "zuk", 0, 0})));
}

TEST(GprsBuild, SimWithoutApnStoresNeitherUserNorPassword) {
  GprsBuffer b{};
  BuildTX_Buffer(Texts("", "user", "pass", "internet", "", ""), b);
  EXPECT_EQ(Head(b, 18), Sealed(Frame({0x7E, 0x12, 0x57, 0x03, 0x00, 0x0B, "internet", 0, 0, 0})));
}

TEST(GprsBuild, BothApnsEmptyOnlyClearsByteZero) {
  GprsBuffer b{};
  BuildTX_Buffer(Texts("internet", "u", "p", "internet.tele2.ru", "", ""), b);
  const GprsBuffer before = b;
  ASSERT_TRUE(GprsHoldsConfiguration(b));
  for (const GprsDialogState& s : {Texts("", "", "", "", "", ""), Texts("", "user", "pw", "", "x", "y")}) {
    GprsBuffer after = before;
    EXPECT_EQ(BuildTX_Buffer(s, after), 0u);
    EXPECT_EQ(after[0], 0x00);
    EXPECT_TRUE(std::equal(after.begin() + 1, after.end(), before.begin() + 1));
    EXPECT_FALSE(GprsHoldsConfiguration(after));
  }
}

TEST(GprsBuild, ThirtyOneCharactersArePackedWhole) {
  GprsBuffer b{};
  EXPECT_EQ(BuildTX_Buffer(Texts(k31, "", "", "", "", ""), b), 0u);
  // 31 + 3 = 34 = 0x22; 7 + 34 = 41 = 0x29.
  EXPECT_EQ(Head(b, 41), Sealed(Frame({0x7E, 0x29, 0x57, 0x03, 0x22, k31.c_str(), 0, 0, 0, 0})));
}

TEST(GprsBuild, LongerTextIsCutToThirtyOneAndReported) {
  GprsBuffer b{};
  EXPECT_EQ(BuildTX_Buffer(Texts(k40, "", "", "internet", "", k40), b), kGprsAPN1 | kGprsPass2);
  // SIM 1: 31 + 3 = 34 = 0x22; SIM 2: 8 + 31 + 3 = 42 = 0x2A; 7 + 34 + 42 = 83 = 0x53.
  EXPECT_EQ(Head(b, 83), Sealed(Frame({0x7E, 0x53, 0x57, 0x03, 0x22, k31.c_str(), 0, 0, 0,  //
                                       0x2A, "internet", 0, 0, k31.c_str(), 0})));
}

TEST(GprsBuild, SixFullTextsMakeTheLargestFrameOf199Bytes) {
  for (const std::string& text : {k31, k40 + k40}) {
    GprsBuffer b = Filled(0xAA);
    const GprsFieldSet altered = BuildTX_Buffer(Texts(text, text, text, text, text, text), b);
    EXPECT_EQ(altered, text.size() > 31 ? 0x3Fu : 0u);
    EXPECT_EQ(b[1], 199);
    EXPECT_EQ(b[4], 0x60) << "3 x 31 + 3 = 96";
    EXPECT_EQ(b[101], 0x60);
    EXPECT_EQ(b[198], FrameChecksum(b.data(), 198));
    EXPECT_EQ(b[199], 0xAA);
  }
}

struct PackCase {
  const char* name;
  std::string text;
  std::string packed;
  friend void PrintTo(const PackCase& c, std::ostream* os) { *os << c.name; }
};

class GprsPackedTextCases : public ::testing::TestWithParam<PackCase> {};

TEST_P(GprsPackedTextCases, KeepsWhatTheKeyFilterWouldHaveAdmitted) {
  EXPECT_EQ(GprsPackedText(GetParam().text), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(
    GprsTexts, GprsPackedTextCases,
    ::testing::Values(PackCase{"Admissible", "A-z.0_9", "A-z.0_9"}, PackCase{"Empty", "", ""},
                      PackCase{"SpaceAndComma", "inter net,ru", "internetru"},
                      PackCase{"CyrillicUtf8", "\xD0\xB8\xD0\xBD" "apn", "apn"},
                      PackCase{"Cp1251", "\xE8\xED" "apn", "apn"},
                      PackCase{"ControlsAndBackspace", "a\tb\r\nc\bd", "abcd"},
                      PackCase{"EmbeddedZero", std::string("ab\0cd", 5), "abcd"},
                      PackCase{"CutAfterDropping", " " + k40, k31}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(GprsBuild, InadmissibleCharactersAreLeftOutAndReported) {
  GprsBuffer b{};
  const GprsFieldSet altered = BuildTX_Buffer(Texts("inter net", "\xD0\xB8user", "p\bw", "internet", "ok", "ok"), b);
  EXPECT_EQ(altered, kGprsAPN1 | kGprsUser1 | kGprsPass1);
  // SIM 1: 8 + 4 + 2 + 3 = 17 = 0x11; SIM 2: 8 + 2 + 2 + 3 = 15 = 0x0F; 7 + 17 + 15 = 39 = 0x27.
  EXPECT_EQ(Head(b, 39), Sealed(Frame({0x7E, 0x27, 0x57, 0x03, 0x11, "internet", 0, "user", 0, "pw", 0,  //
                                       0x0F, "internet", 0, "ok", 0, "ok", 0})));
}

TEST(GprsBuild, ApnOfInadmissibleCharactersOnlyCountsAsEmpty) {
  GprsBuffer b{};
  EXPECT_EQ(BuildTX_Buffer(Texts("\xD0\xB8\xD0\xBD", "u", "p", "", "", ""), b), kGprsAPN1);
  EXPECT_EQ(b[0], 0x00);
  EXPECT_FALSE(GprsHoldsConfiguration(b));
}

TEST(GprsBuild, WarningNamesTheAlteredFields) {
  const MessageBox box = GprsAlteredMessage(kGprsAPN1 | kGprsPass2);
  EXPECT_EQ(box.caption, "Параметры GPRS");
  EXPECT_EQ(box.icon, BoxIcon::Warning);
  EXPECT_NE(box.text.find("SIM-карта №1: APN"), std::string::npos);
  EXPECT_NE(box.text.find("SIM-карта №2: Пароль"), std::string::npos);
  EXPECT_EQ(box.text.find("SIM-карта №1: Пароль"), std::string::npos);
  EXPECT_EQ(box.text.find("SIM-карта №2: APN"), std::string::npos);
}

// --- reading block 3 -------------------------------------------------------

TEST(GprsFill, ExampleFrameGivesInternetForSim1AndEmptySim2) {
  GprsDialogState s = Texts("x", "x", "x", "x", "x", "x");
  FillFromBuffer(s, BufferOf(Sealed(Frame({0x7E, 0x12, 0x57, 0x03, 0x0B, "internet", 0, 0, 0, 0}))));
  ExpectTexts(s, Texts("internet", "", "", "", "", ""));
}

TEST(GprsFill, Sim2AloneIsFoundBehindTheZeroOfSim1) {
  GprsDialogState s = Texts("x", "x", "x", "x", "x", "x");
  FillFromBuffer(s, BufferOf(Sealed(Frame({0x7E, 0x15, 0x44, 0x03, 0x00, 0x0E, "internet", 0, "u", 0, "p", 0}))));
  ExpectTexts(s, Texts("", "", "", "internet", "u", "p"));
}

TEST(GprsFill, PresetListsKeepTheirChoice) {
  GprsDialogState s;
  s.bxOper1 = 2;
  s.bxOper2 = 3;
  FillFromBuffer(s, BufferOf(Sealed(Frame({0x7E, 0x12, 0x57, 0x03, 0x0B, "internet", 0, 0, 0, 0}))));
  EXPECT_EQ(s.bxOper1, 2);
  EXPECT_EQ(s.bxOper2, 3);
}

TEST(GprsFill, ApnOfThirtyOneCharactersIsReadWhole) {
  GprsDialogState s;
  FillFromBuffer(s, BufferOf(Sealed(Frame({0x7E, 0x29, 0x57, 0x03, 0x22, k31.c_str(), 0, 0, 0, 0}))));
  EXPECT_EQ(s.edtAPN1, k31);
}

TEST(GprsFill, CharactersBeyondTheThirtyFirstAreNotPartOfTheApn) {
  // A longer APN as another program might have stored it: 40 + 3 = 43 = 0x2B.
  GprsDialogState s;
  FillFromBuffer(s, BufferOf(Sealed(Frame({0x7E, 0x32, 0x57, 0x03, 0x2B, k40.c_str(), 0, 0, 0, 0}))));
  EXPECT_EQ(s.edtAPN1, k31);
}

TEST(GprsFill, LongApnBuiltAndReadBackGivesItsFirst31Characters) {
  GprsBuffer b{};
  BuildTX_Buffer(Texts(k40, "user", "pass", "", "", ""), b);
  GprsDialogState s;
  FillFromBuffer(s, b);
  ExpectTexts(s, Texts(k31, "user", "pass", "", "", ""));
}

class GprsFillNoConfiguration : public ::testing::TestWithParam<std::pair<const char*, GprsBuffer>> {};

TEST_P(GprsFillNoConfiguration, ShowsTheBeelinePresetForBothSims) {
  GprsDialogState s = Texts("a", "b", "c", "d", "e", "f");
  s.bxOper1 = 3;
  s.bxOper2 = -1;
  FillFromBuffer(s, GetParam().second);
  ExpectDefaults(s);
}

GprsBuffer WithByte(Bytes frame, std::size_t index, uint8_t value) {
  GprsBuffer b = BufferOf(frame);
  b[index] = value;
  return b;
}

const Bytes kExample = Sealed(Frame({0x7E, 0x12, 0x57, 0x03, 0x0B, "internet", 0, 0, 0, 0}));

INSTANTIATE_TEST_SUITE_P(GprsBuffers, GprsFillNoConfiguration,
                         ::testing::Values(std::make_pair("Zeros", GprsBuffer{}),
                                           std::make_pair("Block2", WithByte(kExample, 3, 2)),
                                           std::make_pair("Block4", WithByte(kExample, 3, 4)),
                                           std::make_pair("ByteZeroCleared", WithByte(kExample, 0, 0))),
                         [](const auto& row) { return std::string(row.param.first); });

TEST(GprsHolds, TellsAConfigurationFromNone) {
  EXPECT_FALSE(GprsHoldsConfiguration(GprsBuffer{}));
  EXPECT_TRUE(GprsHoldsConfiguration(BufferOf(kExample)));
  EXPECT_FALSE(GprsHoldsConfiguration(WithByte(kExample, 0, 0)));
  EXPECT_FALSE(GprsHoldsConfiguration(WithByte(kExample, 3, 4)));
}

// A buffer followed by bytes the reader must never reach: any of them in a
// field means it read past the 201 bytes.
struct GuardedBuffer {
  GprsBuffer buffer{};
  std::array<uint8_t, 64> beyond{};
};
static_assert(sizeof(GuardedBuffer) == kGprsBufferSize + 64);

std::string Pattern(std::size_t from, std::size_t to) {
  std::string s;
  for (std::size_t i = from; i <= to; ++i) s += static_cast<char>('A' + i % 26);
  return s;
}

bool HasGuard(const GprsDialogState& s) {
  for (const std::string* t : {&s.edtAPN1, &s.edtUser1, &s.edtPass1, &s.edtAPN2, &s.edtUser2, &s.edtPass2})
    if (t->find('#') != std::string::npos || t->size() > kGprsTextMax) return true;
  return false;
}

TEST(GprsCorrupt, NoZeroAnywhereReadsSixTextsOf31AndStopsInside) {
  GuardedBuffer g;
  g.beyond.fill('#');
  g.buffer[0] = 0x7E;
  g.buffer[1] = 0xFF;
  g.buffer[2] = 0x57;
  g.buffer[3] = 0x03;
  for (std::size_t i = 4; i < kGprsBufferSize; ++i) g.buffer[i] = static_cast<uint8_t>('A' + i % 26);
  GprsDialogState s;
  FillFromBuffer(s, g.buffer);
  EXPECT_FALSE(HasGuard(s));
  // 31 characters a text, one byte skipped after each; SIM 2's length byte
  // is byte 101, and the last text ends at byte 196.
  ExpectTexts(s, Texts(Pattern(5, 35), Pattern(37, 67), Pattern(69, 99), Pattern(102, 132), Pattern(134, 164),
                       Pattern(166, 196)));
}

TEST(GprsCorrupt, LengthBytesPastTheEndAreNotFollowed) {
  GuardedBuffer g;
  g.beyond.fill('#');
  const Bytes frame = Frame({0x7E, 0xFF, 0x57, 0x03, 0xFF, "a", 0, "b", 0, "c", 0, 0xFE, "x", 0, "y", 0, "z", 0});
  std::copy(frame.begin(), frame.end(), g.buffer.begin());
  GprsDialogState s;
  FillFromBuffer(s, g.buffer);
  ExpectTexts(s, Texts("a", "b", "c", "x", "y", "z"));
}

TEST(GprsCorrupt, BufferWithoutAnyZeroIsReadWithinItsBytes) {
  // Alone on the heap, so that a sanitizer build sees any read past the end.
  auto buffer = std::make_unique<GprsBuffer>();
  buffer->fill('q');
  (*buffer)[0] = 0x7E;
  (*buffer)[3] = 0x03;
  GprsDialogState s;
  FillFromBuffer(s, *buffer);
  EXPECT_FALSE(HasGuard(s));
  const std::string q31(31, 'q');
  ExpectTexts(s, Texts(q31, q31, q31, q31, q31, q31));
}

// --- build, then read back -------------------------------------------------

struct RoundTrip {
  const char* name;
  GprsDialogState texts;
};

class GprsRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(GprsRoundTrip, ReadsBackWhatWasBuilt) {
  const GprsDialogState& in = GetParam().texts;
  GprsBuffer b{};
  ASSERT_EQ(BuildTX_Buffer(in, b), 0u);
  const std::size_t length = b[1];
  ASSERT_GE(length, 7u);
  ASSERT_LE(length, 199u);
  EXPECT_EQ(b[length - 1], FrameChecksum(b.data(), length - 1));
  GprsDialogState out = Texts("old", "old", "old", "old", "old", "old");
  out.bxOper1 = 1;
  out.bxOper2 = 2;
  FillFromBuffer(out, b);
  ExpectTexts(out, in);
  EXPECT_EQ(out.bxOper1, 1);
  EXPECT_EQ(out.bxOper2, 2);
}

GprsDialogState Preset(int row1, int row2) {
  GprsDialogState s;
  bxOper1Change(s, row1);
  bxOper2Change(s, row2);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    GprsCombinations, GprsRoundTrip,
    ::testing::Values(RoundTrip{"BeelineAndMts", Preset(0, 1)}, RoundTrip{"Tele2AndMegafon", Preset(2, 3)},
                      RoundTrip{"Sim1Only", Texts("internet.mts.ru", "zuk", "zuk", "", "", "")},
                      RoundTrip{"Sim2Only", Texts("", "", "", "internet.tele2.ru", "", "")},
                      RoundTrip{"PasswordWithoutUser", Texts("apn", "", "secret", "apn2", "", "s2")},
                      RoundTrip{"UserWithoutPassword", Texts("apn", "user", "", "apn2", "u2", "")},
                      RoundTrip{"AllFull", Texts(k31, Pattern(0, 30), Pattern(1, 31), Pattern(2, 32), Pattern(3, 33),
                                                 Pattern(4, 34))},
                      RoundTrip{"EveryCharacterKind", Texts("A-Za-z0-9._", "_", "-", ".", "0", "Z")}),
    [](const auto& row) { return std::string(row.param.name); });

// --- key filter --------------------------------------------------------------

struct KeyCase {
  const char* name;
  char key;
  bool admitted;
  friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
};

class GprsApnChar : public ::testing::TestWithParam<KeyCase> {};

TEST_P(GprsApnChar, AdmitsOnlyApnCharacters) {
  EXPECT_EQ(IsApnChar(GetParam().key), GetParam().admitted);
  char key = GetParam().key;
  edtAPN1KeyPress("internet", 0, key);
  EXPECT_EQ(key, GetParam().admitted ? GetParam().key : 0) << "typing it does nothing unless admitted";
}

INSTANTIATE_TEST_SUITE_P(
    GprsKeys, GprsApnChar,
    ::testing::Values(KeyCase{"Backspace", '\b', true}, KeyCase{"Hyphen", '-', true}, KeyCase{"Dot", '.', true},
                      KeyCase{"Digit0", '0', true}, KeyCase{"Digit9", '9', true}, KeyCase{"UpperA", 'A', true},
                      KeyCase{"UpperZ", 'Z', true}, KeyCase{"Underscore", '_', true}, KeyCase{"LowerA", 'a', true},
                      KeyCase{"LowerZ", 'z', true}, KeyCase{"Space", ' ', false}, KeyCase{"Comma", ',', false},
                      KeyCase{"Utf8LeadD0", '\xD0', false}, KeyCase{"Utf8LeadD1", '\xD1', false},
                      KeyCase{"Utf8Continuation", '\xB8', false}, KeyCase{"Cp1251Letter", '\xE8', false},
                      KeyCase{"Zero", '\0', false}, KeyCase{"Tab", '\t', false}, KeyCase{"LineFeed", '\n', false},
                      KeyCase{"Return", '\r', false}, KeyCase{"Escape", '\x1B', false}, KeyCase{"Delete", '\x7F', false},
                      KeyCase{"Slash", '/', false}, KeyCase{"Colon", ':', false}, KeyCase{"At", '@', false},
                      KeyCase{"Bracket", '[', false}, KeyCase{"Backquote", '`', false}, KeyCase{"Brace", '{', false},
                      KeyCase{"Plus", '+', false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(GprsKeyFilter, RefusesThe32ndCharacter) {
  char key = 'a';
  edtAPN1KeyPress(std::string(30, 'x'), 0, key);
  EXPECT_EQ(key, 'a');
  key = 'a';
  edtAPN1KeyPress(k31, 0, key);
  EXPECT_EQ(key, 0);
  key = 'a';
  edtAPN1KeyPress(k40, 0, key);
  EXPECT_EQ(key, 0);
}

TEST(GprsKeyFilter, BackspacePassesAtTheLimit) {
  char key = '\b';
  edtAPN1KeyPress(k31, 0, key);
  EXPECT_EQ(key, '\b');
}

TEST(GprsKeyFilter, TypingOverASelectionCountsWhatStays) {
  char key = 'a';
  edtAPN1KeyPress(k31, 1, key);
  EXPECT_EQ(key, 'a');
  key = 'a';
  edtAPN1KeyPress(k31, 100, key);
  EXPECT_EQ(key, 'a') << "a selection longer than the text replaces it all";
  key = ' ';
  edtAPN1KeyPress(k31, 31, key);
  EXPECT_EQ(key, 0);
}

}  // namespace
}  // namespace tivolan
