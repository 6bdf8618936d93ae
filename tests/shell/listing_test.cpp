#include <gtest/gtest.h>

#include <algorithm>

#include "model/DefaultImages.h"
#include "shell/logic/Listing.h"
#include "support/RecordingPrompter.h"

namespace tivolan {
namespace {

SharedData Defaults(int type) {
  SharedData d;
  d.DeviceType = static_cast<uint8_t>(type);
  test::RecordingPrompter prompter;
  SetDefaultImage(d.ConfigBuffer, type, prompter);
  return d;
}

std::string ValueOf(const std::vector<ListingEntry>& l, const std::string& key) {
  const auto it = std::find_if(l.begin(), l.end(), [&](const ListingEntry& e) { return e.key == key; });
  return it == l.end() ? "<none>" : it->value;
}

TEST(Listing, ShowsValuesAsTheListsDoAndLeavesTheImageAlone) {
  SharedData d = Defaults(2);
  d.ConfigBuffer[9] = 0x0E;   // zone 2: an event byte without an entry
  d.ConfigBuffer[38] = 3;     // RS-485 with network number 6
  d.ConfigBuffer[46] = 6;
  d.ConfigBuffer[40] = 0x9C;  // relay modes outside the list
  const ImageBuffer before = d.ConfigBuffer;
  const auto l = ListConfiguration(d);
  EXPECT_EQ(d.ConfigBuffer, before);
  EXPECT_EQ(ValueOf(l, "ШС2: Код события"), "нет в списке (14)");
  EXPECT_EQ(ValueOf(l, "ШС2: Задержка вход"), "") << "hidden for a guard zone";
  EXPECT_EQ(ValueOf(l, "ШС1: Задержка вход"), "30");
  EXPECT_EQ(ValueOf(l, "Вид передачи"), "RS-485");
  EXPECT_EQ(ValueOf(l, "Сетевой номер"), "6");
  EXPECT_EQ(ValueOf(l, "Реле \"Тревога\""), "нет в списке (9)");
  EXPECT_EQ(ValueOf(l, "Реле \"Управление\" (скрыто)"), "3 секунды");
}

TEST(Listing, DiffNamesEachDifferenceOnceAndNothingForEqualImages) {
  SharedData a = Defaults(1);
  SharedData b = a;
  EXPECT_TRUE(DiffListings(ListConfiguration(a), ListConfiguration(b)).empty());
  b.ConfigBuffer[7] = 45;  // zone 1 entry delay
  EXPECT_EQ(DiffListings(ListConfiguration(a), ListConfiguration(b)),
            std::vector<std::string>{"ШС1: Задержка вход 30 → 45"});
}

TEST(Listing, DiffAcrossDeviceTypesListsWhatOnlyOneHas) {
  const auto lines = DiffListings(ListConfiguration(Defaults(1)), ListConfiguration(Defaults(3)));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("Тип прибора Ирт-ОП8А", 0), 0u);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Включить расширители — → нет"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ШС1: Тип шлейфа Дверной → —"), lines.end());
}

TEST(Listing, ZonesFormAnAlignedTable) {
  const std::string text = FormatListing(ListConfiguration(Defaults(1)));
  const auto row1 = text.find("  ШС1:");
  const auto row2 = text.find("  ШС2:");
  ASSERT_NE(row1, std::string::npos);
  const std::string line1 = text.substr(row1, text.find('\n', row1) - row1);
  const std::string line2 = text.substr(row2, text.find('\n', row2) - row2);
  auto column = [](const std::string& line, const char* what) {  // in characters, not bytes
    const std::string head = line.substr(0, line.find(what));
    return std::count_if(head.begin(), head.end(), [](char c) { return (c & 0xC0) != 0x80; });
  };
  EXPECT_EQ(column(line1, "134 - ВХОД/ВЫХОД"), column(line2, "131 - ПЕРИМЕТР")) << text;
}

}  // namespace
}  // namespace tivolan
