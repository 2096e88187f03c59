#include "ui/toolkit/win32/FocusMark.h"

#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {

bool ShowsFocusMark(HWND window) {
  return GetFocus() == window && KeyboardCuesShown(window);
}

void DrawFocusMark(HWND window, HDC dc, RECT rect) {
  if (!ShowsFocusMark(window)) return;
  const int inset = Scale(kFocusMarkInset, LayoutDpi(window));
  InflateRect(&rect, -inset, -inset);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  // DrawFocusRect inverts, so the text colour must not be left to chance.
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &rect);
}

void RepaintFocusMark(HWND window) { RepaintControl(window); }

bool AnswerFocusMarkMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message != WM_SETFOCUS && message != WM_KILLFOCUS && message != WM_UPDATEUISTATE) return false;
  RepaintFocusMark(window);
  // The cues' state itself is the system's to keep.
  *result = message == WM_UPDATEUISTATE ? DefWindowProcW(window, message, wParam, lParam) : 0;
  return true;
}

}  // namespace shadowpane
