// The printable report: every setting in the words of the pages, the
// checks, and nothing a browser would need to fetch.
#include <gtest/gtest.h>

#include "support/FrameBytes.h"

#include "model/DefaultImages.h"
#include "configuration/Report.h"
#include "link/GsmRecords.h"
#include "support/ConfigTexts.h"

namespace tivolan {
namespace {

SharedData Defaults(int type) { return test::DefaultData(type); }


bool Has(const std::string& html, const std::string& text) { return html.find(text) != std::string::npos; }

std::string BuildReportHtml(const SharedData& data, const ReportSource& source, const ReportOptions& options = {}) {
  return ReportHtml(BuildReport(data, source, options));
}

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
  EXPECT_TRUE(Has(html, "<h2>Проверки</h2>\n"));
  EXPECT_FALSE(Has(html, "class=\"failed\"")) << "the defaults pass every check";
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
                  "<h2>Периферия</h2>", "<tr><th>Реле «Тревога»</th><td>До сброса</td></tr>",
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
  d.DestTX_Buffer = test::StoredValues<DestSettings>(dest);  // both options on, nothing in them
  const uint8_t gprs[] = {0x7E, 0x07, 0x57, 0x03, 0x00, 0x00, 0x00};  // neither SIM has an access point
  d.GprsTX_Buffer = test::StoredValues<GprsSettings>(gprs);
  const std::string html = BuildReportHtml(d, {"g.cf8", ""});
  EXPECT_TRUE(Has(html, "<tr><th>Номер прибора</th><td>0007</td></tr>"));
  EXPECT_TRUE(Has(html, "<th>Направление </th><th>Попытки</th><th>SIM</th><th>Протокол</th><th>Телефон\\Хост</th>"))
      << html;
  EXPECT_TRUE(Has(html, "<tr><th>3</th><td>Выкл.</td><td>—</td><td>—</td><td>—</td></tr>"));
  EXPECT_TRUE(Has(html, "<li class=\"failed\"><span class=\"mark\">✗</span> Передача по GSM включена, но ни одно направление доставки не включено.</li>"));
  EXPECT_TRUE(Has(html, "<li class=\"failed\"><span class=\"mark\">✗</span> Включено «Передавать SMS», но список SMS пуст.</li>"));
  EXPECT_TRUE(Has(html, "<li class=\"failed\"><span class=\"mark\">✗</span> Включено «Использовать конфигурацию GPRS», но APN обеих SIM-карт не заданы.</li>"));
  EXPECT_TRUE(Has(html, "<li class=\"passed\"><span class=\"mark\">✓</span> Направления доставки помещаются в прибор.</li>"));
}

TEST(Report, AnEventCodeWithoutEntryIsNamed) {
  SharedData d = Defaults(2);
  d.ConfigBuffer[9] = 0x0E;  // zone 2: no event has this byte
  const auto checks = ConfigurationChecks(d);
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0], "ШС2: кода события 14 нет в списке событий.");
}

// Where the configuration came from, as the report names it on its first
// page and on every page's header.
struct OriginCase {
  const char* name;
  ReportSource source;
  std::string origin;
  std::vector<std::pair<std::string, std::string>> identity;
};
class ReportOrigin : public ::testing::TestWithParam<OriginCase> {};

TEST_P(ReportOrigin, IsNamedOnTheFirstPageAndEveryHeader) {
  const ReportDocument report = BuildReport(Defaults(2), GetParam().source, {});
  EXPECT_EQ(report.origin, GetParam().origin);
  EXPECT_EQ(report.identity, GetParam().identity);
  EXPECT_EQ(report.title, "Конфигурация Ирт-ОП8 ППК 8 шлейфов сетевой");
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ReportOrigin,
    ::testing::Values(
        OriginCase{"file", {"/srv/объект 7/panel.cf8", "09.12.2026 03:15"}, "panel.cf8",
                   {{"Файл", "/srv/объект 7/panel.cf8"}, {"Изменён", "09.12.2026 03:15"}}},
        OriginCase{"windowsFile", {"C:\\Объекты\\panel.cf8", "01.02.2026 10:00"}, "panel.cf8",
                   {{"Файл", "C:\\Объекты\\panel.cf8"}, {"Изменён", "01.02.2026 10:00"}}},
        OriginCase{"device", {"/srv/old.cf8", "", true, 5}, "Прочитано из прибора",
                   {{"Прибор", "Ирт-ОП8 ППК 8 шлейфов сетевой"}, {"Версия прошивки", "5"}}},
        OriginCase{"neverSaved", {}, "Файл не сохранён", {{"Файл", "не сохранён"}}}),
    [](const auto& param) { return std::string(param.param.name); });

// GPRS passwords leave the program only when asked for.
struct PasswordCase {
  std::string password;
  bool show;
  std::string shown;
};
class ReportPassword : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(ReportPassword, IsHiddenUnlessAskedFor) {
  SharedData d = Defaults(1);
  d.ConfigBuffer[38] = 2;  // GSM-KVT
  const uint8_t dest[] = {0x7E, 0x0E, 0x57, 0x02, 0x00, 0x07, 0x01, 0x01, 0, 0, 0, 0, 0};
  d.DestTX_Buffer = test::StoredValues<DestSettings>(dest);  // SMS and GPRS on
  GprsSettings gprs;
  gprs.sims[0] = {"internet", "gdata", GetParam().password};
  d.GprsTX_Buffer = gprs;
  const ReportDocument report = BuildReport(d, {"g.cf8", ""}, {GetParam().show, "", ""});
  const std::string html = ReportHtml(report);
  EXPECT_TRUE(Has(html, "<td>internet</td><td>gdata</td><td>" + GetParam().shown + "</td>")) << html;
  if (!GetParam().show && !GetParam().password.empty()) {
    EXPECT_FALSE(Has(html, GetParam().password));
  }
}

INSTANTIATE_TEST_SUITE_P(Passwords, ReportPassword,
                         ::testing::Values(PasswordCase{"gdata123", false, "••••"},
                                           PasswordCase{"gdata123", true, "gdata123"},
                                           PasswordCase{"", false, "—"}, PasswordCase{"", true, "—"}));

TEST(Report, EndsWithLinesToSignAndTheProgramThatPrintedIt) {
  const std::string html =
      ReportHtml(BuildReport(Defaults(3), {"k.cf8", ""}, {false, "Тиволан 1.0.0", "09.12.2026 14:05"}));
  std::size_t at = html.find("<h2>Заполняется вручную</h2>");
  ASSERT_NE(at, std::string::npos);
  for (const char* line : {"Объект", "Адрес", "Монтажник (Ф.И.О.)", "Подпись монтажника", "Заказчик (Ф.И.О.)",
                           "Подпись заказчика", "Дата"}) {
    at = html.find("<tr><th>" + std::string(line) + "</th><td></td></tr>", at);
    EXPECT_NE(at, std::string::npos) << line << " in this order";
  }
  EXPECT_NE(html.find("<p class=\"stamp\">М.П.</p>", at), std::string::npos);
  EXPECT_TRUE(Has(html, "<footer>Тиволан 1.0.0 · Напечатано 09.12.2026 14:05</footer>"));
  EXPECT_TRUE(Has(html, "<p>Проверок для этого прибора нет.</p>")) << "a concentrator without GSM has none";
}

TEST(Report, TextIsEscaped) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">&</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
}

}  // namespace
}  // namespace tivolan
