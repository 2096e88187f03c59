#include "ui/toolkit/win32/MessageBoxWindow.h"

namespace shadowpane {

LRESULT CALLBACK MessageBoxExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace shadowpane
