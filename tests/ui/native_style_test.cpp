// The window in Qt's "Windows" style, the one the native style of Windows
// (windowsvista) is built on, whose table headers need more room than
// Fusion's for the same font: the tables still show every row.
#include <QCheckBox>
#include <QHeaderView>
#include <QStyleFactory>
#include <QTabWidget>

#include "shell/ui/TApplication.h"
#include "shell/ui/dialogs/FormSMS.h"
#include "shell/ui/kit/GridKit.h"
#include "WindowBench.h"

using namespace tivolan;
using test::Control;
using test::WindowBench;

namespace {

void CheckEveryRowShows(InPlaceGrid* table) {
  const int last = table->model()->rowCount() - 1;
  QVERIFY2(table->rowViewportPosition(last) + table->rowHeight(last) <= table->viewport()->height(),
           qPrintable(QStringLiteral("%1: row %2 is cut at %3 of %4")
                          .arg(table->objectName())
                          .arg(last + 1)
                          .arg(table->viewport()->height())
                          .arg(table->rowViewportPosition(last) + table->rowHeight(last))));
}

}  // namespace

class NativeStyleTest : public QObject {
  Q_OBJECT

 private slots:
  void theTablesShowEveryRow() {
    WindowBench b;
    QCOMPARE(QApplication::style()->name(), QStringLiteral("windows"));
    Control<QTabWidget>(b.window, "PageMain")->setCurrentIndex(kTabTx);
    auto* kind = Control<QComboBox>(b.window, "bxRTX_Type");
    kind->setCurrentIndex(2);
    emit kind->activated(2);
    QCoreApplication::processEvents();
    CheckEveryRowShows(Control<InPlaceGrid>(b.window, "grdG1"));
    QTimer::singleShot(0, [&] {
      auto* dialog = Control<TFrmSMS>(b.window, "FrmSMS");
      CheckEveryRowShows(Control<InPlaceGrid>(dialog, "grdSMS"));
      dialog->reject();
    });
    Control<QCheckBox>(b.window, "chkSMS_On")->click();
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
  NativeStyleTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "native_style_test.moc"
