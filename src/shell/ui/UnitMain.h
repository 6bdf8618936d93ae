#pragma once
// TForm1, the main window's frame: the device type list, the page control,
// the side panel with the port, the menu and the status bar. It starts what
// the core does and shows what it reports; the pages own their controls.
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "configuration/ChangesState.h"
#include "configuration/Configuration.h"
#include "configuration/Report.h"
#include "link/CPDrv.h"
#include "link/ExchangeOperation.h"
#include "link/GsmBlocks.h"
#include "link/UnitData.h"
#include "model/SharedData.h"
#include "platform/Settings.h"
#include "shell/frame/StatusFlash.h"
#include "shell/ui/dialogs/FileDialogs.h"
#include "shell/ui/kit/PageSlot.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;

namespace tivolan {

class ChangesDialog;
class ZonePageWidget;
class PeripheryPageWidget;
class TxPageWidget;
class ConcentratorPageWidget;
class FirmwarePageWidget;

inline constexpr int kClientWidth = 752;
// The keys of "Прочитать" and "Записать", as the tooltips name them.
inline constexpr const char* kReadKeys = "Ctrl+Shift+R";
inline constexpr const char* kWriteKeys = "Ctrl+Shift+W";
// "Сравнить с прибором...", a key no focused field takes either.
inline constexpr const char* kCompareKeys = "Ctrl+Shift+D";
inline constexpr int kClientHeight = 521;

// What the window is given by the program (and by tests).
struct FormServices {
  SharedData& data;
  TDataModule1& dataModule;
  SettingsStore& settings;
  std::function<std::vector<std::string>()> buildPortList;
  FileChooser chooseFile = {};        // empty: the standard dialogs
  PrinterChooser choosePrinter = {};  // empty: the standard print dialog
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
  const std::string& CurrentFileName() const { return currentFileName_; }
  // Builds every page not yet shown, for whoever looks at the whole window
  // at once (tests, a screen reader walking the tree).
  void BuildPages();

  // Handlers of the frame.
  void PortNameBoxChange(const QString& text);
  void UsePortForThisRun(const std::string& port);
  void bxDeviceTypeListChange(int index);
  void BtnCloseClick();
  void MenuCloseClick() { BtnCloseClick(); }
  void MenuHelpAboutClick();

  // The "&Файл" commands.
  void FileOpenClick();
  // What "&Открыть..." does with the file its dialog gave: also for a file
  // named on the command line (Explorer, a file manager).
  void OpenFile(const std::string& path);
  void FileSaveClick();
  void FileSaveAsClick();
  // "Печать..." and "Сохранить отчёт...": the commissioning report of what
  // the window holds, printed or saved as PDF.
  void FilePrintClick();
  void FileStationClick();
  void FileSaveReportClick();
  // The default error display for what nobody expected (file system errors).
  void ShowError(const std::exception& error);

  // The link (reads and writes of the device).
  void ButtonReadClick();
  void ButtonWriteClick();
  void SendData(LinkMode mode);
  // A worker's report.
  void LinkStatusMessage(LinkStatus code, int param);

  // "Сравнить с прибором...": the device on the port box's port is read into
  // a configuration of its own and compared with the window's; the dialog
  // "Что изменится при записи" shows what a write would change and writes
  // exactly that. Nothing of the window changes.
  void FileCompareClick();
  ChangesDialog* Changes() const { return changesDialog_; }
  void SetStatusText(const QString& text);
  QString StatusText() const;
  bool WorkerRunning();

  // The "Прошивка" page's transfer.
  bool FirmwareRunning();
  TCommPortDriver& UpdatePort();

  // Makes the widgets show FormState; signals stay blocked meanwhile, so
  // showing data never writes data.
  void SyncFromState();

 signals:
  // Every colour the status bar is painted, for whoever watches the flash.
  void statusColourChanged(QColor colour);
  void statusTextChanged(QString text);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  // A device type of the list with its defaults, at start-up and on a pick.
  void TakeDeviceTypeOfList(int index);
  void BuildFrame();
  void BuildPageControl(QWidget* parent);
  void BuildMenu();
  QWidget* BuildSidePanel();
  QWidget* BuildPage(int tab, QWidget* slot);
  // The page of `tab` when it was built; nullptr while it was never shown.
  template <typename Page>
  Page* BuiltPage(int tab) const {
    PageSlot* slot = pages_[static_cast<std::size_t>(tab)];
    return slot && slot->Built() ? static_cast<Page*>(slot->Page()) : nullptr;
  }
  // The pages already built, after a commit step changed their state.
  void SyncPages();
  void SetCaptionFile(const std::string& path);
  bool SaveTo(const std::string& path);
  // The report after the commit step; nullopt after its refusal was shown.
  std::optional<ReportDocument> ReportOfWindow();
  void PageMainChange(int index);
  // Commits a field still being edited, as moving the focus away would;
  // false when a field refuses its text (after its refusal was shown): the
  // command that asked does not run.
  bool CommitPendingEdits();
  // Points `driver` at the port the box shows and returns the box's text;
  // nullopt, after the port error has been shown, when it names no port.
  std::optional<std::string> TakePortOfBox(TCommPortDriver& driver);
  // Code 6 as the user sees it: the box, naming the port and why it failed.
  void ShowPortError(const std::string& cause);
  void SetLinkControlsEnabled(bool enabled);
  bool CommitForWrite();
  void ShowDeviceRead(int type);
  // The status text, flash and port box of a report; false for code 6, shown
  // by its box instead.
  bool ShowLinkStatus(LinkStatus code, uint8_t deviceVersion);
  // The window's configuration after the commit step, on a copy; nullopt
  // (after `refusal` was shown, when asked) when the step refuses it.
  std::optional<SharedData> CommittedCopy(bool showRefusal);
  void CompareStatusMessage(LinkStatus code, int param);
  void CompareEnded(LinkStatus code, int param);
  void WriteChangesClick();
  void EndChangesWrite(const std::string& message);
  // A write that stopped after blocks went out: the device may hold part of
  // the new configuration.
  void ShowUnfinishedWrite(const ExchangeOperation& operation);
  void FlashStatusBar(uint32_t colour, int count);
  void IndTimerTimer();
  void PaintStatus(uint32_t rgb);
  std::string FileFolder();

  SharedData& data_;
  TDataModule1& dataModule_;
  SettingsStore& settings_;
  std::function<std::vector<std::string>()> buildPortList_;
  FileChooser chooseFile_;
  PrinterChooser choosePrinter_;
  std::unique_ptr<Prompter> prompter_;
  FormState form_;
  std::string currentFileName_;
  const GsmBlockExchange gsmSteps_{};
  ExchangeOperation link_;
  std::string linkPort_;  // the port text of the running read or write
  LinkMode linkMode_ = LinkMode::Read;
  // The comparison's own configuration and exchange, beside the window's.
  enum class CompareStep { None, Reading, Rereading, Writing };
  SharedData compareData_;
  ExchangeOperation compareLink_;
  CompareStep compareStep_ = CompareStep::None;
  std::optional<ChangesState> changes_;
  ChangesDialog* changesDialog_ = nullptr;
  QAction* FileCompare = nullptr;
  StatusFlash flash_;
  QTimer* IndTimer = nullptr;
  int activePage_ = -1;

  QComboBox* bxDeviceTypeList = nullptr;
  QComboBox* PortNameBox = nullptr;
  QPushButton* BtnClose = nullptr;
  QPushButton* ButtonRead = nullptr;
  QPushButton* ButtonWrite = nullptr;
  QTabWidget* PageMain = nullptr;
  std::array<PageSlot*, kTabCount> pages_{};
  QStatusBar* StatusBar = nullptr;
  QLabel* statusLabel_ = nullptr;
  QAction* FileOpen = nullptr;
  QAction* FileSave = nullptr;
  QAction* FileSaveAs = nullptr;
};

}  // namespace tivolan
