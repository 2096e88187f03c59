// A notification area of the test's own: a top-level "Shell_TrayWnd" that
// the program's Shell_NotifyIcon calls reach (they send the tray record to
// the first window of that class with WM_COPYDATA), so a test can read what
// the program asked the shell to show, a balloon's text included, without
// depending on the record's layout.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace shadowpane::e2e {

class FakeTray {
 public:
  // Creates the window, topmost so it is found before the shell's own, on a
  // thread of its own that answers every record at once.
  FakeTray();
  ~FakeTray();
  FakeTray(const FakeTray&) = delete;
  FakeTray& operator=(const FakeTray&) = delete;

  bool ok() const { return window_ != nullptr; }
  // Whether any record received so far holds the text (UTF-16).
  bool Received(const std::wstring& text) const;
  // How many records arrived.
  std::size_t Count() const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run(HANDLE ready);

  mutable std::mutex lock_;
  std::vector<std::string> records_;
  std::thread thread_;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
};

}  // namespace shadowpane::e2e
