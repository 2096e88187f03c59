// KSP2RecentUseWndClass: the modal "Recent use" window. The log's events,
// newest first (time, program, device, allowed or turned away); it changes
// nothing.
#pragma once

#include <windows.h>

#include "usage/RecentUse.h"

namespace shadowpane {

constexpr wchar_t kRecentUseWindowClassName[] = L"KSP2RecentUseWndClass";

// Registers the class at start-up. 1 or 0.
int RegisterRecentUseWindowClass(HINSTANCE instance);

// Opens the window over the owner with the log as it is now, and returns
// once it is destroyed; the answer is always 0.
int ShowRecentUseWindow(HWND owner, const RecentUseLog& log);

LRESULT CALLBACK RecentUseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
