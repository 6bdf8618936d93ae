#include "files/FileTimes.h"

#include <chrono>
#include <filesystem>

#include "files/FileIO.h"

namespace tivolan {

namespace {
constexpr const char* kDayAndMinute = "%d.%m.%Y %H:%M";
}

std::string LocalTimeText(std::time_t when, const char* format) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char text[64];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

std::string FileTimeText(const std::string& path) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(PathFromUtf8(path), ec);
  if (ec) return "";
  // Through "now" on both clocks: the conversion between them is not in
  // every standard library yet.
  const auto system = std::chrono::system_clock::now() + std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                                             written - std::filesystem::file_time_type::clock::now());
  return LocalTimeText(std::chrono::system_clock::to_time_t(system), kDayAndMinute);
}

std::string NowText() { return LocalTimeText(std::time(nullptr), kDayAndMinute); }

}  // namespace tivolan
