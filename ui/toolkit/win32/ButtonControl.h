// KButtonEx_0000: the toolkit's skinned button.
#pragma once

#include <windows.h>

namespace shadowpane {

LRESULT CALLBACK ButtonExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
