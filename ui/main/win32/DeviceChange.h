// The system's device-interface notifications for the main window.
#pragma once

#include <windows.h>
#include <dbt.h>

#include "ui/main/DeviceChangeLogic.h"

namespace shadowpane {

// The 32-byte filter: device interfaces, the imaging class (which the
// all-classes flag makes no restriction: RestartsDeviceRefresh filters).
constexpr DWORD kArrivalFilterSize = 32;
constexpr DWORD kArrivalFlags = DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES;
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == kArrivalFilterSize, "the filter is 32 bytes");
static_assert(sizeof(ClassGuid) == sizeof(GUID), "ClassGuid has the platform GUID's layout");

// Registers the window; answers the handle, null on failure.
HDEVNOTIFY RegisterForDeviceArrival(HWND window);

// WM_DEVICECHANGE: restarts TIMER_DEVICE_REFRESH for a matching report.
// lParam's header may be null or of any device type. Answers 0.
LRESULT OnDeviceChange(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
