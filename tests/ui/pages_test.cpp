// The three pages through their widgets, by object name; and every page of
// every device type rendered to build/screenshots/ for review.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "link/UnitData.h"
#include "Controls.h"
#include "Shots.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/pages/ZonePageWidget.h"

using namespace tivolan;
using test::Control;

namespace {

struct Window {
  Window() {
    window = std::make_unique<TForm1>(FormServices{data, dataModule, settings, [] {
                                                     return std::vector<std::string>{"/dev/ttyS0"};
                                                   }});
  }
  template <typename T>
  T* Find(const char* name) {
    return Control<T>(window, name);
  }
  uint8_t Byte(int i) const { return data.ConfigBuffer[static_cast<std::size_t>(i)]; }
  void Pick(const char* name, int index) {  // as a user's pick: close-up included
    auto* list = Find<QComboBox>(name);
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

  SharedData data;
  TDataModule1 dataModule{CreateSystemSerialDevice(), nullptr};
  MemorySettingsStore settings;
  std::unique_ptr<TForm1> window;
};

// No two visible controls placed side by side on a page or in one of its
// groups cover each other.
bool NoOverlap(QWidget* page) {
  QList<QWidget*> parents = {page};
  for (QGroupBox* g : page->findChildren<QGroupBox*>()) parents.append(g);
  for (QWidget* parent : parents) {
    QList<QWidget*> shown;
    for (QWidget* c : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (c->isVisibleTo(page) && !c->objectName().startsWith(QStringLiteral("qt_"))) shown.append(c);
    for (int i = 0; i < shown.size(); ++i)
      for (int j = i + 1; j < shown.size(); ++j)
        if (shown[i]->geometry().intersects(shown[j]->geometry())) {
          qWarning("%s and %s overlap", qPrintable(shown[i]->objectName() + "/" + shown[i]->accessibleName()),
                   qPrintable(shown[j]->objectName() + "/" + shown[j]->accessibleName()));
          return false;
        }
  }
  return true;
}

}  // namespace

class PagesTest : public QObject {
  Q_OBJECT

 private slots:
  void zoneTypeChangeThroughTheWidgets() {
    Window w;
    w.Find<QComboBox>("FShlfType1")->setCurrentIndex(5);  // "Охранный"
    QCOMPARE(w.Byte(4) >> 3 & 7, 5);
    QCOMPARE(w.Byte(5), uint8_t{0x14});
    QCOMPARE(w.Byte(6), uint8_t{30});
    QVERIFY(w.Find<QLineEdit>("edtDelayIn1")->isHidden());
    QCOMPARE(w.Find<QComboBox>("ShlfEvent1")->currentText(), QStringLiteral("131 - ПЕРИМЕТР"));
    w.Find<QComboBox>("FShlfType2")->setCurrentIndex(0);  // "Отключен"
    QVERIFY(!w.Find<QComboBox>("ShlfEvent2")->isEnabled());
    QVERIFY(w.Find<QCheckBox>("chkShlfRearm2")->isHidden());
  }

  void delayFieldCorrectsWhatWasTyped() {
    Window w;
    auto* in = w.Find<QLineEdit>("edtDelayIn1");
    in->setText(QStringLiteral("abc"));
    emit in->editingFinished();
    QCOMPARE(in->text(), QStringLiteral("30"));
    in->setText(QStringLiteral("250"));
    Control<QPushButton>(w.window, "ButtonWrite")->setEnabled(true);
    QMetaObject::invokeMethod(w.window.get(), [&] { static_cast<ZonePageWidget*>(test::Control(w.window, "PageShlf"))->CommitEdits(); });
    QCoreApplication::processEvents();
    QCOMPARE(w.Byte(7), uint8_t{99});
    QCOMPARE(in->text(), QStringLiteral("99"));
  }

  void dependencyBoxesThroughTheWidgets() {
    Window w;
    QVERIFY(!w.Find<QCheckBox>("chkPartDep3")->isEnabled());
    w.Find<QComboBox>("bxShlfPart2")->setCurrentIndex(2);  // a guard zone into partition 3
    auto* box = w.Find<QCheckBox>("chkPartDep3");
    QVERIFY(box->isEnabled());
    box->setChecked(true);
    QVERIFY(!UpdateAllTXBuffers(w.data, w.window->Form()));
    QCOMPARE(w.Byte(37), uint8_t{0x04});
  }

  void peripheryWritesThroughTheWidgets() {
    Window w;
    w.Pick("bxReleAlarm", 5);
    QCOMPARE(w.Byte(40), uint8_t{0x53});
    w.Pick("bxReleFire", 0);
    QCOMPARE(w.Byte(40), uint8_t{0x50});
    w.Pick("bxLampMode", 9);
    w.Pick("bxTMLedMode", 8);
    QCOMPARE(w.Byte(44), uint8_t{0x89});
    w.Find<QCheckBox>("chkGuardSnd")->click();
    QCOMPARE(w.Byte(42), uint8_t{0x80});
    w.Find<QSpinBox>("udSndWrkTime")->stepUp();
    QCOMPARE(w.Byte(43), uint8_t{3});
    QVERIFY(w.Find<QComboBox>("bxReleControl")->isHidden());
    QVERIFY(w.Find<QCheckBox>("chkExpBox2")->isHidden());
    QCOMPARE(w.Byte(41), uint8_t{0x10});
  }

  void concentratorBviGroupThroughTheWidgets() {
    Window w;
    Control<QComboBox>(w.window, "bxDeviceTypeList")->setCurrentIndex(2);
    auto* group = w.Find<QGroupBox>("grpBVI");
    QVERIFY(group->isHidden());
    w.Find<QCheckBox>("chkExp7")->click();
    QVERIFY(!group->isHidden());
    QCOMPARE(w.Byte(8), uint8_t{0x80});
    w.Find<QCheckBox>("chkExp4")->click();
    QCOMPARE(w.Byte(8), uint8_t{0x90});
    QVERIFY(w.Find<QCheckBox>("chkBVIEnableReset")->isHidden());
    QCOMPARE(w.Byte(6), uint8_t{0x10});
  }

  void aRefreshShowsAnImageWithoutChangingIt() {
    Window w;
    for (std::size_t i = 4; i < 48; ++i) w.data.ConfigBuffer[i] = static_cast<uint8_t>(i * 29 + 3);
    ShowReportedDevice(w.data, w.window->Form(), 2, w.window->Prompts());
    ImageBuffer expected = w.data.ConfigBuffer;
    w.window->SyncFromState();
    QCOMPARE(w.data.ConfigBuffer, expected);
  }

  void zoneControlsNameTheirZone() {
    Window w;
    QCOMPARE(w.Find<QComboBox>("FShlfType3")->accessibleName(), QStringLiteral("ШС3: Тип шлейфа"));
    QCOMPARE(w.Find<QLineEdit>("edtDelayOut8")->accessibleName(), QStringLiteral("ШС8: Задержка выход"));
    for (QWidget* c : w.window->findChildren<QWidget*>()) {
      if (!qobject_cast<QComboBox*>(c) && !qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLineEdit*>(c) &&
          !qobject_cast<QSpinBox*>(c))
        continue;
      if (c->objectName().startsWith(QStringLiteral("qt_")) || c->objectName().isEmpty()) continue;
      QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
    }
  }

  void everyPageOfEveryTypeFitsAndIsRendered() {
    Window w;
    w.window->show();
    for (int type = 1; type <= 3; ++type) {
      Control<QComboBox>(w.window, "bxDeviceTypeList")->setCurrentIndex(type - 1);
      if (type == kTypeCNC1) Control<QCheckBox>(w.window, "chkExp7")->click();  // the group "БВИ" shown
      for (int tab = 0; tab < kTabCount; ++tab) {
        if (!Control<QTabWidget>(w.window, "PageMain")->isTabVisible(tab)) continue;
        Control<QTabWidget>(w.window, "PageMain")->setCurrentIndex(tab);
        QWidget* page = Control<QTabWidget>(w.window, "PageMain")->widget(tab);
        QCoreApplication::processEvents();
        QVERIFY(w.window->grab().save(test::ShotPath(QStringLiteral("type%1-tab%2").arg(type).arg(tab))));
        // Nothing of the page's content may lie outside the page.
        for (QWidget* c : page->findChildren<QWidget*>()) {
          if (!c->isVisibleTo(page) || c->parentWidget() != page) continue;
          QVERIFY2(page->rect().contains(c->geometry()), qPrintable(QStringLiteral("%1 on type %2 tab %3 clipped")
                                                                        .arg(c->objectName())
                                                                        .arg(type)
                                                                        .arg(tab)));
        }
        QVERIFY2(!page->layout() || page->layout()->minimumSize().width() <= page->width(),
                 qPrintable(QStringLiteral("type %1 tab %2 squeezed below its minimum").arg(type).arg(tab)));
        QVERIFY2(NoOverlap(page), qPrintable(QStringLiteral("type %1 tab %2").arg(type).arg(tab)));
        const QString clipped = test::ClippedCaption(page);
        QVERIFY2(clipped.isEmpty(), qPrintable(QStringLiteral("type %1 tab %2: %3 cut").arg(type).arg(tab).arg(clipped)));
      }
    }
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  PagesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "pages_test.moc"
