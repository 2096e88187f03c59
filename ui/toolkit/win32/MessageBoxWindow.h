// KQM2MessageExWndClass: the toolkit's message box.
#pragma once

#include <windows.h>

namespace shadowpane {

LRESULT CALLBACK MessageBoxExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
