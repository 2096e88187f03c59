#include "ui/windows/win32/SecondaryWindow.h"

#include "ui/toolkit/ButtonLogic.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "settings/Languages.h"
#include "ui/toolkit/AccessibleTexts.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/NestedModalLoop.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/IconLoading.h"
#include "ui/toolkit/win32/PopupFrame.h"

namespace shadowpane {
namespace {

// The picker's arrow stands 10 pixels in from the right and 17 down; its
// text starts at x 10.
constexpr int kPickerArrowX = 10;
constexpr int kPickerArrowY = 17;
constexpr int kPickerTextX = 10;
// A label's creation parameter: the 15-pixel font, normal weight.
constexpr int kLabelFontParameter = kLargeFontHeight;

HWND Owner(HWND window) { return GetWindow(window, GW_OWNER); }

void EnableOwner(HWND window) {
  HWND owner = Owner(window);
  if (owner != nullptr) EnableWindow(owner, TRUE);
}

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return kLabelClassName;
    case ControlKind::CheckBox:
    case ControlKind::Radio:
      return kChoiceClassName;
    case ControlKind::NumberField:
      return kEditClassName;
    default:
      return kButtonClassName;
  }
}

LPVOID CreationParameter(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return reinterpret_cast<LPVOID>(static_cast<INT_PTR>(kLabelFontParameter));
    case ControlKind::CheckBox:
    case ControlKind::Radio:
      return reinterpret_cast<LPVOID>(static_cast<INT_PTR>(kSkinChoice));
    case ControlKind::NumberField:
      return reinterpret_cast<LPVOID>(static_cast<INT_PTR>(ES_NUMBER));  // the inner field's extra style
    default:
      return nullptr;
  }
}

void SetUp(HWND control, ControlKind kind) {
  switch (kind) {
    case ControlKind::CloseButton:
      SendMessageW(control, BXM_FACEBITMAP, kPropertyStore, kSkinCloseSecondary);
      SendMessageW(control, BXM_FACESTYLE, kPropertyStore, BXS_STATE_STRIP);
      break;
    case ControlKind::PushButton:
      SendMessageW(control, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
      SendMessageW(control, BXM_INSET, kPropertyStore, kDefaultInset);
      break;
    case ControlKind::Picker:
      SendMessageW(control, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
      SendMessageW(control, BXM_ICON2, kPropertyStore, kSkinDropArrow);
      SendMessageW(control, BXM_ICON2POS, kPropertyStore, PackPair(kPickerArrowX, kPickerArrowY));
      SendMessageW(control, BXM_INSET, kPropertyStore, kDefaultInset);
      SendMessageW(control, BXM_TEXTX, kPropertyStore, kPickerTextX);
      break;
    case ControlKind::CheckBox:
      SendMessageW(control, CXM_KIND, kPropertyStore, CXK_CHECKBOX);
      break;
    case ControlKind::Label:
    case ControlKind::Radio:
    case ControlKind::NumberField:
      break;
  }
}

// The horizontal lines of a 96-DPI client area, each a one-pixel band
// scaled.
void DrawSeparators(HDC dc, Size designClient, int dpi) {
  for (const SeparatorLine& line : FrameSeparators(designClient)) {
    const Rect band = Scale(Rect{line.from.x, line.from.y, line.to.x, line.from.y + 1}, dpi);
    FillColor(dc, band.left, band.top, band.right, band.bottom, kColorSeparator);
  }
}


LRESULT OnDescribe(const SecondaryWindow& record, HWND control, AccessibleDescription* description) {
  if (description == nullptr) return 0;
  description->language = gDisplayLanguage;
  if (description->child != kAccessibleSelf) return 1;
  if (control == record.window && !record.accessibleName.empty()) description->name = record.accessibleName;
  if (record.closeId != 0 && control == GetDlgItem(record.window, record.closeId)) {
    description->name = AccessibleTextIn(AccessibleText::CloseButton, gDisplayLanguage);
  }
  return 1;
}

// The self-sized controls that end short of their reach end there,
// their height kept; one whose text is wider keeps its own width.
void WidenToReach(const SecondaryWindow& record) {
  for (const SecondaryWindow::Reach& reach : record.reaches) {
    HWND control = GetDlgItem(record.window, reach.id);
    if (control == nullptr) continue;
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, record.window, reinterpret_cast<POINT*>(&r), 2);
    const int right = Scale(reach.right, record.dpi);
    if (right <= r.right) continue;
    ResizeWindow(control, {right - r.left, r.bottom - r.top});
  }
}

}  // namespace

int RegisterSecondaryWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
  return RegisterRecordClass(instance, className, procedure, IDC_ARROW);
}

void CreateSecondaryFonts(SecondaryWindow& record) {
  record.normalFont.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, record.dpi));
  record.boldFont.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold, NONANTIALIASED_QUALITY, record.dpi));
  record.largeFont.Reset(CreateToolkitFont(kLargeFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, record.dpi));
}

Size DesignClientSize(HWND window) { return ToDesign(ClientSize(window), LayoutDpi(window)); }

int OpenSecondaryWindow(const wchar_t* className, HWND owner, Size designSize, const wchar_t* taskbarTitle,
                        HICON taskbarIcon, void* creationData) {
  const Size size = Scale(designSize, OwnerLayoutDpi(owner));
  Point origin;
  if (owner != nullptr) {
    RECT r{};
    GetWindowRect(owner, &r);
    origin = CentreOnOwner({r.left, r.top, r.right, r.bottom}, size);
  } else {
    origin = CentreOnScreen({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, size);
  }
  HWND window = CreateWindowExW(0, className, taskbarTitle, WS_POPUP, origin.x, origin.y, size.width, size.height,
                                owner, nullptr, ToolkitInstance(), creationData);
  if (window == nullptr) {
    DestroyLoadedIcon(taskbarIcon);
    return 0;
  }
  SecondaryWindow* record = GetWindowRecord<SecondaryWindow>(window);
  if (taskbarIcon != nullptr && record != nullptr) {
    record->taskbarIcon = taskbarIcon;
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(taskbarIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(taskbarIcon));
  } else {
    DestroyLoadedIcon(taskbarIcon);
  }
  SetRoundedRegion(window, size.width, size.height);
  StartKeyboardCues(window);
  UpdateWindow(window);
  ShowWindow(window, SW_SHOW);
  if (owner != nullptr) EnableWindow(owner, FALSE);
  return RunModalLoop(window);
}

namespace {

// Dragged onto a monitor of another scale: fonts anew, every control moved
// and sized in proportion (text-sized ones size themselves again with
// their new fonts), the window to the suggested place at its scaled size.
void OnDpiChanged(SecondaryWindow& record, WPARAM wParam, LPARAM lParam) {
  const DpiChange change = ReadDpiChange(wParam, lParam);
  HWND window = record.window;
  const int old = record.dpi;
  if (change.dpi == old) return;
  const Size design = DesignClientSize(window);
  record.dpi = change.dpi;
  SetLayoutDpi(window, record.dpi);
  CreateSecondaryFonts(record);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, MulDiv(r.left, record.dpi, old), MulDiv(r.top, record.dpi, old),
                 MulDiv(r.right - r.left, record.dpi, old), MulDiv(r.bottom - r.top, record.dpi, old),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, kDpiChangedAfterParent, 0, 0);
  }
  WidenToReach(record);
  const Size size = Scale(design, record.dpi);
  RECT place{};
  GetWindowRect(window, &place);
  if (change.hasRect) place = change.suggested;
  SetWindowPos(window, nullptr, place.left, place.top, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetRoundedRegion(window, size.width, size.height);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The system never destroys a WM_SETICON icon: taken back, then destroyed.
void DropTaskbarIcon(SecondaryWindow& record) {
  if (record.taskbarIcon == nullptr) return;
  SendMessageW(record.window, WM_SETICON, ICON_BIG, 0);
  SendMessageW(record.window, WM_SETICON, ICON_SMALL, 0);
  DestroyLoadedIcon(record.taskbarIcon);
  record.taskbarIcon = nullptr;
}

}  // namespace

LRESULT HandleShellMessage(SecondaryWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return CaptionHitTest(window, lParam, wParam);
    case kDpiChangedMessage:
      OnDpiChanged(record, wParam, lParam);
      return 0;
    case WM_CLOSE:
      // Enabled before the window goes, so that the owner is activated again.
      EnableOwner(window);
      DestroyWindow(window);
      return 0;
    case kDpiScaledSizeMessage:
      return AnswerDpiScaledSize(wParam, lParam, DesignClientSize(window));
    case WM_DESTROY:
      EnableOwner(window);
      EndModalLoop(window, record.result);
      DropTaskbarIcon(record);
      return 0;
    case WM_GETOBJECT:
      return AnswerWindowObject(window, wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      FollowHighContrast(window);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_ACTIVATE:
      if (KeepFocusAcrossActivation(window, wParam, record.lastFocus)) return 0;
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_ACCESSIBLE_DESCRIBE:
      return OnDescribe(record, reinterpret_cast<HWND>(wParam), reinterpret_cast<AccessibleDescription*>(lParam));
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void CreateWindowControls(HWND window, LPARAM createStruct, const std::vector<ControlPlacement>& controls) {
  SetTextFromCreation(window, createStruct);
  SecondaryWindow* record = GetWindowRecord<SecondaryWindow>(window);
  const ControlPlacement* previous = nullptr;
  const int dpi = LayoutDpi(window);
  for (const ControlPlacement& c : controls) {
    const DWORD style = WS_CHILD | WS_VISIBLE | (IsTabStop(c, previous) ? WS_TABSTOP : 0);
    previous = &c;
    const Rect r = Scale(c.rect, dpi);
    HWND control = CreateWindowExW(0, ClassOf(c.kind), AsWide(c.text), style, r.left,
                                   r.top, Width(r), Height(r), window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), ToolkitInstance(),
                                   CreationParameter(c.kind));
    if (control != nullptr) SetUp(control, c.kind);
    if (record == nullptr) continue;
    if (c.kind == ControlKind::CloseButton) record->closeId = c.id;
    if (c.trailing) record->trailingIds.push_back(c.id);
    if (c.reachRight != 0) record->reaches.push_back({c.id, c.reachRight});
  }
  if (record != nullptr) WidenToReach(*record);
  OrderTabStops(window);
}

void NameSecondaryWindow(HWND window, const WideChar* title) {
  SecondaryWindow* record = GetWindowRecord<SecondaryWindow>(window);
  if (record != nullptr) record->accessibleName = title;
}

void OrderTabStops(HWND window) {
  const SecondaryWindow* record = GetWindowRecord<SecondaryWindow>(window);
  if (record == nullptr) return;
  for (int id : record->trailingIds) {
    HWND control = GetDlgItem(window, id);
    if (control != nullptr) {
      SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
  }
}

void CloseSecondaryWindow(HWND window) { SendMessageW(window, WM_CLOSE, 0, 0); }

DrawnText TitleText(const SecondaryWindow& record, const WideChar* title) {
  return {record.boldFont.get(), ToWinRect(Scale(kTitleRect, record.dpi)),
          DT_SINGLELINE | DT_LEFT | DT_TOP | kToolkitTextFlags, AsWide(title)};
}

void PaintWindowFrame(const SecondaryWindow& record, int skinId, const WideChar* title, WindowContent content) {
  OffscreenPaint paint(record.window);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  const Size client{paint.width(), paint.height()};
  const Size design = ToDesign(client, record.dpi);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(kColorText));
  DrawSkinFrame(dc, skinId, client.width, client.height, record.dpi);
  const Rect body = SkinFrameBody(client.width, client.height, record.dpi);
  FillWhite(dc, body.left, body.top, body.right, body.bottom);
  DrawSeparators(dc, design, record.dpi);
  DrawTexts(dc, {TitleText(record, title)});
  if (content != nullptr) content(record, dc, design);
}

}  // namespace shadowpane
