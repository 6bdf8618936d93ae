#pragma once
// The program's three persistent settings, "comportname", "devicetype" and
// "filepath", in the platform's store. Every read and write goes to the store
// at once; nothing is cached.
#include <map>
#include <optional>
#include <string>

namespace tivolan {

inline constexpr const char* kSettingPort = "comportname";
inline constexpr const char* kSettingDeviceType = "devicetype";
inline constexpr const char* kSettingFilePath = "filepath";
inline constexpr const char* kSettingJournalPath = "journalpath";  // the station's journal

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Missing values (and a store that cannot be opened) read as nullopt.
  virtual std::optional<std::string> Read(const std::string& name) = 0;
  // A store that can be neither opened nor created ignores the write.
  virtual void Write(const std::string& name, const std::string& value) = 0;
};

// A missing or empty value is replaced by `fallback`, which is stored at once.
std::string ReadSetting(SettingsStore& store, const std::string& name, const std::string& fallback);
void WriteSetting(SettingsStore& store, const std::string& name, const std::string& value);

// Device type list index from the stored text: not a whole number, negative
// or beyond the list selects the first entry.
int DeviceTypeIndexFromSetting(const std::string& text, int entries);

class MemorySettingsStore final : public SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& name) override;
  void Write(const std::string& name, const std::string& value) override;
  const std::map<std::string, std::string>& Values() const { return values_; }

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace tivolan
