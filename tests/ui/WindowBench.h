#pragma once
// The main window shown offscreen and active, as a user meets it: optionally
// a simulated device on its port, boxes recorded, file dialogs answered from
// a list; input goes in as key and wheel events.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>
#include <memory>
#include <optional>

#include "link/UnitData.h"
#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"
#include "shell/ui/QtPollTimer.h"
#include "Controls.h"
#include "shell/ui/UnitMain.h"
#include "support/SimDevice.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"

namespace tivolan::test {

// Block 2 data (after the block byte): device number 4660, the GPRS and SMS
// flags as given, destination 1 a CSD phone, four empty records.
inline sim::Bytes Block2(uint8_t gprs, uint8_t sms) {
  return {0x12, 0x34, gprs, sms, 0x0D, 0x49, '+', '7', '9', '0', '3', '1', '2', '3', '4', '5', '6', '7', 0, 0, 0, 0};
}

// A panel (or the concentrator) whose configuration uses GSM; block 3 holds
// `apn` for SIM 1.
inline sim::SimOptions GsmPanel(int type, const std::string& apn = "internet") {
  sim::SimOptions o;
  o.device.type = type;
  const auto defaults = DefaultPayload(type);
  o.device.payload.assign(defaults.begin(), defaults.end());
  o.device.payload[type == kTypeCNC1 ? 6 : 34] = type == kTypeCNC1 ? 1 : 2;  // byte 10 / byte 38
  sim::Bytes block3{static_cast<uint8_t>(apn.size() + 3)};
  block3.insert(block3.end(), apn.begin(), apn.end());
  block3.insert(block3.end(), {0, 0, 0, 0});
  o.device.blocks = {Block2(1, 1), block3, {0x02, 0x03, 0x97, 0x30, 0x21, 0x43, 0x65, 0xF7, 0xFF, 0xFF, 0x00}};
  return o;
}

struct WindowBench {
  explicit WindowBench(std::optional<sim::SimOptions> device = {}, int type = 1) : dir("tivolan-window-input") {
    if (device) {
      sim = std::make_unique<sim::SimPort>(*device);
      sim->Start();
      settings.Write("comportname", sim->SlavePath());
    }
    settings.Write("devicetype", std::to_string(type - 1));
    FormServices services{data, dataModule, settings, [] { return std::vector<std::string>{}; }};
    services.chooseFile = [this](FileDialogKind kind, const std::string&) -> std::optional<std::string> {
      asked.push_back(kind);
      return chosen;
    };
    // The print dialog: accepted with a PDF printer when `printTo` is set.
    services.choosePrinter = [this](QPrinter& printer) {
      ++printDialogs;
      if (!printTo) return false;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(*printTo));
      return true;
    };
    window = std::make_unique<TForm1>(std::move(services));
    auto recorder = std::make_unique<RecordingPrompter>();
    prompts = recorder.get();
    window->SetPrompter(std::move(recorder));
    window->show();
    window->activateWindow();
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window.get());
  }

  // A key as the user presses it where the focus is (shortcuts included).
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : window.get(), static_cast<Qt::Key>(key), modifiers);
  }
  // A key sequence such as "Ctrl+Shift+W": a button's shortcut clicks it after
  // showing it pressed for a moment.
  void Command(const QString& keys) {
    const QKeyCombination key = QKeySequence(keys)[0];
    Press(key.key(), key.keyboardModifiers());
    QTest::qWait(200);
  }
  // Each key goes where the focus is when it arrives, as typed keys do.
  void Type(const QString& text) {
    for (const QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
  }
  // Replaces what an edit (or an editable box) holds by typing.
  void Retype(QWidget* edit, const QString& text) {
    edit->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_A, Qt::ControlModifier);
    Type(text);
  }
  // One notch of the wheel with the pointer over the middle of `widget`. It
  // goes to the control itself: a sent wheel event does not travel up from
  // a child as the system's does.
  static void Wheel(QWidget* widget, int notches) {
    const QPoint at = widget->rect().center();
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
  }
  template <typename T = QWidget>
  T* Find(const QString& name) {
    return window->findChild<T*>(name);
  }
  void Read() {
    Control<QPushButton>(window, "ButtonRead")->click();
    WaitIdle();
  }
  void WaitIdle() { QTRY_VERIFY_WITH_TIMEOUT(Control<QPushButton>(window, "ButtonRead")->isEnabled() && !window->WorkerRunning(), 8000); }
  std::size_t FramesSent() const { return sim ? sim->ReceivedFrameCount() : 0; }

  TempDir dir;
  std::unique_ptr<sim::SimPort> sim;
  SharedData data;
  QtPollTimer pollTimer;
  TDataModule1 dataModule{CreateSystemSerialDevice(), &pollTimer};
  MemorySettingsStore settings;
  std::unique_ptr<TForm1> window;
  RecordingPrompter* prompts = nullptr;
  std::optional<std::string> chosen;
  std::vector<FileDialogKind> asked;
  std::optional<std::string> printTo;
  int printDialogs = 0;
};

// Runs `inside` once the modal dialog that `open` starts is up and active,
// and makes the window active again when it closes, as a window manager
// does (the offscreen platform does not), so that keys go where they would.
template <typename Open, typename Inside>
void WithDialog(Open open, Inside inside) {
  QWidget* active = QApplication::activeWindow();
  QTimer::singleShot(0, [inside] {
    QApplication::setActiveWindow(QApplication::activeModalWidget());
    inside();
  });
  open();
  QApplication::setActiveWindow(active);
}

}  // namespace tivolan::test
