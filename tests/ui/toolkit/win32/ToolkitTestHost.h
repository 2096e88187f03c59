// A parent window for the toolkit's Wine tests: records the WM_COMMAND and
// WM_NOTIFY messages its controls send, and helpers that move the real
// cursor, send mouse messages, run the message loop for a while and read
// painted pixels back.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace shadowpane::testing {

struct Notice {
  UINT message = 0;   // WM_COMMAND or WM_NOTIFY (or a forwarded mouse message)
  WPARAM wParam = 0;
  LPARAM lParam = 0;  // for WM_NOTIFY: the sender
  UINT code = 0;      // for WM_NOTIFY: the notification code
};

// Registers the toolkit's classes (once per process) and the host class.
void RegisterForTests();
// Registers a window class of a test (a second call for the same name does
// nothing): arrow cursor, the given background brush or none.
void RegisterTestClass(const wchar_t* name, WNDPROC procedure, HBRUSH background = nullptr);
// Creates a visible top-level popup window of a test class.
HWND CreateTestPopup(const wchar_t* className, int x, int y, int w, int h);

class TestHost {
 public:
  TestHost(int width = 400, int height = 300, int x = 100, int y = 100);
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  HWND window() const { return window_; }
  HWND AddControl(const wchar_t* className, const wchar_t* text, int x, int y, int w, int h, int id,
                  LPVOID param = nullptr) const;

  std::vector<Notice>& notices();
  int CountOf(UINT message, UINT code = 0xFFFFFFFF) const;
  // The WM_COMMAND notices only, in the order they came.
  std::vector<Notice> Commands() const;
  void ClearNotices();
  // Runs after each notice is recorded, inside the control's call (a
  // parent that reacts, for instance by destroying the control). Cleared
  // with the host.
  void OnNotice(std::function<void(const Notice&)> reaction);

 private:
  HWND window_ = nullptr;
};

// Runs the thread's message loop for ms milliseconds (0: once through the
// queue).
void Pump(int ms = 0);
// Moves the real cursor to a client point of the window.
void MoveCursorTo(HWND window, int x, int y);
// Moves the cursor there and sends the window the mouse message with that
// client position, as the system would.
LRESULT SendMouse(HWND window, UINT message, int x, int y);
// The colour painted at a client point of the window (after painting).
COLORREF PixelAt(HWND window, int x, int y);
// The colour of a pixel of a skin bitmap resource.
COLORREF SkinPixel(int bitmapId, int x, int y);
SIZE WindowSize(HWND window);
// A text's size as the controls measure it: DrawTextW with DT_CALCRECT in
// the toolkit font of the given height.
SIZE MeasureText(const wchar_t* text, int fontHeight = 13);
// A window's position in its parent's client coordinates.
POINT PositionInParent(HWND window);
// The window's rectangle in its parent's client coordinates (or the
// screen's for a top-level window).
RECT RectInParent(HWND window);

}  // namespace shadowpane::testing
