#pragma once
// The program's version as its users see it, from the version record.
#include <string>

namespace tivolan {

// "1.0.0": the file version's first three numbers.
std::string ProgramVersion();

// "Тиволан 1.0.0".
std::string ProgramNameAndVersion();

}  // namespace tivolan
