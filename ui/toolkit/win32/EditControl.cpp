#include "ui/toolkit/win32/EditControl.h"

namespace shadowpane {

LRESULT CALLBACK EditExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace shadowpane
