// The main window offscreen: start-up, settings, port box, device types, tabs.
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "link/UnitData.h"
#include "platform/Platform.h"
#include "Controls.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "support/RecordingPrompter.h"
#include "support/PortTexts.h"

using namespace tivolan;
using test::Control;

namespace {

// One window with its own storage and an in-memory settings store.
struct Fixture {
  explicit Fixture(std::vector<std::string> ports = {"/dev/ttyS0", "/dev/ttyUSB0"}) {
    window = std::make_unique<TForm1>(
        FormServices{data, dataModule, settings, [ports] { return ports; }});
  }
  Fixture(const std::map<std::string, std::string>& stored) {
    for (const auto& [k, v] : stored) settings.Write(k, v);
    window = std::make_unique<TForm1>(FormServices{data, dataModule, settings, [] {
                                                     return std::vector<std::string>{};
                                                   }});
  }
  SharedData data;
  TDataModule1 dataModule{CreateSystemSerialDevice(), nullptr};
  MemorySettingsStore settings;
  std::unique_ptr<TForm1> window;
};

QStringList VisibleTabs(TForm1& w) {
  auto* pages = Control<QTabWidget>(&w, "PageMain");
  QStringList tabs;
  for (int i = 0; i < pages->count(); ++i)
    if (pages->isTabVisible(i)) tabs << pages->tabText(i);
  return tabs;
}

// The accessible object of the given role below `from`, depth first.
QAccessibleInterface* FindByRole(QAccessibleInterface* from, QAccessible::Role role) {
  if (!from) return nullptr;
  if (from->role() == role) return from;
  for (int i = 0; i < from->childCount(); ++i)
    if (QAccessibleInterface* found = FindByRole(from->child(i), role)) return found;
  return nullptr;
}

QStringList ChildNames(QAccessibleInterface* parent) {
  QStringList names;
  for (int i = 0; i < parent->childCount(); ++i) names << parent->child(i)->text(QAccessible::Name);
  return names;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartStoresDefaultsAndSelectsTheFirstType() {
    Fixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Тиволан"));
    QCOMPARE(f.settings.Values().at("comportname"), DefaultPortSetting());
    QCOMPARE(f.settings.Values().at("devicetype"), std::string("0"));
    QCOMPARE(f.settings.Values().count("filepath"), std::size_t{0});
    QCOMPARE(Control<QComboBox>(f.window, "bxDeviceTypeList")->currentIndex(), 0);
    QCOMPARE(f.data.DeviceType, uint8_t{1});
    QCOMPARE(f.data.ConfigBuffer[42], uint8_t{0xC0});
    QCOMPARE(Control<QComboBox>(f.window, "PortNameBox")->currentText(), QString::fromStdString(DefaultPortSetting()));
    QCOMPARE(f.dataModule.cmprtdrvr1.PortName(), DefaultPortPath());
  }

  void listEntriesAndPortList() {
    Fixture f({"/dev/ttyS0", "/dev/ttyS0", "/dev/ttyACM0"});
    QCOMPARE(Control<QComboBox>(f.window, "bxDeviceTypeList")->count(), 3);
    QCOMPARE(Control<QComboBox>(f.window, "bxDeviceTypeList")->itemText(0), QStringLiteral("Ирт-ОП8А ППК 8 шлейфов автономный, версия >= 3"));
    QCOMPARE(Control<QComboBox>(f.window, "bxDeviceTypeList")->itemText(2), QStringLiteral("Ирт-ОП-КС  Концентратор сети"));
    QCOMPARE(Control<QComboBox>(f.window, "PortNameBox")->count(), 3);  // duplicates are kept
    QVERIFY(Control<QComboBox>(f.window, "PortNameBox")->isEditable());
  }

  void storedDeviceTypeSelectsItsEntry_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("concentrator") << "2" << 2;
    QTest::newRow("beyond the list") << "3" << 0;
    QTest::newRow("far beyond") << "17" << 0;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
  }
  void storedDeviceTypeSelectsItsEntry() {
    QFETCH(QString, stored);
    QFETCH(int, index);
    Fixture f(std::map<std::string, std::string>{{"devicetype", stored.toStdString()}});
    QCOMPARE(Control<QComboBox>(f.window, "bxDeviceTypeList")->currentIndex(), index);
    QCOMPARE(f.data.DeviceType, uint8_t(index + 1));
    QCOMPARE(f.settings.Values().at("devicetype"), std::to_string(index));
  }

  void tabsFollowTheDeviceType() {
    Fixture f;
    QCOMPARE(VisibleTabs(*f.window), (QStringList{"Шлейфы", "Периферия", "Передача", "Прошивка"}));
    QCOMPARE(Control<QTabWidget>(f.window, "PageMain")->currentIndex(), int(kTabShlf));
    Control<QComboBox>(f.window, "bxDeviceTypeList")->setCurrentIndex(2);  // as a user's pick
    QCOMPARE(VisibleTabs(*f.window), (QStringList{"Передача", "Концентратор", "Прошивка"}));
    QCOMPARE(Control<QTabWidget>(f.window, "PageMain")->currentIndex(), int(kTabCnc));
    QCOMPARE(f.settings.Values().at("devicetype"), std::string("2"));
    QCOMPARE(f.data.ConfigBuffer[6], uint8_t{0x10});
    Control<QComboBox>(f.window, "bxDeviceTypeList")->setCurrentIndex(1);
    QCOMPARE(VisibleTabs(*f.window), (QStringList{"Шлейфы", "Периферия", "Передача", "Прошивка"}));
    QCOMPARE(f.data.ConfigBuffer[46], uint8_t{0x01});
  }

  void portTextRule() {
    Fixture f;
    Control<QComboBox>(f.window, "PortNameBox")->setEditText(QString::fromUtf8(test::kSomePort));
    QCOMPARE(f.settings.Values().at("comportname"), std::string(test::kSomePort));
    QCOMPARE(f.dataModule.cmprtdrvr1.PortName(), std::string(test::kSomePortPath));
    Control<QComboBox>(f.window, "PortNameBox")->setEditText(QString::fromUtf8(test::kNotAPort));
    QCOMPARE(f.settings.Values().at("comportname"), std::string(test::kNotAPort));
    QCOMPARE(f.dataModule.cmprtdrvr1.PortName(), std::string(test::kSomePortPath));
  }

  void storedPortTextThatIsNoPortKeepsTheBuiltInName() {
    Fixture f(std::map<std::string, std::string>{{"comportname", test::kNotAPort}});
    QCOMPARE(Control<QComboBox>(f.window, "PortNameBox")->currentText(), QString::fromUtf8(test::kNotAPort));
    QCOMPARE(f.dataModule.cmprtdrvr1.PortName(), DefaultPortPath());
    QCOMPARE(f.settings.Values().at("comportname"), std::string(test::kNotAPort));
  }

  void fixedWindowWithMenusAndSidePanel() {
    Fixture f;
    QCOMPARE(f.window->width(), kClientWidth);
    QCOMPARE(f.window->height() - f.window->menuBar()->sizeHint().height(), kClientHeight);
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QVERIFY(!(f.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(Control<QAction>(f.window, "FileOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(Control<QAction>(f.window, "FileSave")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QVERIFY(Control<QAction>(f.window, "FileSaveAs")->shortcut().isEmpty());
    QCOMPARE(Control<QPushButton>(f.window, "BtnClose")->text(), QStringLiteral("Выход"));
    QCOMPARE(Control<QPushButton>(f.window, "ButtonRead")->text(), QStringLiteral("Прочитать"));
    QCOMPARE(Control<QPushButton>(f.window, "ButtonWrite")->text(), QStringLiteral("Записать"));
    const QStringList menus{QStringLiteral("&Файл"), QStringLiteral("&Помощь")};
    QStringList seen;
    for (QAction* a : f.window->menuBar()->actions()) seen << a->text();
    QCOMPARE(seen, menus);
  }

  void everyControlHasAnAccessibleName() {
    Fixture f;
    f.window->BuildPages();
    for (QWidget* w : f.window->findChildren<QWidget*>()) {
      if (!qobject_cast<QComboBox*>(w) && !qobject_cast<QPushButton*>(w) && !qobject_cast<QAbstractButton*>(w))
        continue;
      if (w->objectName().startsWith(QStringLiteral("qt_"))) continue;  // Qt's own inner widgets
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName() + " " + w->metaObject()->className()));
    }
  }

  // A screen reader reads the status bar through the accessibility
  // interface: what it hears must be the status text.
  void statusTextIsWhatTheAccessibilityInterfaceReports() {
    Fixture f;
    f.window->show();
    f.window->SetStatusText(QStringLiteral("Конфигурация прочитана, версия прибора - 3"));
    QAccessibleInterface* bar = FindByRole(QAccessible::queryAccessibleInterface(f.window.get()), QAccessible::StatusBar);
    QVERIFY(bar);
    QCOMPARE(ChildNames(bar), QStringList{QStringLiteral("Конфигурация прочитана, версия прибора - 3")});
    f.window->SetStatusText(QStringLiteral("Нет связи, проверьте соединения или тип прибора"));
    QCOMPARE(ChildNames(bar), QStringList{QStringLiteral("Нет связи, проверьте соединения или тип прибора")});
  }

  void aboutBoxShowsThreeLinesWithoutAuthor() {
    Fixture f;
    QStringList texts;
    QString caption;
    QRect line, okArea, clientArea;
    int labelsEnd = 0;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      QVERIFY(box);
      caption = box->windowTitle();
      int lowestLabel = 0;
      for (QLabel* l : box->findChildren<QLabel*>()) {
        if (!l->text().isEmpty()) texts << l->text();
        lowestLabel = std::max(lowestLabel, l->geometry().bottom());
      }
      auto* ok = box->findChild<QPushButton*>(QStringLiteral("AboutOk"));
      for (QFrame* frame : box->findChildren<QFrame*>())
        if (frame->frameShape() == QFrame::HLine) line = frame->geometry();
      okArea = ok->geometry();
      clientArea = box->rect();
      labelsEnd = lowestLabel;
      ok->click();
    });
    Control<QAction>(f.window, "MenuHelpAbout")->trigger();
    QCOMPARE(caption, QStringLiteral("О программе: Тиволан"));
    // The line separates the texts from the button, and the button is whole.
    QVERIFY(labelsEnd < line.top());
    QVERIFY(line.bottom() < okArea.top());
    QVERIFY(clientArea.contains(okArea));
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts[0], QStringLiteral("Тиволан"));
    QVERIFY(texts[1].startsWith(QStringLiteral("Версия: ")));
    QCOMPARE(texts[2], QStringLiteral("Компания: Stelmark"));
  }

  void closingClosesTheConfigurationPort() {
    Fixture f;
    f.window->show();
    Control<QPushButton>(f.window, "BtnClose")->click();
    QVERIFY(!f.window->isVisible());
    QVERIFY(!f.dataModule.cmprtdrvr1.IsOpen());
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
