// The Settings window on real windows, driven with the mouse from inside
// its own loop: what it shows at opening, what OK, Cancel, Default and the
// close button leave in the settings, the language list.
#include "ui/windows/win32/SettingsWindow.h"

#include <gtest/gtest.h>

#include <string>

#include "app/Languages.h"
#include "app/Settings.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/SettingsChoices.h"

namespace shadowpane {
namespace {

using testing::ClickAt;
using testing::ClickControl;
using testing::FindOpen;
using testing::PixelAt;
using testing::RunScripted;
using testing::TestHost;

// Item tops in the language list: 5-pixel margin, 22-pixel items, an
// 11-pixel separator after "English".
constexpr int kItemTops[] = {5, 27, 38, 60, 82};
constexpr int kItalianoPosition = 4;

class SettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = CurrentSettings(); }
  void TearDown() override { StoreSettings(saved_); }

 private:
  SettingsValues saved_;
};

HWND Settings() { return FindOpen(kSettingsWindowClassName); }

std::wstring PickerText() {
  wchar_t text[64] = {};
  GetWindowTextW(GetDlgItem(Settings(), IDC_SETTINGS_PICKER), text, 64);
  return text;
}

HWND OpenList() {
  ClickControl(Settings(), IDC_SETTINGS_PICKER);
  return FindOpen(kMenuClassName);
}

// Opens the list from the picker and clicks the item at position.
void PickFromList(int position) {
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  ClickAt(list, 60, kItemTops[position] + 11);
}

bool MarkedInList(HWND list, int position) {
  return PixelAt(list, 15, kItemTops[position] + 11) == ToColorRef(kColorHighlight);
}

TEST_F(SettingsWindowTest, OpensCentredOnItsOwnerShowingTheCurrentSettingsAndMarksTheLanguageInTheList) {
  TestHost host(700, 560, 50, 60);
  StoreSettings({LANGUAGE_SPANISH, 1, 0, 1});
  RECT placed{};
  std::wstring picker;
  int checks[3] = {-1, -1, -1};
  bool ownerDisabled = false;
  bool marks[5] = {};
  RECT listRect{};
  POINT listOrigin{37, 161};
  int result = -1;
  RunScripted({[&] {
                 HWND settings = Settings();
                 ASSERT_NE(settings, nullptr);
                 GetWindowRect(settings, &placed);
                 picker = PickerText();
                 const int ids[] = {IDC_SETTINGS_STARTUP, IDC_SETTINGS_BLOCK_START, IDC_SETTINGS_BLOCK_PLUGGED_IN};
                 for (int i = 0; i < 3; ++i) {
                   checks[i] = static_cast<int>(SendDlgItemMessageW(settings, ids[i], CXM_CHECKED, 0, 0));
                 }
                 ownerDisabled = !IsWindowEnabled(host.window());
                 ClientToScreen(settings, &listOrigin);
                 HWND list = OpenList();
                 ASSERT_NE(list, nullptr);
                 GetWindowRect(list, &listRect);
                 for (int p = 0; p < 5; ++p) marks[p] = MarkedInList(list, p);
                 ClickControl(settings, IDC_SETTINGS_CANCEL);
               }},
              [&] { result = ShowSettingsWindow(host.window()); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(placed.left, 50 + (700 - 540) / 2);
  EXPECT_EQ(placed.top, 60 + (560 - 360) / 2);
  EXPECT_EQ(placed.right - placed.left, 540);
  EXPECT_EQ(placed.bottom - placed.top, 360);
  EXPECT_EQ(picker, L"Espa\u00F1ol");
  EXPECT_EQ(checks[0], 1);
  EXPECT_EQ(checks[1], 0);
  EXPECT_EQ(checks[2], 1);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(host.window()));
  EXPECT_EQ(listRect.left, listOrigin.x);
  EXPECT_EQ(listRect.top, listOrigin.y);
  EXPECT_EQ(listRect.right - listRect.left, 180);
  EXPECT_EQ(listRect.bottom - listRect.top, 109);
  const bool expectedMarks[5] = {false, false, false, true, false};
  for (int p = 0; p < 5; ++p) EXPECT_EQ(marks[p], expectedMarks[p]) << p;
  EXPECT_EQ(FindOpen(kMenuClassName), nullptr);
}

// What the user does before the closing click.
enum class Before { kNothing, kPickItaliano, kDefault, kToggleOptions, kDefaultThenPickDeutsche };

TEST_F(SettingsWindowTest, EachWayOfClosingLeavesTheSettingsAsTheUserChose) {
  const SettingsValues start{LANGUAGE_SPANISH, 1, 1, 0};
  struct Case {
    const char* name;
    Before before;
    int closingId;
    int result;
    SettingsValues after;
    const wchar_t* pickerBeforeClosing;
  };
  const Case cases[] = {
      {"Italiano, Cancel", Before::kPickItaliano, IDC_SETTINGS_CANCEL, 0, start, L"Italiano"},
      {"Italiano, OK", Before::kPickItaliano, IDC_SETTINGS_OK, 1, {LANGUAGE_ITALIAN, 1, 1, 0}, L"Italiano"},
      {"Italiano, close button", Before::kPickItaliano, IDC_SETTINGS_CLOSE, 0, start, L"Italiano"},
      {"Default, OK", Before::kDefault, IDC_SETTINGS_OK, 1, {LANGUAGE_ENGLISH, 0, 0, 0}, L"English"},
      {"Default, Cancel", Before::kDefault, IDC_SETTINGS_CANCEL, 0, start, L"English"},
      {"options clicked, OK", Before::kToggleOptions, IDC_SETTINGS_OK, 1, {LANGUAGE_SPANISH, 0, 0, 1},
       L"Espa\u00F1ol"},
      {"Default, Deutsche, OK", Before::kDefaultThenPickDeutsche, IDC_SETTINGS_OK, 1, {LANGUAGE_GERMAN, 0, 0, 0},
       L"Deutsche"},
      {"nothing, OK", Before::kNothing, IDC_SETTINGS_OK, 1, start, L"Espa\u00F1ol"},
  };
  TestHost host(700, 560, 50, 60);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StoreSettings(start);
    std::wstring picker;
    int result = -1;
    std::vector<std::function<void()>> steps;
    switch (c.before) {
      case Before::kPickItaliano:
        steps.push_back([] { PickFromList(kItalianoPosition); });
        break;
      case Before::kDefault:
        steps.push_back([] { ClickControl(Settings(), IDC_SETTINGS_DEFAULT); });
        break;
      case Before::kToggleOptions:
        steps.push_back([] {
          for (int id : {IDC_SETTINGS_STARTUP, IDC_SETTINGS_BLOCK_START, IDC_SETTINGS_BLOCK_PLUGGED_IN}) {
            ClickControl(Settings(), id);
          }
        });
        break;
      case Before::kDefaultThenPickDeutsche:
        steps.push_back([] { ClickControl(Settings(), IDC_SETTINGS_DEFAULT); });
        steps.push_back([] { PickFromList(2); });
        break;
      case Before::kNothing:
        break;
    }
    steps.push_back([&] {
      picker = PickerText();
      // Nothing reaches the settings before the window closes.
      EXPECT_EQ(LanguageIndex, start.languageIndex);
      EXPECT_EQ(Startup, start.startup);
      ClickControl(Settings(), c.closingId);
    });
    RunScripted(steps, [&] { result = ShowSettingsWindow(host.window()); });
    EXPECT_EQ(picker, c.pickerBeforeClosing);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(LanguageIndex, c.after.languageIndex);
    EXPECT_EQ(Startup, c.after.startup);
    EXPECT_EQ(BlockStart, c.after.blockStart);
    EXPECT_EQ(BlockPluggedIn, c.after.blockPluggedIn);
    EXPECT_EQ(Settings(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(host.window()));
  }
}

TEST_F(SettingsWindowTest, DefaultMovesTheListsMarkToEnglish) {
  TestHost host(700, 560, 50, 60);
  StoreSettings({LANGUAGE_ITALIAN, 0, 0, 0});
  bool englishMarked = false;
  bool italianoMarked = true;
  RunScripted({[] { ClickControl(Settings(), IDC_SETTINGS_DEFAULT); },
               [&] {
                 HWND list = OpenList();
                 ASSERT_NE(list, nullptr);
                 englishMarked = MarkedInList(list, 0);
                 italianoMarked = MarkedInList(list, kItalianoPosition);
                 ClickControl(Settings(), IDC_SETTINGS_CANCEL);
               }},
              [&] { ShowSettingsWindow(host.window()); });
  EXPECT_TRUE(englishMarked);
  EXPECT_FALSE(italianoMarked);
  EXPECT_EQ(LanguageIndex, LANGUAGE_ITALIAN);
}

TEST_F(SettingsWindowTest, ASeparatorOrAPositionOutsideTheListLeavesThePicker) {
  TestHost host(700, 560, 50, 60);
  StoreSettings({LANGUAGE_GERMAN, 0, 0, 0});
  std::wstring picker;
  RunScripted({[] {
                 for (int position : {1, 5, -1}) {
                   SendMessageW(Settings(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_LANGUAGE_ITEM, position), 0);
                 }
                 // A click on the separator chooses nothing and leaves the list open.
                 HWND list = OpenList();
                 ASSERT_NE(list, nullptr);
                 ClickAt(list, 60, kItemTops[1] + 5);
                 EXPECT_TRUE(IsWindow(list));
               },
               [&] {
                 picker = PickerText();
                 ClickControl(Settings(), IDC_SETTINGS_OK);
               }},
              [&] { ShowSettingsWindow(host.window()); });
  EXPECT_EQ(picker, L"Deutsche");
  EXPECT_EQ(LanguageIndex, LANGUAGE_GERMAN);
}

}  // namespace
}  // namespace shadowpane
