// KSP2LanguagesWndClass: the first-run language window. Four radio choices,
// English preselected; OK records the pick in gChosenLanguage. It runs before
// any other window exists, so it has no owner and speaks English.
#pragma once

#include <windows.h>

namespace shadowpane {

constexpr wchar_t kLanguageWindowClassName[] = L"KSP2LanguagesWndClass";

// Registers the class at start-up. 1 or 0.
int RegisterLanguageWindowClass(HINSTANCE instance);

// Opens the window centred on the screen and returns once it is destroyed:
// 1 after OK (gChosenLanguage then holds the pick), else 0 (gChosenLanguage
// is left as it was, also when the window could not be created). No other
// window of the program exists yet, so its taskbar button shows the
// program's title and icon, which start-up hands in.
int ShowLanguageWindow(const wchar_t* programTitle = L"", HICON programIcon = nullptr);

LRESULT CALLBACK LanguageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
