// Who uses a device, as a user of the real Shadowpane.exe meets it under
// Wine: a usage record written into the prefix's registry as the system
// writes it (Wine writes none), the program naming the program and
// announcing an attempt against the blocked virtual camera, and the
// "Recent use" window and its file across a restart. Wine keeps audio
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
// A desktop program's key, its path with '#' for '\'.
constexpr wchar_t kZoomKey[] = L"C:#Apps#Zoom.exe";
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
bool WriteCameraUse(const wchar_t* program) {
  const std::wstring path = std::wstring(kConsentStoreKey) + L"\\" + kCameraUsageKeyName + L"\\NonPackaged\\" + program;
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
  EXPECT_EQ(Status().find("Zoom.exe"), std::string::npos) << "nobody named before the write";

  const DWORD written = GetTickCount();
  ASSERT_TRUE(WriteCameraUse(kZoomKey));
  const wchar_t kBalloon[] = L"Zoom.exe tried to use the camera. It is blocked.";
  ASSERT_TRUE(WaitUntil([&] { return tray_.Received(kBalloon); }, 5000));
  const DWORD elapsed = GetTickCount() - written;
  EXPECT_LT(elapsed, kNamedWithinMs);
  std::printf("record write to the entry's users and balloon: %lu ms\n", static_cast<unsigned long>(elapsed));
  EXPECT_NE(Status().find("camera\tUsage Camera\tblocked\tZoom.exe\r\n"), std::string::npos);
}

TEST_F(UsageTest, TheRecentUseWindowListsWhatTheFileKeptAcrossARestart) {
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  const std::wstring file = program_.folder() + L"\\" + kRecentUseFileName;
  ASSERT_TRUE(WriteCameraUse(kZoomKey));
  ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_GE(program_.WaitForExit(pid_), 0);

  std::vector<std::uint8_t> image;
  ASSERT_EQ(Win32RecentUseFile(file).Read(image, kMaxRecentUseFileBytes), 1);
  RecentUseLog log;
  ASSERT_EQ(DecodeRecentUse(image.data(), image.size(), log), 1);
  ASSERT_EQ(log.Events().size(), 1u);
  EXPECT_EQ(log.Events()[0].program, u"Zoom.exe");
  EXPECT_FALSE(log.Events()[0].turnedAway) << "the camera was open";

  main = Start();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, IDM_RECENT_USE, 0);
  HWND window = WaitForWindow(kRecentUseWindowClassName, pid_);
  ASSERT_NE(window, nullptr);
  // Found as soon as it exists: its list is filled while it is created.
  auto listed = [&] { return SendMessageW(GetDlgItem(window, IDC_RECENT_USE_LIST), LB_GETCOUNT, 0, 0); };
  WaitUntil([&] { return listed() > 0 && IsWindowVisible(window); });
  EXPECT_EQ(listed(), 1);
  ASSERT_TRUE(ClickControl(window, IDC_RECENT_USE_OK));
  EXPECT_TRUE(WaitForNoWindow(kRecentUseWindowClassName, pid_));
}

}  // namespace
}  // namespace shadowpane::e2e
