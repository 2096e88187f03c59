#include "ui/main/win32/SettingsCommand.h"

#include "policy/PolicyRules.h"
#include "settings/Languages.h"
#include "settings/Settings.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/MainWindowIndicator.h"

namespace shadowpane {

void RunSettingsCommand(MainWindowData& data) {
  if (data.services.showSettings == nullptr || data.services.settings == nullptr) return;
  // The user's own record is edited and saved; a forced setting keeps the
  // user's value underneath, for when the policy is withdrawn.
  Settings edited = *data.services.settings;
  if (data.services.showSettings(data.window, &edited, data.policy) != 1) return;
  *data.services.settings = edited;
  const Settings effective = EffectiveSettingsOf(data);
  gDisplayLanguage = effective.language;
  // A new language and the indicator show at once; the settings and
  // autostart follow.
  InvalidateRect(data.window, nullptr, FALSE);
  UpdateIndicator(data);
  if (data.services.settingsStore == nullptr) return;
  SaveSettings(*data.services.settingsStore, edited);
  if (data.policy.startup.forced) ApplyAutostart(*data.services.settingsStore, effective.startup);
}

}  // namespace shadowpane
