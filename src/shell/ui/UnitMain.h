#pragma once
// TForm1, the main window: it shows and edits the core's state and starts
// what the core does; it holds no protocol or byte logic of its own.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/CPDrv.h"
#include "link/ExchangeOperation.h"
#include "link/Firmware.h"
#include "link/GsmBlocks.h"
#include "link/UnitData.h"
#include "model/SharedData.h"
#include "configuration/Configuration.h"
#include "platform/Settings.h"
#include "shell/frame/StatusFlash.h"
#include "shell/ui/QtPrompter.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;

namespace tivolan {

class QtPollTimer;
class TxPageWidget;
class FirmwarePageWidget;
class TFrmSMS;
class TfrmGPRS;
class ZonePageWidget;
class PeripheryPageWidget;
class ConcentratorPageWidget;

inline constexpr int kClientWidth = 752;
inline constexpr int kClientHeight = 521;

enum class FileDialogKind { Open, Save, Firmware };
// Shows a file dialog starting in `folder`; nullopt when cancelled.
using FileChooser = std::function<std::optional<std::string>(FileDialogKind kind, const std::string& folder)>;

// What the window is given by the program (and by tests).
struct FormServices {
  SharedData& data;
  TDataModule1& dataModule;
  SettingsStore& settings;
  std::function<std::vector<std::string>()> buildPortList;
  FileChooser chooseFile = {};  // empty: the standard dialogs
};

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(FormServices services, QWidget* parent = nullptr);
  ~TForm1() override;

  FormState& Form() { return form_; }
  SharedData& Data() { return data_; }
  Prompter& Prompts() { return *prompter_; }
  void SetPrompter(std::unique_ptr<Prompter> prompter) { prompter_ = std::move(prompter); }
  TCommPortDriver& UpdatePort() { return cmprtdrvrUpdate; }
  const std::string& CurrentFileName() const { return currentFileName_; }

  // Handlers of the frame.
  void PortNameBoxChange(const QString& text);
  void UsePortForThisRun(const std::string& port);
  void bxDeviceTypeListChange(int index);
  void BtnCloseClick();
  void MenuCloseClick() { BtnCloseClick(); }
  void MenuHelpAboutClick();

  // The "&Файл" commands.
  void FileOpenClick();
  void FileSaveClick();
  void FileSaveAsClick();
  // The default error display for what nobody expected (file system errors).
  void ShowError(const std::exception& error);

  // The link (reads and writes of the device).
  void ButtonReadClick();
  void ButtonWriteClick();
  void SendData(LinkMode mode);
  // A worker's report; `code` as a window message carries it (low 7 bits).
  void LinkStatusMessage(int code, int param);
  void EnableLinkControls();
  void FlashStatusBar(uint32_t colour, int count);
  void IndTimerTimer();
  void SetStatusText(const QString& text);
  QString StatusText() const;
  bool WorkerRunning();

  // The "Прошивка" page.
  void btnUpdFileClick();
  void btnUpdClick();
  bool FirmwareRunning() const;

  // Makes the widgets show FormState; signals stay blocked meanwhile, so
  // showing data never writes data.
  void SyncFromState();
  // The pages only, after a commit step changed their state.
  void SyncPages();

 signals:
  // Every colour the status bar is painted, for whoever watches the flash.
  void statusColourChanged(QColor colour);
  void statusTextChanged(QString text);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void BuildFrame();
  void BuildMenu();
  QWidget* BuildSidePanel();
  void SetCaptionFile(const std::string& path);
  bool SaveTo(const std::string& path);
  void PageMainChange(int index);
  // Commits a field still being edited, as moving the focus away would;
  // false when a field refuses its text (after its refusal was shown): the
  // command that asked does not run.
  bool CommitPendingEdits();
  // Points `driver` at the port the box shows; false, after the port error
  // has been shown, when its text names no port.
  bool TakePortOfBox(TCommPortDriver& driver);
  // Code 6 as the user sees it: the box, naming the port and why it failed.
  void ShowPortError(const std::string& cause);
  void PaintStatus(uint32_t rgb);
  void SetLinkControlsEnabled(bool enabled);
  bool CommitForWrite();
  void FirmwareEnded(FirmwareResult result);
  void SetFirmwareControlsEnabled(bool enabled);
  void ShowDeviceRead(int type);

  // A write that stopped after blocks went out: the device may hold part of
  // the new configuration.
  void ShowUnfinishedWrite();

  std::string linkPort_;  // the port text of the running read or write
  LinkMode linkMode_ = LinkMode::Read;
  SharedData& data_;
  TDataModule1& dataModule_;
  SettingsStore& settings_;
  std::function<std::vector<std::string>()> buildPortList_;
  FileChooser chooseFile_;
  std::unique_ptr<Prompter> prompter_;
  FormState form_;
  std::string currentFileName_;
  QtPollTimer* updatePollTimer_;
  TCommPortDriver cmprtdrvrUpdate;
  QtPollTimer* tmrUpdOff_ = nullptr;
  std::unique_ptr<FirmwareTransfer> update_;
  GsmBlockExchange gsmSteps_;
  ExchangeOperation link_;
  StatusFlash flash_;
  QTimer* IndTimer = nullptr;
  QLabel* statusLabel_ = nullptr;
  int activePage_ = -1;

 public:
  // Controls, by the names the rest of the program knows them by.
  QComboBox* bxDeviceTypeList = nullptr;
  QComboBox* PortNameBox = nullptr;
  QPushButton* BtnClose = nullptr;
  QPushButton* ButtonRead = nullptr;
  QPushButton* ButtonWrite = nullptr;
  QTabWidget* PageMain = nullptr;
  QStatusBar* StatusBar = nullptr;
  QAction* FileOpen = nullptr;
  QAction* FileSave = nullptr;
  QAction* FileSaveAs = nullptr;
  QAction* MenuClose = nullptr;
  QAction* MenuHelpAbout = nullptr;
  std::array<QWidget*, kTabCount> pages{};
  ZonePageWidget* zonePage = nullptr;
  PeripheryPageWidget* peripheryPage = nullptr;
  TxPageWidget* txPage = nullptr;
  FirmwarePageWidget* firmwarePage = nullptr;
  TfrmGPRS* frmGPRS = nullptr;
  TFrmSMS* FrmSMS = nullptr;
  ConcentratorPageWidget* concentratorPage = nullptr;
};

}  // namespace tivolan
