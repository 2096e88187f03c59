#include "ui/toolkit/win32/EditControl.h"

#include <new>

#include "core/win32/TextCast.h"
#include "ui/toolkit/EditLogic.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

static_assert(kEditStyleMultiline == ES_MULTILINE && kEditStyleAutoHScroll == ES_AUTOHSCROLL,
              "the portable style bits are the platform's");

constexpr wchar_t kInnerFieldClass[] = L"EDIT";

struct EditState {
  HWND window = nullptr;
  GdiObject<HFONT> font;         // ToolkitFont, also the inner field's
  GdiObject<HBRUSH> background;  // the face colour, for the inner field
  WideChar cue[kCueTextUnits] = {};
};

HWND InnerField(HWND window) { return GetDlgItem(window, kEditInnerId); }

// The inner field is visible while it has text or the focus, so the cue
// painted underneath shows exactly when the field is empty and unfocused.
void UpdateInnerFieldVisibility(HWND window) {
  HWND field = InnerField(window);
  if (field == nullptr || GetFocus() == field) return;
  ShowWindow(field, InnerFieldShown(GetWindowTextLengthW(field)) ? SW_SHOW : SW_HIDE);
}

// The creation parameter holds extra style bits for the field.
void CreateInnerField(const EditState& state, const CREATESTRUCTW& create) {
  const DWORD extraBits = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(create.lpCreateParams));
  const int dpi = LayoutDpi(state.window);
  const Size client = ToDesign(ClientSize(state.window), dpi);
  const Rect place = Scale(InnerFieldRect(client.width, client.height), dpi);
  HWND field = CreateWindowExW(
      0, kInnerFieldClass, L"",
      WS_CHILD | WS_VISIBLE | InnerFieldStyleBits(client.height, extraBits), place.left, place.top,
      Width(place), Height(place), state.window,
      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditInnerId)), ToolkitInstance(), nullptr);
  if (field != nullptr)
    SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.get()), FALSE);
}

// The record and the inner field; the skeleton then sets the window text,
// which WM_SETTEXT hands on to the field.
EditState* MakeEditState(HWND window, const CREATESTRUCTW& create) {
  auto* state = new (std::nothrow) EditState;
  if (state == nullptr) return nullptr;  // lives on without a record, inert
  state->window = window;
  state->font.Reset(CreateToolkitFontFor(window));
  state->background.Reset(CreateSolidBrush(ToColorRef(kColorEditFace)));
  CreateInnerField(*state, create);
  return state;
}

void Paint(EditState& state) {
  OffscreenPaint paint(state.window);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  const int w = paint.width();
  const int h = paint.height();
  FillColor(dc, 0, 0, w, h, kColorEditFace);

  const int dpi = LayoutDpi(state.window);
  RECT cueRect = ToWinRect(Scale(CueTextBox(ToDesign(w, dpi), ToDesign(h, dpi)), dpi));
  HGDIOBJ previousFont = SelectObject(dc, state.font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(kColorEditCue));
  // The cue is plain text: an ampersand in it is shown, not an accelerator.
  DrawTextW(dc, AsWide(state.cue), -1, &cueRect,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  SelectObject(dc, previousFont);

  const GdiObject<HBRUSH> frame(CreateSolidBrush(ToColorRef(kColorFrame)));
  if (frame) {
    RECT all{0, 0, w, h};
    FrameRect(dc, &all, frame.get());
  }
  const COLORREF corner = ToColorRef(kColorEditCorner);
  SetPixelV(dc, 0, 0, corner);
  SetPixelV(dc, w - 1, 0, corner);
  SetPixelV(dc, 0, h - 1, corner);
  SetPixelV(dc, w - 1, h - 1, corner);
}

LRESULT OnEditStyle(HWND window, WPARAM wParam, LPARAM lParam) {
  HWND field = InnerField(window);
  if (field != nullptr) {
    const LONG_PTR style = GetWindowLongPtrW(field, GWL_STYLE);
    const LONG_PTR bits = static_cast<LONG_PTR>(static_cast<DWORD>(lParam));
    SetWindowLongPtrW(field, GWL_STYLE, PropertyStores(wParam) ? (style | bits) : (style & ~bits));
  }
  RepaintIfAsked(window, wParam);
  return 0;
}

LRESULT OnCueText(EditState& state, WPARAM wParam, LPARAM lParam) {
  if (PropertyStores(wParam)) {
    StoreCueText(state.cue, reinterpret_cast<const WideChar*>(lParam));
    // A new cue shows at once on an empty, unfocused field.
    UpdateInnerFieldVisibility(state.window);
  } else {
    CopyCueText(state.cue, reinterpret_cast<WideChar*>(lParam), static_cast<int>(HIWORD(wParam)));
  }
  RepaintControl(state.window);
  return 0;
}

LRESULT OnCommand(EditState& state, WPARAM wParam, LPARAM lParam) {
  HWND window = state.window;
  HWND field = InnerField(window);
  if (LOWORD(wParam) == kEditInnerId && field != nullptr && reinterpret_cast<HWND>(lParam) == field) {
    const UINT code = HIWORD(wParam);
    const LONG_PTR id = GetWindowLongPtrW(window, GWLP_ID);
    SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code),
                 reinterpret_cast<LPARAM>(window));
    // The parent may have destroyed the control meanwhile.
    if (!IsWindow(window)) return 0;
    if (code == EN_KILLFOCUS || code == EN_CHANGE) UpdateInnerFieldVisibility(window);
  }
  return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
}

LRESULT OnControlColor(EditState& state, WPARAM wParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, ShownTextColor(kColorText));
  SetBkColor(dc, ToColorRef(kColorEditFace));
  return reinterpret_cast<LRESULT>(state.background.get());
}

LRESULT HandleMessage(EditState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT result = SendMessageW(InnerField(window), message, wParam, lParam);
      // A multi-line field reports no EN_CHANGE for a set text.
      UpdateInnerFieldVisibility(window);
      return result;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_SETSEL:
    case EM_LIMITTEXT:
    case EM_SETPASSWORDCHAR:
    case EM_GETPASSWORDCHAR:
    case EM_GETLIMITTEXT:
      return SendMessageW(InnerField(window), message, wParam, lParam);
    case EXM_EDITSTYLE:
      return OnEditStyle(window, wParam, lParam);
    case EXM_CUETEXT:
      return OnCueText(state, wParam, lParam);
    case WM_COMMAND:
      return OnCommand(state, wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColor(state, wParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      HWND field = InnerField(window);
      if (field != nullptr) {
        ShowWindow(field, SW_SHOW);
        SetFocus(field);
      }
      return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_PAINT:
      Paint(state);
      return 0;
    case WM_SETFOCUS:
      // The keyboard goes to the field inside.
      if (InnerField(window) != nullptr) SetFocus(InnerField(window));
      return 0;
    case WM_GETOBJECT:
      return AnswerControlObject(window, wParam, lParam, DescribeEdit);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK EditExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<EditState>(window, message, wParam, lParam, RecordMadeAt::Create,
                                     MakeEditState, HandleMessage);
}

}  // namespace shadowpane
