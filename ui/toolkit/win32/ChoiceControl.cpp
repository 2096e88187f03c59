#include "ui/toolkit/win32/ChoiceControl.h"

#include <cstdarg>
#include <cstddef>
#include <new>

#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/DrawnText.h"
#include "ui/toolkit/win32/FocusMark.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
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

// Radios of one window that the arrows step through, at most.
constexpr int kMaxRadioGroup = 16;

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

// Arrows in a group of radios: the next radio among the siblings (in the
// dialog manager's order) takes the focus and is clicked, as the mouse
// would click it.
void StepRadio(HWND window, bool forward) {
  HWND parent = GetParent(window);
  HWND radios[kMaxRadioGroup] = {};
  int count = 0;
  int current = -1;
  for (HWND sibling = GetWindow(parent, GW_CHILD); sibling != nullptr && count < kMaxRadioGroup;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    ChoiceWindow* record = GetWindowRecord<ChoiceWindow>(sibling);
    wchar_t className[32] = {};
    GetClassNameW(sibling, className, 32);
    if (lstrcmpW(className, kChoiceClassName) != 0 || record == nullptr || record->state.kind != CXK_RADIO) continue;
    if (!IsWindowEnabled(sibling) || !IsWindowVisible(sibling)) continue;
    if (sibling == window) current = count;
    radios[count++] = sibling;
  }
  const int next = StepChoice(current, count, forward);
  if (next < 0) return;
  HWND target = radios[next];
  ChoiceWindow* record = GetWindowRecord<ChoiceWindow>(target);
  if (record != nullptr) OnClick(record->state);
}

void OnKey(ChoiceState& choice, WPARAM key, LPARAM lParam) {
  switch (DecideControlKey(static_cast<std::uint32_t>(key), (lParam & (1 << 30)) != 0, choice.kind == CXK_RADIO)) {
    case ControlKeyAction::Click:
      OnClick(choice);
      break;
    case ControlKeyAction::NextChoice:
      StepRadio(WindowOf(choice), true);
      break;
    case ControlKeyAction::PreviousChoice:
      StepRadio(WindowOf(choice), false);
      break;
    case ControlKeyAction::None:
      break;
  }
}

// The text as it is drawn at a client size: from x 20, top aligned.
DrawnTexts ChoiceTexts(const ChoiceWindow& record, int width, int height) {
  HWND window = WindowOf(record.state);
  wchar_t text[kChoiceTextMaxChars + 1] = {};
  const int length = GetWindowTextW(window, text, kChoiceTextMaxChars + 1);
  if (length <= 0) return {};
  return {{record.font.get(), {Scale(kChoiceTextX, LayoutDpi(window)), 0, width, height},
           DT_LEFT | DT_TOP | kToolkitTextFlags, std::wstring(text, static_cast<std::size_t>(length))}};
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
  const DrawnTexts texts = ChoiceTexts(record, width, height);
  if (texts.empty()) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(enabled ? kColorText : kColorDisabledText));
  DrawTexts(dc, texts);
  // Around the text, so the box keeps its look.
  DrawFocusMark(window, dc, {Scale(kChoiceTextX - kFocusMarkInset - 1, dpi), 0, width, height});
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
    case WM_GETDLGCODE:
      // A radio moves through its group with the arrows itself.
      return DLGC_BUTTON | (choice.kind == CXK_RADIO ? DLGC_WANTARROWS : 0);
    case WM_KEYDOWN:
      OnKey(choice, wParam, lParam);
      return 0;
    case WM_ACCESSIBLE_DEFAULT_ACTION:
      OnClick(choice);
      return 0;
    case WM_GETOBJECT:
      return AnswerControlObject(window, wParam, lParam, DescribeChoice);
    case WM_DRAWN_TEXTS: {
      const Size size = ClientSize(window);
      return AnswerDrawnTexts(ChoiceTexts(record, size.width, size.height), lParam);
    }
    default: {
      LRESULT result = 0;
      if (AnswerFocusMarkMessage(window, message, wParam, lParam, &result)) return result;
      return DefWindowProcW(window, message, wParam, lParam);
    }
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
