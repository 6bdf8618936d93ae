#include <gtest/gtest.h>

#include "support/FrameBytes.h"

#include <algorithm>
#include <sstream>

#include "model/CodePage.h"
#include "model/DefaultImages.h"
#include "configuration/Comparison.h"
#include "configuration/Listing.h"
#include "support/ConfigTexts.h"

namespace tivolan {
namespace {

SharedData Defaults(int type) { return test::DefaultData(type); }
std::vector<std::string> Lines(const SharedData& a, const SharedData& b) {
  return DifferenceLines(CompareConfigurations(a, b));
}


std::string ValueOf(const std::vector<ListingEntry>& l, const std::string& key) {
  const auto it = std::find_if(l.begin(), l.end(), [&](const ListingEntry& e) { return e.key == key; });
  return it == l.end() ? "<none>" : it->value;
}

TEST(Listing, TheGsmSettingsInTheWordsOfThePageAndItsDialogs) {
  SharedData d = Defaults(1);
  d.ConfigBuffer[38] = 2;  // GSM-KVT
  const uint8_t dest[] = {0x7E, 0x1B, 0x57, 0x02, 0x12, 0x34, 0x01, 0x01, 0x0D, 0x49, '+', '7', '9', '0',
                          '3', '1', '2', '3', '4', '5', '6', '7', 0x00, 0x00, 0x00, 0x00};
  d.DestTX_Buffer = test::StoredValues<DestSettings>(dest);
  const uint8_t sms[] = {0x7E, 0x10, 0x57, 0x04, 0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00};
  d.SmsTX_Buffer = test::StoredValues<SmsList>(sms);
  const uint8_t gprs[] = {0x7E, 0x12, 0x57, 0x03, 0x0B, 'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0, 0, 0, 0};
  d.GprsTX_Buffer = test::StoredValues<GprsSettings>(gprs);
  const SharedData before = d;
  const auto l = ListConfiguration(d);
  EXPECT_EQ(d.DestTX_Buffer, before.DestTX_Buffer);
  EXPECT_EQ(ValueOf(l, "Вид передачи"), "GSM-KVT");
  EXPECT_EQ(ValueOf(l, "Номер прибора"), "4660");
  EXPECT_EQ(ValueOf(l, "Направление 1: Попытки"), "2");
  EXPECT_EQ(ValueOf(l, "Направление 1: SIM"), "1");
  EXPECT_EQ(ValueOf(l, "Направление 1: Протокол"), "CSD");
  EXPECT_EQ(ValueOf(l, "Направление 1: Телефон\\Хост"), "+79031234567");
  EXPECT_EQ(ValueOf(l, "Направление 2: Попытки"), "Выкл.");
  EXPECT_EQ(ValueOf(l, "Направление 2: SIM"), "");
  EXPECT_EQ(ValueOf(l, "Передавать SMS"), "да");
  EXPECT_EQ(ValueOf(l, "SMS 1: Передача SMS"), "Тревоги, взятия\\снятия");
  EXPECT_EQ(ValueOf(l, "SMS 1: Раздел"), "3");
  EXPECT_EQ(ValueOf(l, "SMS 1: Телефон"), "79031234567");
  EXPECT_EQ(ValueOf(l, "SMS 2: Передача SMS"), "Выключено");
  EXPECT_EQ(ValueOf(l, "Использовать конфигурацию GPRS"), "да");
  EXPECT_EQ(ValueOf(l, "GPRS SIM-карта №1: APN"), "internet");
  EXPECT_EQ(ValueOf(l, "GPRS SIM-карта №2: APN"), "");
  d.ConfigBuffer[38] = 0;
  EXPECT_EQ(ValueOf(ListConfiguration(d), "Номер прибора"), "<none>") << "no GSM, no GSM settings";
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
  EXPECT_TRUE(Lines(a, b).empty());
  b.ConfigBuffer[7] = 45;  // zone 1 entry delay
  EXPECT_EQ(Lines(a, b),
            std::vector<std::string>{"ШС1: Задержка вход 30 → 45"});
}

TEST(Listing, DiffAcrossDeviceTypesListsWhatOnlyOneHas) {
  const auto lines = Lines(Defaults(1), Defaults(3));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("Тип прибора Ирт-ОП8А", 0), 0u);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Включить расширители — → нет"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ШС1: Тип шлейфа Дверной → —"), lines.end());
}

TEST(Listing, ZonesFormAnAlignedTable) {
  const std::string text = FormatListing(ListConfiguration(Defaults(1)));
  const auto row1 = text.find("  ШС1 ");
  const auto row2 = text.find("  ШС2 ");
  ASSERT_NE(row1, std::string::npos);
  const std::string line1 = text.substr(row1, text.find('\n', row1) - row1);
  const std::string line2 = text.substr(row2, text.find('\n', row2) - row2);
  auto column = [](const std::string& line, const char* what) {  // in characters, not bytes
    const std::string head = line.substr(0, line.find(what));
    return std::count_if(head.begin(), head.end(), [](char c) { return (c & 0xC0) != 0x80; });
  };
  EXPECT_EQ(column(line1, "134 - ВХОД/ВЫХОД"), column(line2, "131 - ПЕРИМЕТР")) << text;
}

// A value longer than a line goes on below, broken after a blank where there
// is one, and nothing of it is lost.
TEST(Listing, ALongValueGoesOnInLinesOfEightyColumns) {
  const std::string value = "сервер-" + std::string(50, 'x') + " " + std::string(120, 'y');
  const std::string text = FormatListing({{"Передача", "Направление 1: Телефон\\Хост", value}});
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(Utf8Length(line), 80u) << line;
  auto solid = [](std::string t) {
    t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
    t.erase(std::remove(t.begin(), t.end(), '\n'), t.end());
    return t;
  };
  EXPECT_NE(solid(text).find(solid(value)), std::string::npos) << text;
}

}  // namespace
}  // namespace tivolan
