// The window without a mouse: every setting is reached by Tab, the tables
// and dialogs are worked by keys, and read, save and write have their keys.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QTabWidget>

#include "shell/ui/dialogs/FormGprs.h"
#include "shell/ui/dialogs/FormSMS.h"
#include "shell/ui/kit/GridKit.h"
#include "shell/ui/kit/PageKit.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/pages/TxPageWidget.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;
using test::WindowBench;

namespace {

// What a person can change or press.
bool IsInput(QWidget* w) {
  return qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
         qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QAbstractItemView*>(w);
}

// The widget that stands for the focus: a spin box for its edit, a table for
// its cells.
QWidget* Owner(QWidget* w) {
  for (QWidget* p = w; p; p = p->parentWidget())
    if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QAbstractItemView*>(p) || qobject_cast<QComboBox*>(p))
      return p;
  return w;
}

void OpenWithSpace(WindowBench& b, QWidget* control) {
  control->setFocus(Qt::TabFocusReason);
  b.Press(Qt::Key_Space);
}

}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  void everySettingIsReachedByTab_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("gsm");
    QTest::newRow("type 1") << 1 << true;
    QTest::newRow("type 2") << 2 << false;
    QTest::newRow("concentrator") << 3 << true;
  }
  void everySettingIsReachedByTab() {
    QFETCH(int, type);
    QFETCH(bool, gsm);
    WindowBench b(gsm ? std::optional(test::GsmPanel(type)) : std::nullopt, type);
    if (gsm) b.Read();
    QTabWidget* tabs = Control<QTabWidget>(b.window, "PageMain");
    for (int tab = 0; tab < kTabCount; ++tab) {
      if (!tabs->isTabVisible(tab)) continue;
      tabs->setCurrentIndex(tab);
      QList<QWidget*> inputs;
      for (QWidget* w : tabs->widget(tab)->findChildren<QWidget*>())
        if (IsInput(w) && !qobject_cast<QHeaderView*>(w) && w->isVisible() && w->isEnabled() && Owner(w) == w) inputs << w;
      QSet<QWidget*> reached;
      Control<QPushButton>(b.window, "BtnClose")->setFocus(Qt::TabFocusReason);
      for (int i = 0; i < 4 * inputs.size() + 10; ++i) {
        b.Press(Qt::Key_Tab);
        reached << Owner(QApplication::focusWidget());
      }
      for (QWidget* w : inputs)
        QVERIFY2(reached.contains(w), qPrintable(tabs->tabText(tab) + ": " + w->metaObject()->className() + " " +
                                                 w->objectName() + " " + w->accessibleName()));
    }
  }

  // The destinations table as the keyboard works it, checked as assistive
  // technology sees it.
  void theDestinationsTableFromTheKeyboard() {
    WindowBench b;
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(2);
    InPlaceGrid* grid = Control<InPlaceGrid>(b.window, "grdG1");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
    grid->setFocus(Qt::TabFocusReason);
    QCOMPARE(table->focusChild()->text(QAccessible::Name), QStringLiteral("Направление 1: Попытки"));
    b.Press(Qt::Key_Space);
    auto* chooser = qobject_cast<QComboBox*>(grid->OpenEditor());
    QVERIFY(chooser);
    QCOMPARE(QAccessible::queryAccessibleInterface(chooser)->text(QAccessible::Description),
             QStringLiteral("Направление 1: Попытки"));
    QTRY_VERIFY(chooser->view()->isVisible());
    QTest::keyClick(chooser->view(), Qt::Key_Down);
    QTest::keyClick(chooser->view(), Qt::Key_Return);
    QTRY_VERIFY(!grid->OpenEditor());
    QCOMPARE(grid->item(0, kColTries - 1)->text(), QStringLiteral("1"));
    QCOMPARE(grid->item(0, kColText - 1)->text(), QStringLiteral("+7(903)123-45-67"));
    // The cell picked stays in view as the selected one.
    QCOMPARE(grid->selectedItems(), QList<QTableWidgetItem*>{grid->item(0, kColTries - 1)});
    QCOMPARE(QApplication::focusWidget(), grid);
    for (int i = 0; i < 3; ++i) b.Press(Qt::Key_Right);
    QCOMPARE(table->focusChild()->text(QAccessible::Name), QStringLiteral("Направление 1: Телефон\\Хост"));
    b.Type(QStringLiteral("8903"));  // typing opens the editor with the first key
    b.Press(Qt::Key_Return);
    QTRY_VERIFY(!grid->OpenEditor());
    QCOMPARE(table->focusChild()->text(QAccessible::Description), QStringLiteral("8903"));
    b.Press(Qt::Key_F2);
    b.Type(QStringLiteral("55"));
    b.Press(Qt::Key_Escape);
    QCOMPARE(grid->item(0, kColText - 1)->text(), QStringLiteral("8903"));
    QCOMPARE(b.window->Form().tx.dest.Row(1).text, "8903");
    b.Press(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(grid->verticalHeaderItem(0)->text(), QStringLiteral("2"));
    QCOMPARE(grid->verticalHeaderItem(1)->text(), QStringLiteral("1"));
    QCOMPARE(grid->item(1, kColText - 1)->text(), QStringLiteral("8903"));
    QCOMPARE(grid->currentRow(), 1);
    b.Press(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(grid->verticalHeaderItem(0)->text(), QStringLiteral("1"));
    b.Press(Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != grid && !grid->isAncestorOf(QApplication::focusWidget()));
  }

  // Saved once with "Сохранить", then edited and left with Escape: the list
  // stays as saved.
  void theSmsDialogByKeysAndEscapeStoresNothing() {
    WindowBench b;
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(2);
    auto dialog = [&] { return Control<TFrmSMS>(b.window, "FrmSMS"); };
    auto switchRowOn = [&](int row) {
      Control<InPlaceGrid>(dialog(), "grdSMS")->setFocus(Qt::TabFocusReason);
      Control<InPlaceGrid>(dialog(), "grdSMS")->setCurrentCell(row - 1, kSmsColKind - 1);
      b.Press(Qt::Key_Return);
      auto* chooser = qobject_cast<QComboBox*>(Control<InPlaceGrid>(dialog(), "grdSMS")->OpenEditor());
      QVERIFY(chooser);
      QTRY_VERIFY(chooser->view()->isVisible());
      QTest::keyClick(chooser->view(), Qt::Key_Down);
      QTest::keyClick(chooser->view(), Qt::Key_Return);
      QTRY_VERIFY(!Control<InPlaceGrid>(dialog(), "grdSMS")->OpenEditor());
    };
    test::WithDialog([&] { OpenWithSpace(b, Control<QCheckBox>(b.window, "chkSMS_On")); }, [&] {
      switchRowOn(1);
      OpenWithSpace(b, Control<QPushButton>(dialog(), "btnSaveExit"));
    });
    const SmsList saved = b.data.SmsTX_Buffer;
    QCOMPARE(saved.records.size(), std::size_t{1});
    test::WithDialog([&] { OpenWithSpace(b, Control<QPushButton>(b.window, "btnSMS_Show")); }, [&] {
      switchRowOn(2);
      b.Press(Qt::Key_Escape);
    });
    QVERIFY(!dialog()->isVisible());
    QVERIFY(b.data.SmsTX_Buffer == saved);
    QCOMPARE(b.window->Form().tx.sms.Row(2).kind, std::string(SmsKindList[0]));
    QVERIFY(Control<QCheckBox>(b.window, "chkSMS_On")->isChecked());
  }

  void theGprsDialogLeftWithEscapeStoresNothing() {
    WindowBench b;
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(2);
    auto dialog = [&] { return Control<TfrmGPRS>(b.window, "frmGPRS"); };
    QCheckBox* option = Control<QCheckBox>(b.window, "chkUseGPRScfg");
    test::WithDialog([&] { OpenWithSpace(b, option); }, [&] { b.Press(Qt::Key_Escape); });
    QVERIFY(!option->isChecked());  // nothing was stored, so the option is off
    QVERIFY(b.data.GprsTX_Buffer.NoAccessPoint());
    test::WithDialog([&] { OpenWithSpace(b, option); }, [&] { OpenWithSpace(b, Control<QPushButton>(dialog(), "btnSaveExit")); });
    const GprsSettings saved = b.data.GprsTX_Buffer;
    test::WithDialog([&] { OpenWithSpace(b, Control<QPushButton>(b.window, "btnGPRS")); }, [&] {
      b.Retype(Control<QLineEdit>(dialog(), "edtAPN1"), QStringLiteral("other"));
      b.Press(Qt::Key_Escape);
    });
    QVERIFY(b.data.GprsTX_Buffer == saved);
    QCOMPARE(b.window->Form().tx.gprs.edtAPN1, std::string(TOperators[0].apn));
    QVERIFY(option->isChecked());
  }

  void theCommandKeysWinOverTheFocusedControl_data() {
    QTest::addColumn<bool>("gsm");
    QTest::addColumn<QString>("control");  // "grdG1": the host cell's editor
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("status");
    const QString written = QStringLiteral("Конфигурация записана");
    QTest::newRow("delay field") << false << "edtDelayIn1" << "45" << "Ctrl+Shift+W" << written;
    QTest::newRow("destination cell") << true << "grdG1" << "8903" << "Ctrl+Shift+W" << written;
    QTest::newRow("device number") << true << "medtDevNumber" << "" << "Ctrl+Shift+W" << written;
    QTest::newRow("port box") << false << "PortNameBox" << "" << "Ctrl+Shift+W" << written;
    QTest::newRow("siren time") << false << "udSndWrkTime" << "" << "Ctrl+Shift+W" << written;
    QTest::newRow("zone type, read") << false << "FShlfType1" << "" << "Ctrl+Shift+R"
                                     << "Конфигурация прочитана, версия прибора - 3";
  }
  // The key reaches its button whatever has the focus, and the control
  // keeps what it shows (on X11 a line edit takes Ctrl+U as "erase to the
  // start of the line").
  void theCommandKeysWinOverTheFocusedControl() {
    QFETCH(bool, gsm);
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, keys);
    QFETCH(QString, status);
    WindowBench b(gsm ? test::GsmPanel(1) : sim::SimOptions{});
    b.Read();
    auto* grid = Control<InPlaceGrid>(b.window, "grdG1");
    QWidget* target = control == QStringLiteral("grdG1") ? grid : b.Find(control);
    ShowPageOf(target);
    target->setFocus(Qt::TabFocusReason);
    if (target == grid) {
      grid->setCurrentCell(0, kColText - 1);
      b.Press(Qt::Key_F2);
    }
    if (!typed.isEmpty()) {
      b.Press(Qt::Key_A, Qt::ControlModifier);
      b.Type(typed);
    }
    auto shown = [&] {
      if (target == grid) return grid->item(0, kColText - 1)->text();
      return target->property(qobject_cast<QComboBox*>(target) ? "currentText" : "text").toString();
    };
    const QString before = target == grid ? qobject_cast<QLineEdit*>(grid->OpenEditor())->text() : shown();
    b.Command(keys);
    b.WaitIdle();
    QCOMPARE(b.window->StatusText(), status);
    QVERIFY(b.prompts->asked.empty() && b.prompts->shown.empty());
    QCOMPARE(shown(), before);
    if (control == QStringLiteral("edtDelayIn1")) QCOMPARE(b.sim->Payload()[3], uint8_t{45});
  }

  // Enter in a field presses "Сохранить", the dialog's only button.
  void enterInTheGprsDialogSaves() {
    WindowBench b;
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QComboBox>(b.window, "bxRTX_Type")->setCurrentIndex(2);
    test::WithDialog([&] { OpenWithSpace(b, Control<QCheckBox>(b.window, "chkUseGPRScfg")); }, [&] {
      b.Retype(Control<QLineEdit>(Control<TfrmGPRS>(b.window, "frmGPRS"), "edtAPN1"), QStringLiteral("inet"));
      b.Press(Qt::Key_Return);
    });
    QVERIFY(!Control<TfrmGPRS>(b.window, "frmGPRS")->isVisible());
    QCOMPARE(b.window->Form().tx.gprs.edtAPN1, std::string("inet"));
  }

  void readEditSaveAndWriteByKeys() {
    sim::SimOptions device;
    WindowBench b(device);
    b.chosen = b.dir.Path("keys.cf8");
    QCOMPARE(Control<QPushButton>(b.window, "ButtonRead")->text(), QStringLiteral("Прочитать"));
    for (auto [button, keys] : {std::pair{Control<QPushButton>(b.window, "ButtonRead"), "Ctrl+Shift+R"}, {Control<QPushButton>(b.window, "ButtonWrite"), "Ctrl+Shift+W"},
                                {Control<QPushButton>(b.window, "BtnClose"), "Ctrl+Q"}})
      QVERIFY2(button->toolTip().contains(QString::fromLatin1(keys)), keys);
    b.Command(QStringLiteral("Ctrl+Shift+R"));
    b.WaitIdle();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Конфигурация прочитана, версия прибора - 3"));
    b.Find<QComboBox>(QStringLiteral("FShlfType1"))->setFocus(Qt::TabFocusReason);
    b.Press(Qt::Key_Up);  // "Дверной" to the type above it
    const uint8_t zone1 = b.data.ConfigBuffer[4];
    b.Command(QStringLiteral("Ctrl+S"));
    QCOMPARE(b.window->StatusText(), QStringLiteral("Файл сохранен"));
    b.Command(QStringLiteral("Ctrl+Shift+W"));
    b.WaitIdle();
    QCOMPARE(b.window->StatusText(), QStringLiteral("Конфигурация записана"));
    QCOMPARE(b.sim->Payload()[0], zone1);
    QVERIFY(zone1 != DefaultPayload(1)[0]);
    b.Command(QStringLiteral("Ctrl+Q"));
    QVERIFY(!b.window->isVisible());
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  KeyboardTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "keyboard_test.moc"
