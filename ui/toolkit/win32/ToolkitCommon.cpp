#include "ui/toolkit/win32/ToolkitCommon.h"

#include "ui/toolkit/win32/ButtonControl.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/ChoiceControl.h"
#include "ui/toolkit/win32/EditControl.h"
#include "ui/toolkit/win32/IconLoading.h"
#include "ui/toolkit/win32/LabelControl.h"
#include "ui/toolkit/win32/MenuControl.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"

namespace shadowpane {
namespace {

HINSTANCE gToolkitInstance = nullptr;

constexpr wchar_t kToolkitFontFace[] = L"Tahoma";

// At the system DPI; a window replaces them at its own (ReplaceClassIcons).
HICON LoadClassIcon(HINSTANCE instance, int iconId, int sizeMetric) {
  return LoadSizedIcon(instance, iconId, SystemMetricForDpi(sizeMetric, SystemDpi()));
}

}  // namespace

int RegisterRecordClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, const wchar_t* cursor,
                        int iconId) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = 0;
  windowClass.lpfnWndProc = proc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = kWindowRecordBytes;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadClassIcon(instance, iconId, SM_CXICON);
  windowClass.hCursor = LoadCursorW(nullptr, cursor);
  windowClass.hbrBackground = nullptr;
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = name;
  windowClass.hIconSm = LoadClassIcon(instance, iconId, SM_CXSMICON);
  if (RegisterClassExW(&windowClass) == 0) {
    DestroyLoadedIcon(windowClass.hIcon);
    DestroyLoadedIcon(windowClass.hIconSm);
    return 0;
  }
  gToolkitInstance = instance;
  return 1;
}

int RegisterToolkitClasses(HINSTANCE instance) {
  struct ClassEntry {
    const wchar_t* name;
    WNDPROC procedure;
    const wchar_t* cursor;
  };
  const ClassEntry classes[] = {
      {kButtonClassName, ButtonExWindowProc, IDC_ARROW},
      {kLabelClassName, LabelExWindowProc, IDC_ARROW},
      {kChoiceClassName, ChoiceExWindowProc, IDC_HAND},
      {kEditClassName, EditExWindowProc, IDC_IBEAM},
      {kMenuClassName, MenuExWindowProc, IDC_ARROW},
  };
  for (const ClassEntry& entry : classes) {
    if (!RegisterRecordClass(instance, entry.name, entry.procedure, entry.cursor)) return 0;
  }
  return 1;
}

int RegisterMessageBoxClass(HINSTANCE instance) {
  return RegisterRecordClass(instance, kMessageBoxClassName, MessageBoxExWindowProc, IDC_ARROW);
}

HINSTANCE ToolkitInstance() {
  return gToolkitInstance != nullptr ? gToolkitInstance : GetModuleHandleW(nullptr);
}

HFONT CreateToolkitFontFor(HWND window, int height, int weight, BYTE quality) {
  return CreateToolkitFont(height, weight, quality, LayoutDpi(window));
}

HFONT CreateToolkitFont(int height, int weight, BYTE quality, int dpi) {
  LOGFONTW font{};
  // A positive height is the cell height: 13 at 96 DPI stays 13 exactly.
  font.lfHeight = Scale(height, dpi);
  font.lfWidth = 0;
  font.lfEscapement = 0;
  font.lfOrientation = 0;
  font.lfWeight = weight;
  font.lfItalic = FALSE;
  font.lfUnderline = FALSE;
  font.lfStrikeOut = FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = quality;
  font.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
  lstrcpynW(font.lfFaceName, kToolkitFontFace, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

void SetWindowRecord(HWND window, void* record) {
  SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(record));
}

void ForgetWindowProperties(HWND window) {
  ForgetKeyboardCues(window);
  ForgetLayoutDpi(window);
}

bool StillHoldsRecord(HWND window, const void* record) {
  return IsWindow(window) && GetWindowRecord<void>(window) == record;
}

Size ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right - client.left, client.bottom - client.top};
}

void ResizeWindow(HWND window, Size size) {
  SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetTextFromCreation(HWND window, LPARAM createStruct) {
  const auto* create = reinterpret_cast<const CREATESTRUCTW*>(createStruct);
  // No text (or a resource id in its place) sets the empty text, so that a
  // control sizing itself to its text still does so.
  const wchar_t* text = L"";
  if (create != nullptr && create->lpszName != nullptr && !IS_INTRESOURCE(create->lpszName)) {
    text = create->lpszName;
  }
  SetWindowTextW(window, text);
}

void RepaintControl(HWND window) { InvalidateRect(window, nullptr, FALSE); }

void RepaintIfAsked(HWND window, WPARAM wParam) {
  if (PropertyRepaints(wParam)) RepaintControl(window);
}

LRESULT HandleIntProperty(HWND window, int& field, WPARAM wParam, LPARAM lParam) {
  const int value = ApplyIntProperty(field, wParam, lParam);
  RepaintIfAsked(window, wParam);
  return value;
}

void SendCommandToParent(HWND control) {
  const LONG_PTR id = GetWindowLongPtrW(control, GWLP_ID);
  SendMessageW(GetParent(control), WM_COMMAND, static_cast<WPARAM>(id & 0xFFFF),
               reinterpret_cast<LPARAM>(control));
}

bool IsCursorOverWindow(HWND window) {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return false;
  return WindowFromPoint(cursor) == window;
}

POINT CursorClientPosition(HWND window) {
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(window, &cursor);
  return cursor;
}

void StartHoverWatch(HWND window) { SetTimer(window, TIMER_HOVER_WATCH, kHoverWatchPeriodMs, nullptr); }

LRESULT CaptionHitTest(HWND window, LPARAM lParam, WPARAM wParam, int dragRows) {
  // Signed 16-bit halves: a monitor left of or above the primary one gives
  // negative screen coordinates.
  POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ScreenToClient(window, &point);
  const LRESULT ordinary = DefWindowProcW(window, WM_NCHITTEST, wParam, lParam);
  if (ordinary == HTCLIENT && point.y < Scale(dragRows, LayoutDpi(window))) return HTCAPTION;
  return ordinary;
}

}  // namespace shadowpane
