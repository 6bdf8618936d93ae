#include <gtest/gtest.h>

#include "model/DeviceCatalogue.h"
#include "model/EventList.h"

namespace tivolan {
namespace {

TEST(DeviceCatalogue, TypeListOffersCodesOneToThreeJoinedWithoutSeparator) {
  const auto entries = DeviceTypeListEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], "Ирт-ОП8А ППК 8 шлейфов автономный, версия >= 3");
  EXPECT_EQ(entries[1], "Ирт-ОП8 ППК 8 шлейфов сетевой");
  EXPECT_EQ(entries[2], "Ирт-ОП-КС  Концентратор сети");
  for (const auto& e : entries) EXPECT_EQ(e.find("Ирт-ОП8ex"), std::string::npos);
}

TEST(DeviceCatalogue, RowZeroIsKeptForNamingButHasNoLayout) {
  ASSERT_NE(FindDeviceModel(0), nullptr);
  EXPECT_STREQ(FindDeviceModel(0)->name, "Ирт-ОП8ex");
  EXPECT_EQ(PayloadSize(0), 0);
  EXPECT_EQ(FindDeviceModel(4), nullptr);
  EXPECT_EQ(WriteFrameLength(1), 46);
  EXPECT_EQ(WriteFrameLength(2), 48);
  EXPECT_EQ(WriteFrameLength(3), 16);
}

TEST(EventList, ListAndByteTablesAgree) {
  const auto list = EventList();
  ASSERT_EQ(list.size(), 178u);
  EXPECT_STREQ(list[0].text, "100 - МЕД.ТРЕВОГА");
  EXPECT_EQ(list[0].byte, 0x01);
  EXPECT_STREQ(list[177].text, "654 - СИСТ.НЕАКТИВ");
  EXPECT_EQ(list[177].byte, 0xE1);
  for (int pos = 0; pos < 178; ++pos) {
    EXPECT_EQ(EventPositionPlusOne(EventByteAt(pos)), pos + 1) << pos;
    if (pos > 0) {
      EXPECT_LT(list[static_cast<std::size_t>(pos - 1)].byte, list[static_cast<std::size_t>(pos)].byte);
    }
  }
}

TEST(EventList, BytesWithoutAnEntry) {
  for (uint8_t byte : {0x00, 0x0E, 0x46, 0x7B, 0x90, 0xE2, 0xFF}) {
    EXPECT_EQ(EventPositionPlusOne(byte), -1) << int(byte);
    EXPECT_EQ(EventPosition(byte), -1);
  }
}

TEST(EventList, FollowsEventBytesNotContactIdNumbers) {
  EXPECT_STREQ(EventList()[static_cast<std::size_t>(EventPosition(0x17))].text, "134 - ВХОД/ВЫХОД");
  EXPECT_LT(EventPosition(0x91), EventPosition(0x9C));  // "461" before "416"
  EXPECT_STREQ(EventList()[static_cast<std::size_t>(EventPosition(0x1A))].text, "137 - ТАМПЕР ");
}

}  // namespace
}  // namespace tivolan
