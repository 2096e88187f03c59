#include "ui/toolkit/win32/ChoiceControl.h"

#include <cstdarg>
#include <new>

#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

HWND WindowOf(const ChoiceState& choice) { return reinterpret_cast<HWND>(choice.window); }

void SizeToText(ChoiceState& choice) {
  HWND window = WindowOf(choice);
  wchar_t text[kChoiceTextMaxChars + 1] = {};
  const int length = GetWindowTextW(window, text, kChoiceTextMaxChars + 1);
  TextExtent extent;
  {
    GdiTextMeasurer measurer(window, reinterpret_cast<HFONT>(choice.font));
    extent = measurer.Measure(WideView(AsCore(text), static_cast<std::size_t>(length)));
  }
  const ChoiceSize size = SizeChoiceToText(extent);
  SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnMouseMove(ChoiceState& choice) {
  HWND window = WindowOf(choice);
  if (choice.hovered || !IsCursorOverWindow(window)) return;
  choice.hovered = 1;
  RepaintControl(window);
  StartHoverWatch(window);
}

void OnHoverWatch(ChoiceState& choice) {
  HWND window = WindowOf(choice);
  if (IsCursorOverWindow(window)) return;
  choice.hovered = 0;
  RepaintControl(window);
  KillTimer(window, TIMER_HOVER_WATCH);
}

void OnClick(ChoiceState& choice) {
  HWND window = WindowOf(choice);
  SetFocus(window);
  ClickChoice(choice);
  RepaintControl(window);
  if (IsWindowEnabled(window)) SendCommandToParent(window);
}

// The creation parameter is the skin bitmap's resource id.
ChoiceState* MakeChoiceState(HWND window, const CREATESTRUCTW& create) {
  auto* record = new (std::nothrow) ChoiceState;
  if (record == nullptr) return nullptr;
  record->window = reinterpret_cast<std::uintptr_t>(window);
  record->font = reinterpret_cast<std::uintptr_t>(CreateToolkitFont());
  record->skinBitmap = static_cast<int>(reinterpret_cast<std::uintptr_t>(create.lpCreateParams));
  return record;
}

LRESULT HandleMessage(ChoiceState& choice, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case CXM_KIND:
      return HandleIntProperty(window, choice.kind, wparam, lparam);
    case CXM_CHECKED:
      return HandleIntProperty(window, choice.checked, wparam, lparam);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, message, wparam, lparam);
      SizeToText(choice);
      return result;
    }
    case WM_PAINT: {
      OffscreenPaint paint(window);
      if (paint.dc() != nullptr) DrawChoice(window, choice, paint.dc(), paint.width(), paint.height());
      return 0;
    }
    case WM_ENABLE:
      RepaintControl(window);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(choice);
      return 1;
    case WM_TIMER:
      if (wparam == TIMER_HOVER_WATCH) OnHoverWatch(choice);
      return 0;
    case WM_LBUTTONDOWN:
      OnClick(choice);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

void DrawChoice(HWND window, const ChoiceState& choice, HDC dc, int width, int height) {
  const bool enabled = IsWindowEnabled(window) != FALSE;
  FillWhite(dc, 0, 0, width, height);
  {
    SkinBitmap skin(dc, choice.skinBitmap);
    const SkinCell cell = ChoiceBoxCell(choice, enabled);
    skin.Copy(dc, 0, ChoiceBoxTop(height), kChoiceBoxWidth, kChoiceBoxHeight, cell.x, cell.y);
  }
  wchar_t text[kChoiceTextMaxChars + 1] = {};
  const int length = GetWindowTextW(window, text, kChoiceTextMaxChars + 1);
  if (length <= 0) return;
  HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(choice.font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(enabled ? kColorText : kColorDisabledText));
  RECT rect{kChoiceTextX, 0, width, height};
  DrawTextW(dc, text, length, &rect, DT_LEFT | DT_TOP | kToolkitTextFlags);
  SelectObject(dc, previousFont);
}

void CheckRadioInGroup(HWND parent, int firstId, ...) {
  SendMessageW(GetDlgItem(parent, firstId), CXM_CHECKED, kPropertyStoreRepaint, 1);
  va_list ids;
  va_start(ids, firstId);
  for (int id = va_arg(ids, int); id != 0; id = va_arg(ids, int)) {
    SendMessageW(GetDlgItem(parent, id), CXM_CHECKED, kPropertyStoreRepaint, 0);
  }
  va_end(ids);
}

LRESULT CALLBACK ChoiceExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<ChoiceState>(window, message, wParam, lParam, RecordMadeAt::kCreate,
                                       MakeChoiceState, HandleMessage);
}

}  // namespace shadowpane
