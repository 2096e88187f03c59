// KSP2SettingsWndClass: the modal Settings window. The user picks the
// interface language and the three options; OK puts them into the Settings
// value the caller gave (its own copy) and answers 1, and the caller takes
// and stores them. Cancel and the close button answer 0 and change nothing.
#pragma once

#include <windows.h>

#include "policy/PolicyRules.h"
#include "settings/Settings.h"

namespace shadowpane {

constexpr wchar_t kSettingsWindowClassName[] = L"KSP2SettingsWndClass";

// Registers the class at start-up. 1 or 0.
int RegisterSettingsWindowClass(HINSTANCE instance);

// Opens the window over the owner showing the user's *settings with the
// policy's forced values over them, their controls disabled, and returns
// once it is destroyed: 1 when it was closed with OK (*settings then holds
// the user's choice, each forced setting keeping the user's own value),
// else 0 (also when it could not be created), *settings untouched.
int ShowSettingsWindow(HWND owner, Settings* settings, const EnforcedPolicy& policy = EnforcedPolicy{});

LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
