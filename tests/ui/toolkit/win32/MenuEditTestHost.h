// A top-level test window that parents or owns the toolkit controls under
// test and records the WM_COMMAND and WM_NOTIFY messages it receives, plus
// small helpers to pump messages, move the real cursor and read painted
// pixels back from the screen.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace shadowpane::testing {

struct RecordedCommand {
  WPARAM wParam;
  LPARAM lParam;
};

class MenuEditTestHost {
 public:
  // A visible, foreground popup window at (left, top) of the given size; the
  // toolkit's classes are registered on first use.
  MenuEditTestHost(int left = 60, int top = 60, int width = 420, int height = 320);
  ~MenuEditTestHost();
  MenuEditTestHost(const MenuEditTestHost&) = delete;
  MenuEditTestHost& operator=(const MenuEditTestHost&) = delete;

  HWND window() const { return window_; }
  std::vector<RecordedCommand> commands;

  // Creates a toolkit control as a child: WS_CHILD | WS_VISIBLE, the id as
  // menu handle, the creation parameter as given.
  HWND CreateControl(const wchar_t* className, const wchar_t* text, int x, int y, int w, int h,
                     int id, void* param);

 private:
  HWND window_ = nullptr;
};

// Fixture base: one host window for a whole suite, since under Wine without
// a window manager every destroyed top-level window costs a two-second
// wait. Each test starts with the host focused and no recorded commands,
// and ends with the host's child windows destroyed.
class SharedHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  MenuEditTestHost& host = *shared_;

 private:
  static MenuEditTestHost* shared_;
};

// Dispatches every waiting message of the thread, for at least `ms`
// milliseconds (0: once through the queue).
void PumpMessages(int ms = 0);

// Moves the real cursor to a client point of the window.
void MoveCursorTo(HWND window, int x, int y);

// The colour painted at a client point of the window, read from the screen.
COLORREF PixelAt(HWND window, int x, int y);

// Destroys every child window of the window.
void DestroyChildren(HWND window);

// The window's rectangle in its parent's client coordinates (or the screen's
// for a top-level window).
RECT RectInParent(HWND window);

}  // namespace shadowpane::testing
