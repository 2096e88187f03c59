// The one plain window of the start-up bench's yardsticks: a popup of the
// main window's size that ends the program when closed.
#pragma once

#include <windows.h>

namespace shadowpane::bench {

inline LRESULT CALLBACK YardstickWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Registers the class and creates the window, hidden; null on failure.
inline HWND CreateYardstickWindow(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = YardstickWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.lpszClassName = className;
  if (RegisterClassW(&windowClass) == 0) return nullptr;
  // A popup of the main window's size, as Shadowpane's own main window is.
  return CreateWindowExW(0, className, L"Yardstick", WS_POPUP, 100, 100, 496, 651, nullptr, nullptr, instance,
                         nullptr);
}

// Shows the window and runs the message loop until it is closed.
inline int ShowAndRun(HWND window) {
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace shadowpane::bench
