// The printable report: every setting in the words of the pages, the
// checks, and nothing a browser would need to fetch.
#include <gtest/gtest.h>

#include "model/DefaultImages.h"
#include "configuration/Report.h"
#include "support/ConfigTexts.h"

namespace tivolan {
namespace {

SharedData Defaults(int type) { return test::DefaultData(type); }


bool Has(const std::string& html, const std::string& text) { return html.find(text) != std::string::npos; }

struct TypeCase {
  int type;
  std::vector<std::string> words;
  friend void PrintTo(const TypeCase& c, std::ostream* os) { *os << "type " << c.type; }
};
class ReportOfType : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ReportOfType, NamesEverySettingAsThePagesDo) {
  const std::string html = BuildReportHtml(Defaults(GetParam().type), {"/tmp/a.cf8", "09.12.2026 03:15"});
  for (const auto& w : GetParam().words) EXPECT_TRUE(Has(html, w)) << w;
  EXPECT_TRUE(Has(html, "<td>/tmp/a.cf8</td>"));
  EXPECT_TRUE(Has(html, "<td>09.12.2026 03:15</td>"));
  EXPECT_TRUE(Has(html, "<h2>Проверки</h2>\n<p>Замечаний нет.</p>"));
  EXPECT_TRUE(Has(html, "@page { size: A4;"));
  for (const char* external : {"src=", "href=", "@import", "url("}) EXPECT_FALSE(Has(html, external)) << external;
}

INSTANTIATE_TEST_SUITE_P(
    Types, ReportOfType,
    ::testing::Values(
        TypeCase{1,
                 {"<h1>Ирт-ОП8А ППК 8 шлейфов автономный, версия &gt;= 3</h1>", "<h2>Шлейфы</h2>",
                  "<th>ШС</th><th>Раздел</th><th>Тип шлейфа</th><th>Код события</th>",
                  "<tr><th>1</th><td>1</td><td>Дверной</td><td>134 - ВХОД/ВЫХОД</td><td>30</td><td>30</td><td>да</td><td>—</td></tr>",
                  "<h2>Периферия</h2>", "<tr><th>Реле &quot;Тревога&quot;</th><td>До сброса</td></tr>",
                  "<tr><th>Время работы звукового оповещателя, мин</th><td>2</td></tr>", "<h2>Передача</h2>",
                  "<tr><th>Вид передачи</th><td>Отключено</td></tr>"}},
        TypeCase{2, {"<h1>Ирт-ОП8 ППК 8 шлейфов сетевой</h1>", "<tr><th>Вид передачи</th><td>Отключено</td></tr>",
                     "<tr><th>Режим работы лампы</th><td>Отключено в норме</td></tr>"}},
        TypeCase{3, {"<h1>Ирт-ОП-КС  Концентратор сети</h1>", "<h2>Концентратор</h2>",
                     "<tr><th>518Hn подключен</th><td>нет</td></tr>", "<tr><th>GSM-KVT подключен</th><td>нет</td></tr>",
                     "<tr><th>Использовать внутренний зуммер</th><td>да</td></tr>"}}));

TEST(Report, TheGsmSettingsAsTablesAndWhatLooksWrong) {
  SharedData d = Defaults(1);
  d.ConfigBuffer[38] = 2;  // GSM-KVT, five destinations off
  const uint8_t dest[] = {0x7E, 0x0E, 0x57, 0x02, 0x00, 0x07, 0x01, 0x01, 0, 0, 0, 0, 0};
  std::copy(std::begin(dest), std::end(dest), d.DestTX_Buffer.begin());  // both options on, nothing in them
  const uint8_t gprs[] = {0x7E, 0x07, 0x57, 0x03, 0x00, 0x00, 0x00};  // neither SIM has an access point
  std::copy(std::begin(gprs), std::end(gprs), d.GprsTX_Buffer.begin());
  const std::string html = BuildReportHtml(d, {"g.cf8", ""});
  EXPECT_TRUE(Has(html, "<tr><th>Номер прибора</th><td>0007</td></tr>"));
  EXPECT_TRUE(Has(html, "<th>Направление </th><th>Попытки</th><th>SIM</th><th>Протокол</th><th>Телефон\\Хост</th>"))
      << html;
  EXPECT_TRUE(Has(html, "<tr><th>3</th><td>Выкл.</td><td>—</td><td>—</td><td>—</td></tr>"));
  EXPECT_TRUE(Has(html, "<li>Передача по GSM включена, но ни одно направление доставки не включено.</li>"));
  EXPECT_TRUE(Has(html, "<li>Включено «Передавать SMS», но список SMS пуст.</li>"));
  EXPECT_TRUE(Has(html, "<li>Включено «Использовать конфигурацию GPRS», но APN обеих SIM-карт не заданы.</li>"));
  EXPECT_FALSE(Has(html, "Замечаний нет"));
}

TEST(Report, AnEventCodeWithoutEntryIsNamed) {
  SharedData d = Defaults(2);
  d.ConfigBuffer[9] = 0x0E;  // zone 2: no event has this byte
  const auto checks = ConfigurationChecks(d);
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0], "ШС2: кода события 14 нет в списке событий.");
}

TEST(Report, TextIsEscaped) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">&</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
}

}  // namespace
}  // namespace tivolan
