#include "ui/toolkit/win32/MenuControl.h"

namespace shadowpane {

LRESULT CALLBACK MenuExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace shadowpane
