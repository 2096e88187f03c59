#include "tests/ui/toolkit/win32/ToolkitTestHost.h"

#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/toolkit/win32/WindowDpi.h"

namespace shadowpane::testing {
namespace {

constexpr wchar_t kHostClass[] = L"ToolkitTestHost";
std::vector<Notice> recordedNotices;
std::function<void(const Notice&)> noticeReaction;

void Record(const Notice& notice) {
  recordedNotices.push_back(notice);
  if (noticeReaction) noticeReaction(notice);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      Record({message, wParam, lParam, 0});
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      Record({message, wParam, reinterpret_cast<LPARAM>(header->hwndFrom), header->code});
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

void RegisterForTests() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterToolkitClasses(instance);
  RegisterMessageBoxClass(instance);
  RegisterTestClass(kHostClass, HostProc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

void RegisterTestClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return;
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

HWND CreateTestPopup(const wchar_t* className, int x, int y, int w, int h) {
  return CreateWindowExW(0, className, L"", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// One host window for the whole run, moved and emptied between tests:
// Wine waits for the X server at every destruction of an activated
// top-level window, which would cost seconds per test.
HWND sharedHost = nullptr;

BOOL CALLBACK DestroyChild(HWND child, LPARAM host) {
  if (GetParent(child) == reinterpret_cast<HWND>(host)) DestroyWindow(child);
  return TRUE;
}

TestHost::TestHost(int width, int height, int x, int y) {
  RegisterForTests();
  recordedNotices.clear();
  if (sharedHost == nullptr || !IsWindow(sharedHost)) {
    sharedHost =
        CreateWindowExW(0, kHostClass, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                        width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  } else {
    EnableWindow(sharedHost, TRUE);
    SetWindowPos(sharedHost, HWND_TOP, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  window_ = sharedHost;
  // Every test starts at the prefix's scale, whatever one before set.
  ForgetLayoutDpi(sharedHost);
  Pump(20);
}

TestHost::~TestHost() {
  noticeReaction = nullptr;
  EnumChildWindows(window_, DestroyChild, reinterpret_cast<LPARAM>(window_));
  EnableWindow(window_, TRUE);
  Pump(10);
}

HWND TestHost::AddControl(const wchar_t* className, const wchar_t* text, int x, int y, int w, int h,
                          int id, LPVOID param) const {
  HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE, x, y, w, h, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), param);
  return control;
}

std::vector<Notice>& TestHost::notices() { return recordedNotices; }

std::vector<Notice> TestHost::Commands() const {
  std::vector<Notice> commands;
  for (const Notice& notice : recordedNotices) {
    if (notice.message == WM_COMMAND) commands.push_back(notice);
  }
  return commands;
}

void TestHost::ClearNotices() { recordedNotices.clear(); }

void TestHost::OnNotice(std::function<void(const Notice&)> reaction) {
  noticeReaction = std::move(reaction);
}

int TestHost::CountOf(UINT message, UINT code) const {
  int n = 0;
  for (const Notice& notice : recordedNotices) {
    if (notice.message == message && (code == 0xFFFFFFFF || notice.code == code)) ++n;
  }
  return n;
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(1);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

void MoveCursorTo(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  SetCursorPos(p.x, p.y);
}

LRESULT SendMouse(HWND window, UINT message, int x, int y) {
  MoveCursorTo(window, x, y);
  const WPARAM keys = message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
  return SendMessageW(window, message, keys, MAKELPARAM(x, y));
}

COLORREF PixelAt(HWND window, int x, int y) {
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return color;
}

COLORREF SkinPixel(int bitmapId, int x, int y) {
  HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId));
  if (bitmap == nullptr) return CLR_INVALID;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  const COLORREF color = GetPixel(dc, x, y);
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return color;
}

SIZE MeasureText(const wchar_t* text, int fontHeight) {
  HFONT font = CreateToolkitFont(fontHeight);
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return {r.right, r.bottom};
}

SIZE WindowSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  HWND parent = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
  if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

POINT PositionInParent(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  POINT p{r.left, r.top};
  ScreenToClient(GetParent(window), &p);
  return p;
}

}  // namespace shadowpane::testing
