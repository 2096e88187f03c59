// KSP2AboutWndClass: the modal About window. The logo, the product line and
// the version; its two buttons both close it, and it changes nothing.
#pragma once

#include <windows.h>

namespace shadowpane {

constexpr wchar_t kAboutWindowClassName[] = L"KSP2AboutWndClass";

// Registers the class at start-up. 1 or 0.
int RegisterAboutWindowClass(HINSTANCE instance);

// Opens the window over the owner and returns once it is destroyed; the
// answer is always 0.
int ShowAboutWindow(HWND owner);

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
