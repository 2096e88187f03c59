#include "ui/main/win32/IndicatorWindow.h"

#include <shellapi.h>

#include <new>

#include "settings/Settings.h"
#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/PopupFrame.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/toolkit/win32/WindowDpi.h"

namespace shadowpane {
namespace {

// Never activated, never hit by the mouse (layered and transparent: a click
// goes to the window below), always on top, out of the taskbar and Alt+Tab.
constexpr DWORD kIndicatorExStyle =
    WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_TOOLWINDOW;

// The pictures on a disc, at 96 DPI from the disc's top-left corner
// (kIndicatorMarkSize wide): a camera body with its lens, a microphone's
// head, stem and foot, and the stroke of a held device, drawn over a
// wider one in the disc's colour so it stands apart from the picture.
constexpr Rect kCameraBody{5, 8, 13, 15};
constexpr POINT kCameraLens[] = {{13, 11}, {18, 7}, {18, 16}};
constexpr Rect kMicrophoneHead{8, 3, 14, 13};
constexpr int kMicrophoneHeadRound = 6;
constexpr Rect kMicrophoneStem{10, 13, 12, 17};
constexpr Rect kMicrophoneFoot{7, 17, 15, 19};
constexpr Point kStrokeFrom{6, 6};
constexpr Point kStrokeTo{16, 16};
constexpr int kStrokeWidth = 2;
constexpr int kStrokeGapWidth = 5;
// The disc's outline in high contrast.
constexpr int kHighContrastOutline = 2;

// SPI_SETWORKAREA, the setting-change code of a work area that moved.
constexpr WPARAM kWorkAreaChanged = 0x002F;
// GetDpiForMonitor's MDT_EFFECTIVE_DPI.
constexpr int kEffectiveDpi = 0;

NotificationStateQuery gNotificationStateQuery = nullptr;

struct IndicatorRecord {
  HWND window = nullptr;
  IndicatorMarks marks;
  int language = -1;
  int corner = -1;  // none yet: the first ShowIndicator places it
  int dpi = kDesignDpi;
  bool placing = false;
};

IndicatorRecord* RecordOf(HWND window) { return GetWindowRecord<IndicatorRecord>(window); }

// The effective DPI of a monitor (Windows 8.1 and later, looked up at run
// time); the system DPI before.
int MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const GetDpiForMonitorFn getDpiForMonitor = []() -> GetDpiForMonitorFn {
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (shcore == nullptr) return nullptr;
    return reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
  }();
  UINT x = 0, y = 0;
  if (getDpiForMonitor != nullptr && monitor != nullptr && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y))) {
    return SaneDpi(static_cast<int>(y));
  }
  return SystemDpi();
}

// The work area of the monitor that holds the taskbar (the shell's answer),
// else the primary monitor's; and that monitor's DPI.
Rect TaskbarWorkArea(int& dpi) {
  HMONITOR monitor = nullptr;
  APPBARDATA bar{};
  bar.cbSize = sizeof(bar);
  if (SHAppBarMessage(ABM_GETTASKBARPOS, &bar) != 0) monitor = MonitorFromRect(&bar.rc, MONITOR_DEFAULTTOPRIMARY);
  // The primary monitor is the one with the origin.
  if (monitor == nullptr) monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  dpi = MonitorDpi(monitor);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  RECT work{};
  if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) {
    work = info.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  }
  return {work.left, work.top, work.right, work.bottom};
}

void Place(IndicatorRecord& record) {
  if (record.placing) return;  // moving to another monitor's DPI comes back here
  record.placing = true;
  int dpi = kDesignDpi;
  const Rect work = TaskbarWorkArea(dpi);
  const Rect place = IndicatorPlace(work, record.corner, dpi);
  const bool rescaled = dpi != record.dpi;
  record.dpi = dpi;
  SetLayoutDpi(record.window, dpi);
  RECT now{};
  GetWindowRect(record.window, &now);
  const bool resized = now.right - now.left != Width(place) || now.bottom - now.top != Height(place);
  SetWindowPos(record.window, HWND_TOPMOST, place.left, place.top, Width(place), Height(place), SWP_NOACTIVATE);
  if (resized || rescaled) {
    SetRoundedRegion(record.window, Width(place), Height(place));
    InvalidateRect(record.window, nullptr, FALSE);
  }
  record.placing = false;
}

RECT Offset(const Rect& r, const Rect& disc, int dpi) {
  const Rect s = Scale(r, dpi);
  return {disc.left + s.left, disc.top + s.top, disc.left + s.right, disc.top + s.bottom};
}

void Line(HDC dc, const Rect& disc, int dpi, int width, COLORREF color) {
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, Scale(width, dpi), color));
  HGDIOBJ old = SelectObject(dc, pen.get());
  const Point from = Scale(kStrokeFrom, dpi);
  const Point to = Scale(kStrokeTo, dpi);
  MoveToEx(dc, disc.left + from.x, disc.top + from.y, nullptr);
  LineTo(dc, disc.left + to.x, disc.top + to.y);
  SelectObject(dc, old);
}

void DrawMark(HDC dc, bool camera, IndicatorMark mark, int dpi, bool highContrast) {
  const IndicatorMarkLook look = MarkLook(mark);
  const Rect disc = IndicatorMarkRect(camera, dpi);
  const COLORREF ink = highContrast ? GetSysColor(look.highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT)
                                    : static_cast<COLORREF>(kIndicatorPictureColor);
  const COLORREF fill = highContrast ? GetSysColor(COLOR_WINDOW) : static_cast<COLORREF>(look.disc);
  if (look.ringed) {
    // A larger disc in the ring's colour first; the mark's disc covers all
    // but its edge.
    const COLORREF ringColor =
        highContrast ? GetSysColor(COLOR_HIGHLIGHT) : static_cast<COLORREF>(kIndicatorRingColor);
    const Rect ring = IndicatorRingRect(camera, dpi);
    GdiObject<HBRUSH> brush(CreateSolidBrush(ringColor));
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ringColor));
    HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    Ellipse(dc, ring.left, ring.top, ring.right, ring.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }
  {
    GdiObject<HBRUSH> brush(CreateSolidBrush(fill));
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, highContrast ? Scale(kHighContrastOutline, dpi) : 1,
                                  highContrast ? ink : fill));
    HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    Ellipse(dc, disc.left, disc.top, disc.right, disc.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }
  GdiObject<HBRUSH> inkBrush(CreateSolidBrush(ink));
  GdiObject<HPEN> inkPen(CreatePen(PS_SOLID, 1, ink));
  HGDIOBJ oldBrush = SelectObject(dc, inkBrush.get());
  HGDIOBJ oldPen = SelectObject(dc, inkPen.get());
  if (camera) {
    const RECT body = Offset(kCameraBody, disc, dpi);
    FillRect(dc, &body, inkBrush.get());
    POINT lens[3];
    for (int i = 0; i < 3; ++i) {
      const Point p = Scale(Point{kCameraLens[i].x, kCameraLens[i].y}, dpi);
      lens[i] = {disc.left + p.x, disc.top + p.y};
    }
    Polygon(dc, lens, 3);
  } else {
    const RECT head = Offset(kMicrophoneHead, disc, dpi);
    const int round = Scale(kMicrophoneHeadRound, dpi);
    RoundRect(dc, head.left, head.top, head.right, head.bottom, round, round);
    const RECT stem = Offset(kMicrophoneStem, disc, dpi);
    const RECT foot = Offset(kMicrophoneFoot, disc, dpi);
    FillRect(dc, &stem, inkBrush.get());
    FillRect(dc, &foot, inkBrush.get());
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  if (look.struck) {
    Line(dc, disc, dpi, kStrokeGapWidth, fill);
    Line(dc, disc, dpi, kStrokeWidth, ink);
  }
}

void Paint(const IndicatorRecord& record) {
  OffscreenPaint paint(record.window);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  const bool highContrast = HighContrastOn();
  RECT client{0, 0, paint.width(), paint.height()};
  GdiObject<HBRUSH> plate(CreateSolidBrush(highContrast ? GetSysColor(COLOR_WINDOW)
                                                        : static_cast<COLORREF>(kIndicatorPlateColor)));
  FillRect(dc, &client, plate.get());
  if (highContrast) FrameFlat(dc, client);
  DrawMark(dc, true, record.marks.camera, record.dpi, highContrast);
  DrawMark(dc, false, record.marks.microphone, record.dpi, highContrast);
}

// A reader finds the window's marks as one static text, never focusable.
void DescribeIndicator(HWND window, AccessibleDescription& description) {
  const IndicatorRecord* record = RecordOf(window);
  description.role = AccessibleRole::StaticText;
  description.states = kAccReadOnly | (IsWindowVisible(window) ? 0u : kAccInvisible);
  if (record == nullptr) return;
  description.language = record->language < 0 ? 0 : record->language;
  description.name = IndicatorSpokenText(record->marks, description.language);
}

LRESULT HandleMessage(IndicatorRecord& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(record);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_GETOBJECT:
      return AnswerGetObject(window, wParam, lParam, AccessibleShape::Window, DescribeIndicator);
    case kDpiChangedMessage:
    case WM_DISPLAYCHANGE:
      if (record.corner >= 0) Place(record);
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == kWorkAreaChanged && record.corner >= 0) Place(record);
      FollowHighContrast(window);
      return 0;
    case WM_SYSCOLORCHANGE:
      FollowHighContrast(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

IndicatorRecord* MakeIndicatorRecord(HWND window, const CREATESTRUCTW&) {
  auto* record = new (std::nothrow) IndicatorRecord;
  if (record != nullptr) record->window = window;
  return record;
}

LRESULT CALLBACK IndicatorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<IndicatorRecord>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                           MakeIndicatorRecord, HandleMessage);
}

}  // namespace

HWND CreateIndicatorWindow() {
  static const bool registered =
      RegisterRecordClass(ToolkitInstance(), kIndicatorClassName, IndicatorWindowProc, IDC_ARROW) == 1;
  if (!registered) return nullptr;
  const Size size = Scale(Size{kIndicatorWidth, kIndicatorHeight}, SystemDpi());
  HWND window = CreateWindowExW(kIndicatorExStyle, kIndicatorClassName, L"", WS_POPUP, 0, 0, size.width,
                                size.height, nullptr, nullptr, ToolkitInstance(), nullptr);
  if (window == nullptr) return nullptr;
  // A layered window shows nothing until its attributes are set.
  if (!SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(kIndicatorAlpha), LWA_ALPHA)) {
    DestroyWindow(window);
    return nullptr;
  }
  return window;
}

void ShowIndicator(HWND indicator, const IndicatorMarks& marks, int language, int corner) {
  IndicatorRecord* record = indicator != nullptr ? RecordOf(indicator) : nullptr;
  if (record == nullptr) return;
  const bool visible = IsWindowVisible(indicator) != FALSE;
  // Placed again whenever it comes back: the taskbar may have moved.
  if (corner != record->corner || !visible) {
    record->corner = corner;
    Place(*record);
  }
  if (!(marks == record->marks) || language != record->language) {
    record->marks = marks;
    record->language = language;
    InvalidateRect(indicator, nullptr, FALSE);
    NotifyAccessible(EVENT_OBJECT_NAMECHANGE, indicator, kAccessibleSelf);
  }
  if (!visible) ShowWindow(indicator, SW_SHOWNOACTIVATE);
}

void HideIndicator(HWND indicator) {
  if (indicator != nullptr && IsWindowVisible(indicator)) ShowWindow(indicator, SW_HIDE);
}

int QueryNotificationState() {
  if (gNotificationStateQuery != nullptr) return gNotificationStateQuery();
  // Windows Vista and later; shell32 is loaded for the tray icon.
  using QueryFn = HRESULT(WINAPI*)(int*);
  static const QueryFn query = []() -> QueryFn {
    HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    if (shell32 == nullptr) return nullptr;
    return reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(shell32, "SHQueryUserNotificationState")));
  }();
  int state = 0;
  if (query == nullptr || FAILED(query(&state))) return 0;
  return state;
}

void SetNotificationStateQueryForTests(NotificationStateQuery query) { gNotificationStateQuery = query; }

}  // namespace shadowpane
