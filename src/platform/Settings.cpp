#include "platform/Settings.h"

#include <charconv>

namespace tivolan {

std::string ReadSetting(SettingsStore& store, const std::string& name, const std::string& fallback) {
  const auto value = store.Read(name);
  if (value && !value->empty()) return *value;
  store.Write(name, fallback);
  return fallback;
}

void WriteSetting(SettingsStore& store, const std::string& name, const std::string& value) {
  store.Write(name, value);
}

int DeviceTypeIndexFromSetting(const std::string& text, int entries) {
  long value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc{} || end != last) return 0;
  return value < 0 || value >= entries ? 0 : static_cast<int>(value);
}

std::optional<std::string> MemorySettingsStore::Read(const std::string& name) {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void MemorySettingsStore::Write(const std::string& name, const std::string& value) { values_[name] = value; }

}  // namespace tivolan
