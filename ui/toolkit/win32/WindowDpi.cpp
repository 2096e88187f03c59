#include "ui/toolkit/win32/WindowDpi.h"

#include "ui/toolkit/DpiScaling.h"

namespace shadowpane {
namespace {

// The property that holds a top-level window's layout DPI.
constexpr wchar_t kLayoutDpiProperty[] = L"ShadowpaneLayoutDpi";

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// Windows 10 1607 and later; null before.
template <class Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return kDesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return SaneDpi(dpi);
}

}  // namespace

int SystemDpi() {
  static const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (getDpiForSystem != nullptr) return SaneDpi(static_cast<int>(getDpiForSystem()));
  return ScreenDpi();
}

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (window != nullptr && getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0) return SaneDpi(static_cast<int>(dpi));
  }
  return SystemDpi();
}

int LayoutDpi(HWND window) {
  if (window == nullptr) return SystemDpi();
  HWND root = GetAncestor(window, GA_ROOT);
  if (root == nullptr) root = window;
  const auto recorded = reinterpret_cast<INT_PTR>(GetPropW(root, kLayoutDpiProperty));
  return recorded != 0 ? SaneDpi(static_cast<int>(recorded)) : WindowDpi(root);
}

void SetLayoutDpi(HWND topLevel, int dpi) {
  SetPropW(topLevel, kLayoutDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(SaneDpi(dpi))));
}

void ForgetLayoutDpi(HWND topLevel) { RemovePropW(topLevel, kLayoutDpiProperty); }

int OwnerLayoutDpi(HWND owner) { return owner != nullptr ? LayoutDpi(owner) : SystemDpi(); }

int SystemMetricForDpi(int index, int dpi) {
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi != nullptr) return forDpi(index, static_cast<UINT>(dpi));
  // Before 1607 the metrics follow the system DPI only.
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

DpiChange ReadDpiChange(WPARAM wParam, LPARAM lParam) {
  DpiChange change;
  change.dpi = SaneDpi(static_cast<int>(LOWORD(wParam)));
  const auto* rect = reinterpret_cast<const RECT*>(lParam);
  if (rect != nullptr && rect->right > rect->left && rect->bottom > rect->top) {
    change.suggested = *rect;
    change.hasRect = true;
  }
  return change;
}

LRESULT AnswerDpiScaledSize(WPARAM wParam, LPARAM lParam, Size designSize) {
  auto* size = reinterpret_cast<SIZE*>(lParam);
  if (size == nullptr) return FALSE;
  const Size scaled = Scale(designSize, SaneDpi(static_cast<int>(LOWORD(wParam))));
  size->cx = scaled.width;
  size->cy = scaled.height;
  return TRUE;
}

}  // namespace shadowpane
