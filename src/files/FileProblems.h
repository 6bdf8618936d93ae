#pragma once
// The one Russian line that says why a file failed, made from its cause
// where it is shown, beside the program's own fixed texts ("Файл поврежден
// или не найден", the save error and its system words).
#include <string>

#include "files/FileCause.h"

namespace tivolan {

// Why a file could not be opened as a configuration; empty for no cause.
std::string OpenProblem(const FileCause& cause);

// Why a save failed: "Файл не сохранён", with the reason when the program
// can name it.
std::string SaveProblem(const FileSystemCause& cause);

}  // namespace tivolan
