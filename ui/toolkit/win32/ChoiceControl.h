// KChoiceEx_0000: the toolkit's check box and radio button in one class. A
// 13 x 14 skinned box and a text, sized to the text; reports each click with
// WM_COMMAND. Kinds and messages are in ui/toolkit/ChoiceLogic.h.
#pragma once

#include <windows.h>

#include "ui/toolkit/ChoiceLogic.h"

namespace shadowpane {

LRESULT CALLBACK ChoiceExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Checks the parent's child with the first id and unchecks the children
// with the further ids, up to the id 0 that ends the list; each is repainted.
// Example: CheckRadioInGroup(parent, 1029, 1028, 1030, 1031, 0).
void CheckRadioInGroup(HWND parent, int firstId, ...);

}  // namespace shadowpane
