// The language window and the About window on real windows, driven with the
// mouse from inside their loops.
#include <gtest/gtest.h>

#include <array>

#include "settings/Settings.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/windows/AboutWindowLogic.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"

namespace shadowpane {
namespace {

using testing::ClickControl;
using testing::FindOpen;
using testing::RunScripted;

HWND Languages() { return FindOpen(kLanguageWindowClassName); }

TEST(LanguageWindow, OkRecordsTheChoiceClickedLastAndAnyOtherCloseRecordsNothing) {
  struct Case {
    const char* name;
    std::vector<int> clicks;  // choice ids, in order
    bool ok;                  // closed with OK, else by a WM_CLOSE from outside
    int result;
    int chosen;
  };
  const Case cases[] = {
      {"OK at once", {}, true, 1, 0},
      {"Italiano, OK", {1031}, true, 1, 3},
      {"Deutsche, Espanol twice, Escape, OK", {1029, 1030, 1030, 0}, true, 1, 2},
      {"Italiano, closed from outside", {1031}, false, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gChosenLanguage = -1;
    int result = -1;
    std::array<int, 4> checks{};
    std::vector<std::function<void()>> steps;
    for (int id : c.clicks) {
      // 0 stands for Escape, which changes nothing: a language must be chosen.
      steps.push_back([id] { id != 0 ? ClickControl(Languages(), id) : testing::PressKeys(Languages(), {VK_ESCAPE}); });
    }
    steps.push_back([&] {
      for (int n = 0; n < 4; ++n) {
        checks[n] = static_cast<int>(SendDlgItemMessageW(Languages(), 1028 + n, CXM_CHECKED, kPropertyRead, 0));
      }
      EXPECT_EQ(gChosenLanguage, -1);
      if (c.ok) {
        ClickControl(Languages(), IDC_LANGUAGE_OK);
      } else {
        PostMessageW(Languages(), WM_CLOSE, 0, 0);
      }
    });
    RunScripted(steps, [&] { result = ShowLanguageWindow(); });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(gChosenLanguage, c.chosen);
    // Exactly one choice is checked: the last one clicked, else English.
    int checkedId = 1028;
    for (int id : c.clicks) checkedId = id != 0 ? id : checkedId;
    for (int n = 0; n < 4; ++n) EXPECT_EQ(checks[n], 1028 + n == checkedId ? 1 : 0) << n;
  }
  gChosenLanguage = -1;
}

// Alone on the taskbar at the first start, the window's button shows the
// program's title and icon that start-up hands in, not a blank.
TEST(LanguageWindow, ItsTaskbarButtonShowsTheProgramsTitleAndIcon) {
  testing::RegisterWindowsForTests();
  // The window takes the icon and destroys it: a copy of its own.
  HICON icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  std::wstring title;
  LRESULT big = 0, small = 0;
  RunScripted({[&] {
                 HWND languages = Languages();
                 ASSERT_NE(languages, nullptr);
                 wchar_t text[64] = {};
                 GetWindowTextW(languages, text, 64);
                 title = text;
                 big = SendMessageW(languages, WM_GETICON, ICON_BIG, 0);
                 small = SendMessageW(languages, WM_GETICON, ICON_SMALL, 0);
                 PostMessageW(languages, WM_CLOSE, 0, 0);
               }},
              [&] { ShowLanguageWindow(L"Shadowpane", icon); });
  EXPECT_EQ(title, L"Shadowpane");
  EXPECT_EQ(big, reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(small, reinterpret_cast<LRESULT>(icon));
  ICONINFO info{};
  EXPECT_FALSE(GetIconInfo(icon, &info)) << "destroyed with the window";
  gChosenLanguage = -1;
}

TEST(AboutWindow, EitherButtonEndsItAndTheOwnerIsEnabledAgain) {
  testing::TestHost host(700, 560, 50, 60);
  for (int id : {IDC_ABOUT_OK, IDC_ABOUT_CLOSE}) {
    SCOPED_TRACE(id);
    bool ownerDisabled = false;
    COLORREF logo = CLR_INVALID;
    int versionInk = 0;
    int result = -1;
    RunScripted({[&] {
                   HWND about = FindOpen(kAboutWindowClassName);
                   ASSERT_NE(about, nullptr);
                   ownerDisabled = !IsWindowEnabled(host.window());
                   logo = testing::PixelAt(about, kLogoOrigin.x + 54, kLogoOrigin.y + 45);
                   const Rect r = VersionLineRect(kAboutWindowSize);
                   versionInk = testing::InkIn(about, {r.left, r.top, r.right, r.bottom});
                   ClickControl(about, id);
                 }},
                [&] { result = ShowAboutWindow(host.window()); });
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(FindOpen(kAboutWindowClassName), nullptr);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsWindowEnabled(host.window()));
    EXPECT_EQ(logo, testing::SkinPixel(kSkinLogo, 54, 45));
    EXPECT_GT(versionInk, 0);
  }
}

TEST(AboutWindow, AWindowThatCannotBeCreatedAnswersZeroAndLeavesTheOwnerEnabled) {
  testing::RegisterWindowsForTests();
  testing::TestHost host;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  ASSERT_TRUE(UnregisterClassW(kAboutWindowClassName, instance));
  ASSERT_TRUE(UnregisterClassW(kLanguageWindowClassName, instance));
  const int ownerLess = ShowLanguageWindow();
  const int owned = ShowAboutWindow(host.window());
  const bool ownerEnabled = IsWindowEnabled(host.window()) != FALSE;
  RegisterAboutWindowClass(instance);
  RegisterLanguageWindowClass(instance);
  EXPECT_EQ(ownerLess, 0);
  EXPECT_EQ(owned, 0);
  EXPECT_TRUE(ownerEnabled);
}

}  // namespace
}  // namespace shadowpane
