#pragma once
// One Russian line saying why a file failed, to go with the program's own
// fixed texts ("Файл поврежден или не найден", the save error).
#include <string>

namespace tivolan {

// What keeps a file from being read at all: missing, no permission, not a
// regular file, too large; empty when it can be read.
std::string ReadProblem(const std::string& path, std::size_t maxBytes);

// The XML reader's message in the user's words, with its line and position.
std::string XmlProblem(const std::string& readerMessage);

// Why a save failed, from its error text ("Cannot create file ... <reason>").
std::string SaveProblem(const std::string& errorText);

}  // namespace tivolan
