#include "ui/toolkit/win32/MenuControl.h"

#include <windowsx.h>

#include <new>

#include "core/win32/TextCast.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/ListPopup.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/PopupFrame.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

struct MenuPopupState {
  HWND window = nullptr;
  GdiObject<HFONT> font;             // ToolkitFont
  GdiObject<HBRUSH> frameBrush;      // (220, 220, 220)
  GdiObject<HBRUSH> highlightBrush;  // (86, 121, 179)
  OwnedMenuChain first;              // the popup's own copy of the items
  int hot = kNoHotItem;
  int dpi = kDesignDpi;  // its owner's
  int hovered = 0;
  // Set once the popup is on its way out, so the focus loss that its own
  // destruction causes does not destroy it a second time.
  int closing = 0;
};

// The chain ShowMenuPopup is handing to a popup being created. The window
// procedure clears it when it takes the chain over, so that ShowMenuPopup
// frees it only when creation failed before the popup ever saw it.
MenuItem* gChainBeingHandedOver = nullptr;

// The creation parameter is the chain ShowMenuPopup hands over; the record
// owns it from here, and frees it at once when the record cannot be made.
MenuPopupState* MakeMenuPopupState(HWND window, const CREATESTRUCTW& create) {
  OwnedMenuChain first(static_cast<MenuItem*>(create.lpCreateParams));
  if (first != nullptr && first.get() == gChainBeingHandedOver) gChainBeingHandedOver = nullptr;
  auto* state = new (std::nothrow) MenuPopupState;
  if (state == nullptr) return nullptr;
  state->window = window;
  state->first = std::move(first);
  // The owner's DPI: the list is laid out in 96-DPI units and drawn scaled.
  state->dpi = OwnerLayoutDpi(GetWindow(window, GW_OWNER));
  SetLayoutDpi(window, state->dpi);
  state->font.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, state->dpi));
  state->frameBrush.Reset(CreateSolidBrush(ShownLineColor(kColorFrame)));
  state->highlightBrush.Reset(CreateSolidBrush(ShownFillColor(kColorHighlight)));
  return state;
}

void CloseSelf(MenuPopupState& state) {
  if (state.closing) return;
  state.closing = 1;
  DestroyWindow(state.window);
}

LRESULT OnCreate(MenuPopupState& state, LPARAM createStruct) {
  SetTextFromCreation(state.window, createStruct);
  RECT bounds{};
  GetWindowRect(state.window, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = Scale(PopupHeight(state.first.get()), state.dpi);
  ResizeWindow(state.window, {width, height});
  SetCutCornerRegion(state.window, width, height);
  return 0;
}

LRESULT OnMouseMove(MenuPopupState& state, LPARAM lParam) {
  if (!state.hovered && IsCursorOverWindow(state.window)) {
    state.hovered = 1;
    RepaintControl(state.window);
    StartHoverWatch(state.window);
  }
  const int hot = PopupHitTest(state.first.get(), ToDesign(GET_Y_LPARAM(lParam), state.dpi));
  if (hot != state.hot) {
    state.hot = hot;
    RepaintControl(state.window);
  }
  return 1;
}

void OnHoverWatch(MenuPopupState& state) {
  if (IsCursorOverWindow(state.window)) return;
  state.hovered = 0;
  RepaintControl(state.window);
  KillTimer(state.window, TIMER_HOVER_WATCH);
  state.hot = kNoHotItem;
  RepaintControl(state.window);
}

void OnClick(MenuPopupState& state) {
  const MenuItem* item =
      state.hot == kNoHotItem ? nullptr : FindMenuItemByIndex(state.first.get(), state.hot);
  if (item == nullptr) return;  // margins, labels, separators: stay open
  HWND window = state.window;
  const WPARAM command = PopupCommandWParam(item->index, item->commandValue);
  // The owner's handler may move the focus and so close the popup (freeing
  // the record) before the call returns: only the handle is used after it.
  SendMessageW(GetParent(window), WM_COMMAND, command, 0);
  MenuPopupState* still = IsWindow(window) ? GetWindowRecord<MenuPopupState>(window) : nullptr;
  if (still != nullptr) CloseSelf(*still);
}

// The item's top row in the popup, or -1 when there is none at that index.
int ItemTop(const MenuItem* first, int index) {
  int y = kPopupMargin;
  for (const MenuItem* item = first; item != nullptr; item = item->next) {
    if (item->index == index) return y;
    y += MenuItemHeight(item->type);
  }
  return -1;
}

void DescribePopup(HWND window, AccessibleDescription& d) {
  MenuPopupState* state = GetWindowRecord<MenuPopupState>(window);
  if (state == nullptr) return;
  const MenuItem* first = state->first.get();
  if (d.child == kAccessibleSelf) {
    d.role = AccessibleRole::MenuPopup;
    d.states = WindowStates(window) & ~kAccFocusable;
    int count = 0;
    for (const MenuItem* item = first; item != nullptr; item = item->next) ++count;
    d.elements = count;
    return;
  }
  const MenuItem* item = FindMenuItemByIndex(first, d.child - 1);
  if (item == nullptr) return;
  d.name = item->text;
  const int top = ItemTop(first, item->index);
  // Laid out in 96-DPI units; the reader is told where it is drawn.
  d.location = {0, Scale(top, state->dpi), ClientSize(window).width,
                Scale(top + MenuItemHeight(item->type), state->dpi)};
  if (item->type == MIT_SEPARATOR) {
    d.role = AccessibleRole::Separator;
    return;
  }
  d.role = item->type == MIT_ITEM ? AccessibleRole::MenuItem : AccessibleRole::StaticText;
  if (item->type != MIT_ITEM) {
    d.states = kAccReadOnly;
    return;
  }
  d.states = kAccFocusable | kAccSelectable;
  if (item->mark) d.states |= kAccChecked;
  if (item->index == state->hot) d.states |= kAccFocused | kAccSelected;
}

void OnKey(MenuPopupState& state, WPARAM key) {
  const PopupKey decided = DecidePopupKey(state.first.get(), state.hot, static_cast<std::uint32_t>(key));
  switch (decided.action) {
    case PopupKeyAction::Move:
      state.hot = decided.hot;
      RepaintControl(state.window);
      NotifyAccessible(EVENT_OBJECT_FOCUS, state.window, state.hot + 1);
      break;
    case PopupKeyAction::Pick:
      OnClick(state);
      break;
    case PopupKeyAction::Close:
      CloseSelf(state);
      break;
    case PopupKeyAction::None:
      break;
  }
}

// r in 96-DPI units, filled scaled.
void FillBrush(HDC dc, const Rect& r, const GdiObject<HBRUSH>& brush, int dpi) {
  const RECT rect = ToWinRect(Scale(r, dpi));
  if (brush) FillRect(dc, &rect, brush.get());
}

void DrawItemText(HDC dc, const WideChar* text, const Rect& r, int dpi) {
  if (text[0] == 0) return;
  RECT rect = ToWinRect(Scale(r, dpi));
  DrawTextW(dc, AsWide(text), -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void PaintSelectable(MenuPopupState& state, HDC dc, const MenuItem* item, int y, int w) {
  if (item->mark) {
    for (int part = 0; part < kPopupMarkParts; ++part)
      FillBrush(dc, PopupMarkPart(part, y), state.highlightBrush, state.dpi);
  }
  const bool hot = item->index == state.hot;
  if (hot) {
    const Rect band = PopupHighlightRect(y, w);
    FillBrush(dc, band, state.highlightBrush, state.dpi);
    for (const Rect& corner : {Rect{band.left, band.top, band.left + 1, band.top + 1},
                               Rect{band.right - 1, band.top, band.right, band.top + 1},
                               Rect{band.left, band.bottom - 1, band.left + 1, band.bottom},
                               Rect{band.right - 1, band.bottom - 1, band.right, band.bottom}}) {
      const Rect r = Scale(corner, state.dpi);
      FillColor(dc, r.left, r.top, r.right, r.bottom, kColorHighlightCorner);
    }
    SetTextColor(dc, ShownTextColor(kColorHighlightText));
  }
  DrawItemText(dc, item->text, PopupItemTextRect(y, w), state.dpi);
  if (hot) SetTextColor(dc, ShownTextColor(kColorText));
}

void Paint(MenuPopupState& state) {
  OffscreenPaint paint(state.window);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  const int w = ToDesign(paint.width(), state.dpi);
  const int h = ToDesign(paint.height(), state.dpi);
  FillWhite(dc, 0, 0, paint.width(), paint.height());
  if (state.frameBrush) {
    RECT ring{0, 0, paint.width(), paint.height()};
    for (int i = 0; i < Scale(kPopupBorder, state.dpi); ++i) {
      FrameRect(dc, &ring, state.frameBrush.get());
      InflateRect(&ring, -1, -1);
    }
  }
  HGDIOBJ previousFont = SelectObject(dc, state.font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(kColorText));
  int y = kPopupMargin;
  for (const MenuItem* item = state.first.get(); item != nullptr && y < h; item = item->next) {
    if (item->type == MIT_ITEM) {
      PaintSelectable(state, dc, item, y, w);
    } else if (item->type == MIT_LABEL) {
      SetTextColor(dc, ShownTextColor(kColorListLabel));
      DrawItemText(dc, item->text, PopupLabelTextRect(y, w), state.dpi);
      SetTextColor(dc, ShownTextColor(kColorText));
    } else {
      FillBrush(dc, PopupSeparatorRect(y, w), state.frameBrush, state.dpi);
    }
    y += MenuItemHeight(item->type);
  }
  SelectObject(dc, previousFont);
}

LRESULT HandleMessage(MenuPopupState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(state, lParam);
    case WM_MOUSEMOVE:
      return OnMouseMove(state, lParam);
    case WM_TIMER:
      if (wParam == TIMER_HOVER_WATCH) OnHoverWatch(state);
      return 0;
    case WM_LBUTTONDOWN:
      OnClick(state);
      return 0;
    case WM_KILLFOCUS:
    case WM_CLOSE:
      CloseSelf(state);
      return 0;
    case WM_DESTROY:
      state.closing = 1;
      NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, window, OBJID_CLIENT, CHILDID_SELF);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      OnKey(state, wParam);
      return 0;
    case WM_GETOBJECT:
      return AnswerGetObject(window, wParam, lParam, AccessibleShape::Control, DescribePopup);
    case WM_ACCESSIBLE_DEFAULT_ACTION:
      if (FindMenuItemByIndex(state.first.get(), static_cast<int>(wParam) - 1) != nullptr) {
        state.hot = static_cast<int>(wParam) - 1;
        OnClick(state);
      }
      return 0;
    case WM_PAINT:
      Paint(state);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK MenuExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<MenuPopupState>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                          MakeMenuPopupState, HandleMessage);
}

int ShowMenuPopup(const MenuItemList* list, HWND owner) {
  if (list == nullptr || list->count <= 0 || list->first == nullptr) return 0;
  // Without an owner window a choice could not be reported.
  if (owner == nullptr || !IsWindow(owner)) return 0;
  MenuItem* copy = CopyMenuItemChain(list->first);
  if (copy == nullptr) return 0;
  const int dpi = LayoutDpi(owner);
  POINT origin{Scale(kPopupOwnerX, dpi), Scale(kPopupOwnerY, dpi)};
  ClientToScreen(owner, &origin);
  gChainBeingHandedOver = copy;
  HWND popup = CreateWindowExW(0, kMenuClassName, L"", WS_POPUP, origin.x, origin.y, Scale(kPopupWidth, dpi),
                               Scale(kPopupCreateHeight, dpi), owner, nullptr, ToolkitInstance(), copy);
  if (gChainBeingHandedOver != nullptr) {
    // Creation failed before the popup took the items over.
    FreeMenuItemChain(gChainBeingHandedOver);
    gChainBeingHandedOver = nullptr;
  }
  if (popup == nullptr) return 0;
  UpdateWindow(popup);
  ShowWindow(popup, SW_SHOW);
  NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, popup, OBJID_CLIENT, CHILDID_SELF);
  return 1;
}

}  // namespace shadowpane
