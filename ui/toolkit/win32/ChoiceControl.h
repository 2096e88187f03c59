// KChoiceEx_0000: the toolkit's check box and radio button.
#pragma once

#include <windows.h>

namespace shadowpane {

LRESULT CALLBACK ChoiceExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
