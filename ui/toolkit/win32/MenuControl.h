// KMenuEx_0000: the toolkit's drop-down list popup. Shows a private copy of
// a MenuItemList, highlights the item under the cursor, reports a click to
// its owner with WM_COMMAND and closes itself, also when it loses the focus.
#pragma once

#include <windows.h>

namespace shadowpane {

// Window procedure of the "KMenuEx_0000" class; registration is shared
// with the other toolkit classes.
LRESULT CALLBACK MenuExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
