// Who uses a device, as a user of the real Shadowpane.exe meets it under
// Wine: a usage record written into the prefix's registry as the system
// writes it (Wine writes none), the program naming the program and
// announcing an attempt against the blocked virtual camera, also when the
// store is made only after the program started, never naming itself, and
// the "Recent use" window and its file across a restart. Wine keeps audio
// sessions per process, so the microphones' live users are tested through
// the fake only (tests/usage).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/MenuIds.h"
#include "tests/e2e/FakeTray.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/support/win32/TestPlatform.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"
#include "ui/windows/RecentUseWindowLogic.h"
#include "ui/windows/win32/RecentUseWindow.h"
#include "usage/RecentUse.h"
#include "usage/win32/RegistryUsageSource.h"
#include "usage/win32/Win32RecentUseFile.h"

namespace shadowpane::e2e {
namespace {

using virtualdevices::PluggedDevice;

constexpr wchar_t kCameraName[] = L"Usage Camera";
constexpr wchar_t kCameraPath[] = L"\\\\?\\virtual#usage-camera";
// A record names a desktop program in use only while a process with its
// image runs, so the records here name this test's own executable: its
// path with '#' for '\'.
std::wstring KeyOfPath(std::wstring path) {
  for (wchar_t& unit : path) {
    if (unit == L'\\') unit = L'#';
  }
  return path;
}
std::wstring OwnImagePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD units = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, units);
}
std::string FileNameOf(const std::wstring& path) {
  const std::wstring name = path.substr(path.rfind(L'\\') + 1);
  return std::string(name.begin(), name.end());  // ASCII: the test's own name
}
// From the write to the balloon, which comes with the entry's new users.
constexpr DWORD kNamedWithinMs = 1000;

void DeleteTree(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  wchar_t name[256];
  for (;;) {
    DWORD units = 256;
    if (RegEnumKeyExW(key, 0, name, &units, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteTree(root, path + L"\\" + name);
  }
  RegCloseKey(key);
  RegDeleteKeyW(root, path.c_str());
}

// A camera use as the system records it: a start now and the stop cleared.
bool WriteCameraUse(const std::wstring& programKey) {
  const std::wstring path =
      std::wstring(kConsentStoreKey) + L"\\" + kCameraUsageKeyName + L"\\NonPackaged\\" + programKey;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG start = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const ULONGLONG stop = 0;
  const bool ok =
      RegSetValueExW(key, kLastUsedTimeStartValue, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&start), 8) ==
          ERROR_SUCCESS &&
      RegSetValueExW(key, kLastUsedTimeStopValue, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&stop), 8) ==
          ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

class UsageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Windows owns the usage records (and keeps the user's privacy choices
    // beside them): only under Wine may a test write and remove them.
    SKIP_UNLESS_WINE("the test stands in for the system that owns the usage records");
    EndEveryProgramCopy();
    DeleteProgramKeys();
    DeleteTree(HKEY_CURRENT_USER, kConsentStoreKey);
    SetFirstRunDone();
    SetSetting(L"Language", 0);
    ASSERT_TRUE(camera_.ok());
    ASSERT_TRUE(tray_.ok());
    ASSERT_TRUE(program_.ok());
    // The store exists before the program starts, as on a system that keeps one.
    const std::wstring kind = std::wstring(kConsentStoreKey) + L"\\" + kCameraUsageKeyName + L"\\NonPackaged";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kind.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void TearDown() override {
    if (!testing::RunsOnWine()) return;
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
    DeleteTree(HKEY_CURRENT_USER, kConsentStoreKey);
  }
  HWND Start() {
    pid_ = program_.Start();
    HWND main = pid_ != 0 ? WaitForWindow(kMainClass, pid_) : nullptr;
    if (main != nullptr && !WaitForVisibility(main, true)) return nullptr;
    return main;
  }
  std::string Status() {
    std::string out;
    program_.Run(L"/status", &out);
    return out;
  }

  const std::wstring userKey_ = KeyOfPath(OwnImagePath());
  const std::string user_ = FileNameOf(OwnImagePath());
  PluggedDevice camera_ = PluggedDevice::Camera(kCameraName, kCameraPath);
  FakeTray tray_;
  ProgramCopy program_;
  DWORD pid_ = 0;
};

TEST_F(UsageTest, ARecordWrittenNamesTheProgramAndAnAttemptOnTheBlockedCameraIsAnnounced) {
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  std::string out;
  ASSERT_EQ(program_.Run(L"/block cameras", &out), 0) << out;
  EXPECT_EQ(Status().find(user_), std::string::npos) << "nobody named before the write";

  const DWORD written = GetTickCount();
  ASSERT_TRUE(WriteCameraUse(userKey_));
  const std::wstring balloon =
      std::wstring(user_.begin(), user_.end()) + L" tried to use the camera. It is blocked.";
  ASSERT_TRUE(WaitUntil([&] { return tray_.Received(balloon.c_str()); }, 5000));
  const DWORD elapsed = GetTickCount() - written;
  EXPECT_LT(elapsed, kNamedWithinMs);
  std::printf("record write to the entry's users and balloon: %lu ms\n", static_cast<unsigned long>(elapsed));
  EXPECT_NE(Status().find("camera\tUsage Camera\tblocked\t" + user_ + "\r\n"), std::string::npos);
}

TEST_F(UsageTest, AStoreMadeAfterTheStartIsWatchedAndTheProgramNeverNamesItself) {
  // A fresh system's state: no ConsentStore key at all when the program starts.
  DeleteTree(HKEY_CURRENT_USER, kConsentStoreKey);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  std::string out;
  ASSERT_EQ(program_.Run(L"/block cameras", &out), 0) << out;
  // Shadowpane's own image in use, then another program's use.
  ASSERT_TRUE(WriteCameraUse(KeyOfPath(program_.folder() + L"\\Shadowpane.exe")));
  ASSERT_TRUE(WriteCameraUse(userKey_));
  ASSERT_TRUE(WaitUntil([&] { return Status().find(user_) != std::string::npos; }, 5000))
      << "the use in a store made after the start is seen";
  EXPECT_NE(Status().find("camera\tUsage Camera\tblocked\t" + user_ + "\r\n"), std::string::npos)
      << "only the other program is named, not Shadowpane itself";
  const std::wstring balloon =
      std::wstring(user_.begin(), user_.end()) + L" tried to use the camera. It is blocked.";
  EXPECT_TRUE(WaitUntil([&] { return tray_.Received(balloon.c_str()); }, 5000));
  EXPECT_FALSE(tray_.Received(L"Shadowpane.exe tried to use the camera. It is blocked."));
}

TEST_F(UsageTest, TheRecentUseWindowListsWhatTheFileKeptAcrossARestart) {
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  const std::wstring file = program_.folder() + L"\\" + kRecentUseFileName;
  ASSERT_TRUE(WriteCameraUse(userKey_));
  ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_GE(program_.WaitForExit(pid_), 0);

  std::vector<std::uint8_t> image;
  ASSERT_EQ(Win32RecentUseFile(file).Read(image, kMaxRecentUseFileBytes), 1);
  RecentUseLog log;
  ASSERT_EQ(DecodeRecentUse(image.data(), image.size(), log), 1);
  ASSERT_EQ(log.Events().size(), 1u);
  EXPECT_EQ(std::string(log.Events()[0].program.begin(), log.Events()[0].program.end()), user_);
  EXPECT_FALSE(log.Events()[0].turnedAway) << "the camera was open";

  main = Start();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, IDM_RECENT_USE, 0);
  HWND window = WaitForWindow(kRecentUseWindowClassName, pid_);
  ASSERT_NE(window, nullptr);
  // The list is filled once the window exists: wait for it.
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(GetDlgItem(window, IDC_RECENT_USE_LIST), LB_GETCOUNT, 0, 0) == 1; }))
      << "found " << SendMessageW(GetDlgItem(window, IDC_RECENT_USE_LIST), LB_GETCOUNT, 0, 0) << ", corrupt copy "
      << (GetFileAttributesW((file + L".corrupt").c_str()) != INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(ClickControl(window, IDC_RECENT_USE_OK));
  EXPECT_TRUE(WaitForNoWindow(kRecentUseWindowClassName, pid_));
}

}  // namespace
}  // namespace shadowpane::e2e
