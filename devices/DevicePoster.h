// How a device reaches the user-interface thread: a posted (never sent)
// message with a code and the device. Devices call Post while holding their
// state lock, so an implementation must not block or call back into devices.
#pragma once

#include <cstdint>

#include "devices/DeviceTypes.h"

namespace shadowpane {

class SPDEV;

class DevicePoster {
 public:
  virtual ~DevicePoster() = default;
  // Posts WM_DEVICE_NOTIFY with wParam = code << 16 and the device.
  virtual void PostDeviceNotify(NotifyWindow window, std::uint32_t code, SPDEV* device) = 0;
};

}  // namespace shadowpane
