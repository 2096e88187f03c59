// KLabelEx_0000: static text on white in a font chosen at creation (the
// creation parameter: low word the cell height, non-zero high word bold).
// Sizes itself to its text whenever the text changes, wrapping at spaces
// when the text is wider than its current width; passes clicks to the parent.
#pragma once

#include <windows.h>

#include "ui/toolkit/LabelLayout.h"

namespace shadowpane {

LRESULT CALLBACK LabelExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
