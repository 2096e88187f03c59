#include "devices/win32/WindowPoster.h"

#include <windows.h>

namespace shadowpane {

void WindowPoster::PostDeviceNotify(NotifyWindow window, std::uint32_t code, SPDEV* device) {
  // Posted, never sent: the receiver validates the device against the list
  // when it gets to the message, so a device gone by then is harmless.
  PostMessageW(reinterpret_cast<HWND>(window), WM_DEVICE_NOTIFY, DeviceNotifyWParam(code),
               reinterpret_cast<LPARAM>(device));
}

}  // namespace shadowpane
