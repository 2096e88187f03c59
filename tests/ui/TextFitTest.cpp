// Every localized text of every window, in each of the four languages,
// measured with the real font (Tahoma in the test prefix) against the
// control or box that shows it: a translation that no longer fits fails
// here instead of being cut off on screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/CommandTexts.h"
#include "settings/Languages.h"
#include "settings/Settings.h"
#include "core/win32/TextCast.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/ui/windows/win32/LoopScript.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/AccessibleTexts.h"
#include "ui/toolkit/ButtonLogic.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/ShortcutFieldLogic.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/ToolkitFont.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/SecondaryWindowLogic.h"
#include "ui/windows/ShortcutsWindowLogic.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"
#include "ui/windows/win32/ShortcutsWindow.h"

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

// Each control of an open secondary window against the room it has: a push
// button's caption within the button (a picker's beside its arrow), a
// self-sized label or check box within its own width and the window's
// separators, and the title within its box.
void CheckSecondaryWindow(HWND window, const WideChar* title) {
  ASSERT_NE(window, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  GdiObject<HFONT> normal(CreateToolkitFont());
  GdiObject<HFONT> bold(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold));
  GdiObject<HFONT> large(CreateToolkitFont(kLargeFontHeight));
  EXPECT_LE(TextWidth(window, bold.get(), AsWide(title)), kTitleRect.right - kTitleRect.left) << "title";
  const int arrowRoom = BitmapWidth(kSkinDropArrow);
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
      const int room = textX == kTextCentred ? width : width - textX - iconFromRight - arrowRoom;
      EXPECT_LE(TextWidth(window, normal.get(), text), room);
    } else if (lstrcmpW(className, kLabelClassName) == 0) {
      EXPECT_LE(TextWidth(window, large.get(), text), width);
      EXPECT_LE(r.right, client.right - kSeparatorInset);
    } else if (lstrcmpW(className, kChoiceClassName) == 0) {
      EXPECT_LE(kChoiceTextX + TextWidth(window, normal.get(), text), width);
      EXPECT_LE(r.right, client.right - kSeparatorInset);
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
                                 &allForced.blockPluggedIn}) {
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
  GdiObject<HFONT> normal(CreateToolkitFont());
  const Rect field = ShortcutFieldPlace(0);
  const std::uint32_t longest =
      EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift | kShortcutWin, 0x87);  // F24
  for (std::uint32_t stored : {kNoShortcut, longest}) {
    const WideString text = ShortcutFieldText(stored, gDisplayLanguage, WideView());
    EXPECT_LE(TextWidth(window, normal.get(), AsWide(text.c_str())), Width(field) - 2 * kShortcutFieldTextInset)
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
  HWND desktop = GetDesktopWindow();
  GdiObject<HFONT> normal(CreateToolkitFont());
  GdiObject<HFONT> bold(CreateToolkitFont(kMainBoldFontHeight, kFontWeightBold, PROOF_QUALITY));
  GdiObject<HFONT> captionFont(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold));
  const int textRight = kMainWindowWidth - kStatusTextRightInset;
  for (int state : {0, 1}) {
    const StatusPanelLook look = PanelLook(state);
    EXPECT_LE(TextWidth(desktop, bold.get(), AsWide(GetString(look.headline))), textRight - kHeadlineBox.left);
    EXPECT_LE(TextWidth(desktop, normal.get(), AsWide(GetString(look.line))), textRight - kStatusLineBox.left);
  }
  const int captionRoom = kGroupLeft + kMainWindowWidth - kGroupWidthInset - kGroupCaptionX;
  for (int caption : {STR_VIDEO_DEVICES, STR_AUDIO_DEVICES}) {
    EXPECT_LE(TextWidth(desktop, captionFont.get(), AsWide(GetString(caption))), captionRoom);
  }
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

}  // namespace
}  // namespace shadowpane
