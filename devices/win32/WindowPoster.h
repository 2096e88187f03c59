// Delivers device notifications to the main window's message queue.
#pragma once

#include "devices/DevicePoster.h"

namespace shadowpane {

class WindowPoster : public DevicePoster {
 public:
  // PostMessageW(window, WM_DEVICE_NOTIFY, code << 16, device).
  void PostDeviceNotify(NotifyWindow window, std::uint32_t code, SPDEV* device) override;
};

}  // namespace shadowpane
