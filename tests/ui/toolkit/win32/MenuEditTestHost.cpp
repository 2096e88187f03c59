#include "tests/ui/toolkit/win32/MenuEditTestHost.h"

#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane::testing {
namespace {

constexpr wchar_t kHostClass[] = L"ShadowpaneControlsTestHost";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = reinterpret_cast<MenuEditTestHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_COMMAND && host != nullptr) {
    host->commands.push_back({wParam, lParam});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterOnce() {
  static bool registered = false;
  if (registered) return;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterToolkitClasses(instance);
  WNDCLASSEXW host{};
  host.cbSize = sizeof(host);
  host.lpfnWndProc = HostProc;
  host.hInstance = instance;
  host.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  host.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  host.lpszClassName = kHostClass;
  RegisterClassExW(&host);
  registered = true;
}

}  // namespace

MenuEditTestHost::MenuEditTestHost(int left, int top, int width, int height) {
  RegisterOnce();
  window_ = CreateWindowExW(0, kHostClass, L"host", WS_POPUP | WS_VISIBLE, left, top, width, height,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetForegroundWindow(window_);
  SetFocus(window_);
  UpdateWindow(window_);
  PumpMessages(20);
}

MenuEditTestHost::~MenuEditTestHost() {
  if (IsWindow(window_)) DestroyWindow(window_);
  PumpMessages();
}

HWND MenuEditTestHost::CreateControl(const wchar_t* className, const wchar_t* text, int x, int y,
                                     int w, int h, int id, void* param) {
  HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE, x, y, w, h, window_,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 GetModuleHandleW(nullptr), param);
  UpdateWindow(control);
  PumpMessages();
  return control;
}

MenuEditTestHost* SharedHostTest::shared_ = nullptr;

void SharedHostTest::SetUpTestSuite() { shared_ = new MenuEditTestHost; }

void SharedHostTest::TearDownTestSuite() {
  delete shared_;
  shared_ = nullptr;
}

void SharedHostTest::SetUp() {
  SetForegroundWindow(host.window());
  SetFocus(host.window());
  host.commands.clear();
}

void SharedHostTest::TearDown() { DestroyChildren(host.window()); }

void PumpMessages(int ms) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (ms > 0) Sleep(2);
  } while (static_cast<int>(GetTickCount() - start) < ms);
}

void MoveCursorTo(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
}

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return color;
}

void DestroyChildren(HWND window) {
  while (HWND child = GetWindow(window, GW_CHILD)) DestroyWindow(child);
  PumpMessages();
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  HWND parent = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
  if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace shadowpane::testing
