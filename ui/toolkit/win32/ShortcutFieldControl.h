// KShortcutEx_0000: the toolkit's shortcut field. A flat light-grey box, like
// the text field, that records the combination pressed while it has the
// focus (WM_KEYDOWN and WM_SYSKEYDOWN, with the modifiers read from the key
// state) and tells its parent (ui/toolkit/ShortcutFieldLogic.h). It shows
// its window text, which the parent sets.
//
// Messages: SFM_SHORTCUT, a property message, reads or stores the
// combination (0: none).
#pragma once

#include <windows.h>

namespace shadowpane {

constexpr wchar_t kShortcutFieldClassName[] = L"KShortcutEx_0000";

// Registers the class with the toolkit's look (registration is apart from
// the other toolkit classes: only the shortcuts window uses it). 1 or 0; a
// class already registered counts as registered.
int RegisterShortcutFieldClass(HINSTANCE instance);

LRESULT CALLBACK ShortcutFieldWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
