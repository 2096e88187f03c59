#include "devices/win32/WindowPoster.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

TEST(WindowPoster, DeviceStateChangeArrivesAsPostedMessage) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  WindowPoster poster;
  testing::TestInitRecord record(u"Cam", u"p", reinterpret_cast<NotifyWindow>(window));
  testing::TestDevice device(poster);
  device.Init(&record);

  ASSERT_EQ(device.Block(), 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, window, WM_DEVICE_NOTIFY, WM_DEVICE_NOTIFY, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0x10000u);
  EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(&device));

  device.PostNotify(DEVICE_PLUGGED_IN);
  ASSERT_TRUE(PeekMessageW(&msg, window, WM_DEVICE_NOTIFY, WM_DEVICE_NOTIFY, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0x20000u);
  EXPECT_FALSE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
  device.Unblock();
  DestroyWindow(window);
}

}  // namespace
}  // namespace shadowpane
