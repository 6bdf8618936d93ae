#include "station/os/DurableAppend.h"

#include <windows.h>

#include "files/FileIO.h"

namespace tivolan::station {
namespace {

std::string SystemText(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = text ? text : L"";
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.')) wide.pop_back();
  return wide.empty() ? "ошибка " + std::to_string(code) : Utf8FromPath(std::filesystem::path(wide));
}

}  // namespace

std::optional<std::string> AppendDurably(const std::string& path, const std::string& bytes,
                                         unsigned long long* sizeBefore) {
  const HANDLE file = CreateFileW(PathFromUtf8(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SystemText(GetLastError());
  std::optional<std::string> error;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) error = SystemText(GetLastError());
  if (!error && sizeBefore) *sizeBefore = static_cast<unsigned long long>(size.QuadPart);
  DWORD written = 0;
  if (!error && !bytes.empty() &&
      (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size()))
    error = SystemText(GetLastError());
  if (!error && !FlushFileBuffers(file)) error = SystemText(GetLastError());
  CloseHandle(file);
  return error;
}

}  // namespace tivolan::station
