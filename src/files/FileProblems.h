#pragma once
// The one Russian line that says why a file failed, made from its cause
// where it is shown, beside the program's own fixed texts ("Файл поврежден
// или не найден", the save error and its system words). No English words of
// the system's go into it: tivolan-cli shows it alone.
#include <string>

#include "files/FileCause.h"

namespace tivolan {

// Why a file could not be opened as a configuration; empty for no cause.
std::string OpenProblem(const FileCause& cause);

// Why a save failed: "Файл не сохранён", with the reason when the program
// can name it.
std::string SaveProblem(const FileSystemCause& cause);

// The reason of a failed save alone ("папки нет", "на диске нет места");
// empty when the system gave none.
std::string SaveReason(const FileSystemCause& cause);

// Why a file of any kind could not be read: "файла нет", "нет прав на
// чтение файла", "это папка, а не файл", "файл недоступен: ...".
std::string ReadProblem(const FileSystemCause& cause);

// The system's reason in Russian: its words where the program knows them,
// else its error number ("системная ошибка 71"); empty for none.
std::string SystemReason(const FileSystemCause& cause);

}  // namespace tivolan
