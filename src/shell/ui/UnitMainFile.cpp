// TForm1's "&Файл" commands.
#include <QComboBox>
#include <QSignalBlocker>

#include "model/DeviceCatalogue.h"
#include "files/FileIO.h"
#include "files/FileProblems.h"
#include "configuration/FileCommands.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/UnitMain.h"

namespace tivolan {

void TForm1::ShowError(const std::exception& error) {
  prompter_->Show(MessageBox{"Тиволан", error.what(), BoxIcon::Error});
}

void TForm1::FileOpenClick() {
  if (!CommitPendingEdits()) return;
  if (const auto path = chooseFile_(FileDialogKind::Open, FileFolder())) OpenFile(*path);
}

void TForm1::OpenFile(const std::string& path) {
  OpenResult result;
  try {
    result = OpenConfiguration(data_, form_, path, *prompter_);
  } catch (const std::exception& e) {
    ShowError(e);
    return;
  }
  if (!result.opened) return;
  if (result.typeChanged) {
    const QSignalBlocker block(bxDeviceTypeList);  // no defaults, and "devicetype" stays
    bxDeviceTypeList->setCurrentIndex(ListIndexOfDeviceType(data_.DeviceType));
  }
  SyncFromState();
  currentFileName_ = path;
  SetCaptionFile(currentFileName_);
  WriteSetting(settings_, kSettingFilePath, FolderOf(path));
  SetStatusText(QStringLiteral("Файл открыт"));
}

bool TForm1::SaveTo(const std::string& path) {
  std::optional<MessageBox> note;
  try {
    note = SaveConfiguration(data_, form_, path);
  } catch (const ConfigurationRefused& refused) {
    SyncPages();
    prompter_->Show(CancelledBy(refused.Box(), CommitFor::Save));
    return false;
  } catch (const FileError& e) {
    SyncPages();
    // The system's own words stay; the line below them says it in Russian.
    prompter_->Show(MessageBox{"Тиволан", e.what(), BoxIcon::Error, SaveProblem(e.Cause())});
    return false;
  } catch (const std::exception& e) {
    SyncPages();
    ShowError(e);
    return false;
  }
  SyncPages();
  SetCaptionFile(path);
  SetStatusText(QStringLiteral("Файл сохранен"));
  if (note) prompter_->Show(*note);
  return true;
}

void TForm1::FileSaveClick() {
  if (!CommitPendingEdits()) return;
  if (!SaveGoesToCurrentFile(form_, currentFileName_))
    FileSaveAsClick();
  else
    SaveTo(currentFileName_);
}

void TForm1::FileSaveAsClick() {
  if (!CommitPendingEdits()) return;
  const auto chosen = chooseFile_(FileDialogKind::Save, FileFolder());
  if (!chosen) return;
  currentFileName_ = *chosen;
  if (currentFileName_.empty()) return;
  currentFileName_ = WithConfigSuffix(currentFileName_);
  if (SaveTo(currentFileName_)) WriteSetting(settings_, kSettingFilePath, FolderOf(*chosen));
}

}  // namespace tivolan
