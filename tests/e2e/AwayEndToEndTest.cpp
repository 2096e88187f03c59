// The user away, under Wine with the test-only virtual camera and
// microphone: the session and power notices the system would send (Wine
// sends none, so this process posts them to the main window as the system
// would deliver them), and no input for a minute (GetLastInputInfo follows
// SendInput). Every device is held and another program is refused the
// camera; the return gives back only what was held for the absence.
#include <gtest/gtest.h>

#include <windows.h>
#include <wtsapi32.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/ProgramDriver.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/MicrophoneInputStore.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"
#include "ui/toolkit/MessageBoxLayout.h"

namespace shadowpane::e2e {
namespace {

using virtualdevices::PluggedDevice;
using virtualdevices::Quoted;
using virtualdevices::RunHelper;

constexpr wchar_t kCameraName[] = L"Away Camera";
constexpr wchar_t kCameraPath[] = L"\\\\?\\virtual#away-camera";
constexpr wchar_t kMicrophoneName[] = L"Away Microphone";
constexpr DWORD kMicrophoneWaveInId = 4;
// Past a minute without input, and the poll's second.
constexpr DWORD kIdleWaitMs = 90000;

class AwayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EndEveryProgramCopy();
    DeleteProgramKeys();
    SetFirstRunDone();
    SetSetting(L"Language", 0);
    ASSERT_TRUE(camera_.ok() && microphone_.ok() && program_.ok());
  }
  void TearDown() override {
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
  }
  HWND Start() {
    pid_ = program_.Start();
    HWND main = pid_ != 0 ? WaitForWindow(kMainClass, pid_) : nullptr;
    return main != nullptr && WaitForVisibility(main, true) ? main : nullptr;
  }
  static void PostSession(HWND main, WPARAM code) {
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
    PostMessageW(main, WM_WTSSESSION_CHANGE, code, static_cast<LPARAM>(session));
  }
  // Waits for the condition, closing the notices the program shows
  // meanwhile (Wine's own input, held, is still heard by others: it says so).
  bool WaitClosingNotices(const std::function<bool()>& check, DWORD limitMs = kWaitLimitMs) {
    return WaitUntil(
        [&] {
          if (HWND box = WaitForWindow(kMessageBoxClass, pid_, 0)) ClickControl(box, kMessageBoxOkId);
          return check();
        },
        limitMs);
  }
  static bool Blocked(HWND main, int listId, const std::wstring& name) {
    HWND list = GetDlgItem(main, listId);
    const int index = FindEntry(list, name);
    return index >= 0 && ReadList(list)[static_cast<size_t>(index)].blocked;
  }
  bool CameraBlocked(HWND main) const { return Blocked(main, IDC_VIDEO_LIST, kCameraName); }
  bool MicrophoneBlocked(HWND main) const { return Blocked(main, IDC_AUDIO_LIST, kMicrophoneName); }
  static bool EveryEntryBlocked(HWND main) {
    for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
      for (const ListedEntry& entry : ReadList(GetDlgItem(main, id))) {
        if (!entry.blocked) return false;
      }
    }
    return true;
  }
  static HRESULT ProbeCamera() { return RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000); }
  bool MicrophoneInputOff() const {
    bool enabled = true;
    return SUCCEEDED(virtualdevices::ReadInputEnabled(microphone_.clsid(), &enabled)) && !enabled;
  }
  // Profile.db's word for the path: 1 blocked, 0 open, -1 no record.
  int SavedBlocked(const std::wstring& path) const {
    std::vector<ProfileRecord> records;
    if (!ReadProfile(program_.ProfilePath(), &records)) return -1;
    for (const ProfileRecord& record : records) {
      if (record.path == std::u16string(path.begin(), path.end())) return record.blocked != 0 ? 1 : 0;
    }
    return -1;
  }

  int SavedBlockedCount() const {
    std::vector<ProfileRecord> records;
    if (!ReadProfile(program_.ProfilePath(), &records)) return -1;
    int count = 0;
    for (const ProfileRecord& record : records) count += record.blocked != 0 ? 1 : 0;
    return count;
  }

  PluggedDevice camera_ = PluggedDevice::Camera(kCameraName, kCameraPath);
  PluggedDevice microphone_ = PluggedDevice::Microphone(kMicrophoneName, kMicrophoneWaveInId);
  ProgramCopy program_;
  DWORD pid_ = 0;
};

// The user blocked the microphone; the lock holds the rest, the unlock
// gives back the camera only.
TEST_F(AwayTest, ALockHoldsEveryDeviceAndTheUnlockGivesBackOnlyWhatItHeld) {
  SetSetting(L"BlockWhileLocked", 1);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  HWND audio = GetDlgItem(main, IDC_AUDIO_LIST);
  ASSERT_TRUE(ClickEntry(audio, FindEntry(audio, kMicrophoneName)));
  ASSERT_TRUE(WaitUntil([&] { return MicrophoneBlocked(main); }));
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera()) << "free before the lock";

  PostSession(main, WTS_SESSION_LOCK);
  ASSERT_TRUE(WaitClosingNotices([&] { return EveryEntryBlocked(main); })) << "every device held while locked";
  EXPECT_HRESULT_FAILED(ProbeCamera()) << "another program cannot open the camera";

  PostSession(main, WTS_SESSION_UNLOCK);
  ASSERT_TRUE(WaitClosingNotices([&] { return !CameraBlocked(main); })) << "the camera is given back";
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera());
  EXPECT_TRUE(MicrophoneBlocked(main)) << "the user's block stays";
  EXPECT_TRUE(MicrophoneInputOff());
}

// Ended while locked (Profile.db is held open while the program runs, so it
// is read once the process is gone): only the user's block was saved, and
// the next start holds only that one.
TEST_F(AwayTest, AnEndWhileLockedLeavesOnlyTheUsersBlocksSaved) {
  SetSetting(L"BlockWhileLocked", 1);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  HWND audio = GetDlgItem(main, IDC_AUDIO_LIST);
  ASSERT_TRUE(ClickEntry(audio, FindEntry(audio, kMicrophoneName)));
  ASSERT_TRUE(WaitUntil([&] { return MicrophoneBlocked(main); }));
  PostSession(main, WTS_SESSION_LOCK);
  ASSERT_TRUE(WaitClosingNotices([&] { return EveryEntryBlocked(main); }));
  program_.EndAll();  // ended without warning
  EXPECT_EQ(SavedBlocked(kCameraPath), 0) << "the lock's hold is not the user's";
  EXPECT_EQ(SavedBlockedCount(), 1) << "the microphone's, the user's own";
  std::wstring command;
  EXPECT_TRUE(ReadRestoreInputsEntry(&command)) << "the next logon gives the inputs back";

  main = Start();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return MicrophoneBlocked(main); })) << "the user's block is held again";
  EXPECT_FALSE(CameraBlocked(main));
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera());
}

// Another session's notice, or the setting off: nothing is held.
TEST_F(AwayTest, AnotherSessionsLockOrTheSettingOffHoldsNothing) {
  SetSetting(L"BlockWhileLocked", 1);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  DWORD session = 0;
  ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
  PostMessageW(main, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, static_cast<LPARAM>(session + 1));
  // A status command is answered after the posted notice was handled.
  std::string output;
  program_.Run(L"/status", &output);
  EXPECT_FALSE(CameraBlocked(main));
  program_.EndAll();

  SetSetting(L"BlockWhileLocked", 0);
  main = Start();
  ASSERT_NE(main, nullptr);
  PostSession(main, WTS_SESSION_LOCK);
  program_.Run(L"/status", &output);
  EXPECT_FALSE(CameraBlocked(main));
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera());
}

// Sleep holds; waking on its own keeps the hold and checks it; the user's
// return gives it back.
TEST_F(AwayTest, SleepHoldsAndOnlyTheUsersWakingGivesBack) {
  SetSetting(L"BlockWhileLocked", 1);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  ASSERT_TRUE(WaitClosingNotices([&] { return EveryEntryBlocked(main); }));
  EXPECT_TRUE(WaitUntil([&] { return MicrophoneInputOff(); }));
  PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  std::string output;
  program_.Run(L"/status", &output);
  EXPECT_TRUE(CameraBlocked(main)) << "nobody is back yet";
  EXPECT_HRESULT_FAILED(ProbeCamera()) << "the hold survived and is checked";

  PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
  ASSERT_TRUE(WaitClosingNotices([&] { return !CameraBlocked(main) && !MicrophoneBlocked(main); }));
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera());
}

// A minute without input holds every device; the next input gives back.
TEST_F(AwayTest, AMinuteWithoutInputHoldsAndTheNextInputGivesBack) {
  SetSetting(L"BlockAfterIdleMinutes", 1);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  const auto nudge = [] {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    input.mi.dx = 1;
    SendInput(1, &input, sizeof(input));
  };
  nudge();
  const DWORD nudgedAt = GetTickCount();
  // The notice that Wine's own input is still heard stays open: closing
  // it with the pointer would be input.
  ASSERT_TRUE(WaitUntil([&] { return EveryEntryBlocked(main); }, kIdleWaitMs));
  EXPECT_GE(GetTickCount() - nudgedAt, 60000u) << "not before the minute";
  EXPECT_HRESULT_FAILED(ProbeCamera());

  nudge();
  ASSERT_TRUE(WaitUntil([&] { return !CameraBlocked(main); }));
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera());
}

}  // namespace
}  // namespace shadowpane::e2e
