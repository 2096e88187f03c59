// The language window and the About window on real windows, driven with the
// mouse from inside their loops.
#include <gtest/gtest.h>

#include <array>

#include "app/Languages.h"
#include "app/Settings.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/windows/AboutText.h"
#include "ui/windows/LanguageChoice.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"

namespace shadowpane {
namespace {

using testing::ClickControl;
using testing::FindOpen;
using testing::RunScripted;
using testing::TestHost;

HWND LanguageWindow() { return FindOpen(kLanguageWindowClassName); }

std::array<int, 4> Checks() {
  std::array<int, 4> checked{};
  for (int n = 0; n < 4; ++n) {
    checked[n] = static_cast<int>(
        SendDlgItemMessageW(LanguageWindow(), IDC_LANGUAGE_FIRST_CHOICE + n, CXM_CHECKED, 0, 0));
  }
  return checked;
}

class LanguageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ChosenLanguage = -1; }
  void TearDown() override { ChosenLanguage = -1; }
};

TEST_F(LanguageWindowTest, OkRecordsTheChoiceClickedLastAndAnyOtherCloseRecordsNothing) {
  struct Case {
    const char* name;
    std::vector<int> clicks;  // choice ids clicked, in order
    bool ok;                  // closed with OK, else with a WM_CLOSE from outside
    int result;
    int chosen;
  };
  const Case cases[] = {
      {"OK at once", {}, true, 1, LANGUAGE_ENGLISH},
      {"Italiano, OK", {1031}, true, 1, LANGUAGE_ITALIAN},
      {"Deutsche, Espanol, OK", {1029, 1030}, true, 1, LANGUAGE_SPANISH},
      {"Italiano, closed from outside", {1031}, false, 0, -1},
      {"closed from outside", {}, false, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChosenLanguage = -1;
    int result = -1;
    std::array<int, 4> checksBeforeClosing{};
    std::vector<std::function<void()>> steps;
    for (int id : c.clicks) steps.push_back([id] { ClickControl(LanguageWindow(), id); });
    steps.push_back([&] {
      checksBeforeClosing = Checks();
      if (c.ok) {
        ClickControl(LanguageWindow(), IDC_LANGUAGE_OK);
      } else {
        PostMessageW(LanguageWindow(), WM_CLOSE, 0, 0);
      }
    });
    RunScripted(steps, [&] { result = ShowLanguageWindow(); });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(ChosenLanguage, c.chosen);
    // Exactly one choice is checked: the last one clicked, else English.
    const int expectedChecked = c.clicks.empty() ? 1028 : c.clicks.back();
    for (int n = 0; n < 4; ++n) EXPECT_EQ(checksBeforeClosing[n], 1028 + n == expectedChecked ? 1 : 0) << n;
    EXPECT_EQ(LanguageWindow(), nullptr);
  }
}

TEST_F(LanguageWindowTest, ClickingTheCheckedChoiceKeepsItCheckedAndKeysDoNothing) {
  std::array<int, 4> afterSecondClick{};
  bool stillOpen = false;
  RECT placed{};
  int result = -1;
  RunScripted({[&] {
                 GetWindowRect(LanguageWindow(), &placed);
                 ClickControl(LanguageWindow(), 1030);
                 ClickControl(LanguageWindow(), 1030);
                 afterSecondClick = Checks();
                 testing::PressEnterAndEscape(LanguageWindow());
               },
               [&] {
                 stillOpen = LanguageWindow() != nullptr;
                 EXPECT_EQ(ChosenLanguage, -1);
                 ClickControl(LanguageWindow(), IDC_LANGUAGE_OK);
               }},
              [&] { result = ShowLanguageWindow(); });
  EXPECT_EQ(afterSecondClick, (std::array<int, 4>{0, 0, 1, 0}));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(ChosenLanguage, LANGUAGE_SPANISH);
  // Centred on the screen, no owner.
  EXPECT_EQ(placed.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 270);
  EXPECT_EQ(placed.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 154);
  EXPECT_EQ(placed.bottom - placed.top, 308);
}

TEST(AboutWindow, EitherButtonEndsItAndTheOwnerIsEnabledAgain) {
  TestHost host(700, 560, 50, 60);
  for (int id : {IDC_ABOUT_OK, IDC_ABOUT_CLOSE}) {
    SCOPED_TRACE(id);
    bool ownerDisabled = false;
    bool closedByClick = false;
    int result = -1;
    RunScripted({[&] {
                   HWND about = FindOpen(kAboutWindowClassName);
                   ASSERT_NE(about, nullptr);
                   ownerDisabled = !IsWindowEnabled(host.window());
                   ClickControl(about, id);
                   closedByClick = !IsWindow(about);
                 }},
                [&] { result = ShowAboutWindow(host.window()); });
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(closedByClick);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsWindowEnabled(host.window()));
  }
}

TEST(AboutWindow, ShowsTheLogoAndBothLinesInsideTheirRectangles) {
  TestHost host(700, 560, 50, 60);
  const std::int32_t savedLanguage = LanguageIndex;
  LanguageIndex = LANGUAGE_GERMAN;
  COLORREF logo = CLR_INVALID;
  int productInk = 0;
  int versionInk = 0;
  int inkBelow = 0;
  RunScripted({[&] {
                 HWND about = FindOpen(kAboutWindowClassName);
                 ASSERT_NE(about, nullptr);
                 logo = testing::PixelAt(about, kLogoOrigin.x + 54, kLogoOrigin.y + 45);
                 const Rect product = ProductLineRect(kAboutWindowSize);
                 const Rect version = VersionLineRect(kAboutWindowSize);
                 productInk = testing::InkIn(about, {product.left, product.top, product.right, product.bottom});
                 versionInk = testing::InkIn(about, {version.left, version.top, version.right, version.bottom});
                 inkBelow = testing::InkIn(about, {20, version.bottom, 426, version.bottom + 20});
                 ClickControl(about, IDC_ABOUT_OK);
               }},
              [&] { ShowAboutWindow(host.window()); });
  LanguageIndex = savedLanguage;
  EXPECT_EQ(logo, testing::SkinPixel(kSkinLogo, 54, 45));
  EXPECT_GT(productInk, 0);
  EXPECT_GT(versionInk, 0);
  EXPECT_EQ(inkBelow, 0);
}

TEST(AboutWindow, AWindowThatCannotBeCreatedAnswersZeroAndLeavesTheOwnerAlone) {
  testing::RegisterWindowsForTests();
  TestHost host;
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
