// KSP2SettingsWndClass: the modal Settings window. The user picks the
// interface language and the three options; OK puts them into the settings
// in memory and answers 1, and the caller stores them. Cancel and the close
// button answer 0 and change nothing.
#pragma once

#include <windows.h>

namespace shadowpane {

constexpr wchar_t kSettingsWindowClassName[] = L"KSP2SettingsWndClass";

// Registers the class at start-up. 1 or 0.
int RegisterSettingsWindowClass(HINSTANCE instance);

// Opens the window over the owner and returns once it is destroyed: 1 when
// it was closed with OK, else 0 (also when it could not be created).
int ShowSettingsWindow(HWND owner);

LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
