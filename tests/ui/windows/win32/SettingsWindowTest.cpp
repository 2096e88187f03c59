// The Settings window on real windows, driven with the mouse from inside
// its own loop: what it shows at opening and what each way of closing
// leaves in the settings.
#include "ui/windows/win32/SettingsWindow.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/Languages.h"
#include "settings/Settings.h"
#include "core/win32/TextCast.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/SettingsWindowLogic.h"

namespace shadowpane {
namespace {

using testing::ClickControl;
using testing::FindOpen;
using testing::RunScripted;

// Item tops in the list: a 5-pixel margin, 22-pixel items, an 11-pixel
// separator after "English".
constexpr int kItemTops[] = {5, 27, 38, 60, 82};

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

TEST(SettingsWindow, OpensOnItsOwnerWithTheCurrentSettingsAndTheLanguageMarkedInTheList) {
  testing::TestHost host(700, 560, 50, 60);
  shadowpane::Settings shown{LANGUAGE_SPANISH, 1, 0, 1};
  RECT placed{};
  std::wstring picker;
  int checks[3] = {-1, -1, -1};
  POINT controls[10] = {};
  bool ownerDisabled = false;
  int marked = -1;
  RECT list{};
  POINT listOrigin{37, 161};
  RunScripted({[&] {
                 HWND settings = Settings();
                 ASSERT_NE(settings, nullptr);
                 GetWindowRect(settings, &placed);
                 picker = PickerText();
                 for (int i = 0; i < 3; ++i) {
                   checks[i] = static_cast<int>(
                       SendDlgItemMessageW(settings, IDC_SETTINGS_STARTUP + i, CXM_CHECKED, kPropertyRead, 0));
                 }
                 for (int i = 0; i < 10; ++i) controls[i] = testing::PositionInParent(GetDlgItem(settings, 1026 + i));
                 ownerDisabled = !IsWindowEnabled(host.window());
                 ClientToScreen(settings, &listOrigin);
                 HWND popup = OpenList();
                 ASSERT_NE(popup, nullptr);
                 GetWindowRect(popup, &list);
                 for (int p = 0; p < 5; ++p) {
                   if (testing::PixelAt(popup, 15, kItemTops[p] + 11) == ToColorRef(kColorHighlight)) marked = p;
                 }
                 ClickControl(settings, IDC_SETTINGS_CANCEL);
               }},
              [&] { ShowSettingsWindow(host.window(), &shown); });
  EXPECT_EQ(placed.left, 50 + (700 - 540) / 2);
  // The option to be told of attempts added one row at the bottom, the
  // rows of the user away more, the indicator's box and its corners more
  // again.
  constexpr int kRowsAdded = kSettingsNotifyRowHeight + kSettingsAwayRowsHeight + kSettingsIndicatorRowsHeight;
  EXPECT_EQ(placed.top, 60 + (560 - 360 - kRowsAdded) / 2);
  EXPECT_EQ(placed.bottom - placed.top, 360 + kRowsAdded);
  EXPECT_EQ(picker, L"Espa\u00F1ol");
  EXPECT_EQ(checks[0] * 100 + checks[1] * 10 + checks[2], 101);
  const int buttonsY = 331 + kSettingsAwayRowsHeight + kSettingsIndicatorRowsHeight;
  const POINT expected[10] = {{488, 1},  {427, buttonsY}, {335, buttonsY}, {22, buttonsY}, {19, 178},
                              {19, 101}, {35, 127},  {37, 206},  {37, 231}, {37, 256}};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(controls[i].x, expected[i].x) << 1026 + i;
    EXPECT_EQ(controls[i].y, expected[i].y) << 1026 + i;
  }
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(host.window()));
  EXPECT_EQ(list.left, listOrigin.x);
  EXPECT_EQ(list.top, listOrigin.y);
  EXPECT_EQ(marked, 3);
}

// What the user does before the closing click.
enum class Before { Nothing, PickItaliano, Default, ToggleOptions, DefaultThenDeutsche };

void Pick(int position) {
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  testing::ClickAt(list, 60, kItemTops[position] + 11);
}

TEST(SettingsWindow, EachWayOfClosingLeavesTheSettingsAsTheUserChose) {
  const shadowpane::Settings start{LANGUAGE_SPANISH, 1, 1, 0};
  struct Case {
    const char* name;
    Before before;
    int closingId;
    int result;
    shadowpane::Settings after;
    const wchar_t* picker;  // before the closing click
  };
  const Case cases[] = {
      {"Italiano, Cancel", Before::PickItaliano, IDC_SETTINGS_CANCEL, 0, start, L"Italiano"},
      {"Italiano, OK", Before::PickItaliano, IDC_SETTINGS_OK, 1, {LANGUAGE_ITALIAN, 1, 1, 0}, L"Italiano"},
      {"Italiano, close button", Before::PickItaliano, IDC_SETTINGS_CLOSE, 0, start, L"Italiano"},
      {"Default, OK", Before::Default, IDC_SETTINGS_OK, 1, {LANGUAGE_ENGLISH, 0, 0, 0}, L"English"},
      {"Default, Cancel", Before::Default, IDC_SETTINGS_CANCEL, 0, start, L"English"},
      {"options, OK", Before::ToggleOptions, IDC_SETTINGS_OK, 1,
       {LANGUAGE_SPANISH, 0, 0, 1, 1, 0, 0, 1, kIndicatorCornerTopRight}, L"Espa\u00F1ol"},
      {"Default, Deutsche, OK", Before::DefaultThenDeutsche, IDC_SETTINGS_OK, 1, {LANGUAGE_GERMAN, 0, 0, 0},
       L"Deutsche"},
  };
  testing::TestHost host(700, 560, 50, 60);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shadowpane::Settings settings = start;
    std::wstring picker;
    int result = -1;
    std::vector<std::function<void()>> steps;
    if (c.before == Before::Default || c.before == Before::DefaultThenDeutsche) {
      steps.push_back([] { ClickControl(Settings(), IDC_SETTINGS_DEFAULT); });
    }
    if (c.before == Before::PickItaliano) steps.push_back([] { Pick(4); });
    if (c.before == Before::DefaultThenDeutsche) steps.push_back([] { Pick(2); });
    if (c.before == Before::ToggleOptions) {
      steps.push_back([] {
        for (int i = 0; i < 3; ++i) ClickControl(Settings(), IDC_SETTINGS_STARTUP + i);
        // The indicator on, in the top-left corner and then the top-right:
        // the second radio's click clears the first.
        for (int id : {IDC_SETTINGS_SHOW_INDICATOR, IDC_SETTINGS_CORNER_FIRST + kIndicatorCornerTopLeft,
                       IDC_SETTINGS_CORNER_FIRST + kIndicatorCornerTopRight}) {
          ClickControl(Settings(), id);
        }
      });
    }
    steps.push_back([&] {
      picker = PickerText();
      EXPECT_TRUE(settings == start);  // nothing is applied before closing
      ClickControl(Settings(), c.closingId);
    });
    RunScripted(steps, [&] { result = ShowSettingsWindow(host.window(), &settings); });
    EXPECT_EQ(picker, c.picker);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(settings.language, c.after.language);
    EXPECT_EQ(settings.startup, c.after.startup);
    EXPECT_EQ(settings.blockStart, c.after.blockStart);
    EXPECT_EQ(settings.blockPluggedIn, c.after.blockPluggedIn);
    EXPECT_EQ(settings.showIndicator, c.after.showIndicator);
    EXPECT_EQ(settings.indicatorCorner, c.after.indicatorCorner);
    EXPECT_TRUE(IsWindowEnabled(host.window()));
  }
}

// With an administrator's entry in the machine's Run key the program starts
// at logon whatever this user chooses: the box says so, shows it ticked and
// cannot be changed, not by a click nor by Default, and OK keeps the user's
// own choice.
TEST(SettingsWindow, TheAutostartBoxOfAnAdministratorsEntryStaysTickedAndLocked) {
  shadowpane::Settings settings{LANGUAGE_ENGLISH, 0, 0, 0};
  gAutostartByAdministrator = 1;
  testing::TestHost host(700, 560, 50, 60);
  bool enabled = true;
  std::wstring text;
  int checkedAtOpening = -1, checkedAtOk = -1;
  int result = -1;
  RunScripted({[&] {
                 HWND box = GetDlgItem(Settings(), IDC_SETTINGS_STARTUP);
                 enabled = IsWindowEnabled(box) != FALSE;
                 wchar_t caption[128] = {};
                 GetWindowTextW(box, caption, 128);
                 text = caption;
                 checkedAtOpening = static_cast<int>(SendMessageW(box, CXM_CHECKED, kPropertyRead, 0));
                 ClickControl(Settings(), IDC_SETTINGS_STARTUP);
               },
               [&] { ClickControl(Settings(), IDC_SETTINGS_DEFAULT); },
               [&] {
                 checkedAtOk = static_cast<int>(
                     SendDlgItemMessageW(Settings(), IDC_SETTINGS_STARTUP, CXM_CHECKED, kPropertyRead, 0));
                 ClickControl(Settings(), IDC_SETTINGS_OK);
               }},
              [&] { result = ShowSettingsWindow(host.window(), &settings); });
  gAutostartByAdministrator = 0;
  const int own = settings.startup;
  EXPECT_FALSE(enabled);
  EXPECT_EQ(text, AsWide(GetString(STR_START_WITH_WINDOWS_BY_ADMINISTRATOR)));
  EXPECT_EQ(checkedAtOpening, 1);
  EXPECT_EQ(checkedAtOk, 1);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(own, 0);
}

// A forced language and a forced block at start: shown with the forced
// values, locked against clicks and Default, each with its note, the
// window a note row taller for each; OK saves what the user changed and
// keeps the user's own values under the forced ones.
TEST(SettingsWindow, ForcedSettingsShowTheirValuesLockedAndOkKeepsTheUsersOwn) {
  shadowpane::Settings settings{LANGUAGE_SPANISH, 0, 0, 0};
  EnforcedPolicy policy;
  policy.language = {true, LANGUAGE_GERMAN};
  policy.blockStart = {true, 1};
  testing::TestHost host(700, 560, 50, 60);
  RECT placed{};
  bool pickerEnabled = true, blockStartEnabled = true;
  std::wstring pickerAtOpening, pickerAtOk;
  int blockStartAtOk = -1, pluggedInAtOk = -1;
  int result = -1;
  RunScripted({[&] {
                 GetWindowRect(Settings(), &placed);
                 pickerEnabled = IsWindowEnabled(GetDlgItem(Settings(), IDC_SETTINGS_PICKER)) != FALSE;
                 blockStartEnabled = IsWindowEnabled(GetDlgItem(Settings(), IDC_SETTINGS_BLOCK_START)) != FALSE;
                 pickerAtOpening = PickerText();
                 ClickControl(Settings(), IDC_SETTINGS_BLOCK_START);
               },
               [&] { ClickControl(Settings(), IDC_SETTINGS_DEFAULT); },
               [&] { ClickControl(Settings(), IDC_SETTINGS_BLOCK_PLUGGED_IN); },
               [&] {
                 pickerAtOk = PickerText();
                 blockStartAtOk = static_cast<int>(
                     SendDlgItemMessageW(Settings(), IDC_SETTINGS_BLOCK_START, CXM_CHECKED, kPropertyRead, 0));
                 pluggedInAtOk = static_cast<int>(
                     SendDlgItemMessageW(Settings(), IDC_SETTINGS_BLOCK_PLUGGED_IN, CXM_CHECKED, kPropertyRead, 0));
                 ClickControl(Settings(), IDC_SETTINGS_OK);
               }},
              [&] { result = ShowSettingsWindow(host.window(), &settings, policy); });
  WideChar german[kLanguageNameUnits] = {};
  GetLanguageName(LANGUAGE_GERMAN, german, kLanguageNameUnits);
  EXPECT_EQ(placed.bottom - placed.top,
            360 + kSettingsNotifyRowHeight + kSettingsAwayRowsHeight + kSettingsIndicatorRowsHeight +
                2 * kSettingsNoteRowHeight);
  EXPECT_FALSE(pickerEnabled);
  EXPECT_FALSE(blockStartEnabled);
  EXPECT_EQ(pickerAtOpening, AsWide(german));
  EXPECT_EQ(pickerAtOk, AsWide(german)) << "Default shows the forced language";
  EXPECT_EQ(blockStartAtOk, 1) << "neither a click nor Default changes a forced box";
  EXPECT_EQ(pluggedInAtOk, 1);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(settings == (shadowpane::Settings{LANGUAGE_SPANISH, 0, 0, 1}));
}

// The rows of the user away: the field offers 10 minutes while the setting
// is off, disabled until its box is ticked, and a corner's radio likewise
// until the indicator's box is; the two boxes ticked and 25 typed, OK stores
// both; a forced idle
// setting locks the box and its field and shows the forced minutes.
TEST(SettingsWindow, TheAwayRowsStoreTheLockAndTheMinutesAndAPolicyLocksBoth) {
  testing::TestHost host(700, 560, 50, 60);
  shadowpane::Settings settings{LANGUAGE_ENGLISH, 0, 0, 0};
  wchar_t offered[8] = {};
  const auto enabled = [](int id) { return IsWindowEnabled(GetDlgItem(Settings(), id)) != FALSE; };
  bool fieldAtOpening = true, cornerAtOpening = true, fieldTicked = false, cornerOnce = false,
       cornerTicked = false;
  RunScripted({[&] {
                 GetDlgItemTextW(Settings(), IDC_SETTINGS_IDLE_MINUTES, offered, 8);
                 fieldAtOpening = enabled(IDC_SETTINGS_IDLE_MINUTES);
                 cornerAtOpening = enabled(IDC_SETTINGS_CORNER_LAST);
                 ClickControl(Settings(), IDC_SETTINGS_BLOCK_WHILE_LOCKED);
               },
               [&] { ClickControl(Settings(), IDC_SETTINGS_BLOCK_AFTER_IDLE); },
               [&] { ClickControl(Settings(), IDC_SETTINGS_SHOW_INDICATOR); },
               [&] {
                 cornerOnce = enabled(IDC_SETTINGS_CORNER_LAST);
                 ClickControl(Settings(), IDC_SETTINGS_SHOW_INDICATOR);
               },
               [&] {
                 fieldTicked = enabled(IDC_SETTINGS_IDLE_MINUTES);
                 cornerTicked = enabled(IDC_SETTINGS_CORNER_LAST);
                 SetDlgItemTextW(Settings(), IDC_SETTINGS_IDLE_MINUTES, L"25");
                 ClickControl(Settings(), IDC_SETTINGS_OK);
               }},
              [&] { ShowSettingsWindow(host.window(), &settings); });
  EXPECT_STREQ(offered, L"10");
  EXPECT_FALSE(fieldAtOpening) << "the field is disabled while its box is unticked";
  EXPECT_FALSE(cornerAtOpening);
  EXPECT_TRUE(fieldTicked) << "a click on the box enables its field";
  EXPECT_TRUE(cornerOnce);
  EXPECT_FALSE(cornerTicked) << "a second click on the indicator's box disables the corners again";
  EXPECT_EQ(settings.blockWhileLocked, 1);
  EXPECT_EQ(settings.blockAfterIdleMinutes, 25);

  EnforcedPolicy policy;
  policy.blockAfterIdleMinutes = {true, 45};
  bool boxEnabled = true, fieldEnabled = true;
  wchar_t forced[8] = {};
  RunScripted({[&] {
                 boxEnabled = IsWindowEnabled(GetDlgItem(Settings(), IDC_SETTINGS_BLOCK_AFTER_IDLE)) != FALSE;
                 fieldEnabled = IsWindowEnabled(GetDlgItem(Settings(), IDC_SETTINGS_IDLE_MINUTES)) != FALSE;
                 GetDlgItemTextW(Settings(), IDC_SETTINGS_IDLE_MINUTES, forced, 8);
                 ClickControl(Settings(), IDC_SETTINGS_OK);
               }},
              [&] { ShowSettingsWindow(host.window(), &settings, policy); });
  EXPECT_FALSE(boxEnabled);
  EXPECT_FALSE(fieldEnabled);
  EXPECT_STREQ(forced, L"45");
  EXPECT_EQ(settings.blockAfterIdleMinutes, 25) << "the user's own minutes stay under the forced ones";
}

}  // namespace
}  // namespace shadowpane
