#include "ui/toolkit/win32/ShortcutFieldControl.h"

#include <new>
#include <string>

#include "ui/toolkit/PropertyMessage.h"
#include "ui/toolkit/ShortcutFieldLogic.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/FocusMark.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

struct ShortcutFieldState {
  HWND window = nullptr;
  GdiObject<HFONT> font;
  std::uint32_t stored = kNoShortcut;
  bool recording = false;
};

ShortcutFieldState* MakeState(HWND window, const CREATESTRUCTW&) {
  auto* state = new (std::nothrow) ShortcutFieldState;
  if (state == nullptr) return nullptr;
  state->window = window;
  state->font.Reset(CreateToolkitFontFor(window));
  return state;
}

std::uint32_t HeldModifiers() {
  std::uint32_t modifiers = 0;
  if (GetKeyState(VK_CONTROL) < 0) modifiers |= kShortcutControl;
  if (GetKeyState(VK_MENU) < 0) modifiers |= kShortcutAlt;
  if (GetKeyState(VK_SHIFT) < 0) modifiers |= kShortcutShift;
  if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) modifiers |= kShortcutWin;
  return modifiers;
}

void Notify(const ShortcutFieldState& state, std::uint32_t code) {
  const LONG_PTR id = GetWindowLongPtrW(state.window, GWLP_ID);
  SendMessageW(GetParent(state.window), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
               reinterpret_cast<LPARAM>(state.window));
}

void SetRecording(ShortcutFieldState& state, bool recording) {
  if (state.recording == recording) return;
  state.recording = recording;
  RepaintControl(state.window);
  NotifyAccessible(EVENT_OBJECT_STATECHANGE, state.window, kAccessibleSelf);
}

// 1 when the key was the field's; otherwise the default processing runs.
bool OnKey(ShortcutFieldState& state, WPARAM virtualKey) {
  if (!state.recording) {
    if (!KeyStartsRecording(static_cast<std::uint32_t>(virtualKey), HeldModifiers())) return false;
    SetRecording(state, true);
    return true;
  }
  const FieldKey key = DecideFieldKey(static_cast<std::uint32_t>(virtualKey), HeldModifiers());
  if (!RecordingContinues(key.outcome)) {
    SetRecording(state, false);
    return true;
  }
  switch (key.outcome) {
    case FieldKeyOutcome::PassOn:
      return false;
    case FieldKeyOutcome::Clear:
    case FieldKeyOutcome::Record:
      state.stored = key.stored;
      Notify(state, SFN_CHANGED);
      return true;
    case FieldKeyOutcome::NeedsCtrlOrAlt:
      Notify(state, SFN_NEEDS_CTRL_OR_ALT);
      return true;
    default:
      return true;
  }
}

void Paint(const ShortcutFieldState& state) {
  OffscreenPaint paint(state.window);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  const int w = paint.width();
  const int h = paint.height();
  FillColor(dc, 0, 0, w, h, kColorEditFace);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(state.window)) + 1, L'\0');
  GetWindowTextW(state.window, &text[0], static_cast<int>(text.size()));
  const int inset = Scale(kShortcutFieldTextInset, LayoutDpi(state.window));
  RECT textRect{inset, 0, w - inset, h};
  HGDIOBJ previousFont = SelectObject(dc, state.font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(kColorText));
  DrawTextW(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, previousFont);
  // The frame turns the text colour while the field records.
  const bool recording = state.recording && GetFocus() == state.window;
  const GdiObject<HBRUSH> frame(CreateSolidBrush(ShownLineColor(recording ? kColorText : kColorFrame)));
  RECT all{0, 0, w, h};
  if (frame) FrameRect(dc, &all, frame.get());
  if (!recording) DrawFocusMark(state.window, dc, all);
}

void DescribeField(HWND window, AccessibleDescription& description) {
  DescribeShortcutField(window, description);
  const ShortcutFieldState* state = GetWindowRecord<ShortcutFieldState>(window);
  if (state != nullptr && state->recording) description.states |= kAccPressed;
}

LRESULT Handle(ShortcutFieldState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case SFM_SHORTCUT:
      if (PropertyStores(wParam)) state.stored = static_cast<std::uint32_t>(lParam);
      RepaintIfAsked(window, wParam);
      return static_cast<LRESULT>(state.stored);
    case WM_GETDLGCODE:
      // Every key while it records; otherwise the dialog's keys pass.
      return state.recording ? DLGC_WANTALLKEYS | DLGC_WANTCHARS : DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Alt held makes a system key: kept from the default processing, so
      // no menu opens and no beep sounds.
      if (OnKey(state, wParam)) return 0;
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_CHAR:
    case WM_SYSCHAR:
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      SetRecording(state, true);
      return 0;
    case WM_SETFOCUS:
      RepaintControl(window);
      return 0;
    case WM_KILLFOCUS:
      state.recording = false;
      RepaintControl(window);
      return 0;
    case WM_UPDATEUISTATE:
      RepaintControl(window);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETOBJECT:
      return AnswerControlObject(window, wParam, lParam, DescribeField);
    case WM_ACCESSIBLE_DEFAULT_ACTION:
      SetFocus(window);
      SetRecording(state, true);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      RepaintControl(window);
      return result;
    }
    case WM_PAINT:
      Paint(state);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int RegisterShortcutFieldClass(HINSTANCE instance) {
  // Opened more than once per run: a class already there is kept.
  WNDCLASSEXW existing{};
  if (GetClassInfoExW(instance, kShortcutFieldClassName, &existing)) return 1;
  return RegisterRecordClass(instance, kShortcutFieldClassName, ShortcutFieldWindowProc, IDC_IBEAM);
}

LRESULT CALLBACK ShortcutFieldWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<ShortcutFieldState>(window, message, wParam, lParam, RecordMadeAt::Create, MakeState,
                                              Handle);
}

}  // namespace shadowpane
