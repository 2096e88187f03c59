// Shadowpane.exe as a keyboard user and a screen reader meet it, under Wine
// with the test-only virtual devices: keys pressed through the system's
// input into the foreground window, accessible objects read from this
// process, WinEvents recorded by an out-of-context hook. Each window's
// count of named controls is printed for the record ("[a11y]").
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "res/MenuIds.h"
#include "tests/e2e/AccessibilityProbe.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/windows/AboutWindowLogic.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/RecentUseWindowLogic.h"
#include "ui/windows/win32/RecentUseWindow.h"
#include "ui/windows/SettingsWindowLogic.h"
#include "ui/windows/ShortcutsWindowLogic.h"
#include "usage/RecentUse.h"
#include "usage/win32/Win32RecentUseFile.h"

namespace shadowpane::e2e {
namespace {

using virtualdevices::PluggedDevice;
using virtualdevices::Quoted;
using virtualdevices::RunHelper;

constexpr wchar_t kShortcutsClass[] = L"KSP2ShortcutsWndClass";
constexpr wchar_t kFirstCamera[] = L"Keyboard Camera One";
constexpr wchar_t kFirstPath[] = L"\\\\?\\virtual#keyboard-camera-one";
constexpr wchar_t kSecondCamera[] = L"Keyboard Camera Two";
constexpr wchar_t kSecondPath[] = L"\\\\?\\virtual#keyboard-camera-two";
constexpr wchar_t kWineInputName[] = L"In: default";
constexpr DWORD kKeyWaitMs = 5000;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// What arrived, for a failure's message.
std::string Arrived(const EventRecorder& events) {
  std::string text;
  for (const RecordedEvent& e : events.Events()) {
    char line[160];
    std::snprintf(line, sizeof line, " [%04lx %p %ld %ld %s]", e.event, static_cast<void*>(e.window), e.object,
                  e.child, Narrow(e.value).c_str());
    text += line;
  }
  return text.empty() ? " none" : text;
}

// Prints a window's count for the record and checks every control is named.
void ExpectAllNamed(HWND window, const char* label, int expectedTotal) {
  const NamedCount count = CountNamedControls(window);
  std::printf("[a11y] %s: %d of %d controls with a name and a role\n", label, count.named, count.total);
  EXPECT_EQ(count.named, count.total) << label << ": first unnamed "
                                      << (count.unnamed.empty() ? "" : Narrow(count.unnamed.front()));
  if (expectedTotal > 0) {
    EXPECT_EQ(count.total, expectedTotal) << label;
  }
  const AccessibleRead self = ReadAccessible(window);
  EXPECT_FALSE(self.name.empty()) << label << " itself has a name";
  EXPECT_NE(self.role, 0) << label;
}

// The state a list item's value must read for an entry.
std::wstring StateWords(const ListedEntry& entry, bool camera) {
  if (!entry.blocked) return L"Not blocked";
  if (!entry.heldButShared) return L"Blocked";
  return camera ? L"Blocked, but other programs can still use it" : L"Blocked, but other programs can still hear it";
}

// Presses the key, then waits until the focus in the program moved from
// where it was.
HWND PressAndFollowFocus(HWND window, WORD key, WORD modifier = 0) {
  const HWND before = FocusOf(window);
  PressKey(key, modifier);
  WaitUntil([&] { return FocusOf(window) != before; }, kKeyWaitMs);
  return FocusOf(window);
}

class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EndEveryProgramCopy();
    DeleteProgramKeys();
    SetFirstRunDone();
    ASSERT_TRUE(first_.ok());
    ASSERT_TRUE(second_.ok());
    ASSERT_TRUE(program_.ok());
  }
  void TearDown() override {
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
    CoUninitialize();
  }
  HWND StartWithLanguage(const std::wstring& arguments = L"") {
    SetSetting(L"Language", 0);
    pid_ = program_.Start(arguments);
    HWND main = pid_ != 0 ? WaitForWindow(kMainClass, pid_) : nullptr;
    if (main != nullptr && arguments != L"/min" && !WaitForVisibility(main, true)) return nullptr;
    return main;
  }
  // Opens a window of the program from the menu by the keyboard: Alt opens
  // it, the item's first letter picks it.
  HWND OpenFromMenu(HWND main, WORD letter, const wchar_t* className) {
    if (!Foreground(main)) return nullptr;
    PressKey(VK_MENU);
    // The menu's own loop runs once it is open; the letter waits for it.
    Sleep(300);
    PressKey(letter);
    return WaitForWindow(className, pid_, kKeyWaitMs);
  }

  PluggedDevice first_ = PluggedDevice::Camera(kFirstCamera, kFirstPath);
  PluggedDevice second_ = PluggedDevice::Camera(kSecondCamera, kSecondPath);
  ProgramCopy program_;
  DWORD pid_ = 0;
};

TEST_F(AccessibilityTest, TheMainWindowNamesEveryControlAndEachListReadsItsDevicesWithTheirState) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  ExpectAllNamed(main, "main window", 5);
  EXPECT_EQ(ReadAccessible(GetDlgItem(main, IDC_MENU_BUTTON)).name, L"Menu");
  EXPECT_EQ(ReadAccessible(GetDlgItem(main, IDC_HIDE_BUTTON)).name, L"Minimize");
  EXPECT_EQ(ReadAccessible(GetDlgItem(main, IDC_CLOSE_BUTTON)).name, L"Close");
  EXPECT_EQ(ReadAccessible(GetDlgItem(main, IDC_CLOSE_BUTTON)).role, ROLE_SYSTEM_PUSHBUTTON);

  const AccessibleRead status = ReadAccessible(main, 1);
  EXPECT_EQ(status.name, L"Privacy at Risk");
  EXPECT_EQ(status.role, ROLE_SYSTEM_STATICTEXT);
  EXPECT_FALSE(status.description.empty()) << "the line below the headline";

  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    HWND list = GetDlgItem(main, id);
    const AccessibleRead self = ReadAccessible(list);
    EXPECT_EQ(self.role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(self.name, id == IDC_VIDEO_LIST ? L"Video Devices" : L"Audio Devices");
    const std::vector<ListedEntry> entries = ReadList(list);
    const std::vector<AccessibleRead> items = ReadAccessibleChildren(list);
    ASSERT_EQ(items.size(), entries.size());
    for (size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].name, entries[i].name);
      EXPECT_EQ(items[i].role, ROLE_SYSTEM_LISTITEM);
      EXPECT_EQ(items[i].value, StateWords(entries[i], id == IDC_VIDEO_LIST)) << Narrow(entries[i].name);
      EXPECT_EQ(items[i].defaultAction, entries[i].blocked ? L"Unblock" : L"Block");
      EXPECT_NE(items[i].state & STATE_SYSTEM_SELECTABLE, 0);
    }
  }
}

TEST_F(AccessibilityTest, TabReachesEachListAndDownThenSpaceBlocksTheSecondCameraAndTellsTheReader) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND video = GetDlgItem(main, IDC_VIDEO_LIST);
  ASSERT_EQ(ReadList(video).size(), 2u) << "both virtual cameras listed";
  // The pointer out of the way: over a list it gives the list the focus.
  SetCursorPos(0, 0);
  ASSERT_TRUE(Foreground(main));

  // Tab order: the menu, minimize, close, the video list, the audio list,
  // wherever the focus was at first.
  HWND menu = GetDlgItem(main, IDC_MENU_BUTTON);
  for (int i = 0; i < 6 && FocusOf(main) != menu; ++i) PressAndFollowFocus(main, VK_TAB);
  ASSERT_EQ(FocusOf(main), menu);
  const int order[] = {IDC_HIDE_BUTTON, IDC_CLOSE_BUTTON, IDC_VIDEO_LIST, IDC_AUDIO_LIST, IDC_MENU_BUTTON};
  for (int id : order) EXPECT_EQ(PressAndFollowFocus(main, VK_TAB), GetDlgItem(main, id));
  EXPECT_EQ(PressAndFollowFocus(main, VK_TAB, VK_SHIFT), GetDlgItem(main, IDC_AUDIO_LIST));
  EXPECT_EQ(PressAndFollowFocus(main, VK_TAB, VK_SHIFT), video) << "Shift+Tab goes back";

  EventRecorder events(pid_, EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE);
  PressKey(VK_DOWN);
  EXPECT_TRUE(events.WaitFor([&](const RecordedEvent& e) {
    return e.event == EVENT_OBJECT_FOCUS && e.window == video && e.child == 2;
  }, kKeyWaitMs)) << "the caret's entry is announced; arrived:" << Arrived(events);
  const std::wstring secondName = ReadList(video)[1].name;
  const std::wstring secondPath = secondName == kFirstCamera ? kFirstPath : kSecondPath;
  const std::wstring firstPath = secondName == kFirstCamera ? kSecondPath : kFirstPath;

  const std::size_t beforeSpace = events.Events().size();
  PressKey(VK_SPACE);
  EXPECT_TRUE(WaitUntil([&] { return ReadList(video)[1].blocked; })) << "the second entry turns blocked";
  EXPECT_FALSE(ReadList(video)[0].blocked) << "the first stays as it was";
  EXPECT_HRESULT_FAILED(RunHelper(L"probe-camera " + Quoted(secondPath), 30000)) << "another program is refused";
  EXPECT_HRESULT_SUCCEEDED(RunHelper(L"probe-camera " + Quoted(firstPath), 30000));
  EXPECT_TRUE(events.WaitFor([&](const RecordedEvent& e) {
    return e.event == EVENT_OBJECT_STATECHANGE && e.window == video && e.child == 2 && e.value == L"Blocked";
  }, kKeyWaitMs)) << "the reader hears \"Blocked\" without asking; arrived:" << Arrived(events);
  EXPECT_EQ(ReadAccessible(video, 2).value, L"Blocked");
  // The focus event again on the same entry, for a reader that speaks only
  // at a focus (Wine hands a burst over in reverse, so only that it came
  // after the Space is checked here; the order, in process, by the main
  // window's test).
  EXPECT_TRUE(events.WaitFor([&](const RecordedEvent& e) {
    return &e - events.Events().data() >= static_cast<std::ptrdiff_t>(beforeSpace) &&
           e.event == EVENT_OBJECT_FOCUS && e.window == video && e.child == 2;
  }, kKeyWaitMs)) << "the entry is announced again with its new state; arrived:" << Arrived(events);

  // Enter is the same click: it unblocks again.
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !ReadList(video)[1].blocked; }));
}

TEST_F(AccessibilityTest, AReaderPressesAButtonAndBlocksAnEntryByItsDefaultAction) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND video = GetDlgItem(main, IDC_VIDEO_LIST);
  EXPECT_HRESULT_SUCCEEDED(DoDefaultAction(video, 1));
  EXPECT_TRUE(WaitUntil([&] { return ReadList(video)[0].blocked; }));
  EXPECT_HRESULT_SUCCEEDED(DoDefaultAction(GetDlgItem(main, IDC_HIDE_BUTTON), CHILDID_SELF));
  EXPECT_TRUE(WaitForVisibility(main, false)) << "Minimize hides the window to the tray";
}

// The "Recent use" list as a reader meets it: a list named by the window's
// title, one entry per event named by its program, with the time, device
// and result as its value; Tab reaches it and Down moves the focus, which
// the reader is told.
TEST_F(AccessibilityTest, TheRecentUseListReadsEachEventAndTheKeysMoveThroughIt) {
  SetSetting(L"Language", 0);
  RecentUseLog log;
  UsageEvent event;
  event.time = 133500000000000000ull;
  event.program = u"talker.exe";
  event.kind = UsageKind::Microphone;
  log.Add(event);  // the older: named only by its kind
  event.program = u"peeker.exe";
  event.kind = UsageKind::Camera;
  event.device = u"POC Virtual Camera";
  event.turnedAway = true;
  log.Add(event);
  const std::vector<std::uint8_t> image = EncodeRecentUse(log);
  ASSERT_EQ(Win32RecentUseFile(program_.folder() + L"\\" + kRecentUseFileName).Write(image.data(), image.size()), 1);
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, IDM_RECENT_USE, 0);
  HWND window = WaitForWindow(kRecentUseWindowClassName, pid_, kKeyWaitMs);
  ASSERT_NE(window, nullptr);
  HWND list = GetDlgItem(window, IDC_RECENT_USE_LIST);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }, kKeyWaitMs));

  const AccessibleRead self = ReadAccessible(list);
  EXPECT_EQ(self.role, ROLE_SYSTEM_LIST);
  EXPECT_EQ(self.name, L"Recent use");
  const std::vector<AccessibleRead> items = ReadAccessibleChildren(list);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].name, L"peeker.exe") << "newest first";
  EXPECT_EQ(items[0].role, ROLE_SYSTEM_LISTITEM);
  const std::wstring ending = L", POC Virtual Camera, Turned away";
  ASSERT_GT(items[0].value.size(), ending.size()) << "the time first";
  EXPECT_EQ(items[0].value.substr(items[0].value.size() - ending.size()), ending);
  EXPECT_EQ(items[1].name, L"talker.exe");
  EXPECT_NE(items[1].value.find(L", a microphone, Allowed"), std::wstring::npos) << Narrow(items[1].value);
  ExpectAllNamed(window, "Recent use window", 0);

  SetCursorPos(0, 0);
  ASSERT_TRUE(Foreground(window));
  EventRecorder events(pid_, EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS);
  EXPECT_EQ(PressAndFollowFocus(window, VK_TAB), list) << "the list first in the Tab order";
  EXPECT_TRUE(events.WaitFor([&](const RecordedEvent& e) { return e.window == list && e.child == 1; }, kKeyWaitMs))
      << "arrived:" << Arrived(events);
  for (WORD key : {WORD(VK_DOWN), WORD(VK_HOME), WORD(VK_NEXT)}) {
    const long to = key == VK_HOME ? 1 : 2;
    PressKey(key);
    EXPECT_TRUE(WaitUntil([&] { return (ReadAccessible(list, to).state & STATE_SYSTEM_FOCUSED) != 0; }, kKeyWaitMs))
        << key;
  }
  EXPECT_TRUE(events.WaitFor([&](const RecordedEvent& e) { return e.window == list && e.child == 2; }, kKeyWaitMs))
      << "arrived:" << Arrived(events);
  PressKey(VK_SPACE);  // nothing to click: the window stays
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoWindow(kRecentUseWindowClassName, pid_, kKeyWaitMs));
}

// The main menu is the system's: the keys that open it, its arrows, Enter
// and Escape. Its items are read through the system's own menu object,
// which Wine 8 does not have (its menu window answers an empty client).
TEST_F(AccessibilityTest, TheMenuOpensFromTheKeyboardAndItsArrowsEnterAndEscapeWork) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  SetCursorPos(0, 0);
  ASSERT_TRUE(Foreground(main));
  auto menuOpen = [&] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
  };
  for (WORD modifier : {WORD(VK_SHIFT), WORD(0)}) {
    PressKey(modifier == VK_SHIFT ? VK_F10 : VK_APPS, modifier);
    EXPECT_TRUE(WaitUntil(menuOpen, kKeyWaitMs)) << (modifier ? "Shift+F10" : "the context key");
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !menuOpen(); }, kKeyWaitMs)) << "Escape closes it";
  }
  PressKey(VK_MENU);
  ASSERT_TRUE(WaitUntil(menuOpen, kKeyWaitMs)) << "Alt alone";
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  HWND settings = WaitForWindow(kSettingsClass, pid_, kKeyWaitMs);
  EXPECT_NE(settings, nullptr) << "Down, then Enter, on the first item";
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoWindow(kSettingsClass, pid_, kKeyWaitMs));
}

TEST_F(AccessibilityTest, EscapeClosesSettingsWithoutSavingAndEnterSaves) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  for (WORD closing : {WORD(VK_ESCAPE), WORD(VK_RETURN)}) {
    HWND settings = OpenFromMenu(main, 'S', kSettingsClass);
    ASSERT_NE(settings, nullptr) << "Alt, then S, opens Settings";
    if (closing == VK_ESCAPE) ExpectAllNamed(settings, "Settings window", 0);
    // Tab: the language picker, the autostart box, then the start box.
    HWND box = GetDlgItem(settings, IDC_SETTINGS_BLOCK_START);
    for (int i = 0; i < 3; ++i) PressAndFollowFocus(settings, VK_TAB);
    ASSERT_EQ(FocusOf(settings), box);
    PressKey(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(box, CXM_CHECKED, 0, 0) == 1; }, kKeyWaitMs)) << "Space ticks it";
    EXPECT_EQ(ReadAccessible(box).state & STATE_SYSTEM_CHECKED, STATE_SYSTEM_CHECKED);
    PressKey(closing);
    ASSERT_TRUE(WaitForNoWindow(kSettingsClass, pid_, kKeyWaitMs));
    EXPECT_EQ(ReadSetting(L"BlockStart") == 1, closing == VK_RETURN) << "saved only by Enter";
  }
}

// The language picker by the keyboard: Space opens its list, whose items a
// reader reads; Down passes over the separator, Enter picks; the focus is
// back on the picker once the list has gone.
TEST_F(AccessibilityTest, TheLanguageListOpensAndPicksByTheKeyboard) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND settings = OpenFromMenu(main, 'S', kSettingsClass);
  ASSERT_NE(settings, nullptr);
  HWND picker = GetDlgItem(settings, IDC_SETTINGS_PICKER);
  EXPECT_EQ(PressAndFollowFocus(settings, VK_TAB), picker);
  const AccessibleRead pickerRead = ReadAccessible(picker);
  EXPECT_EQ(pickerRead.name, L"Language");
  EXPECT_EQ(pickerRead.value, L"English");
  PressKey(VK_SPACE);
  HWND list = WaitForWindow(L"KMenuEx_0000", pid_, kKeyWaitMs);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ReadAccessible(list).role, ROLE_SYSTEM_MENUPOPUP);
  const std::vector<AccessibleRead> items = ReadAccessibleChildren(list);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].name, L"English");
  EXPECT_NE(items[0].state & STATE_SYSTEM_CHECKED, 0) << "the current choice";
  EXPECT_EQ(items[1].role, ROLE_SYSTEM_SEPARATOR);
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return ReadAccessible(picker).value == items[2].name; }, kKeyWaitMs))
      << "the second language picked";
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(settings) == picker; }, kKeyWaitMs));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoWindow(kSettingsClass, pid_, kKeyWaitMs));
  EXPECT_NE(ReadSetting(L"Language"), 1) << "Escape kept nothing";
}

TEST_F(AccessibilityTest, AboutAndShortcutsNameEveryControlAndEscapeClosesThem) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND about = OpenFromMenu(main, 'A', kAboutClass);
  ASSERT_NE(about, nullptr);
  ExpectAllNamed(about, "About window", 0);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoWindow(kAboutClass, pid_, kKeyWaitMs));

  HWND shortcuts = OpenFromMenu(main, 'K', kShortcutsClass);
  ASSERT_NE(shortcuts, nullptr);
  ExpectAllNamed(shortcuts, "Keyboard shortcuts window", 0);
  // The first Tab reaches the first field; Space makes it record, and then
  // Tab stays in it (only ends the recording); the next Tab leaves.
  HWND field = GetDlgItem(shortcuts, IDC_SHORTCUTS_FIELD);
  EXPECT_EQ(PressAndFollowFocus(shortcuts, VK_TAB), field);
  PressKey(VK_SPACE);
  EXPECT_TRUE(WaitUntil([&] { return (ReadAccessible(field).state & STATE_SYSTEM_PRESSED) != 0; }, kKeyWaitMs));
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return (ReadAccessible(field).state & STATE_SYSTEM_PRESSED) == 0; }, kKeyWaitMs));
  EXPECT_EQ(FocusOf(shortcuts), field);
  EXPECT_NE(PressAndFollowFocus(shortcuts, VK_TAB), field);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoWindow(kShortcutsClass, pid_, kKeyWaitMs));
}

TEST_F(AccessibilityTest, TheLanguageWindowTakesArrowsAndEnter) {
  DeleteProgramKeys();
  SetFirstRunDone();
  pid_ = program_.Start();
  HWND language = WaitForWindow(kLanguageClass, pid_);
  ASSERT_NE(language, nullptr);
  ExpectAllNamed(language, "language window", 0);
  ASSERT_TRUE(Foreground(language));
  HWND english = GetDlgItem(language, IDC_LANGUAGE_FIRST_CHOICE);
  EXPECT_EQ(PressAndFollowFocus(language, VK_TAB), english);
  EXPECT_EQ(ReadAccessible(english).role, ROLE_SYSTEM_RADIOBUTTON);
  PressKey(VK_DOWN);
  HWND german = GetDlgItem(language, IDC_LANGUAGE_FIRST_CHOICE + 1);
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(german, CXM_CHECKED, 0, 0) == 1; }, kKeyWaitMs));
  PressKey(VK_ESCAPE);  // a language must be chosen: nothing happens
  PressKey(VK_RETURN);
  EXPECT_NE(WaitForWindow(kMainClass, pid_), nullptr);
  EXPECT_EQ(ReadSetting(L"Language"), 1) << "German, picked with the arrows";
}

// The restart question: Enter presses its default (Yes: this copy takes
// over), Escape its No (the first copy lives on).
struct QuestionCase {
  const char* name;
  WORD key;
  bool firstLives;
};
class RestartQuestionTest : public AccessibilityTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(RestartQuestionTest, TheKeyAnswersTheQuestion) {
  const QuestionCase& c = GetParam();
  HWND first = StartWithLanguage(L"/min");
  ASSERT_NE(first, nullptr);
  const DWORD firstPid = pid_;
  const DWORD secondPid = program_.Start();
  HWND box = WaitForWindow(kMessageBoxClass, secondPid);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(WaitForVisibility(box, true)) << "shown once its buttons are made";
  ExpectAllNamed(box, "message box", 2);
  EXPECT_EQ(ReadAccessible(GetDlgItem(box, kMessageBoxYesId)).name, L"Yes");
  ASSERT_TRUE(Foreground(box));
  PressKey(c.key);
  if (c.firstLives) {
    EXPECT_EQ(program_.WaitForExit(secondPid), 0);
    EXPECT_TRUE(program_.IsRunning(firstPid));
  } else {
    EXPECT_EQ(program_.WaitForExit(firstPid), 0);
    EXPECT_NE(WaitForWindow(kMainClass, secondPid), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, RestartQuestionTest,
                         ::testing::Values(QuestionCase{"EnterRestarts", VK_RETURN, false},
                                           QuestionCase{"EscapeKeepsTheFirst", VK_ESCAPE, true}),
                         [](const ::testing::TestParamInfo<QuestionCase>& info) { return info.param.name; });

}  // namespace
}  // namespace shadowpane::e2e
