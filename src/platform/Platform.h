#pragma once
// What the programs ask of the operating system, one function each; the
// implementations live in platform/os, one file per platform.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tivolan {

// The driver's device path for a port box text, or nullopt when the text
// names no port (it is still stored as the setting). On Windows "com5" is
// COM5, as Windows itself takes it.
std::optional<std::string> DriverPortName(const std::string& text);

// Why a port box text names no port (DriverPortName gave nullopt), with the
// form a port name takes here; the text is quoted as typed.
std::string NotAPortText(const std::string& text);

// The "comportname" default.
std::string DefaultPortSetting();

// The serial ports the system reports, in its order (Windows) or in natural
// order of their names (Linux).
std::vector<std::string> BuildPortList();

// The short (8.3) form of a path; the path itself where there is none.
std::string ShortPathName(const std::string& path);

// Writes a text of the window program for its command line (--help,
// --version, a refused option) to standard output, or to standard error
// when `error`. A Windows program of the window subsystem has no console of
// its own: it writes to the console of the command line that started it,
// and with none (started from Explorer) shows the text in a message box.
// False when the text could not be written.
bool WriteForCommandLine(const std::string& text, bool error);

// Marks this process as a running window of the program until it ends, so
// that the Windows installer and uninstaller refuse to replace or remove
// it meanwhile (the named mutex kRunningMark); nothing elsewhere.
inline constexpr const char* kRunningMark = "Global\\Stelmark.Tivolan.Running";
void MarkProgramRunning();

// Keys of the program's version record ("ProductName", "FileVersion",
// "CompanyName", "Author"); empty when the executable has none.
std::map<std::string, std::string> ReadVersionRecord();

}  // namespace tivolan
