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

namespace {
// Takes what `load` read from `name` over the current configuration, or
// shows why not.
template <typename Load>
OpenResult Open(SharedData& data, FormState& form, Prompter& prompter, const std::string& name, Load load) {
  // An open replaces every GSM setting: what the file does not hold is none.
  const GsmSettings none;
  GsmFileSubtree gsm(none);
  const LoadedConfig loaded = load(&gsm);
  if (loaded.code == kNotAConfiguration) {
    MessageBox box = FileReadErrorBox();
    box.detail = OpenProblem(loaded.problem);
    prompter.Show(box);
    return {false, false, loaded.problem};
  }
  data.ConfigBuffer = loaded.buffer;
  data.TakeGsm(gsm.Settings());
  const bool changed = ShowReportedDevice(data, form, loaded.code, prompter);
  form.origin = {ConfigurationOrigin::Kind::File, name, 0};
  return {true, changed};
}
}  // namespace

OpenResult OpenConfiguration(SharedData& data, FormState& form, const std::string& path, Prompter& prompter) {
  return Open(data, form, prompter, path, [&](GsmSubtree* gsm) {
    return OpenConfigFile(path, data.ConfigBuffer, data.DeviceType, gsm);
  });
}

OpenResult OpenConfigurationText(SharedData& data, FormState& form, const std::string& text, Prompter& prompter) {
  // Text from standard input: named as the command line names it.
  return Open(data, form, prompter, "-", [&](GsmSubtree* gsm) {
    return OpenConfigText(text, data.ConfigBuffer, data.DeviceType, gsm);
  });
}

namespace {
// The words of a save that kept control bytes as their pictures.
std::optional<MessageBox> PicturedNote(const std::vector<std::string>& where) {
  if (where.empty()) return std::nullopt;
  std::string places;
  for (const std::string& w : where) places += (places.empty() ? "" : ", ") + w;
  return MessageBox{"Тиволан",
                    "Управляющие символы (" + places + ") записаны в файл знаками ␀–␟ (U+2400–U+241F): "
                    "формат файла не хранит их как есть. При открытии файла они станут прежними символами.",
                    BoxIcon::Information};
}
}  // namespace

ConfigurationFile CommittedConfiguration(SharedData& data, FormState& form, CommitFor command) {
  if (auto refused = UpdateAllTXBuffers(data, form, command)) throw ConfigurationRefused(*refused);
  GsmFileSubtree gsm(data.Gsm());
  TXmlDocument document = BuildConfigDocument(data.ConfigBuffer, data.DeviceType, &gsm);
  return {std::move(document), PicturedNote(gsm.Pictured())};
}

bool SaveGoesToCurrentFile(const FormState& form, const std::string& currentFile) {
  return !currentFile.empty() && form.origin == ConfigurationOrigin{ConfigurationOrigin::Kind::File, currentFile, 0};
}

std::optional<MessageBox> SaveConfiguration(SharedData& data, FormState& form, const std::string& path) {
  ConfigurationFile file = CommittedConfiguration(data, form, CommitFor::Save);
  file.document.SaveToFile(path);
  form.origin = {ConfigurationOrigin::Kind::File, path, 0};
  return file.note;
}

}  // namespace tivolan
