#pragma once
// Times as the program's users read them: local time, day first.
#include <ctime>
#include <string>

namespace tivolan {

// A moment in local time, as strftime formats it.
std::string LocalTimeText(std::time_t when, const char* format);

// "09.12.2026 14:05": the modification time of a file; "" when it has none
// (the file is gone).
std::string FileTimeText(const std::string& path);

// Now, in the same words.
std::string NowText();

}  // namespace tivolan
