#include "ui/toolkit/win32/ChoiceControl.h"

#include <cstdarg>
#include <cstddef>
#include <new>

#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {
// The skin's cells: radio and check box columns, six rows of states.
constexpr int kChoiceSkinColumns = 2;
constexpr int kChoiceSkinRows = 6;


// The choice control's record: its portable state first (so the window
// handle is the record's first field) and the font it owns.
struct ChoiceWindow {
  ChoiceState state;
  GdiObject<HFONT> font;
};
static_assert(offsetof(ChoiceWindow, state) == 0, "the record starts with the choice's state");

HWND WindowOf(const ChoiceState& choice) { return reinterpret_cast<HWND>(choice.window); }

void SizeToText(const ChoiceWindow& record) {
  HWND window = WindowOf(record.state);
  wchar_t text[kChoiceTextMaxChars + 1] = {};
  const int length = GetWindowTextW(window, text, kChoiceTextMaxChars + 1);
  const int dpi = LayoutDpi(window);
  TextExtent extent;
  {
    GdiTextMeasurer measurer(window, record.font.get());
    extent = DesignUnitMeasurer(measurer, dpi).Measure(WideView(AsCore(text), static_cast<std::size_t>(length)));
  }
  ResizeWindow(window, Scale(SizeChoiceToText(extent), dpi));
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

void DrawChoice(const ChoiceWindow& record, HDC dc, int width, int height) {
  const ChoiceState& choice = record.state;
  HWND window = WindowOf(choice);
  const bool enabled = IsWindowEnabled(window) != FALSE;
  FillWhite(dc, 0, 0, width, height);
  const int dpi = LayoutDpi(window);
  {
    SkinBitmap skin(dc, choice.skinBitmap, dpi, SkinGrid{kChoiceSkinColumns, kChoiceSkinRows});
    const Point at = ChoiceBoxCell(choice, enabled);
    const Rect cell = skin.Cell(at.x / kChoiceBoxWidth, at.y / kChoiceBoxHeight);
    skin.Copy(dc, 0, Scale(ChoiceBoxTop(ToDesign(height, dpi)), dpi), Width(cell), Height(cell), cell.left,
              cell.top);
  }
  wchar_t text[kChoiceTextMaxChars + 1] = {};
  const int length = GetWindowTextW(window, text, kChoiceTextMaxChars + 1);
  if (length <= 0) return;
  HGDIOBJ previousFont = SelectObject(dc, record.font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(enabled ? kColorText : kColorDisabledText));
  RECT rect{Scale(kChoiceTextX, dpi), 0, width, height};
  DrawTextW(dc, text, length, &rect, DT_LEFT | DT_TOP | kToolkitTextFlags);
  SelectObject(dc, previousFont);
}

// The creation parameter is the skin bitmap's resource id.
ChoiceWindow* MakeChoiceWindow(HWND window, const CREATESTRUCTW& create) {
  auto* record = new (std::nothrow) ChoiceWindow;
  if (record == nullptr) return nullptr;
  record->state.window = reinterpret_cast<std::uintptr_t>(window);
  record->state.skinBitmap =
      static_cast<int>(reinterpret_cast<std::uintptr_t>(create.lpCreateParams));
  record->font.Reset(CreateToolkitFontFor(window));
  return record;
}


LRESULT HandleMessage(ChoiceWindow& record, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  ChoiceState& choice = record.state;
  switch (message) {
    case CXM_KIND:
      return HandleIntProperty(window, choice.kind, wParam, lParam);
    case CXM_CHECKED:
      return HandleIntProperty(window, choice.checked, wParam, lParam);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      SizeToText(record);
      return result;
    }
    case WM_PAINT: {
      OffscreenPaint paint(window);
      if (paint.dc() != nullptr) DrawChoice(record, paint.dc(), paint.width(), paint.height());
      return 0;
    }
    case WM_ENABLE:
      RepaintControl(window);
      return 0;
    case kDpiChangedAfterParent:
      // The parent moved to another DPI: the font anew, sized to the text.
      record.font.Reset(CreateToolkitFontFor(window));
      SizeToText(record);
      RepaintControl(window);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(choice);
      return 1;
    case WM_TIMER:
      if (wParam == TIMER_HOVER_WATCH) OnHoverWatch(choice);
      return 0;
    case WM_LBUTTONDOWN:
      OnClick(choice);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

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
  return RecordWindowProc<ChoiceWindow>(window, message, wParam, lParam, RecordMadeAt::Create,
                                        MakeChoiceWindow, HandleMessage);
}

}  // namespace shadowpane
