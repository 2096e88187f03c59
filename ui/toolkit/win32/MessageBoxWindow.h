// KQM2MessageExWndClass: the toolkit's message box. A borderless,
// round-cornered popup with a skinned title band, an icon, the message laid
// out by the toolkit's own wrapping rules, one to three buttons and, on
// request, a "Don't show again" check box. Modal by default: the owner is
// disabled and a nested message loop runs until the box answers. Button
// sets, icons and result codes are in ui/toolkit/MessageBoxLayout.h.
#pragma once

#include <windows.h>

#include "ui/toolkit/MessageBoxLayout.h"

namespace shadowpane {

// The everyday form: a modal box over `owner` (or none) with the default
// captions. Returns the result code, or 0 when the box could not be made.
int ShowMessageBox(HWND owner, const wchar_t* text, int buttons, int icon);

// The full form. Null parameters return 0. A non-modal box (modal = 0) is
// made without owner, only with the OK button set (anything else returns 0
// and shows nothing); it returns 1 at once and closes itself when answered.
// A modal box behaves as ShowMessageBox with the caller's captions.
int ShowMessageBoxEx(const MessageBoxParams* params, HWND owner, const wchar_t* text);

LRESULT CALLBACK MessageBoxExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
