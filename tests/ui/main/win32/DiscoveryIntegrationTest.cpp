// RefreshDevices with the real capture services on Wine's own devices (the
// null ALSA capture device of the test prefix is one microphone, "In:
// default"), a hidden main window with the two list boxes as target, and
// Profile.db in a folder of its own.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/DeviceText.h"
#include "devices/Microphone.h"
#include "devices/ProfileCodec.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/Win32ProfileFile.h"
#include "devices/win32/WindowPoster.h"
#include "tests/support/win32/TempFolder.h"
#include "tests/support/win32/TestPlatform.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/win32/DiscoveryWindowTarget.h"

namespace shadowpane {
namespace {

constexpr wchar_t kWineMicrophone[] = L"In: default";
constexpr wchar_t kWindowClass[] = L"ShadowpaneDiscoveryTestMain";
// A capture entry the test registers for a "plugged-in" microphone. The
// system's enumerator lists the entries under the category's Instance key.
constexpr wchar_t kAudioInstanceKey[] =
    L"CLSID\\{33D9A762-90C8-11D0-BD43-00A0C911CE86}\\Instance";
constexpr wchar_t kTestEntryName[] = L"{6A1F3C52-2B7E-4D0A-9C41-5E8D7F1B0A11}";
constexpr wchar_t kTestMicrophone[] = L"Shadowpane Test Input";
constexpr DWORD kTestWaveInId = 7;

struct Entry {
  std::wstring text;
  LRESULT data;
};

std::vector<Entry> ListEntries(HWND box) {
  std::vector<Entry> entries;
  const LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[kNameUnits] = {};
    SendMessageW(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back({text, SendMessageW(box, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)});
  }
  return entries;
}

const Entry* FindEntry(const std::vector<Entry>& entries, const std::wstring& text) {
  for (const Entry& entry : entries) {
    if (entry.text == text) return &entry;
  }
  return nullptr;
}

void RegisterTestMicrophone() {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(kAudioInstanceKey) + L"\\" + kTestEntryName;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"FriendlyName", 0, REG_SZ, reinterpret_cast<const BYTE*>(kTestMicrophone),
                 sizeof kTestMicrophone);
  RegSetValueExW(key, L"CLSID", 0, REG_SZ, reinterpret_cast<const BYTE*>(kTestEntryName),
                 sizeof kTestEntryName);
  RegSetValueExW(key, L"WaveInID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kTestWaveInId),
                 sizeof kTestWaveInId);
  RegCloseKey(key);
}

void UnregisterTestMicrophone() {
  HKEY instances = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kAudioInstanceKey, 0, KEY_ALL_ACCESS, &instances) ==
      ERROR_SUCCESS) {
    RegDeleteKeyW(instances, kTestEntryName);
    RegCloseKey(instances);
  }
}

class DiscoveryIntegrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(CoInitialize(nullptr), 0);
    UnregisterTestMicrophone();

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    // Never shown: the core needs no visible window.
    window = CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 700, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    videoList = CreateList(IDC_VIDEO_LIST);
    audioList = CreateList(IDC_AUDIO_LIST);

    // Profile.db is found through the current directory, as in the program.
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    previousDirectory = previous;
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
    list = std::make_unique<DeviceList>(&profile);
  }

  void TearDown() override {
    list.reset();
    profile.Close();
    UnregisterTestMicrophone();
    SetCurrentDirectoryW(previousDirectory.c_str());
    DestroyWindow(window);
    CoUninitialize();
  }

  HWND CreateList(int id) {
    return CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_HASSTRINGS, 0, 0, 400, 200, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  }

  void Refresh(int initial) { RefreshDevices(window, *list, services, poster, block, initial); }

  // WM_DEVICE_NOTIFY messages waiting for the window, taken off the queue.
  std::vector<MSG> TakeNotifications() {
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageW(&msg, window, WM_DEVICE_NOTIFY, WM_DEVICE_NOTIFY, PM_REMOVE)) {
      taken.push_back(msg);
    }
    return taken;
  }

  // Waits until `count` notifications have arrived in all.
  std::vector<MSG> WaitForNotifications(size_t count) {
    std::vector<MSG> taken;
    const DWORD start = GetTickCount();
    while (taken.size() < count && GetTickCount() - start < 10000) {
      for (const MSG& msg : TakeNotifications()) taken.push_back(msg);
      Sleep(5);
    }
    return taken;
  }

  SPDEV* FindDevice(const wchar_t* name) {
    return list->FindByDisplayName(reinterpret_cast<const WideChar*>(name));
  }

  bool TimerWasRunning() { return KillTimer(window, TIMER_AUDIO_POLL) != FALSE; }

  std::vector<ProfileRecord> SavedProfile() {
    // The profile is held unshared between saves; read it once closed.
    profile.Close();
    const std::string bytes = testing::ReadWholeFile(folder.File(L"Profile.db"));
    std::vector<ProfileRecord> records;
    EXPECT_EQ(DecodeProfile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                            records),
              1);
    return records;
  }

  testing::TempFolder folder;
  std::wstring previousDirectory;
  HWND window = nullptr;
  HWND videoList = nullptr;
  HWND audioList = nullptr;
  Win32ProfileFile profile;
  Win32CaptureServices services;
  WindowPoster poster;
  std::unique_ptr<DeviceList> list;
  BlockSettings block;
};

TEST_F(DiscoveryIntegrationTest, StartUpListsWinesMicrophoneAndWritesTheProfile) {
  SKIP_UNLESS_WINE("Wine's own input, In: default");
  Refresh(1);

  const std::vector<Entry> audio = ListEntries(audioList);
  const Entry* microphone = FindEntry(audio, kWineMicrophone);
  ASSERT_NE(microphone, nullptr);
  EXPECT_EQ(microphone->data, 0x1) << "unblocked, kind audio";
  EXPECT_EQ(list->audioCount, static_cast<int>(audio.size()));
  EXPECT_EQ(SendMessageW(audioList, LB_GETCURSEL, 0, 0), LB_ERR);
  // Every listed video entry is a camera of the list, none is a microphone.
  for (const Entry& entry : ListEntries(videoList)) {
    SPDEV* device = FindDevice(entry.text.c_str());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->GetKind(), DEVICE_KIND_VIDEO);
  }
  EXPECT_TRUE(TimerWasRunning());
  EXPECT_TRUE(TakeNotifications().empty()) << "nothing is announced at start-up";

  SPDEV* device = FindDevice(kWineMicrophone);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->GetWaveInId(), 0);
  EXPECT_EQ(testing::FileSizeOf(folder.File(L"Profile.db")),
            static_cast<long long>(ProfileImageSize(static_cast<size_t>(list->Count()))));
  bool found = false;
  for (const ProfileRecord& record : SavedProfile()) {
    if (record.path == u"0 In: default") {
      found = true;
      EXPECT_EQ(record.blocked, 0u);
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(DiscoveryIntegrationTest, BlockStartBlocksTheMicrophoneThroughItsWorker) {
  SKIP_UNLESS_WINE("Wine's own input, In: default");
  block.blockStart = 1;
  Refresh(1);
  SPDEV* device = FindDevice(kWineMicrophone);
  ASSERT_NE(device, nullptr);
  // Wine's capture filter has no analog input pin: the worker holds the
  // input at its audio endpoint instead, and says so once.
  std::vector<MSG> posted = WaitForNotifications(1);
  size_t forMicrophone = 0;
  for (const MSG& msg : posted) {
    EXPECT_EQ(msg.wParam, DeviceNotifyWParam(DEVICE_STATE_CHANGED));
    if (msg.lParam == reinterpret_cast<LPARAM>(device)) ++forMicrophone;
  }
  EXPECT_EQ(forMicrophone, 1u);
  // A worker that could not hold would have ended and said so by now.
  Sleep(3 * kMuteReapplyPeriodMs);
  for (const MSG& msg : TakeNotifications()) {
    EXPECT_NE(msg.lParam, reinterpret_cast<LPARAM>(device)) << "the worker ended";
  }
  EXPECT_EQ(device->IsBlockedBitSet(), 1);
  EXPECT_EQ(device->Unblock(), 1);
  EXPECT_EQ(device->IsBlockedBitSet(), 0);
}

TEST_F(DiscoveryIntegrationTest, APluggedInMicrophoneIsAnnouncedListedAndSwept) {
  Refresh(1);
  const size_t before = ListEntries(audioList).size();
  TakeNotifications();

  RegisterTestMicrophone();
  Refresh(0);
  const std::vector<Entry> audio = ListEntries(audioList);
  ASSERT_EQ(audio.size(), before + 1);
  EXPECT_EQ(audio.back().text, kTestMicrophone) << "the newest at the bottom";
  SPDEV* added = FindDevice(kTestMicrophone);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->GetWaveInId(), static_cast<int>(kTestWaveInId));

  std::vector<MSG> posted = TakeNotifications();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].wParam, DeviceNotifyWParam(DEVICE_PLUGGED_IN));
  EXPECT_EQ(posted[0].lParam, reinterpret_cast<LPARAM>(added));
  EXPECT_EQ(list->audioCount, static_cast<int>(before) + 1);
  EXPECT_EQ(SavedProfile()[0].path, u"7 Shadowpane Test Input") << "newest first in the file";

  // A refresh that finds nothing new announces nothing.
  Refresh(0);
  EXPECT_TRUE(TakeNotifications().empty());
  EXPECT_EQ(FindDevice(kTestMicrophone), added);

  UnregisterTestMicrophone();
  Refresh(0);
  EXPECT_EQ(FindDevice(kTestMicrophone), nullptr);
  EXPECT_EQ(ListEntries(audioList).size(), before);
  EXPECT_EQ(SavedProfile().size(), static_cast<size_t>(list->Count()));
  EXPECT_TRUE(TimerWasRunning());
}

}  // namespace
}  // namespace shadowpane
