#include "ui/toolkit/win32/ButtonControl.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::Notice;
using testing::Pump;
using testing::SendMouse;
using testing::TestHost;

constexpr int kId = 1040;

HWND MakePushButton(const TestHost& host, int x = 20, int y = 20) {
  HWND b = host.AddControl(kButtonClassName, L"OK", x, y, 91, 37, kId);
  SendMessageW(b, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
  SendMessageW(b, BXM_INSET, kPropertyStore, 2);
  return b;
}

TEST(ButtonControl, ClickSendsLeaveThenCommandToTheParent) {
  TestHost host;
  HWND b = MakePushButton(host);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(SendMouse(b, WM_MOUSEMOVE, 40, 18), 1);
  EXPECT_EQ(SendMouse(b, WM_LBUTTONDOWN, 40, 18), 0);
  EXPECT_EQ(GetCapture(), b);
  EXPECT_EQ(GetFocus(), b);
  SendMouse(b, WM_LBUTTONUP, 40, 18);
  EXPECT_EQ(GetCapture(), nullptr);
  const std::vector<Notice>& n = host.notices();
  ASSERT_GE(n.size(), 2u);
  const Notice& leave = n[n.size() - 2];
  EXPECT_EQ(leave.message, static_cast<UINT>(WM_NOTIFY));
  EXPECT_EQ(leave.code, BXN_LEAVE);
  EXPECT_EQ(leave.lParam, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(n.back().message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(n.back().wParam, static_cast<WPARAM>(kId));
  EXPECT_EQ(n.back().lParam, reinterpret_cast<LPARAM>(b));
}

TEST(ButtonControl, PressOnTheBorderOutsideTheInsetDoesNothing) {
  TestHost host;
  HWND b = MakePushButton(host);
  SetFocus(host.window());
  SendMouse(b, WM_LBUTTONDOWN, 1, 1);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_NE(GetFocus(), b);
  SendMouse(b, WM_LBUTTONUP, 1, 1);
  EXPECT_EQ(host.CountOf(WM_COMMAND), 0);
}

TEST(ButtonControl, DragOffAndReleaseSendsNoCommandAndTheFaceFollowsTheCursor) {
  TestHost host;
  HWND b = MakePushButton(host);
  const COLORREF pressedCentre = testing::SkinPixel(kSkinPushButton, 18, 74 + 18);
  const COLORREF normalCentre = testing::SkinPixel(kSkinPushButton, 18, 18);
  ASSERT_NE(pressedCentre, normalCentre) << "skin faces must differ for this test";
  SendMouse(b, WM_LBUTTONDOWN, 30, 18);
  Pump(30);
  EXPECT_EQ(testing::PixelAt(b, 20, 18), pressedCentre);
  testing::MoveCursorTo(b, 200, 200);
  Pump(40);
  EXPECT_EQ(testing::PixelAt(b, 20, 18), normalCentre);
  testing::MoveCursorTo(b, 30, 18);
  Pump(40);
  EXPECT_EQ(testing::PixelAt(b, 20, 18), pressedCentre);
  SendMouse(b, WM_LBUTTONUP, 200, 200);
  EXPECT_EQ(host.CountOf(WM_COMMAND), 0);
}

TEST(ButtonControl, FacesPerStateAndFramedCorners) {
  TestHost host;
  HWND b = MakePushButton(host);
  testing::MoveCursorTo(host.window(), 300, 250);
  Pump(20);
  // Corner pixels come from the corner tiles of the face row.
  EXPECT_EQ(testing::PixelAt(b, 0, 0), testing::SkinPixel(kSkinPushButton, 0, 0));
  EXPECT_EQ(testing::PixelAt(b, 90, 36), testing::SkinPixel(kSkinPushButton, 36, 36));
  EXPECT_EQ(testing::PixelAt(b, 45, 0), testing::SkinPixel(kSkinPushButton, 18, 0));
  SendMouse(b, WM_MOUSEMOVE, 40, 18);
  Pump(20);
  EXPECT_EQ(testing::PixelAt(b, 20, 18), testing::SkinPixel(kSkinPushButton, 18, 37 + 18));
  EnableWindow(b, FALSE);
  Pump(20);
  EXPECT_EQ(testing::PixelAt(b, 20, 18), testing::SkinPixel(kSkinPushButton, 18, 111 + 18));
  EXPECT_EQ(testing::PixelAt(b, 0, 36), testing::SkinPixel(kSkinPushButton, 0, 111 + 36));
}

TEST(ButtonControl, StateStripFacesAndIcons) {
  TestHost host;
  HWND b = host.AddControl(kButtonClassName, L"", 20, 20, 41, 17, kId);
  SendMessageW(b, BXM_FACEBITMAP, kPropertyStore, kSkinCloseSecondary);
  SendMessageW(b, BXM_FACESTYLE, kPropertyStoreRepaint, BXS_STATE_STRIP);
  testing::MoveCursorTo(host.window(), 300, 250);
  Pump(20);
  EXPECT_EQ(testing::PixelAt(b, 3, 3), testing::SkinPixel(kSkinCloseSecondary, 3, 3));
  SendMouse(b, WM_MOUSEMOVE, 5, 5);
  Pump(20);
  EXPECT_EQ(testing::PixelAt(b, 3, 3), testing::SkinPixel(kSkinCloseSecondary, 3, 17 + 3));

  // Icon 2 measured from the right edge on a push button: 184 wide, x 10.
  HWND picker = host.AddControl(kButtonClassName, L"English", 20, 60, 184, 37, kId + 1);
  SendMessageW(picker, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
  SendMessageW(picker, BXM_ICON2, kPropertyStore, kSkinDropArrow);
  SendMessageW(picker, BXM_ICON2POS, kPropertyStore, MAKELPARAM(10, 17));
  SendMessageW(picker, BXM_TEXTX, kPropertyStoreRepaint, 10);
  Pump(20);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 9; ++x) {
      ASSERT_EQ(testing::PixelAt(picker, 184 - 10 - 9 + x, 17 + y), testing::SkinPixel(kSkinDropArrow, x, y))
          << x << "," << y;
    }
  }
}

TEST(ButtonControl, PropertiesFollowTheConvention) {
  TestHost host;
  HWND b = host.AddControl(kButtonClassName, L"", 0, 0, 91, 37, kId);
  EXPECT_EQ(SendMessageW(b, BXM_INSET, 0, 7), 2);  // read only
  EXPECT_EQ(SendMessageW(b, BXM_RANGE, 0, 0x00640000), 0);
  EXPECT_EQ(SendMessageW(b, BXM_RANGE, 1, 0x00640000), 0x00640000);
  EXPECT_EQ(SendMessageW(b, BXM_RANGE, 0, 0), 0x00640000);
  EXPECT_EQ(SendMessageW(b, BXM_ICON1POS, 1, MAKELPARAM(3, 65535)), MAKELPARAM(3, 65535));
  EXPECT_EQ(SendMessageW(b, BXM_TEXTX, 0, 0), -1);
  EXPECT_EQ(SendMessageW(b, BXM_TOGGLABLE, 0, 0), 1);
  EXPECT_EQ(SendMessageW(b, BXM_VALUE, 0x10001, -5), -5);
  EXPECT_EQ(SendMessageW(b, BXM_INSET, 1, 2), 2);
  // After BXM_INSET 2 the two-pixel border no longer counts.
  SendMouse(b, WM_LBUTTONDOWN, 1, 18);
  EXPECT_EQ(GetCapture(), nullptr);
  SendMouse(b, WM_LBUTTONDOWN, 2, 18);
  EXPECT_EQ(GetCapture(), b);
  ReleaseCapture();
}

TEST(ButtonControl, CycleButtonCountsAroundItsRange) {
  TestHost host;
  HWND b = host.AddControl(kButtonClassName, L"", 0, 0, 91, 37, kId);
  SendMessageW(b, BXM_KIND, 1, BXK_CYCLE);
  SendMessageW(b, BXM_RANGE, 1, MAKELPARAM(0, 3));
  int seen[5];
  for (int& v : seen) {
    SendMouse(b, WM_LBUTTONDOWN, 40, 18);
    SendMouse(b, WM_LBUTTONUP, 40, 18);
    v = static_cast<int>(SendMessageW(b, BXM_VALUE, 0, 0));
  }
  EXPECT_EQ(seen[0], 1);
  EXPECT_EQ(seen[3], 0);
  EXPECT_EQ(seen[4], 1);
  EXPECT_EQ(host.CountOf(WM_COMMAND), 5);
}

TEST(ButtonControl, HeldSpinRepeatsAndTheReleaseAddsNoStep) {
  TestHost host;
  HWND b = host.AddControl(kButtonClassName, L"", 50, 50, 40, 37, kId);
  SendMessageW(b, BXM_KIND, 1, BXK_SPIN);
  SendMessageW(b, BXM_RANGE, 1, MAKELPARAM(0, 100));
  SendMessageW(b, BXM_INSET, 1, 2);
  SendMessageW(b, BXM_VALUE, 1, 50);
  SendMouse(b, WM_LBUTTONDOWN, 20, 5);
  // Dragged 20 pixels above: every repeat adds 5.
  testing::MoveCursorTo(b, 20, -20);
  Pump(399 + 77 * 2 + 40);
  const int repeats = host.CountOf(WM_COMMAND);
  ASSERT_GE(repeats, 2);
  const int value = static_cast<int>(SendMessageW(b, BXM_VALUE, 0, 0));
  EXPECT_EQ(value, std::min(100, 50 + 5 * repeats));
  SendMouse(b, WM_LBUTTONUP, 20, -20);
  EXPECT_EQ(host.CountOf(WM_COMMAND), repeats + 1);
  EXPECT_EQ(SendMessageW(b, BXM_VALUE, 0, 0), value);
  // A quick click in the lower half goes down by one.
  SendMouse(b, WM_LBUTTONDOWN, 20, 30);
  SendMouse(b, WM_LBUTTONUP, 20, 30);
  EXPECT_EQ(SendMessageW(b, BXM_VALUE, 0, 0), value - 1);
}

TEST(ButtonControl, HoverReportsDwellAndEndsUnderAnOverlappingWindow) {
  TestHost host;
  HWND b = MakePushButton(host);
  SendMouse(b, WM_MOUSEMOVE, 40, 18);
  Pump(260);
  EXPECT_EQ(host.CountOf(WM_NOTIFY, BXN_HOVER), 1);
  EXPECT_EQ(host.CountOf(WM_NOTIFY, BXN_LEAVE), 0);
  // A window on top of the button takes the cursor though it stays inside
  // the button's rectangle.
  RECT r{};
  GetWindowRect(b, &r);
  HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"ToolkitTestHost", L"", WS_POPUP | WS_VISIBLE, r.left, r.top,
                               91, 37, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  Pump(40);
  EXPECT_EQ(host.CountOf(WM_NOTIFY, BXN_LEAVE), 1);
  DestroyWindow(cover);
}

TEST(ButtonControl, ToggleAndLatchKinds) {
  TestHost host;
  HWND toggle = host.AddControl(kButtonClassName, L"", 0, 0, 91, 37, kId);
  SendMessageW(toggle, BXM_KIND, 1, BXK_TOGGLE);
  SendMouse(toggle, WM_LBUTTONDOWN, 40, 18);
  SendMouse(toggle, WM_LBUTTONUP, 40, 18);
  EXPECT_EQ(SendMessageW(toggle, BXM_CHECKED, 0, 0), 1);

  HWND latch = host.AddControl(kButtonClassName, L"", 100, 0, 91, 37, kId + 1);
  SendMessageW(latch, BXM_KIND, 1, BXK_LATCH);
  SendMouse(latch, WM_LBUTTONDOWN, 40, 18);
  EXPECT_EQ(GetCapture(), latch);
  EXPECT_EQ(host.CountOf(WM_COMMAND), 2);
  SendMouse(latch, WM_LBUTTONUP, 40, 18);
  EXPECT_EQ(GetCapture(), latch);  // latched until the next press
  SendMouse(latch, WM_LBUTTONDOWN, 40, 18);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(host.CountOf(WM_COMMAND), 2);
}

TEST(ButtonControl, DisablingAHeldButtonReleasesIt) {
  TestHost host;
  HWND b = MakePushButton(host);
  SendMouse(b, WM_LBUTTONDOWN, 40, 18);
  ASSERT_EQ(GetCapture(), b);
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetCapture(), nullptr);
  SendMouse(b, WM_LBUTTONUP, 40, 18);
  EXPECT_EQ(host.CountOf(WM_COMMAND), 0);
}

}  // namespace
}  // namespace shadowpane
