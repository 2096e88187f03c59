#include "ui/toolkit/win32/LabelControl.h"

namespace shadowpane {

LRESULT CALLBACK LabelExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace shadowpane
