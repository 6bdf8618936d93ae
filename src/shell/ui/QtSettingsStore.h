#pragma once
#include "platform/Settings.h"

namespace tivolan {

// The native store: REG_SZ values under HKCU\Software\Stelmark\Zentavo on
// Windows, the user's config folder elsewhere. Opened afresh for every read
// and write.
class QtSettingsStore final : public SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& name) override;
  void Write(const std::string& name, const std::string& value) override;
};

}  // namespace tivolan
