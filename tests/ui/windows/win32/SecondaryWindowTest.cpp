// The shell the secondary windows share, on real windows: the modal loop
// with other windows of the thread, a nested message box and a foreign
// quit; the caption rows, the painted frame and the outline.
#include <gtest/gtest.h>

#include "settings/Settings.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/toolkit/win32/WindowDpi.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/SettingsWindowLogic.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"

namespace shadowpane {
namespace {

using testing::ClickControl;
using testing::FindOpen;
using testing::RunScripted;

HWND Settings() { return FindOpen(kSettingsWindowClassName); }

TEST(SecondaryWindow, ASettingsWindowClosedUnderAnOpenMessageBoxAnswersOnceTheBoxHasAnswered) {
  testing::TestHost host(700, 560, 50, 60);
  shadowpane::Settings settings{LANGUAGE_ENGLISH, 0, 0, 0};
  int boxResult = 0;
  int settingsResult = 0;
  bool onlyTheBoxLeft = false;
  RunScripted({[&] { boxResult = ShowMessageBox(host.window(), L"Plugged in.", MBX_BUTTONS_YESNO, MBX_ICON_INFO); },
               [&] {
                 HWND box = FindOpen(kMessageBoxClassName);
                 ASSERT_NE(box, nullptr);
                 SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                 ClickControl(Settings(), IDC_SETTINGS_STARTUP);
                 ClickControl(Settings(), IDC_SETTINGS_OK);
               },
               [&] {
                 onlyTheBoxLeft = Settings() == nullptr && FindOpen(kMessageBoxClassName) != nullptr;
                 ClickControl(FindOpen(kMessageBoxClassName), kMessageBoxNoId);
               }},
              [&] { settingsResult = ShowSettingsWindow(host.window(), &settings); });
  const int startup = settings.startup;
  EXPECT_TRUE(onlyTheBoxLeft);
  EXPECT_EQ(boxResult, MBX_RESULT_NO);
  EXPECT_EQ(settingsResult, 1);
  EXPECT_EQ(startup, 1);
  EXPECT_TRUE(IsWindowEnabled(host.window()));
}

// A Settings window opened from an owner at 200 % takes its owner's scale,
// and so does a message box it opens; dragged to a 100 % monitor it takes
// the suggested place at its 96-DPI size, with its controls in proportion.
TEST(SecondaryWindow, SettingsAndItsMessageBoxFollowTheirOwnersScaleAndAMoveToAnother) {
  testing::TestHost host(700, 560, 50, 60);
  SetLayoutDpi(host.window(), 192);
  shadowpane::Settings settings{LANGUAGE_ENGLISH, 0, 0, 0};
  SIZE okAt200{};
  RunScripted({[&] {
                 ASSERT_NE(Settings(), nullptr);
                 EXPECT_EQ(LayoutDpi(Settings()), 192);
                 const SIZE size = testing::WindowSize(Settings());
                 EXPECT_EQ(size.cx, 2 * kSettingsWindowSize.width);
                 EXPECT_EQ(size.cy, 2 * kSettingsWindowSize.height);
                 okAt200 = testing::WindowSize(GetDlgItem(Settings(), IDC_SETTINGS_OK));
                 ShowMessageBox(Settings(), L"Plugged in.", MBX_BUTTONS_OK, MBX_ICON_INFO);
               },
               [&] {
                 HWND box = FindOpen(kMessageBoxClassName);
                 ASSERT_NE(box, nullptr);
                 EXPECT_EQ(LayoutDpi(box), 192);
                 EXPECT_EQ(testing::WindowSize(GetDlgItem(box, kMessageBoxOkId)).cy, 2 * kBoxButtonHeight);
                 ClickControl(box, kMessageBoxOkId);
               },
               [&] {
                 RECT suggested{30, 40, 30 + 600, 40 + 400};
                 SendMessageW(Settings(), kDpiChangedMessage, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
                 RECT r{};
                 GetWindowRect(Settings(), &r);
                 EXPECT_EQ(r.left, 30);
                 EXPECT_EQ(r.top, 40);
                 EXPECT_EQ(r.right - r.left, kSettingsWindowSize.width) << "its own size, not the suggested one";
                 EXPECT_EQ(r.bottom - r.top, kSettingsWindowSize.height);
                 EXPECT_EQ(LayoutDpi(GetDlgItem(Settings(), IDC_SETTINGS_OK)), 96);
                 const SIZE ok = testing::WindowSize(GetDlgItem(Settings(), IDC_SETTINGS_OK));
                 EXPECT_NEAR(ok.cx, okAt200.cx / 2.0, 1);
                 EXPECT_NEAR(ok.cy, okAt200.cy / 2.0, 1);
                 ClickControl(Settings(), IDC_SETTINGS_OK);
               }},
              [&] { ShowSettingsWindow(host.window(), &settings); });
  EXPECT_EQ(Settings(), nullptr);
}

// Another window of the thread, as the main window is while a secondary
// window is open: counts its timer ticks and posted messages.
constexpr UINT kPostedToOther = WM_APP + 5;
int otherTicks = 0;
int otherPosts = 0;
LRESULT CALLBACK OtherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) ++otherTicks;
  if (message == kPostedToOther) ++otherPosts;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(SecondaryWindow, TheLoopServesOtherWindowsPassesKeysAndHandsAForeignQuitOn) {
  testing::RegisterWindowsForTests();
  testing::RegisterTestClass(L"ShellTestOther", OtherWindowProc);
  HWND other = testing::CreateTestPopup(L"ShellTestOther", 900, 700, 100, 100);
  ASSERT_NE(other, nullptr);
  testing::TestHost host(700, 560, 50, 60);
  shadowpane::Settings settings{LANGUAGE_GERMAN, 1, 0, 1};
  bool openAfterKeys = false;
  bool quitReposted = false;
  int result = -1;
  RunScripted({[&] {
                 SetTimer(other, 1, 10, nullptr);
                 PostMessageW(other, kPostedToOther, 0, 0);
                 testing::PressKeys(Settings(), {VK_TAB, VK_TAB});
               },
               [&] {
                 openAfterKeys = Settings() != nullptr;
                 ClickControl(Settings(), IDC_SETTINGS_DEFAULT);
                 PostQuitMessage(7);  // the system's, not the window's
               }},
              [&] {
                result = ShowSettingsWindow(host.window(), &settings);
                MSG msg{};
                quitReposted = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7;
              });
  KillTimer(other, 1);
  DestroyWindow(other);
  const shadowpane::Settings after = settings;
  EXPECT_GT(otherTicks, 0);
  EXPECT_EQ(otherPosts, 1);
  EXPECT_TRUE(openAfterKeys);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(quitReposted);
  EXPECT_EQ(after.language * 100 + after.startup * 10 + after.blockPluggedIn, 111);
  EXPECT_TRUE(IsWindowEnabled(host.window()));
}

LRESULT HitAt(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
}

// Fixed points of a W x H window with a frame skin: the skin pixel expected
// there (skinX >= 0) or a plain colour. Negative places count from the right
// or bottom edge.
void ExpectFrame(HWND window, int skinId, Size size) {
  struct FramePoint {
    int x, y, skinX, skinY;
    COLORREF colour;
  };
  const COLORREF white = RGB(255, 255, 255);
  const COLORREF line = ToColorRef(kColorSeparator);
  const FramePoint points[] = {
      {2, 10, 2, 10, 0},     {200, 20, 5, 20, 0},        {-60, 30, 260, 30, 0},  // top band pieces
      {1, 200, 1, 30, 0},    {-2, 200, 1, 30, 0},        {100, -2, 5, 45, 0},    // edges
      {300, 90, -1, 0, white}, {15, 83, -1, 0, line},    {-16, 83, -1, 0, line},
      {-15, 83, -1, 0, white}, {200, -69, -1, 0, line},  {200, -70, -1, 0, white},
  };
  for (const FramePoint& p : points) {
    const int x = p.x < 0 ? size.width + p.x : p.x;
    const int y = p.y < 0 ? size.height + p.y : p.y;
    const COLORREF expected = p.skinX >= 0 ? testing::SkinPixel(skinId, p.skinX, p.skinY) : p.colour;
    EXPECT_EQ(testing::PixelAt(window, x, y), expected) << x << "," << y;
  }
  // The title stays inside (19, 51) to (300, 71).
  EXPECT_GT(testing::InkIn(window, {19, 51, 300, 71}), 0);
  EXPECT_EQ(testing::InkIn(window, {300, 44, size.width - 4, 80}) + testing::InkIn(window, {4, 72, 300, 80}), 0);
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window, shape), ERROR);
  for (const POINT& p : {POINT{0, 0}, POINT{size.width - 1, 0}, POINT{0, size.height - 1},
                         POINT{size.width - 1, size.height - 1}}) {
    EXPECT_FALSE(PtInRegion(shape, p.x, p.y)) << p.x << "," << p.y;
  }
  EXPECT_TRUE(PtInRegion(shape, size.width / 2, size.height / 2));
  DeleteObject(shape);
  EXPECT_EQ(HitAt(window, 200, 28), HTCAPTION);
  EXPECT_EQ(HitAt(window, 200, 29), HTCLIENT);
}

TEST(SecondaryWindow, FrameBodySeparatorsTitleOutlineAndCaptionRowsOfBothFrames) {
  testing::TestHost host(700, 560, 50, 60);
  RunScripted({[] {
                 ExpectFrame(Settings(), kSkinSecondaryFrame, kSettingsWindowSize);
                 ClickControl(Settings(), IDC_SETTINGS_CANCEL);
               }},
              [&] {
                shadowpane::Settings settings;
                ShowSettingsWindow(host.window(), &settings);
              });
  RunScripted({[] {
                 HWND language = FindOpen(kLanguageWindowClassName);
                 ExpectFrame(language, 5378, kLanguageWindowSize);
                 ClickControl(language, IDC_LANGUAGE_OK);
               }},
              [] { ShowLanguageWindow(); });
  gChosenLanguage = -1;
}

// The dialog manager's keys: Escape is Cancel (nothing stored), Enter is
// OK, after Tab and Space ticked the first option that is not ticked.
TEST(SecondaryWindow, EscapeCancelsAndEnterIsOkAfterSpaceTicksAnOption) {
  testing::TestHost host(700, 560, 50, 60);
  struct Case {
    WPARAM closing;
    int result;
    int blockStart;
  };
  for (const Case& c : {Case{VK_ESCAPE, 0, 0}, Case{VK_RETURN, 1, 1}}) {
    shadowpane::Settings settings{};
    int result = -1;
    HWND focused = nullptr;
    // A key goes to the control with the focus, as the keyboard sends it.
    RunScripted({[] { testing::PressKeys(Settings(), {VK_TAB, VK_TAB, VK_TAB}); },
                 [&] {
                   focused = GetFocus();
                   testing::PressKeys(focused, {VK_SPACE});
                 },
                 [&] { testing::PressKeys(focused, {c.closing}); }},
                [&] { result = ShowSettingsWindow(host.window(), &settings); });
    EXPECT_NE(focused, nullptr);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(settings.blockStart, c.blockStart) << "the third Tab reaches the start option";
  }
}

}  // namespace
}  // namespace shadowpane
