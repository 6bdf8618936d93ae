#include "configuration/FileCommands.h"

#include <filesystem>

#include "files/FileIO.h"
#include "files/FileOps.h"
#include "files/FileProblems.h"
#include "files/GsmSubtree.h"

namespace tivolan {

std::string WithConfigSuffix(const std::string& name) {
  return name.find(".cf8") == std::string::npos ? name + ".cf8" : name;
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::absolute(PathFromUtf8(path)).parent_path();
  std::string text = Utf8FromPath(folder);
  if (text.empty() || (text.back() != '/' && text.back() != std::filesystem::path::preferred_separator))
    text += static_cast<char>(std::filesystem::path::preferred_separator);
  return text;
}

std::string CurrentFolder() {
  std::error_code ec;
  std::string text = Utf8FromPath(std::filesystem::current_path(ec));
  if (text.empty() || text.back() != static_cast<char>(std::filesystem::path::preferred_separator))
    text += static_cast<char>(std::filesystem::path::preferred_separator);
  return text;
}

MessageBox FileReadErrorBox() { return {"Ошибка чтения файла", "Файл поврежден или не найден", BoxIcon::Error}; }

OpenResult OpenConfiguration(SharedData& data, FormState& form, const std::string& path, Prompter& prompter) {
  GsmFileSubtree gsm(GsmSettingsOf(data, form.tx.gprs));
  const LoadedConfig loaded = OpenConfigFile(path, data.ConfigBuffer, data.DeviceType, &gsm);
  if (loaded.code == kNotAConfiguration) {
    MessageBox box = FileReadErrorBox();
    box.detail = OpenProblem(loaded.problem);
    prompter.Show(box);
    return {false, false, loaded.problem};
  }
  data.ConfigBuffer = loaded.buffer;
  TakeGsmSettings(gsm.Settings(), data, form.tx.gprs);
  const bool changed = ShowReportedDevice(data, form, loaded.code, prompter);
  form.origin = {ConfigurationOrigin::Kind::File, path, 0};
  return {true, changed};
}

namespace {
// The commit step, then the document a save writes.
TXmlDocument CommittedDocument(SharedData& data, FormState& form) {
  if (auto refused = UpdateAllTXBuffers(data, form)) throw ConfigurationRefused(*refused);
  GsmFileSubtree gsm(GsmSettingsOf(data, form.tx.gprs));
  return BuildConfigDocument(data.ConfigBuffer, data.DeviceType, &gsm);
}
}  // namespace

void SaveConfiguration(SharedData& data, FormState& form, const std::string& path) {
  CommittedDocument(data, form).SaveToFile(path);
  form.origin = {ConfigurationOrigin::Kind::File, path, 0};
}

bool SaveGoesToCurrentFile(const FormState& form, const std::string& currentFile) {
  return !currentFile.empty() && form.origin == ConfigurationOrigin{ConfigurationOrigin::Kind::File, currentFile, 0};
}

std::string ConfigurationText(SharedData& data, FormState& form) { return CommittedDocument(data, form).SaveToString(); }

}  // namespace tivolan
