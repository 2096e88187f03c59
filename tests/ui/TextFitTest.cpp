// Every localized text of every window, in each of the four languages,
// measured as it is drawn: each control answers the font (with its
// quality), the rectangle and the DrawTextW flags it paints its text with,
// the text is drawn so again on a canvas that cuts nothing, and its pixels
// must lie within what the control shows. Every window is checked in a copy
// of this program started with the prefix at 100 %, at 150 % and at 200 %,
// where every window lays itself out natively.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
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
#include "ui/toolkit/win32/DrawnText.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/toolkit/win32/WindowDpi.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/SecondaryWindowLogic.h"
#include "ui/windows/ShortcutsWindowLogic.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SecondaryWindow.h"
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

int BitmapWidth(int id) {
  HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  DeleteObject(bitmap);
  return info.bmWidth;
}

// Set, to the DPI it was started for, in each copy started below.
constexpr wchar_t kScaledCopyVariable[] = L"SHADOWPANE_TEXT_FIT_SCALED_COPY";

bool InStartedCopy() { return GetEnvironmentVariableW(kScaledCopyVariable, nullptr, 0) != 0; }

// Where a text's pixels fall, in the control's client pixels: drawn as the
// control draws it (its font, rectangle and flags, into a bitmap like the
// one it paints into) but without clipping, on a canvas with room around
// the rectangle. Empty when it leaves no pixel.
RECT InkOf(HWND control, const DrawnText& text) {
  RECT ink{0, 0, 0, 0};
  const int length = static_cast<int>(text.text.size());
  HDC windowDc = GetDC(control);
  HDC dc = CreateCompatibleDC(windowDc);
  HGDIOBJ previousFont = SelectObject(dc, text.font);
  RECT extent{0, 0, 0, 0};
  DrawTextW(dc, text.text.c_str(), length, &extent, DT_CALCRECT | (text.format & ~(DT_CENTER | DT_RIGHT)));
  const int marginX = extent.right + 32;
  const int marginY = extent.bottom + 32;
  const int width = text.rect.right - text.rect.left + 2 * marginX;
  const int height = text.rect.bottom - text.rect.top + 2 * marginY;
  HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
  HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, width, height, WHITENESS);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  RECT rect{marginX, marginY, width - marginX, height - marginY};
  DrawTextW(dc, text.text.c_str(), length, &rect, text.format | DT_NOCLIP);
  SelectObject(dc, previousFont);
  SelectObject(dc, previousBitmap);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
  const int rows = GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(control, windowDc);
  if (rows != height) return {0, 0, -1, -1};  // reported as a failure by the caller
  bool any = false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF) == 0xFFFFFF) continue;
      if (!any) ink = {x, y, x + 1, y + 1};
      any = true;
      ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
             std::max<LONG>(ink.bottom, y + 1)};
    }
  }
  if (!any) return ink;
  OffsetRect(&ink, text.rect.left - marginX, text.rect.top - marginY);
  return ink;
}

// The text's pixels lie within its rectangle and the control's client area
// (what DrawTextW and the window clip to), and within `room` (client pixels
// of the control) as well. Answers the ink in the control's client pixels.
RECT ExpectWhole(HWND control, const DrawnText& text, const RECT& room) {
  SCOPED_TRACE(Narrow(text.text));
  const RECT ink = InkOf(control, text);
  EXPECT_GE(ink.right, ink.left) << "the text could not be drawn off screen";
  if (IsRectEmpty(&ink)) return ink;
  RECT shown{};
  IntersectRect(&shown, &text.rect, &room);
  EXPECT_GE(ink.left, shown.left) << "cut on the left";
  EXPECT_GE(ink.top, shown.top) << "cut at the top";
  EXPECT_LE(ink.right, shown.right) << "cut on the right by " << ink.right - shown.right << " px";
  EXPECT_LE(ink.bottom, shown.bottom) << "cut at the bottom by " << ink.bottom - shown.bottom << " px";
  return ink;
}

RECT ClientRect(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client;
}

// Each control of an open secondary window, as it draws its text at the
// window's DPI: every text whole within the control; a picker's before its
// arrow; a label's or a check box's before the window's right separator.
// And the title within its box.
void CheckSecondaryWindow(HWND window, const WideChar* title) {
  ASSERT_NE(window, nullptr);
  const int dpi = LayoutDpi(window);
  const RECT client = ClientRect(window);
  {
    SCOPED_TRACE("title");
    const auto* record = GetWindowRecord<SecondaryWindow>(window);
    ASSERT_NE(record, nullptr);
    ExpectWhole(window, TitleText(*record, title), client);
  }
  const int arrowRoom = Scale(BitmapWidth(kSkinDropArrow), dpi);
  const int separatorEnd = client.right - Scale(kSeparatorInset, dpi);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    const bool button = lstrcmpW(className, kButtonClassName) == 0;
    const bool label = lstrcmpW(className, kLabelClassName) == 0;
    const bool choice = lstrcmpW(className, kChoiceClassName) == 0;
    if (!button && !label && !choice) continue;
    DrawnTexts texts;
    ASSERT_TRUE(ReadDrawnTexts(child, &texts)) << "a control that does not tell what it draws";
    RECT inWindow{};
    GetWindowRect(child, &inWindow);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&inWindow), 2);
    RECT room = ClientRect(child);
    if (button && SendMessageW(child, BXM_ICON2, kPropertyRead, 0) != 0) {
      room.right -= Scale(LOWORD(SendMessageW(child, BXM_ICON2POS, kPropertyRead, 0)), dpi) + arrowRoom;
    }
    if (!button) room.right = std::min<LONG>(room.right, separatorEnd - inWindow.left);
    for (const DrawnText& text : texts) ExpectWhole(child, text, room);
    EXPECT_LE(inWindow.right, client.right) << Narrow(texts.empty() ? L"" : texts.front().text);
  }
}

// Opens a window (`open` blocks in its modal loop) and, as soon as a window
// of the class is open on this thread, runs the check on it and closes it.
// The condition is polled on a thread timer at the loop's shortest period.
struct PendingCheck {
  const wchar_t* className = nullptr;
  std::function<void(HWND)> check;
  bool done = false;
};
PendingCheck pending;

BOOL CALLBACK FindOfClass(HWND window, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, pending.className) != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK CheckOnceOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindOfClass, reinterpret_cast<LPARAM>(&window));
  if (window == nullptr || pending.done) return;
  KillTimer(nullptr, timer);
  pending.done = true;
  pending.check(window);
  SendMessageW(window, WM_CLOSE, 0, 0);
}

void CheckWhenOpen(const wchar_t* className, std::function<void(HWND)> check, const std::function<void()>& open) {
  pending = {className, std::move(check), false};
  const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, CheckOnceOpen);
  open();
  if (!pending.done) KillTimer(nullptr, timer);
  EXPECT_TRUE(pending.done) << "the window never opened";
}

// The windows' owner: one plain window for the whole run.
HWND Owner() {
  static HWND owner = nullptr;
  if (owner == nullptr || !IsWindow(owner)) {
    testing::RegisterTestClass(L"TextFitOwner", DefWindowProcW);
    owner = testing::CreateTestPopup(L"TextFitOwner", 50, 60, 700, 560);
  }
  return owner;
}

void RegisterOnce(const wchar_t* className, int (*registerClass)(HINSTANCE)) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!GetClassInfoExW(instance, className, &existing)) registerClass(instance);
}

class TextFitTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    // The windows open in the started copies only (see the last test).
    if (!InStartedCopy()) GTEST_SKIP() << "checked in the copies started at each scale";
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
      EXPECT_FALSE(IntersectRect(&common, &r, &other)) << GetDlgCtrlID(child);
    }
    rects.push_back(r);
  }
}

// Each wording of the autostart option, and every setting forced with its
// note "Managed by your organization." beneath.
TEST_P(TextFitTest, SettingsWithEachWordingOfTheAutostartOptionAndEveryNote) {
  EnforcedPolicy allForced;
  for (ForcedSetting* setting : {&allForced.language, &allForced.startup, &allForced.blockStart,
                                 &allForced.blockPluggedIn, &allForced.notifyAttempts, &allForced.blockWhileLocked,
                                 &allForced.blockAfterIdleMinutes, &allForced.showIndicator}) {
    *setting = {true, 1};
  }
  for (int byAdministrator : {0, 1}) {
    for (const EnforcedPolicy& policy : {EnforcedPolicy{}, allForced}) {
      SCOPED_TRACE(byAdministrator ? "set by an administrator" : "the user's own");
      SCOPED_TRACE(policy.language.forced ? "every setting forced" : "no policy");
      gAutostartByAdministrator = byAdministrator;
      CheckWhenOpen(
          kSettingsWindowClassName,
          [](HWND window) {
            CheckSecondaryWindow(window, GetString(STR_SETTINGS));
            CheckNoOverlap(window);
          },
          [&] {
            Settings settings{gDisplayLanguage, 0, 0, 0};
            ShowSettingsWindow(Owner(), &settings, policy);
          });
    }
  }
}

TEST_P(TextFitTest, About) {
  CheckWhenOpen(
      kAboutWindowClassName, [](HWND window) { CheckSecondaryWindow(window, GetString(STR_ABOUT)); },
      [] { ShowAboutWindow(Owner()); });
}

// The registration of a set refuses every combination, as when other
// programs hold them.
void RefuseEvery(const ShortcutSet&, bool (&refused)[kShortcutActionCount]) {
  for (bool& row : refused) row = true;
}

void SetFields(HWND window, std::uint32_t (*combination)(int row)) {
  for (int row = 0; row < kShortcutActionCount; ++row) {
    SendDlgItemMessageW(window, IDC_SHORTCUTS_FIELD + row, SFM_SHORTCUT, kPropertyStore,
                        static_cast<LPARAM>(combination(row)));
  }
}

// The window's fixed texts, then each row's messages as the window shows
// them one after another (a key without Ctrl or Alt in every field; OK with
// every combination refused; OK with one combination in every row), and
// "None" and the longest combination in a field.
void CheckShortcutsWindow(HWND window) {
  const WideChar* title = CommandTextIn(CommandText::ShortcutsWindowTitle, gDisplayLanguage);
  CheckSecondaryWindow(window, title);
  for (int row = 0; row < kShortcutActionCount; ++row) {
    HWND field = GetDlgItem(window, IDC_SHORTCUTS_FIELD + row);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SHORTCUTS_FIELD + row, SFN_NEEDS_CTRL_OR_ALT),
                 reinterpret_cast<LPARAM>(field));
  }
  {
    SCOPED_TRACE("needs Ctrl or Alt");
    CheckSecondaryWindow(window, title);
  }
  SetFields(window, [](int row) { return EncodeShortcut(kShortcutControl | kShortcutAlt, 'A' + row); });
  SendMessageW(window, WM_COMMAND, IDC_SHORTCUTS_OK, 0);
  {
    SCOPED_TRACE("taken");
    CheckSecondaryWindow(window, title);
  }
  SetFields(window, [](int) { return EncodeShortcut(kShortcutControl | kShortcutAlt, 'Z'); });
  SendMessageW(window, WM_COMMAND, IDC_SHORTCUTS_OK, 0);
  {
    SCOPED_TRACE("used by another row");
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
  RegisterOnce(kShortcutsWindowClassName, RegisterShortcutsWindowClass);
  ShortcutsWindowServices services;
  services.registerShortcuts = RefuseEvery;
  CheckWhenOpen(kShortcutsWindowClassName, CheckShortcutsWindow,
                [&] { ShowShortcutsWindow(Owner(), services); });
}

TEST_P(TextFitTest, MainWindowStatusAndCaptions) {
  // The main window lays itself out at the system's DPI when it starts.
  HWND desktop = GetDesktopWindow();
  const int dpi = SystemDpi();
  GdiObject<HFONT> normal(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, dpi));
  GdiObject<HFONT> bold(CreateToolkitFont(kMainBoldFontHeight, kFontWeightBold, PROOF_QUALITY, dpi));
  GdiObject<HFONT> captionFont(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold, NONANTIALIASED_QUALITY, dpi));
  const int textRight = kMainWindowWidth - kStatusTextRightInset;
  for (int state : {0, 1, kTalkingState}) {
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
  RegisterOnce(kRecentUseWindowClassName, RegisterRecentUseWindowClass);
  CheckWhenOpen(
      kRecentUseWindowClassName,
      [](HWND window) { CheckSecondaryWindow(window, UsageTextIn(UsageText::RecentUseTitle, gDisplayLanguage)); },
      [] { ShowRecentUseWindow(Owner(), RecentUseLog()); });
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
       {AccessibleText::StateWordBlocked, AccessibleText::StateWordNotBlocked, AccessibleText::StateWordShared,
        AccessibleText::StateWordTalking}) {
    const WideChar* text = AccessibleTextIn(word, gDisplayLanguage);
    EXPECT_LE(TextWidth(desktop, normal.get(), AsWide(text)), kStateWordWidth) << Narrow(AsWide(text));
  }
}

INSTANTIATE_TEST_SUITE_P(EachLanguage, TextFitTest,
                         ::testing::Values(LANGUAGE_ENGLISH, LANGUAGE_GERMAN, LANGUAGE_SPANISH, LANGUAGE_ITALIAN));

// The first-run language window speaks English only, whatever the language.
TEST(TextFit, LanguageWindow) {
  if (!InStartedCopy()) GTEST_SKIP() << "checked in the copies started at each scale";
  testing::RegisterWindowsForTests();
  CheckWhenOpen(
      kLanguageWindowClassName, [](HWND window) { CheckSecondaryWindow(window, kLanguageWindowTitle); },
      [] { ShowLanguageWindow(); });
}

// A started copy really runs at the scale it was started for, so the
// copies' checks are not the 96-DPI ones three times.
TEST(TextFit, AStartedCopyRunsAtTheScaleItWasStartedFor) {
  wchar_t expected[16] = {};
  if (GetEnvironmentVariableW(kScaledCopyVariable, expected, 16) == 0) GTEST_SKIP() << "not a started copy";
  EXPECT_EQ(SystemDpi(), _wtoi(expected));
  EXPECT_EQ(LayoutDpi(Owner()), _wtoi(expected));
}

// While it lives, this program's copies are not managed as X windows by
// Wine (Wine's own per-program setting; the registry value and its key
// go again afterwards): a managed window that was active is waited for
// at its destruction, about two seconds per window opened, with no window
// manager on the test display to answer. Nothing that is measured changes.
class UnmanagedCopies {
 public:
  UnmanagedCopies() {
    DWORD created = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_WRITE, nullptr, &appKey_, &created) !=
        ERROR_SUCCESS) {
      return;
    }
    ownAppKey_ = created == REG_CREATED_NEW_KEY;
    if (RegCreateKeyExW(appKey_, kDriverKey, 0, nullptr, 0, KEY_WRITE, nullptr, &driverKey_, &created) !=
        ERROR_SUCCESS) {
      return;
    }
    ownDriverKey_ = created == REG_CREATED_NEW_KEY;
    RegSetValueExW(driverKey_, kManaged, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
  }
  ~UnmanagedCopies() {
    if (driverKey_ != nullptr) {
      RegDeleteValueW(driverKey_, kManaged);
      RegCloseKey(driverKey_);
      if (ownDriverKey_) RegDeleteKeyW(appKey_, kDriverKey);
    }
    if (appKey_ != nullptr) {
      RegCloseKey(appKey_);
      if (ownAppKey_) RegDeleteKeyW(HKEY_CURRENT_USER, kAppKey);
    }
  }
  UnmanagedCopies(const UnmanagedCopies&) = delete;
  UnmanagedCopies& operator=(const UnmanagedCopies&) = delete;

 private:
  static constexpr wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\text_fit_tests.exe";
  static constexpr wchar_t kDriverKey[] = L"X11 Driver";
  static constexpr wchar_t kManaged[] = L"Managed";
  HKEY appKey_ = nullptr;
  HKEY driverKey_ = nullptr;
  bool ownAppKey_ = false;
  bool ownDriverKey_ = false;
};

// Every check above, in one copy of this program per scale, started with
// the prefix at 100 %, 150 % and 200 % (Wine reads the scale when a process
// starts); the prefix's own scale comes back afterwards.
TEST(TextFit, EveryTextFitsAt100150And200Percent) {
  if (InStartedCopy()) GTEST_SKIP() << "in a started copy";
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  UnmanagedCopies unmanaged;
  for (DWORD dpi : {96u, 144u, 192u}) {
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
