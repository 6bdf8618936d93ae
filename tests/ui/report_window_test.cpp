// "Печать..." and "Сохранить отчёт..." through the window's menu and keys:
// the report of what the window holds, with where it came from on every
// page, printed or saved as PDF.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>
#include <filesystem>

#include "Shots.h"
#include "WindowBench.h"
#include "shell/ui/TApplication.h"
#include "configuration/Report.h"
#include "support/PdfText.h"

using namespace tivolan;
using test::Control;
using test::WindowBench;

namespace {

// The device type as the list shows it: model name and description.
std::string Model(int type) {
  const DeviceModel* model = FindDeviceModel(static_cast<uint32_t>(type));
  return std::string(model->name) + model->description;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Every page names the device, the origin and its number; the first says
// where the configuration came from, the last has the lines to sign.
void CheckPages(const std::string& pdf, const std::string& model, const std::vector<std::string>& origin) {
  const auto pages = test::PdfPages(pdf);
  QVERIFY(pages && !pages->empty());
  const int count = static_cast<int>(pages->size());
  for (int k = 1; k <= count; ++k) {
    const std::string& page = (*pages)[static_cast<std::size_t>(k - 1)];
    QVERIFY2(Has(page, PageNumberText(k, count)), page.c_str());
    QVERIFY2(Has(page, origin.front()), page.c_str());
    QVERIFY2(Has(page, model.substr(0, model.find(' '))), page.c_str());
    QVERIFY2(Has(page, "Тиволан ") && Has(page, "Напечатано "), page.c_str());
  }
  for (const auto& line : origin) QVERIFY2(Has(pages->front(), line), pages->front().c_str());
  QVERIFY(Has(pages->back(), "Подпись"));
  QCOMPARE(QString::fromStdString(test::PdfTitle(pdf).value_or("")), QString::fromStdString("Конфигурация " + model));
}

}  // namespace

class ReportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    if (const std::string why = test::WhyNoPdfText(); !why.empty()) QSKIP(why.c_str());
  }

  void theSavedReportSaysWhereTheConfigurationCameFrom_data() {
    QTest::addColumn<QStringList>("steps");  // what the user did, in order
    QTest::addColumn<int>("type");           // the device type then shown
    QTest::addColumn<QString>("from");       // "device", "file" or "new"
    QTest::newRow("a read") << QStringList{"read"} << 1 << "device";
    QTest::newRow("a saved file") << QStringList{"save"} << 2 << "file";
    QTest::newRow("nothing yet") << QStringList{} << 2 << "new";
    QTest::newRow("a read, then another type") << QStringList{"read", "type 3"} << 3 << "new";
    QTest::newRow("a saved file, then a read") << QStringList{"save", "read"} << 1 << "device";
    QTest::newRow("a read, then an open") << QStringList{"save", "read", "open"} << 2 << "file";
  }
  void theSavedReportSaysWhereTheConfigurationCameFrom() {
    QFETCH(QStringList, steps);
    QFETCH(int, type);
    QFETCH(QString, from);
    WindowBench b(steps.contains(QStringLiteral("read")) ? std::optional(test::GsmPanel(1)) : std::nullopt, 2);
    b.chosen = b.dir.Path("объект.cf8");
    for (const QString& step : steps) {
      if (step == QStringLiteral("read")) b.Read();
      if (step == QStringLiteral("save")) b.Command(QStringLiteral("Ctrl+S"));
      if (step == QStringLiteral("open")) b.Command(QStringLiteral("Ctrl+O"));
      if (step == QStringLiteral("type 3")) Control<QComboBox>(b.window, "bxDeviceTypeList")->setCurrentIndex(2);
    }
    std::vector<std::string> origin{"Файл не сохранён"};
    if (from == QStringLiteral("device")) origin = {"Прочитано из прибора", "Версия прошивки", "Прибор"};
    if (from == QStringLiteral("file")) origin = {"объект.cf8", b.dir.Path("объект.cf8"), "Изменён"};
    b.chosen = b.dir.Path("отчёт");
    Control<QAction>(b.window, "FileSaveReport")->trigger();
    QCOMPARE(b.asked.back(), FileDialogKind::Report);
    QVERIFY(b.prompts->shown.empty());
    QCOMPARE(b.window->StatusText(), QStringLiteral("Отчёт сохранён"));
    CheckPages(b.dir.Path("отчёт.pdf"), Model(type), origin);
  }

  void ctrlPPrintsTheSameReportOrNothingWhenTheDialogIsCancelled_data() {
    QTest::addColumn<bool>("accepted");
    QTest::newRow("printed") << true;
    QTest::newRow("cancelled") << false;
  }
  void ctrlPPrintsTheSameReportOrNothingWhenTheDialogIsCancelled() {
    QFETCH(bool, accepted);
    WindowBench b({}, 3);
    const QString status = b.window->StatusText();
    if (accepted) b.printTo = b.dir.Path("printed.pdf");
    b.Command(QStringLiteral("Ctrl+P"));
    QCOMPARE(b.printDialogs, 1);
    QVERIFY(b.prompts->shown.empty());
    if (!accepted) {
      QCOMPARE(b.window->StatusText(), status);
      QVERIFY(std::filesystem::is_empty(b.dir.dir));
      return;
    }
    QCOMPARE(b.window->StatusText(), QStringLiteral("Отчёт отправлен на печать"));
    CheckPages(*b.printTo, Model(3), {"Файл не сохранён"});
  }

  // The file menu as it opens, kept in build/screenshots/ for review: the
  // two report commands between saving and leaving, Ctrl+P beside printing.
  void theFileMenuOffersBothReportCommands() {
    WindowBench b;
    QMenu* file = b.window->menuBar()->actions().front()->menu();
    file->popup(b.window->mapToGlobal(QPoint(8, 8)));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    QStringList texts;
    for (QAction* a : file->actions()) texts << a->text();
    QVERIFY(texts.indexOf(QStringLiteral("Сохранить &как...")) < texts.indexOf(QStringLiteral("&Печать...")));
    QVERIFY(texts.indexOf(QStringLiteral("Сохранить &отчёт...")) < texts.indexOf(QStringLiteral("Выход")));
    QCOMPARE(Control<QAction>(b.window, "FilePrint")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QVERIFY(file->grab().save(test::ShotPath(QStringLiteral("file-menu"))));
    file->close();
  }

  // A report that cannot be saved says so and leaves nothing behind.
  void aReportThatCannotBeSavedIsReported() {
    WindowBench b;
    const QString status = b.window->StatusText();
    b.chosen = b.dir.Path("нет такой папки/отчёт.pdf");
    Control<QAction>(b.window, "FileSaveReport")->trigger();
    QCOMPARE(b.prompts->shown.size(), std::size_t{1});
    QVERIFY(b.prompts->shown[0].icon == BoxIcon::Error);
    QCOMPARE(b.window->StatusText(), status);
    QVERIFY(std::filesystem::is_empty(b.dir.dir));
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  ReportWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "report_window_test.moc"
