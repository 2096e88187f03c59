#include "ui/main/DeviceChangeLogic.h"

#include "ui/main/MainWindowIds.h"

namespace shadowpane {

bool SameGuid(const ClassGuid& a, const ClassGuid& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.data4[i] != b.data4[i]) return false;
  }
  return true;
}

bool RestartsDeviceRefresh(std::uint32_t event, const DeviceChangeHeader* header) {
  if (event != kDeviceArrivalEvent && event != kDeviceRemoveCompleteEvent) return false;
  if (header == nullptr || header->deviceType != kDeviceInterfaceHeader) return false;
  for (const ClassGuid& refreshClass : kRefreshClasses) {
    if (SameGuid(header->classGuid, refreshClass)) return true;
  }
  return false;
}

TimerAction DecideTimer(unsigned timerId, std::uint32_t countAtRefresh, std::uint32_t waveInCount) {
  if (timerId == TIMER_DEVICE_REFRESH) return TimerAction::StopAndRefresh;
  if (timerId == TIMER_AUDIO_POLL) {
    return countAtRefresh != waveInCount ? TimerAction::Refresh : TimerAction::None;
  }
  if (timerId == TIMER_TRAY_ADD) return TimerAction::AddTray;
  return TimerAction::None;
}

}  // namespace shadowpane
