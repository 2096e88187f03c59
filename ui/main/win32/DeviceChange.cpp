#include "ui/main/win32/DeviceChange.h"

#include <cstring>

#include "ui/main/MainWindowIds.h"

namespace shadowpane {

HDEVNOTIFY RegisterForDeviceArrival(HWND window) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = kArrivalFilterSize;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_reserved = 0;
  std::memcpy(&filter.dbcc_classguid, &kGuidDevclassImage, sizeof(GUID));
  return RegisterDeviceNotificationW(window, &filter, kArrivalFlags);
}

LRESULT OnDeviceChange(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
  DeviceChangeHeader header;
  const DeviceChangeHeader* seen = nullptr;
  if (broadcast != nullptr) {
    header.deviceType = broadcast->dbch_devicetype;
    // Only an interface report is long enough to carry a class.
    if (header.deviceType == DBT_DEVTYP_DEVICEINTERFACE &&
        broadcast->dbch_size >= offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)) {
      const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(broadcast);
      std::memcpy(&header.classGuid, &device->dbcc_classguid, sizeof(GUID));
    }
    seen = &header;
  }
  if (RestartsDeviceRefresh(static_cast<std::uint32_t>(wParam), seen)) {
    SetTimer(window, TIMER_DEVICE_REFRESH, kDeviceRefreshDelayMs, nullptr);
  }
  return 0;
}

}  // namespace shadowpane
