#include "ui/toolkit/win32/ChoiceControl.h"

namespace shadowpane {

LRESULT CALLBACK ChoiceExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace shadowpane
