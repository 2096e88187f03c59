// Every localized text of every window, in each of the four languages,
// measured with the real font (Tahoma in the test prefix) against the
// control or box that shows it: a translation that no longer fits fails
// here instead of being cut off on screen. Once at the prefix's scale
// (96 DPI), and again in a copy of this program started with the prefix at
// 150 % and at 200 %, where every window lays itself out natively.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/CommandTexts.h"
#include "settings/Languages.h"
#include "settings/Settings.h"
#include "core/win32/TextCast.h"
#include "tests/support/win32/ScopedLogPixels.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/HoldNotices.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/AccessibleTexts.h"
#include "ui/toolkit/ButtonLogic.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/toolkit/ShortcutFieldLogic.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/ToolkitFont.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/toolkit/win32/WindowDpi.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/SecondaryWindowLogic.h"
#include "ui/windows/ShortcutsWindowLogic.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"
#include "ui/windows/win32/ShortcutsWindow.h"
#include "ui/windows/RecentUseWindowLogic.h"
#include "ui/windows/win32/RecentUseWindow.h"
#include "usage/UsageTexts.h"

namespace shadowpane {
namespace {

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t unit : text) narrow.push_back(unit < 128 ? static_cast<char>(unit) : '?');
  return narrow;
}

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
  GdiTextMeasurer measurer(window, font);
  return measurer.Measure(WideView(AsCore(text.c_str()), text.size())).width;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

int BitmapWidth(int id) {
  HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  DeleteObject(bitmap);
  return info.bmWidth;
}

// Each control of an open secondary window, at its DPI, against the room it has: a push
// button's caption within the button (a picker's beside its arrow), a
// self-sized label or check box within its own width and the window's
// separators, and the title within its box.
void CheckSecondaryWindow(HWND window, const WideChar* title) {
  ASSERT_NE(window, nullptr);
  const int dpi = LayoutDpi(window);
  RECT client{};
  GetClientRect(window, &client);
  GdiObject<HFONT> normal(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, dpi));
  GdiObject<HFONT> bold(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold, NONANTIALIASED_QUALITY, dpi));
  GdiObject<HFONT> large(CreateToolkitFont(kLargeFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, dpi));
  EXPECT_LE(TextWidth(window, bold.get(), AsWide(title)), Width(Scale(kTitleRect, dpi))) << "title";
  const int arrowRoom = Scale(BitmapWidth(kSkinDropArrow), dpi);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::wstring text = WindowText(child);
    if (text.empty()) continue;
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    const int width = r.right - r.left;
    SCOPED_TRACE(Narrow(text));
    if (lstrcmpW(className, kButtonClassName) == 0) {
      const int textX = static_cast<int>(SendMessageW(child, BXM_TEXTX, kPropertyRead, 0));
      const int iconFromRight = LOWORD(SendMessageW(child, BXM_ICON2POS, kPropertyRead, 0));
      const int room =
          textX == kTextCentred ? width : width - Scale(textX, dpi) - Scale(iconFromRight, dpi) - arrowRoom;
      EXPECT_LE(TextWidth(window, normal.get(), text), room);
    } else if (lstrcmpW(className, kLabelClassName) == 0) {
      EXPECT_LE(TextWidth(window, large.get(), text), width);
      EXPECT_LE(r.right, client.right - Scale(kSeparatorInset, dpi));
    } else if (lstrcmpW(className, kChoiceClassName) == 0) {
      EXPECT_LE(Scale(kChoiceTextX, dpi) + TextWidth(window, normal.get(), text), width);
      EXPECT_LE(r.right, client.right - Scale(kSeparatorInset, dpi));
    }
  }
}

class TextFitTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    testing::RegisterWindowsForTests();
    saved_ = gDisplayLanguage;
    gDisplayLanguage = GetParam();
  }
  void TearDown() override {
    gDisplayLanguage = saved_;
    gAutostartByAdministrator = 0;
  }
  int saved_ = 0;
};

// No two controls of the window share a pixel: a note under a forced
// setting has a row of its own.
void CheckNoOverlap(HWND window) {
  ASSERT_NE(window, nullptr);
  std::vector<RECT> rects;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    for (const RECT& other : rects) {
      RECT common{};
      EXPECT_FALSE(IntersectRect(&common, &r, &other)) << Narrow(WindowText(child));
    }
    rects.push_back(r);
  }
}

// Each wording of the autostart option, and every setting forced with its
// note "Managed by your organization." beneath.
TEST_P(TextFitTest, SettingsWithEachWordingOfTheAutostartOptionAndEveryNote) {
  testing::TestHost host(700, 560, 50, 60);
  EnforcedPolicy allForced;
  for (ForcedSetting* setting : {&allForced.language, &allForced.startup, &allForced.blockStart,
                                 &allForced.blockPluggedIn, &allForced.notifyAttempts}) {
    *setting = {true, 1};
  }
  for (int byAdministrator : {0, 1}) {
    for (const EnforcedPolicy& policy : {EnforcedPolicy{}, allForced}) {
      SCOPED_TRACE(byAdministrator ? "set by an administrator" : "the user's own");
      SCOPED_TRACE(policy.language.forced ? "every setting forced" : "no policy");
      gAutostartByAdministrator = byAdministrator;
      testing::RunScripted({[] {
                             HWND window = testing::FindOpen(kSettingsWindowClassName);
                             CheckSecondaryWindow(window, GetString(STR_SETTINGS));
                             CheckNoOverlap(window);
                           }},
                           [&] {
                             Settings settings{gDisplayLanguage, 0, 0, 0};
                             ShowSettingsWindow(host.window(), &settings, policy);
                           });
    }
  }
}

TEST_P(TextFitTest, About) {
  testing::TestHost host(700, 560, 50, 60);
  testing::RunScripted({[] { CheckSecondaryWindow(testing::FindOpen(kAboutWindowClassName), GetString(STR_ABOUT)); }},
                       [&] { ShowAboutWindow(host.window()); });
}

// The window's fixed texts, then what only shows later: each row's
// messages in its line (which sizes itself to them), and "None" and the
// longest combination in a field.
void CheckShortcutsWindow() {
  HWND window = testing::FindOpen(kShortcutsWindowClassName);
  const WideChar* title = CommandTextIn(CommandText::ShortcutsWindowTitle, gDisplayLanguage);
  CheckSecondaryWindow(window, title);
  for (RowMessage message : {RowMessage::NeedsCtrlOrAlt, RowMessage::Taken, RowMessage::UsedByAnotherRow}) {
    const WideString text = RowMessageText(message, gDisplayLanguage);
    for (int row = 0; row < kShortcutActionCount; ++row) {
      SetWindowTextW(GetDlgItem(window, IDC_SHORTCUTS_MESSAGE + row), AsWide(text.c_str()));
    }
    CheckSecondaryWindow(window, title);
  }
  const int dpi = LayoutDpi(window);
  GdiObject<HFONT> normal(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, dpi));
  const Rect field = Scale(ShortcutFieldPlace(0), dpi);
  const std::uint32_t longest =
      EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift | kShortcutWin, 0x87);  // F24
  for (std::uint32_t stored : {kNoShortcut, longest}) {
    const WideString text = ShortcutFieldText(stored, gDisplayLanguage, WideView());
    EXPECT_LE(TextWidth(window, normal.get(), AsWide(text.c_str())), Width(field) - 2 * Scale(kShortcutFieldTextInset, dpi))
        << Narrow(AsWide(text.c_str()));
  }
}

TEST_P(TextFitTest, KeyboardShortcuts) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), kShortcutsWindowClassName, &existing)) {
    ASSERT_TRUE(RegisterShortcutsWindowClass(GetModuleHandleW(nullptr)));
  }
  testing::TestHost host(700, 560, 50, 60);
  testing::RunScripted({CheckShortcutsWindow,
                        [] { SendMessageW(testing::FindOpen(kShortcutsWindowClassName), WM_CLOSE, 0, 0); }},
                       [&] { ShowShortcutsWindow(host.window(), ShortcutsWindowServices()); });
}

TEST_P(TextFitTest, MainWindowStatusAndCaptions) {
  // The main window lays itself out at the system's DPI when it starts.
  HWND desktop = GetDesktopWindow();
  const int dpi = SystemDpi();
  GdiObject<HFONT> normal(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, dpi));
  GdiObject<HFONT> bold(CreateToolkitFont(kMainBoldFontHeight, kFontWeightBold, PROOF_QUALITY, dpi));
  GdiObject<HFONT> captionFont(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold, NONANTIALIASED_QUALITY, dpi));
  const int textRight = kMainWindowWidth - kStatusTextRightInset;
  for (int state : {0, 1}) {
    const StatusPanelLook look = PanelLook(state);
    EXPECT_LE(TextWidth(desktop, bold.get(), AsWide(GetString(look.headline))),
              Scale(textRight - kHeadlineBox.left, dpi));
    EXPECT_LE(TextWidth(desktop, normal.get(), AsWide(GetString(look.line))),
              Scale(textRight - kStatusLineBox.left, dpi));
  }
  const int captionRoom = kGroupLeft + kMainWindowWidth - kGroupWidthInset - kGroupCaptionX;
  for (int caption : {STR_VIDEO_DEVICES, STR_AUDIO_DEVICES}) {
    EXPECT_LE(TextWidth(desktop, captionFont.get(), AsWide(GetString(caption))), Scale(captionRoom, dpi));
  }
}

// Every device notice and warning the main window shows wraps within the
// message box's text room.
TEST_P(TextFitTest, DeviceNoticesInTheMessageBox) {
  HWND desktop = GetDesktopWindow();
  GdiObject<HFONT> normal(CreateToolkitFont());
  GdiTextMeasurer measurer(desktop, normal.get());
  for (int notice : {STR_UNABLE_TO_UNBLOCK, STR_UNABLE_TO_BLOCK, STR_DEVICE_PLUGGED_IN,
                     STR_DEVICE_PLUGGED_IN_BLOCKED_AGAIN, STR_CAMERA_STILL_SHARED,
                     STR_MICROPHONE_NOT_SILENT, STR_MICROPHONE_NOT_UNMUTED, STR_MICROPHONE_HELD_BY_ANOTHER_COPY,
                     STR_MICROPHONE_EXCLUSIVE_HEARD,
                     STR_MICROPHONE_UNMUTED_BY_ANOTHER}) {
    SCOPED_TRACE(notice);
    const WideString text = ComposeDeviceMessage(GetString(notice), u"Microphone (USB Audio Device)");
    const int limit = ProvisionalBoxWidth(static_cast<int>(text.size())) - kTextMargin;
    EXPECT_LE(LayoutMessageText(WideView(text.c_str(), text.size()), limit, measurer).width, limit);
  }
  // The contested notice with a long program's name in it.
  const WideString named = ComposeDeviceMessage(ContestedNoticeText({u"VeryLongRecordingProgramName.exe"}, gDisplayLanguage).c_str(),
                                                u"Microphone (USB Audio Device)");
  const int namedLimit = ProvisionalBoxWidth(static_cast<int>(named.size())) - kTextMargin;
  EXPECT_LE(LayoutMessageText(WideView(named.c_str(), named.size()), namedLimit, measurer).width, namedLimit);
}

// Who uses a device: the Recent use window's title and headings, each
// cell's fixed texts within its column, and "In use by" with a program's
// name within an entry (a longer list is cut with "...").
TEST_P(TextFitTest, RecentUseWindowAndTheEntriesUsers) {
  testing::TestHost host(700, 560, 50, 60);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(instance, kRecentUseWindowClassName, &existing)) RegisterRecentUseWindowClass(instance);
  testing::RunScripted({[] {
                         CheckSecondaryWindow(testing::FindOpen(kRecentUseWindowClassName),
                                              UsageTextIn(UsageText::RecentUseTitle, gDisplayLanguage));
                       },
                        [] { SendMessageW(testing::FindOpen(kRecentUseWindowClassName), WM_CLOSE, 0, 0); }},
                       [&] { ShowRecentUseWindow(host.window(), RecentUseLog()); });
  HWND desktop = GetDesktopWindow();
  GdiObject<HFONT> normal(CreateToolkitFont());
  GdiObject<HFONT> bold(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold));
  const int rowWidth = Width(RecentUseListRect(kRecentUseWindowSize)) - GetSystemMetrics(SM_CXVSCROLL);
  const RecentUseRow headings = RecentUseHeadings(gDisplayLanguage);
  const std::pair<int, UsageText> cells[] = {{1, UsageText::UnknownProgram}, {2, UsageText::ACamera},
                                             {2, UsageText::AMicrophone},    {3, UsageText::Allowed},
                                             {3, UsageText::TurnedAway}};
  for (int column = 0; column < kRecentUseColumnCount; ++column) {
    const int room = Width(RecentUseCellRect(column, rowWidth, kRecentUseRowHeight)) - 4;
    EXPECT_LE(TextWidth(desktop, bold.get(), AsWide(headings.cells[column].c_str())), room) << column;
    for (const auto& cell : cells) {
      if (cell.first != column) continue;
      EXPECT_LE(TextWidth(desktop, normal.get(), AsWide(UsageTextIn(cell.second, gDisplayLanguage))), room);
    }
  }
  const int entryRoom = 438 - kEntryTextX - 3 - GetSystemMetrics(SM_CXVSCROLL);
  const WideString inUse = InUseByText({u"Microsoft Teams.exe"}, gDisplayLanguage);
  EXPECT_LE(TextWidth(desktop, normal.get(), AsWide(inUse.c_str())), entryRoom);
}

// In high contrast each device entry shows its state in a word at its right
// end, within the width kept for it.
TEST_P(TextFitTest, HighContrastStateWordsBesideTheLocks) {
  HWND desktop = GetDesktopWindow();
  GdiObject<HFONT> normal(CreateToolkitFont());
  for (AccessibleText word :
       {AccessibleText::StateWordBlocked, AccessibleText::StateWordNotBlocked, AccessibleText::StateWordShared}) {
    const WideChar* text = AccessibleTextIn(word, gDisplayLanguage);
    EXPECT_LE(TextWidth(desktop, normal.get(), AsWide(text)), kStateWordWidth) << Narrow(AsWide(text));
  }
}

INSTANTIATE_TEST_SUITE_P(EachLanguage, TextFitTest,
                         ::testing::Values(LANGUAGE_ENGLISH, LANGUAGE_GERMAN, LANGUAGE_SPANISH, LANGUAGE_ITALIAN));

// The first-run language window speaks English only, whatever the language.
TEST(TextFit, LanguageWindow) {
  testing::RegisterWindowsForTests();
  testing::RunScripted({[] { CheckSecondaryWindow(testing::FindOpen(kLanguageWindowClassName), kLanguageWindowTitle); }},
                       [] { ShowLanguageWindow(); });
}

// Set, to the DPI it was started for, in each copy started below.
constexpr wchar_t kScaledCopyVariable[] = L"SHADOWPANE_TEXT_FIT_SCALED_COPY";

// A scaled copy really runs at its scale, so its checks are not the
// 96-DPI ones again.
TEST(TextFit, AScaledCopyRunsAtTheScaleItWasStartedFor) {
  wchar_t expected[16] = {};
  if (GetEnvironmentVariableW(kScaledCopyVariable, expected, 16) == 0) GTEST_SKIP() << "not a scaled copy";
  EXPECT_EQ(SystemDpi(), _wtoi(expected));
  testing::TestHost host(100, 100, 0, 0);
  EXPECT_EQ(LayoutDpi(host.window()), _wtoi(expected));
}

// Every check above again, in a copy of this program started with the
// prefix at 150 % and then at 200 % (Wine reads the scale when a process
// starts); the prefix's own scale comes back afterwards.
TEST(TextFit, EveryTextFitsAt150And200Percent) {
  if (GetEnvironmentVariableW(kScaledCopyVariable, nullptr, 0) != 0) GTEST_SKIP() << "in a scaled copy";
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  for (DWORD dpi : {144u, 192u}) {
    SCOPED_TRACE(dpi);
    SetEnvironmentVariableW(kScaledCopyVariable, std::to_wstring(dpi).c_str());
    testing::ScopedLogPixels scale(dpi);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_brief=1 --gtest_filter=-TextFit.EveryTextFits*";
    // Its output goes where ours goes, so its failures are read in our log.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u) << "a text does not fit at " << dpi << " DPI (its failures are printed above)";
  }
  SetEnvironmentVariableW(kScaledCopyVariable, nullptr);
}

}  // namespace
}  // namespace shadowpane
