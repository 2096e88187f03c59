// The keyboard shortcuts and the command line of Shadowpane.exe as a user
// and a script meet them, under Wine with the test-only virtual camera and
// microphone: the keys are pressed through the system's input (SendInput)
// from this separate process, the balloon is read from a notification area
// of the test's own, and command lines run with their output on a pipe.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "commands/CommandRecord.h"
#include "commands/CommandTexts.h"
#include "commands/Shortcuts.h"
#include "core/win32/TextCast.h"
#include "tests/e2e/FakeTray.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/e2e/ShortcutKeys.h"
#include "tests/support/win32/TestPlatform.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/MicrophoneInputStore.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "res/MenuIds.h"
#include "settings/win32/RegistryStore.h"
#include "ui/main/MainWindowIds.h"
#include "ui/windows/ShortcutsWindowLogic.h"

namespace shadowpane::e2e {
namespace {

using virtualdevices::PluggedDevice;
using virtualdevices::Quoted;
using virtualdevices::RunHelper;

constexpr wchar_t kCameraName[] = L"Shortcut Camera";
constexpr wchar_t kCameraPath[] = L"\\\\?\\virtual#shortcut-camera";
constexpr wchar_t kMicrophoneName[] = L"Shortcut Microphone";
constexpr DWORD kMicrophoneWaveInId = 4;
// Wine's own input: muted at an endpoint whose mute Wine keeps per object,
// so others still hear it and it never reads silent here.
constexpr wchar_t kWineInputName[] = L"In: default";
constexpr std::uint32_t kBlockAllKeys = EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift, 'B');
constexpr std::uint32_t kCamerasKeys = EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift, 'C');
constexpr std::uint32_t kShiftM = EncodeShortcut(kShortcutShift, 'M');
constexpr std::uint32_t kTalkKeys = EncodeShortcut(kShortcutControl | kShortcutAlt, 'T');
constexpr wchar_t kShortcutsClass[] = L"KSP2ShortcutsWndClass";
// This process's hold of a combination, as another program would hold it.
constexpr int kTestHotKeyId = 7;

// A control's text as its window answers it (across processes).
std::wstring ControlText(HWND window, int id) {
  wchar_t text[256] = {};
  SendMessageW(GetDlgItem(window, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

// Clicks the control until its thread's focus is there.
bool FocusByClick(HWND window, int id) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return ClickControlUntil(window, id, [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus == GetDlgItem(window, id);
  });
}

class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EndEveryProgramCopy();
    DeleteProgramKeys();
    SetFirstRunDone();
    SetSetting(L"Language", 0);
    ASSERT_TRUE(camera_.ok());
    ASSERT_TRUE(microphone_.ok());
    ASSERT_TRUE(tray_.ok());
    ASSERT_TRUE(program_.ok());
  }
  void TearDown() override {
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
  }
  HWND Start() {
    pid_ = program_.Start();
    HWND main = pid_ != 0 ? WaitForWindow(kMainClass, pid_) : nullptr;
    if (main != nullptr && !WaitForVisibility(main, true)) return nullptr;
    return main;
  }

  PluggedDevice camera_ = PluggedDevice::Camera(kCameraName, kCameraPath);
  PluggedDevice microphone_ = PluggedDevice::Microphone(kMicrophoneName, kMicrophoneWaveInId);
  FakeTray tray_;        // before the program: its icon comes here
  ProgramCopy program_;  // after the devices: ended before they are unplugged
  DWORD pid_ = 0;
};

// WM_COPYDATA records that reached the test's own window of the program's
// reply class.
int gForeignAnswers = 0;

LRESULT CALLBACK CountAnswers(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) ++gForeignAnswers;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND ForeignReplyWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountAnswers;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = AsWide(kReplyWindowClassName);
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, AsWide(kReplyWindowClassName), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// The entry of that name in either list (blocked false, name empty if none).
ListedEntry EntryNamed(HWND main, const std::wstring& name) {
  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    for (const ListedEntry& entry : ReadList(GetDlgItem(main, id))) {
      if (entry.name == name) return entry;
    }
  }
  return ListedEntry{};
}

bool Verified(HWND main, const std::wstring& name) {
  const ListedEntry entry = EntryNamed(main, name);
  return entry.blocked && !entry.heldButShared;
}

// An organisation withholds unblocking: the block still works, and the
// camera toggle that would unblock does nothing but say why.
TEST_F(ShortcutTest, AStoredShortcutPressedElsewhereBlocksEveryDeviceAndTheBalloonSaysWhatHappened) {
  SetSetting(L"ShortcutBlockAll", kBlockAllKeys);
  SetSetting(L"ShortcutToggleCameras", kCamerasKeys);
  SetPolicy(HKEY_LOCAL_MACHINE, L"AllowUnblock", 0);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  EXPECT_HRESULT_SUCCEEDED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000)) << "free before";
  ASSERT_TRUE(WaitUntil([&] { return tray_.Count() > 0; })) << "the program's icon reached the test's tray";

  PressShortcut(kBlockAllKeys);
  auto allBlocked = [&] {
    for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
      for (const ListedEntry& entry : ReadList(GetDlgItem(main, id))) {
        if (!entry.blocked) return false;
      }
    }
    return true;
  };
  ASSERT_TRUE(WaitUntil(allBlocked)) << "every entry blocked";
  EXPECT_HRESULT_FAILED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000)) << "another program cannot";

  // Wine's own input is muted at an endpoint whose mute Wine keeps per
  // object: others still hear it, so the balloon must name it rather than
  // claim every device blocked. The virtual devices are verified.
  std::vector<std::wstring> shared;
  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    for (const ListedEntry& entry : ReadList(GetDlgItem(main, id))) {
      if (entry.heldButShared) shared.push_back(entry.name);
      EXPECT_FALSE(entry.heldButShared && (entry.name == kCameraName || entry.name == kMicrophoneName));
    }
  }
  auto balloonShown = [&] {
    if (shared.empty()) return tray_.Received(AsWide(CommandTextIn(CommandText::AllBlocked, 0)));
    for (const std::wstring& name : shared) {
      const WideString text = WithDeviceName(CommandTextIn(CommandText::NotVerified, 0), AsCore(name.c_str()));
      if (tray_.Received(AsWide(text.c_str()))) return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitUntil(balloonShown)) << "the balloon tells what happened, naming an unverified device";

  PressShortcut(kCamerasKeys);
  EXPECT_TRUE(WaitUntil([&] { return tray_.Received(L"Your organization does not allow unblocking devices."); }));
  EXPECT_TRUE(allBlocked()) << "nothing unblocked";
  EXPECT_HRESULT_FAILED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000)) << "the camera stays held";

  // The command line is refused the same way, and so is /quit with the exit withheld.
  std::string out;
  EXPECT_EQ(program_.Run(L"/unblock all", &out), 4) << out;
  EXPECT_TRUE(allBlocked());
  SetPolicy(HKEY_LOCAL_MACHINE, L"AllowExit", 0);
  EXPECT_EQ(program_.Run(L"/quit", &out), 4) << out;
  EXPECT_TRUE(program_.IsRunning(pid_));
}

// The virtual microphone's analog input as another program reads it.
bool Heard(const PluggedDevice& microphone) {
  bool enabled = false;
  return SUCCEEDED(virtualdevices::ReadInputEnabled(microphone.clsid(), &enabled)) && enabled;
}

// Held from this process through the system's input: the blocked
// microphone is heard, shown talking and told so by /status, until the key
// goes up; then it is silent again and shown blocked only once verified.
// The block and the stored profile stay the user's throughout.
TEST_F(ShortcutTest, HoldingTheTalkKeyGivesBlockedMicrophonesBackUntilItIsLetGo) {
  SetSetting(L"ShortcutHoldToTalk", kTalkKeys);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  std::string out;
  ASSERT_EQ(program_.Run(L"/block \"Shortcut Microphone\"", &out), 0) << out;
  ASSERT_TRUE(Verified(main, kMicrophoneName));
  ASSERT_FALSE(Heard(microphone_));
  for (int talk = 0; talk < 2; ++talk) {
    SCOPED_TRACE(talk);
    HoldShortcut(kTalkKeys);
    EXPECT_TRUE(WaitUntil([&] { return Heard(microphone_) && EntryNamed(main, kMicrophoneName).talking; }));
    EXPECT_TRUE(EntryNamed(main, kMicrophoneName).blocked) << "the block stays the user's";
    EXPECT_EQ(program_.Run(L"/status", &out), 1) << "at risk while talking";
    EXPECT_NE(out.find("microphone\tShortcut Microphone\ttalking\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Privacy at Risk\r\n"), std::string::npos) << out;
    ReleaseShortcut(kTalkKeys);
    EXPECT_TRUE(WaitUntil([&] { return !Heard(microphone_) && Verified(main, kMicrophoneName); }));
    EXPECT_FALSE(EntryNamed(main, kMicrophoneName).talking);
  }
  EXPECT_EQ(program_.Run(L"/status", &out), 1);
  EXPECT_NE(out.find("microphone\tShortcut Microphone\tblocked\r\n"), std::string::npos) << out;
}

// Where unblocking is withheld, the talk key is refused as a click would
// be: the balloon says why and the microphone stays silent.
TEST_F(ShortcutTest, TheTalkKeyIsRefusedWhereUnblockingIsNotAllowed) {
  SetSetting(L"ShortcutHoldToTalk", kTalkKeys);
  SetPolicy(HKEY_LOCAL_MACHINE, L"AllowUnblock", 0);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  std::string out;
  ASSERT_EQ(program_.Run(L"/block \"Shortcut Microphone\"", &out), 0) << out;
  ASSERT_TRUE(Verified(main, kMicrophoneName));
  HoldShortcut(kTalkKeys);
  EXPECT_TRUE(WaitUntil([&] { return tray_.Received(L"Your organization does not allow unblocking devices."); }));
  EXPECT_FALSE(Heard(microphone_));
  EXPECT_TRUE(Verified(main, kMicrophoneName));
  ReleaseShortcut(kTalkKeys);
}

TEST_F(ShortcutTest, TheWindowRecordsACombinationAndRefusesOneWithoutCtrlOrAltOrHeldByAnotherProgram) {
  // Stored before start; this process holds it first, so the program's
  // registration at start fails and its OK must too.
  SetSetting(L"ShortcutToggleCameras", kCamerasKeys);
  ASSERT_TRUE(RegisterHotKey(nullptr, kTestHotKeyId, ShortcutModifiers(kCamerasKeys), ShortcutKey(kCamerasKeys)));
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, IDM_SHORTCUTS, 0);  // the menu item
  HWND window = WaitForWindow(kShortcutsClass, pid_);
  ASSERT_NE(window, nullptr);
  const int camerasRow = static_cast<int>(ShortcutAction::ToggleCameras);
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(window, IDC_SHORTCUTS_FIELD + camerasRow) == L"Ctrl+Alt+Shift+C"; }));
  EXPECT_EQ(ControlText(window, IDC_SHORTCUTS_FIELD), L"None");

  ASSERT_TRUE(FocusByClick(window, IDC_SHORTCUTS_FIELD));
  PressShortcut(kShiftM);
  EXPECT_TRUE(WaitUntil([&] { return ControlText(window, IDC_SHORTCUTS_MESSAGE) == L"A shortcut needs Ctrl or Alt."; }));
  EXPECT_EQ(ControlText(window, IDC_SHORTCUTS_FIELD), L"None") << "not recorded";
  PressShortcut(kBlockAllKeys);
  EXPECT_TRUE(WaitUntil([&] { return ControlText(window, IDC_SHORTCUTS_FIELD) == L"Ctrl+Alt+Shift+B"; }));
  EXPECT_EQ(ControlText(window, IDC_SHORTCUTS_MESSAGE), L"");

  ASSERT_TRUE(ClickControl(window, IDC_SHORTCUTS_OK));
  EXPECT_TRUE(WaitUntil([&] {
    return ControlText(window, IDC_SHORTCUTS_MESSAGE + camerasRow) == L"This shortcut is used by another program.";
  }));
  EXPECT_TRUE(IsWindow(window)) << "the window stays open for another choice";
  EXPECT_EQ(ReadSetting(L"ShortcutBlockAll"), static_cast<long>(kBlockAllKeys));
  EXPECT_EQ(ReadSetting(L"ShortcutToggleCameras"), 0) << "the refused combination is not saved";
  UnregisterHotKey(nullptr, kTestHotKeyId);
}

TEST_F(ShortcutTest, CommandLinesReachTheRunningCopyAndExitWithWhatTheyDid) {
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  std::string out;
  EXPECT_EQ(program_.Run(L"/status", &out), 1) << "at risk while devices are open";
  EXPECT_NE(out.find("camera\tShortcut Camera\topen\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Privacy at Risk\r\n"), std::string::npos) << out;

  EXPECT_EQ(program_.Run(L"/block cameras", &out), 0) << out;
  EXPECT_TRUE(Verified(main, kCameraName));
  EXPECT_HRESULT_FAILED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000)) << "another program cannot";
  EXPECT_EQ(program_.Run(L"/block \"Shortcut Microphone\"", &out), 0) << "answered once verified silent";
  EXPECT_TRUE(Verified(main, kMicrophoneName));

  // Everything else too; Wine's own input cannot be verified, and the exit
  // code and the answer say so rather than claim it blocked.
  const bool wineInput = !EntryNamed(main, kWineInputName).name.empty();
  // Windows keeps an input's endpoint mute for the whole system: every input verified, 0.
  EXPECT_EQ(program_.Run(L"/block all", &out), testing::OnWine(wineInput ? 5 : 0, 0)) << out;
  if (wineInput) {
    EXPECT_NE(out.find("microphone\tIn: default\tnot silent"), std::string::npos) << out;
  }
  // Windows: every device blocked and verified, so the status says protected (0).
  EXPECT_EQ(program_.Run(L"/status", &out), testing::OnWine(wineInput ? 1 : 0, 0));
  EXPECT_NE(out.find("microphone\tShortcut Microphone\tblocked\r\n"), std::string::npos) << out;

  EXPECT_EQ(program_.Run(L"/unblock \"Shortcut camera\"", &out), 3) << "names are matched with case";
  EXPECT_NE(out.find("no such device\tShortcut camera"), std::string::npos) << out;
  EXPECT_TRUE(Verified(main, kCameraName));
  EXPECT_EQ(program_.Run(L"/block", &out), 2);
  EXPECT_NE(out.find("Usage:"), std::string::npos);
  // Another process's malformed records: taken as misuse, or left alone.
  std::uint8_t junk[40] = {'S', 'P', 'C', 'M', 1, 0, 1, 4, 200, 0};
  for (ULONG_PTR kind : {ULONG_PTR{kCommandRecordData}, ULONG_PTR{0x1234}}) {
    COPYDATASTRUCT copy{kind, sizeof(junk), junk};
    const LRESULT taken = SendMessageW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    EXPECT_EQ(taken, kind == kCommandRecordData ? TRUE : FALSE);
  }
  EXPECT_TRUE(Verified(main, kCameraName)) << "nothing changed";
  // A reply window of the right class in a program that is not Shadowpane
  // is sent nothing (a status is answered before the send returns).
  HWND foreign = ForeignReplyWindow();
  ASSERT_NE(foreign, nullptr);
  const RecordBytes status = EncodeCommandRecord(MakeCommand(CommandAction::Status, CommandScope::None), 42);
  COPYDATASTRUCT copy{kCommandRecordData, static_cast<DWORD>(status.size()), const_cast<std::uint8_t*>(status.data())};
  EXPECT_EQ(SendMessageW(main, WM_COPYDATA, reinterpret_cast<WPARAM>(foreign), reinterpret_cast<LPARAM>(&copy)), TRUE);
  EXPECT_EQ(gForeignAnswers, 0) << "answered a window of another program";
  DestroyWindow(foreign);

  EXPECT_EQ(program_.Run(L"/quit", &out), 0);
  EXPECT_FALSE(program_.IsRunning(pid_)) << "answered once the copy ended";
  EXPECT_HRESULT_SUCCEEDED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000)) << "and let the camera go";
  EXPECT_EQ(program_.Run(L"/status", &out), 3);
  EXPECT_EQ(out, "Shadowpane is not running.\r\n");
}

TEST_F(ShortcutTest, ABlockWithNoCopyRunningStartsOneHiddenThatHoldsTheCamera) {
  const DWORD pid = program_.Start(L"/block cameras");
  ASSERT_NE(pid, 0u);
  HWND main = WaitForWindow(kMainClass, pid);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return Verified(main, kCameraName); }));
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_FALSE(EntryNamed(main, kMicrophoneName).blocked) << "only the scope asked for";
  EXPECT_HRESULT_FAILED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000));
  EXPECT_TRUE(program_.IsRunning(pid)) << "it stays";
}

// A minute of audio-poll ticks, sent one after the other instead of a
// second apart; each has been handled when its call returns.
void SendAMinuteOfPollTicks(HWND main) {
  constexpr int kTicksPerMinute = 60000 / kAudioPollIntervalMs;
  for (int tick = 0; tick < kTicksPerMinute; ++tick) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, WM_TIMER, TIMER_AUDIO_POLL, 0, SMTO_BLOCK, kWaitLimitMs, &ignored);
  }
}

// Wine's own input is muted at its endpoint when blocked: while it is, the
// logon entry stands in the user's Run key, written once: a minute of poll
// ticks writes nothing, and puts back no entry someone removed. A copy
// that is killed leaves entry and record behind, and the entry's command
// then gives the input back and removes it. The entry earlier versions
// kept in RunOnce is gone at the start.
TEST_F(ShortcutTest, AnInputLeftMutedByAKilledCopyIsGivenBackByTheLogonEntry) {
  const std::wstring restoreCommand = L"\"" + program_.folder() + L"\\Shadowpane.exe\" /restore-inputs";
  WriteOldRestoreInputsEntry(restoreCommand);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  if (EntryNamed(main, kWineInputName).name.empty()) GTEST_SKIP() << "Wine lists no input of its own here";
  std::wstring entry;
  std::wstring record;
  std::string out;
  EXPECT_FALSE(ReadOldRestoreInputsEntry(&entry)) << "the RunOnce value of earlier versions";
  EXPECT_FALSE(ReadRestoreInputsEntry(&entry)) << "nothing muted yet";

  const std::wstring block = L"/block \"" + std::wstring(kWineInputName) + L"\"";
  program_.Run(block, &out);  // 5: Wine keeps the mute per object, so it is never verified
  ASSERT_TRUE(WaitUntil([&] { return ReadSettingText(L"MutedEndpoints", &record); }));
  EXPECT_TRUE(ReadRestoreInputsEntry(&entry));
  EXPECT_EQ(entry, restoreCommand);
  EXPECT_EQ(program_.Run(L"/restore-inputs", &out), 0) << "the running copy keeps its own: " << out;
  EXPECT_TRUE(ReadSettingText(L"MutedEndpoints", &record)) << "untouched";
  EXPECT_TRUE(ReadRestoreInputsEntry(&entry));

  RegistryWatch runKey(HKEY_CURRENT_USER, kRunKeyPath);
  RegistryWatch settingsKey(HKEY_CURRENT_USER, kSettingsKeyPath);
  ASSERT_TRUE(runKey.ok() && settingsKey.ok());
  SendAMinuteOfPollTicks(main);
  EXPECT_FALSE(runKey.Changed()) << "the entry is written once";
  EXPECT_FALSE(settingsKey.Changed()) << "and so is the record";
  HKEY run = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &run), ERROR_SUCCESS);
  RegDeleteValueW(run, AsWide(kRestoreInputsValue));
  RegCloseKey(run);
  SendAMinuteOfPollTicks(main);
  EXPECT_FALSE(ReadRestoreInputsEntry(&entry)) << "no timer re-creates it";

  // Given back by an unblock: nothing is left for a logon to do; muted
  // again, the record and its entry are written again.
  program_.Run(L"/unblock \"" + std::wstring(kWineInputName) + L"\"", &out);
  EXPECT_TRUE(WaitUntil([&] { return !ReadSettingText(L"MutedEndpoints", &record); }));
  program_.Run(block, &out);
  ASSERT_TRUE(WaitUntil([&] { return ReadRestoreInputsEntry(&entry); }));

  TerminateProcess(program_.Process(pid_), 1);
  ASSERT_EQ(program_.WaitForExit(pid_), 1);
  EXPECT_TRUE(ReadRestoreInputsEntry(&entry)) << "the entry outlives the killed copy";
  EXPECT_TRUE(ReadSettingText(L"MutedEndpoints", &record));
  EXPECT_EQ(program_.Run(L"/restore-inputs", &out), 0) << out;
  EXPECT_FALSE(ReadSettingText(L"MutedEndpoints", &record)) << "the record is empty";
  EXPECT_FALSE(ReadRestoreInputsEntry(&entry)) << "and the entry gone";
  EXPECT_EQ(program_.Run(L"/restore-inputs", &out), 0) << "nothing left to do is done too";
}

}  // namespace
}  // namespace shadowpane::e2e
