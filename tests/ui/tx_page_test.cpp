// The "Передача" page and its two dialogs through the widgets, offscreen;
// each rendered to build/screenshots/ for review.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "link/UnitData.h"
#include "Controls.h"
#include "Shots.h"
#include "shell/ui/dialogs/FormGprs.h"
#include "shell/ui/dialogs/FormSMS.h"
#include "shell/ui/kit/GridKit.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/pages/TxPageWidget.h"
#include "support/RecordingPrompter.h"

using namespace tivolan;
using test::Control;

namespace {

struct Window {
  Window() {
    window = std::make_unique<TForm1>(FormServices{data, dataModule, settings, [] { return std::vector<std::string>{}; }});
    auto recorder = std::make_unique<test::RecordingPrompter>();
    prompts = recorder.get();
    window->SetPrompter(std::move(recorder));
    window->show();
    QApplication::setActiveWindow(window.get());  // so that focus moves as it would
    Control<QTabWidget>(window, "PageMain")->setCurrentIndex(kTabTx);
  }
  QWidget& Page() { return *test::Control(window, "PageTx"); }
  TxPageState& State() { return window->Form().tx; }
  void Type(int type) { Control<QComboBox>(window, "bxDeviceTypeList")->setCurrentIndex(type - 1); }
  void Kind(const QString& text) {
    QComboBox* list = Control<QComboBox>(window, "bxRTX_Type");
    list->setCurrentIndex(list->findText(text));
    emit list->activated(list->currentIndex());
  }
  // A click on a cell, core row and column.
  void Click(InPlaceGrid* grid, int row, int column) {
    QTableWidgetItem* cell = grid->item(row - 1, column - 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(cell).center());
  }
  // Picks item `index` in the chooser a click opened.
  void Choose(InPlaceGrid* grid, int index) {
    auto* combo = qobject_cast<QComboBox*>(grid->OpenEditor());
    QVERIFY(combo);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    QCoreApplication::processEvents();
  }

  SharedData data;
  TDataModule1 dataModule{CreateSystemSerialDevice(), nullptr};
  MemorySettingsStore settings;
  std::unique_ptr<TForm1> window;
  test::RecordingPrompter* prompts = nullptr;
};

using test::ShotPath;

// A cell whose text is wider than its column, as "column:text"; empty when
// every text fits.
QString CutCell(InPlaceGrid* grid) {
  const QFontMetrics metrics(grid->font());
  for (int r = 0; r < grid->rowCount(); ++r)
    for (int c = 0; c < grid->columnCount(); ++c)
      if (!grid->isColumnHidden(c) && metrics.horizontalAdvance(grid->item(r, c)->text()) + 8 > grid->columnWidth(c))
        return QStringLiteral("%1:%2").arg(c).arg(grid->item(r, c)->text());
  return {};
}

// No visible control of `parent` lies outside it or over a sibling.
void CheckLayout(QWidget* parent, const QString& what) {
  QList<QWidget*> parents = {parent};
  for (QWidget* w : parent->findChildren<QWidget*>())
    if (qobject_cast<QGroupBox*>(w) || w->objectName() == QStringLiteral("GsmControls")) parents << w;
  for (QWidget* p : parents) {
    if (!p->isVisibleTo(parent)) continue;
    QList<QWidget*> shown;
    for (QWidget* c : p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (c->isVisibleTo(parent) && !c->objectName().startsWith(QStringLiteral("qt_")) && !c->isWindow()) shown << c;
    for (QWidget* c : shown) {
      QVERIFY2(p->rect().contains(c->geometry()), qPrintable(what + ": " + c->objectName() + " clipped"));
      QVERIFY2(c->width() >= c->minimumSizeHint().width(), qPrintable(what + ": " + c->objectName() + " squeezed"));
    }
    for (int i = 0; i < shown.size(); ++i)
      for (int j = i + 1; j < shown.size(); ++j)
        QVERIFY2(!shown[i]->geometry().intersects(shown[j]->geometry()),
                 qPrintable(what + ": " + shown[i]->objectName() + " over " + shown[j]->objectName()));
  }
}

}  // namespace

class TxPageTest : public QObject {
  Q_OBJECT

 private slots:
  void choosingGsmShowsTheGsmControls() {
    Window w;
    QVERIFY(Control<InPlaceGrid>(w.window, "grdG1")->isHidden());
    w.Kind(QStringLiteral("GSM-KVT"));
    QCOMPARE(w.data.ConfigBuffer[38], uint8_t{2});
    QVERIFY(!Control<InPlaceGrid>(w.window, "grdG1")->isHidden());
    QCOMPARE(Control<QLineEdit>(w.window, "medtDevNumber")->text(), QStringLiteral("0001"));
    QVERIFY(!Control<QCheckBox>(w.window, "chkSMS_On")->isHidden());
    QVERIFY(Control<QPushButton>(w.window, "btnSMS_Show")->isHidden());
    QVERIFY(Control<QCheckBox>(w.window, "chkGSM_ControlEnbl")->isHidden());
    w.Type(2);
    w.Kind(QStringLiteral("RS-485"));
    QVERIFY(!Control<QSpinBox>(w.window, "edtBusID")->isHidden());
    QVERIFY(Control<InPlaceGrid>(w.window, "grdG1")->isHidden());
  }

  void aRowSwitchedOnThroughItsChooserAndMovedToTheTop() {
    Window w;
    w.Kind(QStringLiteral("GSM-KVT"));
    InPlaceGrid* grid = Control<InPlaceGrid>(w.window, "grdG1");
    w.Click(grid, 3, kColSim);
    QVERIFY2(!grid->OpenEditor(), "the SIM of a row that is off opens nothing");
    w.Click(grid, 3, kColTries);
    w.Choose(grid, 2);
    QCOMPARE(grid->item(2, kColSim - 1)->text(), QStringLiteral("1,2"));
    QCOMPARE(grid->item(2, kColProtocol - 1)->text(), QStringLiteral("Voice"));
    QCOMPARE(grid->item(2, kColText - 1)->text(), QStringLiteral("+7(903)123-45-67"));
    QVERIFY(!grid->OpenEditor());
    QCOMPARE(grid->currentColumn(), kColTries - 1);  // the cell picked stays selected
    // Dragged by its row header above row 1.
    grid->verticalHeader()->moveSection(2, 0);
    QCOMPARE(grid->verticalHeaderItem(0)->text(), QStringLiteral("3"));
    QCOMPARE(grid->item(0, kColTries - 1)->text(), QStringLiteral("2"));
    QVERIFY(!UpdateAllTXBuffers(w.data, w.window->Form()));
    const auto& first = w.data.DestTX_Buffer.records[0];
    QVERIFY(first);
    QCOMPARE(first->text.size(), std::size_t{12});
    QCOMPARE(first->Config(), uint8_t{0x40});
  }

  void typingInTheTextCellPassesTheKeyFilter() {
    Window w;
    w.Kind(QStringLiteral("GSM-KVT"));
    InPlaceGrid* grid = Control<InPlaceGrid>(w.window, "grdG1");
    w.Click(grid, 1, kColTries);
    w.Choose(grid, 1);
    w.Click(grid, 1, kColText);
    auto* edit = qobject_cast<QLineEdit*>(grid->OpenEditor());
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("8A 9(1)"));
    QCOMPARE(edit->text(), QStringLiteral("89(1)"));
    QCOMPARE(QString::fromStdString(w.State().dest.Row(1).text), QStringLiteral("89(1)"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(grid->item(0, kColText - 1)->text(), QStringLiteral("89(1)"));
  }

  void cellsAreNamedForAssistiveTechnology() {
    Window w;
    w.Kind(QStringLiteral("GSM-KVT"));
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(Control<InPlaceGrid>(w.window, "grdG1"));
    QVERIFY(table && table->tableInterface());
    QAccessibleInterface* cell = table->tableInterface()->cellAt(2, kColText - 1);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Направление 3: Телефон\\Хост"));
    QCOMPARE(Control<QLineEdit>(w.window, "medtDevNumber")->accessibleName(), QStringLiteral("Номер прибора"));
  }

  void anIncompleteDeviceNumberIsRefused() {
    Window w;
    w.Kind(QStringLiteral("GSM-KVT"));
    QLineEdit* number = Control<QLineEdit>(w.window, "medtDevNumber");
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("12"));
    Control<QPushButton>(w.window, "BtnClose")->setFocus(Qt::TabFocusReason);  // leaving the field
    QTRY_COMPARE(w.prompts->shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(w.prompts->shown[0].text),
             QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
    QCOMPARE(int(w.data.DestTX_Buffer.deviceNumber), 1);
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("4660"));
    w.window->SetStatusText(QString());  // nothing
    Control<QPushButton>(w.window, "BtnClose")->setFocus(Qt::TabFocusReason);  // leaving the field
    QCOMPARE(int(w.data.DestTX_Buffer.deviceNumber), 4660);
  }

  void theSmsDialogOpensFromItsOptionAndSavesTheList() {
    Window w;
    w.Kind(QStringLiteral("GSM-KVT"));
    bool inside = false;
    QString cut;
    QTimer::singleShot(0, [&] {
      auto* dialog = Control<TFrmSMS>(w.window, "FrmSMS");
      inside = dialog->isVisible();
      QCOMPARE(dialog->windowTitle(), QStringLiteral("SMS"));
      w.Click(Control<InPlaceGrid>(dialog, "grdSMS"), 1, kSmsColKind);
      w.Choose(Control<InPlaceGrid>(dialog, "grdSMS"), 2);  // the longest kind
      QVERIFY(dialog->grab().save(ShotPath(QStringLiteral("dialog-sms"))));
      cut = CutCell(Control<InPlaceGrid>(dialog, "grdSMS"));
      Control<QPushButton>(dialog, "btnSaveExit")->click();
    });
    Control<QCheckBox>(w.window, "chkSMS_On")->click();
    QVERIFY(inside);
    QCOMPARE(cut, QString());
    QVERIFY(Control<QCheckBox>(w.window, "chkSMS_On")->isChecked());
    QVERIFY(!Control<QPushButton>(w.window, "btnSMS_Show")->isHidden());
    QCOMPARE(w.data.SmsListFilled, uint8_t{1});
    QCOMPARE(w.data.SmsTX_Buffer.records.size(), std::size_t{1});
  }

  // On the concentrator the partition is typed; one above 64 keeps the
  // dialog open with its warning, as a user meets it.
  void aPartitionAbove64KeepsTheSmsDialogOpen() {
    Window w;
    w.Type(3);
    Control<QTabWidget>(w.window, "PageMain")->setCurrentIndex(kTabTx);
    Control<QCheckBox>(w.window, "chkCNC_TxGSM")->click();
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = Control<TFrmSMS>(w.window, "FrmSMS");
      w.Click(Control<InPlaceGrid>(dialog, "grdSMS"), 1, kSmsColKind);
      w.Choose(Control<InPlaceGrid>(dialog, "grdSMS"), 1);
      w.Click(Control<InPlaceGrid>(dialog, "grdSMS"), 1, kSmsColPartition);
      auto* edit = qobject_cast<QLineEdit*>(Control<InPlaceGrid>(dialog, "grdSMS")->OpenEditor());
      QVERIFY(edit);
      edit->selectAll();
      QTest::keyClicks(edit, QStringLiteral("6x5"));
      QCOMPARE(edit->text(), QStringLiteral("65"));
      QTest::keyClick(edit, Qt::Key_Return);
      Control<QPushButton>(dialog, "btnSaveExit")->click();
      stayedOpen = dialog->isVisible();
      QCOMPARE(w.prompts->shown.size(), std::size_t{1});
      QCOMPARE(QString::fromStdString(w.prompts->shown[0].caption), QStringLiteral("SMS"));
      w.Click(Control<InPlaceGrid>(dialog, "grdSMS"), 1, kSmsColPartition);
      edit = qobject_cast<QLineEdit*>(Control<InPlaceGrid>(dialog, "grdSMS")->OpenEditor());
      edit->selectAll();
      QTest::keyClicks(edit, QStringLiteral("64"));
      QTest::keyClick(edit, Qt::Key_Return);
      Control<QPushButton>(dialog, "btnSaveExit")->click();
    });
    Control<QCheckBox>(w.window, "chkSMS_On")->click();
    QVERIFY(stayedOpen);
    QVERIFY(!Control<TFrmSMS>(w.window, "FrmSMS")->isVisible());
    QCOMPARE(w.data.SmsTX_Buffer.records.at(0).partition, uint8_t{64});
  }

  void theBusNumberWithRs485() {
    Window w;
    w.Type(2);
    Control<QTabWidget>(w.window, "PageMain")->setCurrentIndex(kTabTx);
    w.Kind(QStringLiteral("RS-485"));
    QVERIFY(!Control<QSpinBox>(w.window, "edtBusID")->isHidden());
    QCOMPARE(Control<QSpinBox>(w.window, "edtBusID")->value(), 1);
    Control<QSpinBox>(w.window, "edtBusID")->stepUp();
    QCOMPARE(w.data.ConfigBuffer[46], uint8_t{2});
    CheckLayout(&w.Page(), QStringLiteral("RS-485"));
    QVERIFY(w.window->grab().save(ShotPath(QStringLiteral("tx-type2-rs485"))));
  }

  void anEmptySmsListSwitchesTheOptionOff() {
    Window w;
    w.Kind(QStringLiteral("GSM-KVT"));
    QTimer::singleShot(0, [&] { Control<QPushButton>(Control<TFrmSMS>(w.window, "FrmSMS"), "btnSaveExit")->click(); });
    Control<QCheckBox>(w.window, "chkSMS_On")->click();
    QVERIFY(!Control<QCheckBox>(w.window, "chkSMS_On")->isChecked());
    QVERIFY(Control<QPushButton>(w.window, "btnSMS_Show")->isHidden());
    QVERIFY(!w.data.DestTX_Buffer.SmsInUse());
  }

  void theGprsDialogStartsFromTheFirstPreset() {
    Window w;
    w.Kind(QStringLiteral("GSM-KVT"));
    QTimer::singleShot(0, [&] {
      auto* dialog = Control<TfrmGPRS>(w.window, "frmGPRS");
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Параметры GPRS"));
      QCOMPARE(Control<QLineEdit>(dialog, "edtAPN1")->text(), QString::fromUtf8(TOperators[0].apn));
      Control<QComboBox>(dialog, "bxOper2")->setCurrentIndex(3);
      emit Control<QComboBox>(dialog, "bxOper2")->activated(3);
      QCOMPARE(Control<QLineEdit>(dialog, "edtAPN2")->text(), QStringLiteral("internet"));
      QCOMPARE(Control<QLineEdit>(dialog, "edtUser2")->text(), QString());
      for (const QString& key : {QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("b"), QStringLiteral(","),
                                 QStringLiteral("ц")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        QApplication::sendEvent(Control<QLineEdit>(dialog, "edtUser2"), &press);
      }
      QCOMPARE(Control<QLineEdit>(dialog, "edtUser2")->text(), QStringLiteral("ab"));
      CheckLayout(dialog, QStringLiteral("GPRS dialog"));
      QVERIFY(dialog->grab().save(ShotPath(QStringLiteral("dialog-gprs"))));
      Control<QPushButton>(dialog, "btnSaveExit")->click();
    });
    Control<QCheckBox>(w.window, "chkUseGPRScfg")->click();
    QVERIFY(!Control<QPushButton>(w.window, "btnGPRS")->isHidden());
    QVERIFY(!w.data.GprsTX_Buffer.NoAccessPoint());
    QCOMPARE(w.data.DestTX_Buffer.gprs, uint8_t{1});
  }

  void thePageOfEachTypeFitsWithGsmOnAndOff() {
    Window w;
    for (int type = 1; type <= 3; ++type) {
      w.Type(type);
      Control<QTabWidget>(w.window, "PageMain")->setCurrentIndex(kTabTx);
      for (bool gsm : {false, true}) {
        if (type == kTypeCNC1) {
          if (Control<QCheckBox>(w.window, "chkCNC_TxGSM")->isChecked() != gsm) Control<QCheckBox>(w.window, "chkCNC_TxGSM")->click();
        } else {
          w.Kind(gsm ? QStringLiteral("GSM-KVT") : QStringLiteral("Отключено"));
        }
        if (gsm) {
          w.Click(Control<InPlaceGrid>(w.window, "grdG1"), 1, kColTries);
          w.Choose(Control<InPlaceGrid>(w.window, "grdG1"), 2);
        }
        QCoreApplication::processEvents();
        const QString what = QStringLiteral("type %1 gsm %2").arg(type).arg(gsm);
        CheckLayout(&w.Page(), what);
        QVERIFY(w.window->grab().save(ShotPath(QStringLiteral("tx-type%1-gsm%2").arg(type).arg(gsm ? "on" : "off"))));
      }
    }
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  TxPageTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tx_page_test.moc"
