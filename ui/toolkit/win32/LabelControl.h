// KLabelEx_0000: static text that sizes itself to its text.
#pragma once

#include <windows.h>

namespace shadowpane {

LRESULT CALLBACK LabelExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
