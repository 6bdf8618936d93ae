// The shell's platform functions on Windows.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "platform/Platform.h"

namespace tivolan {

// Windows takes device names in any letter case; the driver is given the
// name as Windows lists it.
std::optional<std::string> DriverPortName(const std::string& text) {
  if (text.size() < 3) return std::nullopt;
  std::string prefix = text.substr(0, 3);
  for (char& c : prefix)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (prefix != "COM") return std::nullopt;
  return "\\\\.\\COM" + text.substr(3);
}

std::string NotAPortText(const std::string& text) {
  const std::string what = text.empty() ? "Порт не указан" : "\"" + text + "\" - не имя порта";
  return what + ": порт указывается как COM и номер, например COM3";
}

std::string DefaultPortSetting() { return "COM1"; }

namespace {

std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 1) return {};
  std::wstring out(static_cast<std::size_t>(n - 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  return out;
}

}  // namespace

// Every value of the serial device map in registry order; one too long for
// the buffers is passed over rather than ending the list.
std::vector<std::string> BuildPortList() {
  std::vector<std::string> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return ports;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    wchar_t data[1024];
    DWORD nameLen = sizeof(name) / sizeof(name[0]);
    DWORD dataLen = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result =
        RegEnumValueW(key, index, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataLen);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    if (type != REG_SZ) continue;
    data[dataLen / sizeof(wchar_t)] = L'\0';
    ports.push_back(Utf8(data));
  }
  RegCloseKey(key);
  return ports;
}

std::string ShortPathName(const std::string& path) {
  const std::wstring wide = Wide(path);
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetShortPathNameW(wide.c_str(), buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? path : Utf8(buffer);
}

// The handle stays open until the process ends: its end is what clears the mark.
void MarkProgramRunning() { CreateMutexW(nullptr, FALSE, Wide(kRunningMark).c_str()); }

bool WriteForCommandLine(const std::string& text, bool error) {
  const DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  HANDLE out = GetStdHandle(which);
  HANDLE console = nullptr;
  // Redirected into a file or a pipe: the handle is there. Otherwise the
  // console of the command line that started the program, if any.
  if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) == FILE_TYPE_UNKNOWN) {
    out = nullptr;
    if (AttachConsole(ATTACH_PARENT_PROCESS))
      out = console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) out = nullptr;
  }
  const std::wstring wide = Wide(text);
  bool written = false;
  DWORD mode = 0;
  if (out == nullptr) {
    written = MessageBoxW(nullptr, wide.c_str(), L"Тиволан", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION)) != 0;
  } else if (GetConsoleMode(out, &mode)) {
    // A console shows UTF-16 whatever its code page.
    DWORD done = 0;
    written = WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr) && done == wide.size();
  } else {
    DWORD done = 0;
    written = WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) && done == text.size();
  }
  if (console) CloseHandle(console);
  return written;
}

// The version strings are read as UTF-16 and kept as UTF-8, like every text
// of the program.
std::map<std::string, std::string> ReadVersionRecord() {
  std::map<std::string, std::string> record;
  wchar_t exe[MAX_PATH];
  if (GetModuleFileNameW(nullptr, exe, MAX_PATH) == 0) return record;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe, &ignored);
  if (size == 0) return record;
  std::vector<char> info(size);
  if (!GetFileVersionInfoW(exe, 0, size, info.data())) return record;
  WORD* translation = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len) ||
      len < 4)
    return record;
  wchar_t prefix[64];
  swprintf(prefix, 64, L"StringFileInfo\\%04X%04X\\", translation[0], translation[1]);
  for (const wchar_t* key : {L"ProductName", L"FileVersion", L"CompanyName", L"Author"}) {
    wchar_t* value = nullptr;
    UINT valueLen = 0;
    const std::wstring path = std::wstring(prefix) + key;
    if (VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &valueLen) && valueLen > 0)
      record[Utf8(key)] = Utf8(value);
  }
  return record;
}

}  // namespace tivolan
