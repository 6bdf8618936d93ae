#pragma once
// The rules of the "&Файл" commands, without their dialogs.
#include <optional>
#include <string>

#include "files/FileCause.h"
#include "files/XmlDocument.h"
#include "model/Prompter.h"
#include "configuration/Configuration.h"

namespace tivolan {

// A name that does not contain ".cf8" anywhere (letter case counts) gets it
// appended: panel.txt -> panel.txt.cf8, PANEL.CF8 -> PANEL.CF8.cf8.
std::string WithConfigSuffix(const std::string& name);

// The folder of a file path with its trailing separator.
std::string FolderOf(const std::string& path);

// The process's current folder with its trailing separator.
std::string CurrentFolder();

MessageBox FileReadErrorBox();

// "&Открыть..." after the dialog: reads the file, and only when it is a
// configuration takes its values, switches the type (without defaults) and
// refreshes. Returns false after the error box otherwise; then nothing changed.
struct OpenResult {
  bool opened = false;
  bool typeChanged = false;  // the device type list follows
  FileCause problem = {};    // why the file was refused (OpenProblem words it)
};
OpenResult OpenConfiguration(SharedData& data, FormState& form, const std::string& path, Prompter& prompter);
// The same for a file's text (tivolan-cli reads "-" from standard input).
OpenResult OpenConfigurationText(SharedData& data, FormState& form, const std::string& text, Prompter& prompter);

// A configuration committed for a file: the document, and what to tell the
// user once it is saved (control bytes kept as their pictures).
struct ConfigurationFile {
  TXmlDocument document;
  std::optional<MessageBox> note;
};
// The commit step for `command`, then the document. Throws
// ConfigurationRefused when the commit step refuses the configuration.
ConfigurationFile CommittedConfiguration(SharedData& data, FormState& form, CommitFor command);

// The commit step and the file write of "&Сохранить" / "Сохранить &как...";
// the file is then where the configuration came from. Throws
// ConfigurationRefused when the commit step refuses the configuration
// (nothing is written), the file error when the file cannot be written.
// Returns the note to show.
std::optional<MessageBox> SaveConfiguration(SharedData& data, FormState& form, const std::string& path);

// Whether "&Сохранить" writes over `currentFile` without asking: only while
// the window holds the configuration that file gave or was given (edits
// included). After a read or a pick of the device type it holds another
// one, perhaps of another device type: the command then asks for a name as
// "Сохранить &как..." does.
bool SaveGoesToCurrentFile(const FormState& form, const std::string& currentFile);

}  // namespace tivolan
