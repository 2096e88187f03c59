#include "ui/toolkit/win32/MessageBoxWindow.h"

#include <new>

#include "ui/toolkit/ButtonLogic.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/TextWrap.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/NestedModalLoop.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/PopupFrame.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

struct MessageBoxState {
  HWND window = nullptr;
  int dpi = kDesignDpi;  // its owner's (the system's without one)
  int result = 0;  // 0 until answered
  GdiObject<HFONT> font;
  int textHeight = 0;
  int buttons = 0;
  int icon = 0;
  int modal = 0;
  MessageBoxParams params;  // the box's own copy, default captions filled in
};

void Place(HWND window, const MessageBoxState& box, Size size) {
  HWND owner = GetParent(window);
  Rect ownerRect;
  const bool onOwner = box.modal && owner != nullptr;
  if (onOwner) {
    RECT r{};
    GetWindowRect(owner, &r);
    ownerRect = {r.left, r.top, r.right, r.bottom};
  }
  const Point p = PlaceMessageBox(size, onOwner, ownerRect, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The box is laid out in 96-DPI units (size, text height) and placed in
// pixels at its DPI.
void CreateButtons(HWND window, const MessageBoxState& box, Size size) {
  for (const BoxButton& b : MessageBoxButtons(box.buttons, size)) {
    const Point origin = Scale(b.origin, box.dpi);
    HWND button = CreateWindowExW(
        0, kButtonClassName, AsWide(ButtonCaption(box.params, b.id)), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
        origin.x, origin.y, Scale(kBoxButtonWidth, box.dpi), Scale(kBoxButtonHeight, box.dpi), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), ToolkitInstance(), nullptr);
    if (button == nullptr) continue;
    SendMessageW(button, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
    SendMessageW(button, BXM_INSET, kPropertyStore, kDefaultInset);
  }
}

void CreateCheckBox(HWND window, int textHeight, int dpi) {
  const Point p = Scale(CheckBoxPosition(textHeight), dpi);
  HWND check = CreateWindowExW(0, kChoiceClassName, AsWide(kDontShowAgainText), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               p.x, p.y, 0, 0, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMessageBoxCheckId)),
                               ToolkitInstance(), reinterpret_cast<LPVOID>(kSkinChoice));
  if (check != nullptr) SendMessageW(check, CXM_KIND, kPropertyStore, CXK_CHECKBOX);
}

void LayOut(MessageBoxState& box) {
  HWND window = box.window;
  const int limit = ToDesign(ClientSize(window).width, box.dpi) - kTextMargin;
  wchar_t text[kMessageTextMaxChars + 1] = {};
  const int length = GetWindowTextW(window, text, kMessageTextMaxChars + 1);
  MessageTextLayout layout;
  {
    GdiTextMeasurer measurer(window, box.font.get());
    layout = LayoutMessageText(WideView(AsCore(text), static_cast<std::size_t>(length)),
                               limit > 0 ? limit : 0, DesignUnitMeasurer(measurer, box.dpi));
  }
  if (layout.rebuilt) SetWindowTextW(window, AsWide(layout.text.c_str()));
  box.textHeight = layout.height;
  const Size size = MessageBoxSize(layout.width, layout.height, box.buttons);
  const Size pixels = Scale(size, box.dpi);
  ResizeWindow(window, pixels);
  SetRoundedRegion(window, pixels.width, pixels.height);
  Place(window, box, pixels);
  CreateButtons(window, box, size);
  if (HasDontShowAgain(box.buttons)) CreateCheckBox(window, box.textHeight, box.dpi);
  MessageBeep(box.icon == MBX_ICON_ERROR ? MB_ICONHAND : MB_OK);
}

void Answer(MessageBoxState& box, int id) {
  HWND check = GetDlgItem(box.window, kMessageBoxCheckId);
  const int checked = check != nullptr ? static_cast<int>(SendMessageW(check, CXM_CHECKED, 0, 0)) : 0;
  box.result = AnswerForCommand(id, checked);
  SendMessageW(box.window, WM_CLOSE, 0, 0);
}

void DrawMessageText(const MessageBoxState& box, HDC dc, Size size) {
  wchar_t text[kMessageTextMaxChars + 1] = {};
  const int length = GetWindowTextW(box.window, text, kMessageTextMaxChars + 1);
  if (length <= 0) return;
  const Rect r = Scale(MessageTextRect(ToDesign(size, box.dpi), box.textHeight, HasDontShowAgain(box.buttons)), box.dpi);
  HGDIOBJ previousFont = SelectObject(dc, box.font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(kColorText));
  const UINT format = DT_LEFT | DT_TOP | kToolkitTextFlags;
  const WideView view(AsCore(text), static_cast<std::size_t>(length));
  if (ContainsNewline(view)) {
    const std::vector<WideView> lines = SplitLines(view);
    const int lineHeight = lines.empty() ? 0 : Unscale(MeasureOnDc(dc, lines.front()).height, box.dpi);
    for (const PlacedLine& line : PlaceMessageLines(view, ToDesign(r.top, box.dpi), lineHeight)) {
      if (!line.drawn) continue;
      RECT rect{r.left, Scale(line.top, box.dpi), r.right, r.bottom};
      DrawTextW(dc, AsWide(line.text.data()), static_cast<int>(line.text.size()), &rect, format);
    }
  } else {
    RECT rect{r.left, r.top, r.right, r.bottom};
    DrawTextW(dc, text, length, &rect, format);
  }
  SelectObject(dc, previousFont);
}

void DrawMessageBox(const MessageBoxState& box, HDC dc, int width, int height) {
  FillWhite(dc, 0, 0, width, height);
  DrawSkinFrame(dc, kSkinFrame, width, height, box.dpi);
  const Rect body = SkinFrameBody(width, height, box.dpi);
  FillWhite(dc, body.left, body.top, body.right, body.bottom);
  // An icon value outside the five cells shows no icon.
  if (box.icon >= 0 && box.icon < kMessageIconCount) {
    SkinBitmap icons(dc, kSkinMessageIcons, box.dpi, SkinGrid{kMessageIconCount, 1});
    const Rect cell = icons.Cell(box.icon, 0);
    icons.Copy(dc, Scale(kMessageIconX, box.dpi), Scale(kMessageIconY, box.dpi), Width(cell), Height(cell), cell.left,
               cell.top);
  }
  DrawMessageText(box, dc, {width, height});
}

// The creation parameter is the caller's MessageBoxParams (null counts as
// all fields zero); the box keeps its own copy with the default captions.
MessageBoxState* MakeMessageBoxState(HWND window, const CREATESTRUCTW& create) {
  auto* record = new (std::nothrow) MessageBoxState;
  if (record == nullptr) return nullptr;
  record->window = window;
  record->params = CopyParamsWithDefaults(static_cast<const MessageBoxParams*>(create.lpCreateParams));
  record->buttons = record->params.buttons;
  record->icon = record->params.icon;
  record->modal = record->params.modal;
  // The owner's DPI, recorded before the buttons exist: the box is made
  // at (0, 0), perhaps on another monitor, before it is centred on its
  // owner.
  record->dpi = OwnerLayoutDpi(record->modal ? create.hwndParent : nullptr);
  SetLayoutDpi(window, record->dpi);
  record->font.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, record->dpi));
  return record;
}

LRESULT HandleMessage(MessageBoxState& box, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetTextFromCreation(window, lParam);
      LayOut(box);
      return 0;
    case WM_PAINT: {
      OffscreenPaint paint(window);
      if (paint.dc() != nullptr) DrawMessageBox(box, paint.dc(), paint.width(), paint.height());
      return 0;
    }
    case WM_NCHITTEST:
      return CaptionHitTest(window, lParam, wParam);
    case WM_COMMAND: {
      // Enter presses the default button, Escape the one that cancels.
      const int id = DialogKeyCommand(LOWORD(wParam), MessageBoxDefaultButton(box.buttons),
                                      MessageBoxCancelButton(box.buttons));
      if (id >= kMessageBoxOkId && id <= kMessageBoxNoId) Answer(box, id);
      return 0;
    }
    case WM_GETOBJECT:
      return AnswerWindowObject(window, wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      FollowHighContrast(window);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_ACCESSIBLE_DESCRIBE:
      // The owner knows the language of the default texts.
      if (GetParent(window) != nullptr) return SendMessageW(GetParent(window), message, wParam, lParam);
      return 0;
    case WM_CLOSE:
      box.result = ResultOnClose(box.result);
      if (box.modal) EnableWindow(GetParent(window), TRUE);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (box.modal) {
        EnableWindow(GetParent(window), TRUE);
        // Destroyed without WM_CLOSE (its owner went first): closed without
        // a button, so it answers as the system's close does.
        EndModalLoop(window, ResultOnClose(box.result));
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int CreateAndRun(const MessageBoxParams& params, HWND owner, const wchar_t* text) {
  if (text == nullptr) text = L"";
  const int dpi = OwnerLayoutDpi(params.modal ? owner : nullptr);
  const int width = Scale(ProvisionalBoxWidth(lstrlenW(text)), dpi);
  HWND box = CreateWindowExW(0, kMessageBoxClassName, text, WS_POPUP, 0, 0, width,
                             Scale(kProvisionalBoxHeight, dpi), params.modal ? owner : nullptr, nullptr,
                             ToolkitInstance(), const_cast<MessageBoxParams*>(&params));
  if (box == nullptr) return 0;
  UpdateWindow(box);
  ShowWindow(box, SW_SHOW);
  StartKeyboardCues(box);
  // The default button has the focus, so Enter and a screen reader start there.
  HWND defaultButton = GetDlgItem(box, MessageBoxDefaultButton(params.buttons));
  if (defaultButton != nullptr) SetFocus(defaultButton);
  NotifyWinEvent(EVENT_SYSTEM_ALERT, box, OBJID_CLIENT, CHILDID_SELF);
  if (!params.modal) return 1;
  if (owner != nullptr) EnableWindow(owner, FALSE);
  return RunModalLoop(box);
}

}  // namespace

int ShowMessageBox(HWND owner, const wchar_t* text, int buttons, int icon) {
  MessageBoxParams params;
  params.buttons = buttons;
  params.icon = icon;
  params.modal = 1;
  return CreateAndRun(params, owner, text);
}

int ShowMessageBoxEx(const MessageBoxParams* params, HWND owner, const wchar_t* text) {
  if (params == nullptr) return 0;
  if (!params->modal && NormalizedButtonSet(params->buttons) != MBX_BUTTONS_OK) return 0;
  return CreateAndRun(*params, owner, text);
}

LRESULT CALLBACK MessageBoxExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<MessageBoxState>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                           MakeMessageBoxState, HandleMessage);
}

}  // namespace shadowpane
