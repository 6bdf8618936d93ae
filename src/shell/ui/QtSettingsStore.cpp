#include "shell/ui/QtSettingsStore.h"

#include <QSettings>

#include "shell/ui/kit/QtText.h"

namespace tivolan {

std::optional<std::string> QtSettingsStore::Read(const std::string& name) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Stelmark", "Zentavo");
  // Only the user's own key: on Windows Qt would otherwise read a value
  // missing there from HKEY_LOCAL_MACHINE.
  settings.setFallbacksEnabled(false);
  const QVariant value = settings.value(Q(name));
  if (!value.isValid()) return std::nullopt;
  return S(value.toString());
}

void QtSettingsStore::Write(const std::string& name, const std::string& value) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Stelmark", "Zentavo");
  settings.setValue(Q(name), Q(value));
  settings.sync();  // a store that cannot be written is left as it is
}

}  // namespace tivolan
