// KMenuEx_0000: the toolkit's drop-down list popup. Shows a private copy of
// a MenuItemList, highlights the selectable item under the cursor, marks the
// current choice with a small triangle, reports a click to its owner with
// WM_COMMAND (wParam: item index in the high word, the low 16 bits of the
// item's command value in the low word; lParam 0) and closes itself; it also
// closes as soon as it loses the focus, choosing nothing.
#pragma once

#include <windows.h>

#include "ui/toolkit/MenuItemList.h"

namespace shadowpane {

// Window procedure of the "KMenuEx_0000" class; registration is shared
// with the other toolkit classes. The creation parameter is the first item
// of a chain (CopyMenuItemChain) that the popup takes over: it frees every
// item when it is destroyed, or at once when it cannot be created.
LRESULT CALLBACK MenuExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the popup for a copy of list at the owner's client point (37, 161),
// 180 pixels wide and as high as its items. Answers 1 once it is shown (the
// choice arrives later as WM_COMMAND), 0 for a missing or empty list, an
// owner that is not a window, or when it cannot be created.
int ShowMenuPopup(const MenuItemList* list, HWND owner);

}  // namespace shadowpane
