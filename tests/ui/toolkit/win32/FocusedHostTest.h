// Fixture of the Wine tests that depend on the keyboard focus (the edit
// control's cue, the list popup's closing on focus loss): each test starts
// with the suite-wide host window in the foreground, focused, and without
// recorded notices.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"

namespace shadowpane::testing {

class FocusedHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetForegroundWindow(host.window());
    SetFocus(host.window());
    host.ClearNotices();
  }

  // Creates a child control of the host and lets it paint.
  HWND CreateControl(const wchar_t* className, const wchar_t* text, int x, int y, int w, int h,
                     int id, void* param) {
    HWND control = host.AddControl(className, text, x, y, w, h, id, param);
    UpdateWindow(control);
    Pump();
    return control;
  }

  TestHost host{420, 320, 60, 60};
};

}  // namespace shadowpane::testing
