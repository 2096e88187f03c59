#include "ui/main/win32/MainWindowIndicator.h"

#include <cstdint>
#include <vector>

#include "policy/PolicyRules.h"
#include "settings/Languages.h"
#include "settings/Settings.h"
#include "ui/main/IndicatorLogic.h"
#include "ui/main/win32/IndicatorWindow.h"
#include "ui/main/win32/MainWindowData.h"

namespace shadowpane {

void UpdateIndicator(MainWindowData& data) {
  const Settings user = data.services.settings != nullptr ? *data.services.settings : Settings{};
  const Settings effective = EffectiveSettings(user, data.policy);
  // The shell is asked only while the setting is on.
  const int notificationState = effective.showIndicator != 0 ? QueryNotificationState() : 0;
  if (!IndicatorShown(effective.showIndicator, notificationState)) {
    HideIndicator(data.indicator);
    return;
  }
  if (data.indicator == nullptr) data.indicator = CreateIndicatorWindow();
  if (data.indicator == nullptr) return;
  std::vector<std::uint32_t> entries;
  if (data.devices) {
    for (SPDEV* device = data.devices->head(); device != nullptr; device = device->next) {
      entries.push_back(DeviceList::ListItemDataOf(device));
    }
  }
  const bool complete = data.devices && data.devices->lastRefreshComplete;
  ShowIndicator(data.indicator, IndicatorMarksOf(entries, complete), gDisplayLanguage, effective.indicatorCorner);
}

void StopIndicator(MainWindowData& data) {
  if (data.indicator != nullptr) DestroyWindow(data.indicator);
  data.indicator = nullptr;
}

}  // namespace shadowpane
