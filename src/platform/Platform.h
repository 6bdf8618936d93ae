#pragma once
// What the programs ask of the operating system, one function each; the
// implementations live in platform/os, one file per platform.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tivolan {

// The driver's device path for a port box text, or nullopt when the text
// names no port (it is still stored as the setting).
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

// Keys of the program's version record ("ProductName", "FileVersion",
// "CompanyName", "Author"); empty when the executable has none.
std::map<std::string, std::string> ReadVersionRecord();

}  // namespace tivolan
