// The shell the secondary windows share, on real windows: the modal loop
// with other windows of the thread and a nested message box, the keys
// dialog handling turns into commands, the caption rows, the painted frame
// and the outline.
#include <gtest/gtest.h>

#include <vector>

#include "app/Languages.h"
#include "app/Settings.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/LanguageChoice.h"
#include "ui/windows/SettingsChoices.h"
#include "ui/windows/WindowShellLayout.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"

namespace shadowpane {
namespace {

using testing::ClickControl;
using testing::FindOpen;
using testing::PixelAt;
using testing::RunScripted;
using testing::SkinPixel;
using testing::TestHost;

HWND Settings() { return FindOpen(kSettingsWindowClassName); }

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = CurrentSettings(); }
  void TearDown() override { StoreSettings(saved_); }

 private:
  SettingsValues saved_;
};

TEST_F(ShellTest, ASettingsWindowClosedUnderAnOpenMessageBoxAnswersOnlyOnceTheBoxHasAnswered) {
  TestHost host(700, 560, 50, 60);
  StoreSettings({LANGUAGE_ENGLISH, 0, 0, 0});
  int boxResult = 0;
  bool boxOpenAfterSettingsClosed = false;
  RunScripted(
      {[&] { boxResult = ShowMessageBox(host.window(), L"Device has been plugged in.", MBX_BUTTONS_YESNO, MBX_ICON_INFO); },
       [&] {
         HWND box = FindOpen(kMessageBoxClassName);
         ASSERT_NE(box, nullptr);
         SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         SendDlgItemMessageW(Settings(), IDC_SETTINGS_STARTUP, CXM_CHECKED, kPropertyStore, 1);
         ClickControl(Settings(), IDC_SETTINGS_OK);
       },
       [&] {
         boxOpenAfterSettingsClosed = Settings() == nullptr && FindOpen(kMessageBoxClassName) != nullptr;
         ClickControl(FindOpen(kMessageBoxClassName), kMessageBoxNoId);
       }},
      [&] {
        const int settingsResult = ShowSettingsWindow(host.window());
        EXPECT_EQ(settingsResult, 1);
      });
  EXPECT_TRUE(boxOpenAfterSettingsClosed);
  EXPECT_EQ(boxResult, MBX_RESULT_NO);
  EXPECT_EQ(Startup, 1);
  EXPECT_TRUE(IsWindowEnabled(host.window()));
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

TEST_F(ShellTest, TheLoopServesTheThreadsOtherWindowsAndIgnoresEnterAndEscape) {
  testing::RegisterWindowsForTests();
  testing::RegisterTestClass(L"ShellTestOther", OtherWindowProc);
  HWND other = testing::CreateTestPopup(L"ShellTestOther", 900, 700, 100, 100);
  ASSERT_NE(other, nullptr);
  TestHost host(700, 560, 50, 60);
  StoreSettings({LANGUAGE_GERMAN, 1, 0, 1});
  otherTicks = 0;
  otherPosts = 0;
  bool stillOpen = false;
  int result = -1;
  RunScripted({[&] {
                 SetTimer(other, 1, 10, nullptr);
                 PostMessageW(other, kPostedToOther, 0, 0);
                 testing::PressEnterAndEscape(Settings());
               },
               [&] {
                 stillOpen = Settings() != nullptr;
                 EXPECT_EQ(LanguageIndex, LANGUAGE_GERMAN);
               },
               [&] { ClickControl(Settings(), IDC_SETTINGS_CANCEL); }},
              [&] { result = ShowSettingsWindow(host.window()); });
  KillTimer(other, 1);
  DestroyWindow(other);
  EXPECT_GT(otherTicks, 0);
  EXPECT_EQ(otherPosts, 1);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(LanguageIndex, LANGUAGE_GERMAN);
  EXPECT_EQ(Startup, 1);
  EXPECT_EQ(BlockPluggedIn, 1);
}

LRESULT HitAt(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
}

// What the frame shows at fixed points of a W x H window painted with a
// frame skin: which skin pixel, or which plain colour.
struct FramePoint {
  int x, y;          // in the window; negative: from the right or bottom edge
  int skinX, skinY;  // the skin pixel expected there, or -1
  COLORREF colour;   // else this colour
};

void ExpectFrame(HWND window, int skinId, Size size) {
  constexpr COLORREF kWhite = RGB(255, 255, 255);
  const COLORREF separator = ToColorRef(kColorSeparator);
  const FramePoint points[] = {
      {2, 10, 2, 10, 0},           // left piece of the top band
      {200, 20, 5, 20, 0},         // the stretched column
      {-60, 30, 260, 30, 0},       // right piece: W - 110 + 50
      {1, 200, 1, 30, 0},          // left edge
      {-2, 200, 1, 30, 0},         // right edge, the same unmirrored piece
      {100, -2, 5, 45, 0},         // bottom edge
      {2, -2, 2, 45, 0},           // bottom-left piece
      {300, 90, -1, -1, kWhite},   // body
      {15, 83, -1, -1, separator},
      {-16, 83, -1, -1, separator},
      {-15, 83, -1, -1, kWhite},   // the line's end is left out
      {14, 83, -1, -1, kWhite},
      {200, -69, -1, -1, separator},
      {200, -70, -1, -1, kWhite},
  };
  for (const FramePoint& p : points) {
    const int x = p.x < 0 ? size.width + p.x : p.x;
    const int y = p.y < 0 ? size.height + p.y : p.y;
    const COLORREF expected = p.skinX >= 0 ? SkinPixel(skinId, p.skinX, p.skinY) : p.colour;
    EXPECT_EQ(PixelAt(window, x, y), expected) << x << "," << y;
  }
  // The title stays inside (19, 51) to (300, 71).
  EXPECT_GT(testing::InkIn(window, {19, 51, 300, 71}), 0);
  EXPECT_EQ(testing::InkIn(window, {300, 44, size.width - 4, 80}), 0);
  EXPECT_EQ(testing::InkIn(window, {4, 72, 300, 80}), 0);
  // The outline clips the four corners.
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window, shape), ERROR);
  const POINT outside[] = {{0, 0}, {size.width - 1, 0}, {0, size.height - 1}, {size.width - 1, size.height - 1}};
  for (const POINT& p : outside) EXPECT_FALSE(PtInRegion(shape, p.x, p.y)) << p.x << "," << p.y;
  EXPECT_TRUE(PtInRegion(shape, size.width / 2, size.height / 2));
  DeleteObject(shape);
  // The top 29 rows drag the window; the close button and row 29 do not.
  EXPECT_EQ(HitAt(window, 200, 0), HTCAPTION);
  EXPECT_EQ(HitAt(window, 200, 28), HTCAPTION);
  EXPECT_EQ(HitAt(window, 200, 29), HTCLIENT);
}

TEST_F(ShellTest, TheFrameBodySeparatorsTitleAndOutlineArePaintedAsTheSkinSays) {
  TestHost host(700, 560, 50, 60);
  StoreSettings({LANGUAGE_SPANISH, 0, 0, 0});
  RunScripted({[] {
                 ExpectFrame(Settings(), kSkinSecondaryFrame, kSettingsWindowSize);
                 ClickControl(Settings(), IDC_SETTINGS_CANCEL);
               }},
              [&] { ShowSettingsWindow(host.window()); });
  RunScripted({[] {
                 HWND language = FindOpen(kLanguageWindowClassName);
                 ExpectFrame(language, 5378, kLanguageWindowSize);
                 ClickControl(language, IDC_LANGUAGE_OK);
               }},
              [] { ShowLanguageWindow(); });
  ChosenLanguage = -1;
}

}  // namespace
}  // namespace shadowpane
