#include <gtest/gtest.h>

#include <vector>

#include "model/Bits.h"
#include "model/DefaultImages.h"
#include "model/Images.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kZones{0x78, 0x17, 0x1E, 0x1E, 0x68, 0x14, 0x00, 0x00, 0x68, 0x14, 0x00,
                   0x00, 0x68, 0x14, 0x00, 0x00, 0x48, 0x10, 0x00, 0x00, 0x50, 0x0F,
                   0x00, 0x00, 0x58, 0x04, 0x00, 0x00, 0x58, 0x04, 0x00, 0x00};

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct DefaultCase {
  int type;
  Bytes payload;
  friend void PrintTo(const DefaultCase& c, std::ostream* os) { *os << "type " << c.type; }
};

class DefaultImage : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultImage, CopiesThePayloadByteForByteAndLeavesTheFrameBytes) {
  ImageBuffer buffer;
  buffer.fill(0xEE);
  test::RecordingPrompter prompter;
  ASSERT_TRUE(SetDefaultImage(buffer, GetParam().type, prompter));
  const Bytes& p = GetParam().payload;
  EXPECT_EQ(Bytes(buffer.begin() + 4, buffer.begin() + 4 + static_cast<long>(p.size())), p);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(buffer[static_cast<std::size_t>(i)], 0xEE) << i;
  EXPECT_EQ(buffer[4 + p.size()], 0xEE) << "checksum byte untouched";
  EXPECT_TRUE(prompter.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Types, DefaultImage,
    ::testing::Values(
        DefaultCase{1, Concat(kZones, {0x00, 0x00, 0x00, 0x00, 0x33, 0x10, 0xC0, 0x02, 0x10})},
        DefaultCase{2, Concat(kZones, {0x00, 0x00, 0x00, 0x00, 0x33, 0x10, 0x80, 0x01, 0x02, 0x10, 0x01})},
        DefaultCase{3, {0x00, 0x33, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}}));

TEST(DefaultImage, TypeTwoAfterTypeOneLeavesNothingOfTypeOne) {
  ImageBuffer buffer{};
  test::RecordingPrompter prompter;
  SetDefaultImage(buffer, 1, prompter);
  buffer[45] = 0x5A;  // where type 1 keeps its checksum
  SetDefaultImage(buffer, 2, prompter);
  EXPECT_EQ(buffer[42], 0x80);
  EXPECT_EQ(buffer[43], 0x01);
  EXPECT_EQ(buffer[45], 0x10);
  EXPECT_EQ(buffer[46], 0x01);
}

TEST(DefaultImage, UnknownTypeShowsTheCatalogueBoxAndKeepsTheBuffer) {
  ImageBuffer buffer{};
  buffer[10] = 0x42;
  test::RecordingPrompter prompter;
  EXPECT_FALSE(SetDefaultImage(buffer, 0, prompter));
  EXPECT_FALSE(SetDefaultImage(buffer, 4, prompter));
  EXPECT_EQ(buffer[10], 0x42);
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].caption, "Внутренняя ошибка 1");
  EXPECT_EQ(prompter.shown[0].text, "Ошибка. Прибор в списке не найден.:\r\nОбратитесь к разработчику");
  EXPECT_EQ(prompter.shown[0].icon, BoxIcon::Error);
}

TEST(ImageViews, DefaultFieldsReadAsTheirMeaning) {
  ImageBuffer buffer{};
  test::RecordingPrompter prompter;
  SetDefaultImage(buffer, 1, prompter);
  ImagePPKP ppkp(buffer);
  EXPECT_EQ(ppkp.Zone(1).Tactics(), 7);
  EXPECT_EQ(ppkp.Zone(1).TimeIn(), 30);
  EXPECT_EQ(ppkp.Zone(1).TimeOut(), 30);
  EXPECT_EQ(ppkp.Zone(8).Tactics(), 3);
  EXPECT_EQ(ppkp.Zone(8).Cid(), 0x04);
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(ppkp.Zone(n).Partition(), 0);
    EXPECT_TRUE(ppkp.Zone(n).Rearm());
    EXPECT_FALSE(ppkp.Zone(n).FireReCheck());
  }
  EXPECT_TRUE(ppkp.GuardSound());
  EXPECT_EQ(ppkp.SndWrkTime(), 2);

  SetDefaultImage(buffer, 2, prompter);
  ImagePPKN ppkn(buffer);
  EXPECT_TRUE(ppkn.GuardSound());
  EXPECT_EQ(ppkn.SndWrkTime(), 2);
  EXPECT_EQ(ppkn.LampMode(), 0x10);
  EXPECT_EQ(ppkn.SlaveBus(), 1);
}

TEST(ImageViews, GuardSoundIsABitForTypeOneAndAByteForTypeTwo) {
  ImageBuffer buffer{};
  buffer[42] = 0x87;
  ImagePPKP ppkp(buffer);
  ppkp.SetGuardSound(true);
  EXPECT_EQ(buffer[42], 0xC7);
  ppkp.SetGuardSound(false);
  EXPECT_EQ(buffer[42], 0x87);

  buffer[43] = 0x05;
  ImagePPKN ppkn(buffer);
  EXPECT_TRUE(ppkn.GuardSound());
  ppkn.SetGuardSound(true);
  EXPECT_EQ(buffer[43], 0x01);
  EXPECT_EQ(buffer[42], 0x87) << "type 2 leaves byte 42 alone";
}

TEST(ImageViews, RelayLampAndLedHalvesKeepTheOtherHalf) {
  ImageBuffer buffer{};
  buffer[40] = 0x33;
  buffer[41] = 0x1A;  // the low half is spare and stays
  buffer[45] = 0x10;
  ImagePPKN ppkn(buffer);
  ppkn.AlarmRelay().Set(5);
  EXPECT_EQ(buffer[40], 0x53);
  ppkn.FireRelay().Set(0);
  EXPECT_EQ(buffer[40], 0x50);
  ppkn.ControlRelay().Set(2);
  EXPECT_EQ(buffer[41], 0x2A);
  ppkn.Lamp().Set(9);
  ppkn.ReaderLed().Set(8);
  EXPECT_EQ(buffer[45], 0x89);
  EXPECT_EQ(buffer[44], 0x00) << "type 2's lamp byte is 45, not type 1's 44";
  const ImageBuffer& readOnly = buffer;
  const ConstPanelImage view = *PanelImageOf(readOnly, 2);
  EXPECT_EQ(view.AlarmRelay().Get(), 5);
  EXPECT_EQ(view.ControlRelay().Get(), 2);
  EXPECT_EQ(view.Lamp().Get(), 9);
  EXPECT_EQ(view.ReaderLed().Get(), 8);
  ImageCNC1 cnc(buffer);
  buffer[5] = 0x21;
  cnc.FireRelay().Set(4);
  EXPECT_EQ(buffer[5], 0x24);
  EXPECT_EQ(ConstImageCNC1(readOnly).AlarmRelay().Get(), 2);
}

TEST(ImageViews, GuardSoundAsTheFileHoldsIt) {
  ImageBuffer buffer{};
  buffer[42] = 0x40;
  buffer[43] = 0x05;
  EXPECT_EQ(ImagePPKP(buffer).GuardSndOn(), 1) << "type 1: the bit as 0 or 1";
  EXPECT_EQ(ImagePPKN(buffer).GuardSndOn(), 5) << "type 2: the whole byte";
  ImagePPKP(buffer).SetGuardSndOn(7);
  EXPECT_EQ(buffer[42], 0x40);
  ImagePPKP(buffer).SetGuardSndOn(0);
  EXPECT_EQ(buffer[42], 0x00);
  ImagePPKN(buffer).SetGuardSndOn(0);
  EXPECT_EQ(buffer[43], 0x00);
  EXPECT_FALSE(ImagePPKP(buffer).HasSlaveBus());
  EXPECT_TRUE(ImagePPKN(buffer).HasSlaveBus());
}

TEST(ZoneRecordFields, WritesKeepTheOtherBits) {
  ImageBuffer buffer{};
  buffer[4] = 0xE5;  // re-request, re-arm, type 4, partition 6
  ZoneRecord zone(&buffer[4]);
  EXPECT_EQ(zone.Partition(), 5);
  EXPECT_EQ(zone.Tactics(), 4);
  EXPECT_TRUE(zone.Rearm());
  EXPECT_TRUE(zone.FireReCheck());
  zone.SetTactics(7);
  EXPECT_EQ(buffer[4], 0xFD);
  zone.SetPartition(0);
  EXPECT_EQ(buffer[4], 0xF8);
  zone.SetRearm(false);
  EXPECT_EQ(buffer[4], 0xB8);
}

TEST(HalfByteWrites, ReadModifyWrite) {
  uint8_t b = 0x33;
  SetHighHalf(b, 5);
  EXPECT_EQ(b, 0x53);
  SetLowHalf(b, 0);
  EXPECT_EQ(b, 0x50);
  b = 0x10;
  SetLowHalf(b, 9);
  EXPECT_EQ(b, 0x19);
  SetHighHalf(b, 8);
  EXPECT_EQ(b, 0x89);
  b = 0xC0;
  SetLow3(b, 7);
  EXPECT_EQ(b, 0xC7);
  b = 0xFF;
  ClearBit(b, 7);
  EXPECT_EQ(b, 0x7F);
  SetBit(b, 7);
  EXPECT_TRUE(TestBit(b, 7));
}

TEST(GsmInUse, FollowsByte38ForPanelsAndByte10ForTheConcentrator) {
  ImageBuffer buffer{};
  buffer[38] = 2;
  EXPECT_TRUE(IsGsmInUse(buffer, 1));
  EXPECT_TRUE(IsGsmInUse(buffer, 2));
  EXPECT_FALSE(IsGsmInUse(buffer, 3));
  buffer[38] = 3;
  EXPECT_FALSE(IsGsmInUse(buffer, 2));
  buffer[10] = 0x80;
  EXPECT_TRUE(IsGsmInUse(buffer, 3)) << "any non-zero byte 10";
  EXPECT_THROW(IsGsmInUse(buffer, 0), std::runtime_error);
  try {
    IsGsmInUse(buffer, 7);
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Тип прибора не найден");
  }
}

}  // namespace
}  // namespace tivolan
