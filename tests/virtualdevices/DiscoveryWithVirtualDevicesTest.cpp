// RefreshDevices on the program's real capture services, over virtual
// devices plugged in and out of the prefix's device enumerator: listing with
// unique names, blocking at start and on arrival, and sweeping a blocked
// camera that was unplugged out of the list and out of Profile.db.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "devices/Discovery.h"
#include "devices/ProfileCodec.h"
#include "devices/win32/Win32ProfileFile.h"
#include "tests/support/FakeDeviceLists.h"
#include "devices/win32/Win32CaptureServices.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/win32/TempFolder.h"
#include "tests/virtualdevices/CaptureProbe.h"
#include "tests/virtualdevices/MicrophoneInputStore.h"
#include "tests/virtualdevices/ServiceBinding.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"

namespace shadowpane::virtualdevices {
namespace {

// A guard against hanging, not a timing requirement.
constexpr DWORD kSettleLimitMs = 5000;

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::u16string DisplayNameOf(SPDEV* device) {
  WideChar name[kNameUnits] = {};
  device->GetDisplayName(name, kMaxNameChars);
  return name;
}

bool WaitForInputOff(const GUID& clsid) {
  DWORD start = GetTickCount();
  for (;;) {
    bool on = true;
    if (SUCCEEDED(ReadInputEnabled(clsid, &on)) && !on) return true;
    if (GetTickCount() - start > kSettleLimitMs) return false;
    Sleep(1);
  }
}

class DiscoveryWithVirtualDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(com_.result());
  }

  void TearDown() override {
    list_.DestroyDeviceList();
  }

  void Refresh(int initial) {
    DiscoveryContext context{list_, services_, poster_, lists_, {blockStart_, blockPluggedIn_}};
    RefreshDevices(context, initial);
  }

  // The records Profile.db holds now. Closing the file lets it be read; the
  // next save opens it again.
  std::vector<ProfileRecord> SavedRecords() {
    profile_.Close();
    std::vector<ProfileRecord> records;
    std::string bytes = testing::ReadWholeFile(folder_.File(L"Profile.db"));
    EXPECT_EQ(DecodeProfile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), records), 1);
    return records;
  }

  bool PostedFor(SPDEV* device, std::uint32_t code) const {
    std::vector<testing::PostedNotify> posts = poster_.Posts();
    return std::any_of(posts.begin(), posts.end(), [&](const testing::PostedNotify& post) {
      return post.device == device && post.code == code;
    });
  }

  ComScope com_;
  testing::TempFolder folder_;
  Win32ProfileFile profile_{folder_.File(L"Profile.db")};
  testing::RecordingPoster poster_;
  testing::FakeDeviceLists lists_;
  Win32CaptureServices services_;
  DeviceList list_{&profile_};
  int blockStart_ = 0;
  int blockPluggedIn_ = 0;
};

TEST_F(DiscoveryWithVirtualDevices, ListsTheDevicesWithTheirNamesAndPathsAndSuffixesIdenticalNames) {
  const std::vector<std::wstring> paths = {L"\\\\?\\virtual#twin-1", L"\\\\?\\virtual#twin-2",
                                           L"\\\\?\\virtual#twin-3"};
  std::vector<PluggedDevice> cameras;
  for (const std::wstring& path : paths) cameras.push_back(PluggedDevice::Camera(L"Twin Camera", path));
  PluggedDevice mic = PluggedDevice::Microphone(L"Listed Microphone", 5);
  for (const PluggedDevice& camera : cameras) ASSERT_TRUE(camera.ok());
  ASSERT_TRUE(mic.ok());

  Refresh(1);

  std::vector<std::u16string> names;
  for (const std::wstring& path : paths) {
    SPDEV* camera = list_.FindByPath(U16(path).c_str());
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->GetKind(), DEVICE_KIND_VIDEO);
    WideChar friendly[kNameUnits] = {};
    camera->GetFriendlyName(friendly, kMaxNameChars);
    EXPECT_EQ(std::u16string(friendly), u"Twin Camera");
    names.push_back(DisplayNameOf(camera));
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Twin Camera", u"Twin Camera-1", u"Twin Camera-2"}));
  std::vector<std::u16string> videoTexts = lists_.Texts(DeviceListBox::Video);
  for (const std::u16string& name : names) {
    EXPECT_NE(std::find(videoTexts.begin(), videoTexts.end(), name), videoTexts.end());
  }

  SPDEV* microphone = list_.FindByDisplayName(u"Listed Microphone");
  ASSERT_NE(microphone, nullptr);
  EXPECT_EQ(microphone->GetKind(), DEVICE_KIND_AUDIO);
  EXPECT_EQ(microphone->GetWaveInId(), 5);
  WideChar path[kNameUnits] = {};
  microphone->GetPath(path, kMaxNameChars);
  EXPECT_EQ(std::u16string(path), u"5 Listed Microphone");
  std::vector<std::u16string> audioTexts = lists_.Texts(DeviceListBox::Audio);
  EXPECT_NE(std::find(audioTexts.begin(), audioTexts.end(), u"Listed Microphone"), audioTexts.end());
}

TEST_F(DiscoveryWithVirtualDevices, BlockStartHoldsEveryVirtualDeviceAndShutdownReleasesThem) {
  const std::wstring path = L"\\\\?\\virtual#start-camera";
  PluggedDevice camera = PluggedDevice::Camera(L"Start Camera", path);
  PluggedDevice mic = PluggedDevice::Microphone(L"Start Microphone", 3);
  ASSERT_TRUE(camera.ok() && mic.ok());
  blockStart_ = 1;

  Refresh(1);
  EXPECT_TRUE(IsCameraOpen(camera.clsid()));
  EXPECT_TRUE(WaitForInputOff(mic.clsid()));

  list_.DestroyDeviceList();
  EXPECT_FALSE(IsCameraOpen(camera.clsid()));
  bool on = false;
  ASSERT_HRESULT_SUCCEEDED(ReadInputEnabled(mic.clsid(), &on));
  EXPECT_TRUE(on) << "the input is switched on again at shutdown";
}

TEST_F(DiscoveryWithVirtualDevices, ACameraPluggedInIsAnnouncedAndBlockedWhenBlockPluggedInIsOn) {
  Refresh(1);
  blockPluggedIn_ = 1;
  const std::wstring path = L"\\\\?\\virtual#arriving-camera";
  PluggedDevice camera = PluggedDevice::Camera(L"Arriving Camera", path);
  ASSERT_TRUE(camera.ok());

  Refresh(0);
  SPDEV* device = list_.FindByPath(U16(path).c_str());
  ASSERT_NE(device, nullptr);
  EXPECT_TRUE(PostedFor(device, DEVICE_PLUGGED_IN));
  EXPECT_EQ(DeviceList::IsBlocked(device), 1);
  EXPECT_TRUE(IsCameraOpen(camera.clsid()));
}

// The profile keeps the swept camera's block, and the camera plugged in
// again is held again by the refresh that lists it.
TEST_F(DiscoveryWithVirtualDevices, AnUnpluggedBlockedCameraIsSweptAndHeldAgainWhenPluggedBackIn) {
  const std::wstring path = L"\\\\?\\virtual#unplugged-camera";
  const std::wstring keptPath = L"\\\\?\\virtual#kept-camera";
  PluggedDevice camera = PluggedDevice::Camera(L"Unplugged Camera", path);
  PluggedDevice kept = PluggedDevice::Camera(L"Kept Camera", keptPath);
  ASSERT_TRUE(camera.ok() && kept.ok());
  Refresh(1);
  SPDEV* device = list_.FindByPath(U16(path).c_str());
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Block(), 1);
  ASSERT_TRUE(IsCameraOpen(camera.clsid()));

  Refresh(0);
  std::vector<ProfileRecord> records = SavedRecords();
  auto record = std::find_if(records.begin(), records.end(),
                             [&](const ProfileRecord& r) { return r.path == U16(path); });
  ASSERT_NE(record, records.end());
  EXPECT_EQ(record->blocked, 1u);

  camera.Unplug();
  Refresh(0);
  EXPECT_EQ(list_.FindByPath(U16(path).c_str()), nullptr);
  EXPECT_NE(list_.FindByPath(U16(keptPath).c_str()), nullptr);
  EXPECT_FALSE(IsCameraOpen(camera.clsid())) << "the swept camera's graph was stopped and released";
  records = SavedRecords();
  EXPECT_EQ(records.size(), static_cast<size_t>(list_.Count()) + 1);
  EXPECT_EQ(records.back().path, U16(path));
  EXPECT_EQ(records.back().blocked, 1u);
  std::vector<std::u16string> videoTexts = lists_.Texts(DeviceListBox::Video);
  EXPECT_EQ(std::find(videoTexts.begin(), videoTexts.end(), u"Unplugged Camera"), videoTexts.end());

  PluggedDevice back = PluggedDevice::Camera(L"Unplugged Camera", path);
  ASSERT_TRUE(back.ok());
  Refresh(0);
  device = list_.FindByPath(U16(path).c_str());
  ASSERT_NE(device, nullptr);
  EXPECT_TRUE(PostedFor(device, DEVICE_PLUGGED_IN));
  EXPECT_TRUE(device->heldAgainOnReturn);
  EXPECT_EQ(DeviceList::IsBlocked(device), 1);
  EXPECT_TRUE(IsCameraOpen(back.clsid()));
  EXPECT_EQ(SavedRecords().size(), static_cast<size_t>(list_.Count()));
}

// Two virtual microphones of one name; the first unplugged and the second
// renumbered into its place, through Wine's real enumerator and graphs.
// Wine's driver names no device interface for these numbers, so nothing
// tells the survivor from the unplugged one: whichever the user blocked,
// the survivor is held through its own filter and shown blocked.
TEST_F(DiscoveryWithVirtualDevices, ATwinRenumberedIntoAnUnpluggedTwinsPlaceStaysSilenced) {
  for (const bool blockFirst : {true, false}) {
    SCOPED_TRACE(blockFirst ? "the unplugged twin was blocked" : "the survivor was blocked");
    PluggedDevice first = PluggedDevice::Microphone(L"Twin Microphone", 11);
    PluggedDevice second = PluggedDevice::Microphone(L"Twin Microphone", 12);
    ASSERT_TRUE(first.ok() && second.ok());
    Refresh(0);
    SPDEV* firstDevice = nullptr;
    SPDEV* secondDevice = nullptr;
    for (SPDEV* device = list_.head(); device != nullptr; device = device->next) {
      if (device->GetWaveInId() == 11) firstDevice = device;
      if (device->GetWaveInId() == 12) secondDevice = device;
    }
    ASSERT_TRUE(firstDevice != nullptr && secondDevice != nullptr);
    ASSERT_EQ((blockFirst ? firstDevice : secondDevice)->Block(), 1);
    ASSERT_TRUE(WaitForInputOff((blockFirst ? first : second).clsid()));

    first.Unplug();
    ASSERT_HRESULT_SUCCEEDED(RenumberVirtualMicrophone(second.clsid(), 11));
    Refresh(0);

    EXPECT_TRUE(WaitForInputOff(second.clsid()));
    SPDEV* survivor = nullptr;
    int twins = 0;
    for (SPDEV* device = list_.head(); device != nullptr; device = device->next) {
      WideChar friendly[kNameUnits] = {};
      device->GetFriendlyName(friendly, kMaxNameChars);
      if (std::u16string(friendly) != u"Twin Microphone") continue;
      ++twins;
      survivor = device;
    }
    ASSERT_EQ(twins, 1);
    EXPECT_EQ(survivor->GetWaveInId(), 11);
    const DWORD start = GetTickCount();
    while (DeviceList::IsBlocked(survivor) == 0 && GetTickCount() - start < kSettleLimitMs) Sleep(1);
    EXPECT_EQ(DeviceList::IsBlocked(survivor), 1);

    second.Unplug();
    Refresh(0);
    list_.DestroyDeviceList();
  }
}

// Whether any object of the virtual devices' DLL is still referenced in this
// process (an unloaded DLL holds nothing).
bool VirtualDeviceObjectsAlive() {
  HMODULE module = GetModuleHandleW(L"shadowpane_virtualdevices.dll");
  if (module == nullptr) return false;
  using CanUnload = HRESULT(WINAPI*)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  return canUnload != nullptr && canUnload() != S_OK;
}

TEST_F(DiscoveryWithVirtualDevices, AMicrophoneUnpluggedWhileHeldIsSweptWithoutALieAndHeldAgainWhenBack) {
  PluggedDevice vanishing = PluggedDevice::Microphone(L"Vanishing Microphone", 7);
  PluggedDevice kept = PluggedDevice::Microphone(L"Kept Microphone", 8);
  ASSERT_TRUE(vanishing.ok() && kept.ok());
  Refresh(1);
  SPDEV* device = list_.FindByDisplayName(u"Vanishing Microphone");
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Block(), 1);
  ASSERT_TRUE(WaitForInputOff(vanishing.clsid()));

  // Gone while the worker keeps switching its input off every 66 ms: the
  // filter it holds now fails every call.
  vanishing.Unplug();
  Sleep(200);
  Refresh(0);

  EXPECT_EQ(list_.FindByDisplayName(u"Vanishing Microphone"), nullptr);
  SPDEV* survivor = list_.FindByDisplayName(u"Kept Microphone");
  ASSERT_NE(survivor, nullptr);
  EXPECT_EQ(DeviceList::IsBlocked(survivor), 0);
  for (const auto& entry : lists_.Entries(DeviceListBox::Audio)) {
    EXPECT_NE(entry.text, u"Vanishing Microphone");
    EXPECT_EQ(ListItemBlocked(entry.data), 0) << "nothing left is held";
  }
  EXPECT_EQ(list_.audioCount, list_.Count());
  // Its worker said "blocked" once and, when it was stopped, "unblocked".
  std::vector<testing::PostedNotify> posts = poster_.Posts();
  EXPECT_EQ(std::count_if(posts.begin(), posts.end(), [&](const testing::PostedNotify& post) {
              return post.device == device && post.code == DEVICE_STATE_CHANGED;
            }),
            2);
  std::vector<ProfileRecord> records = SavedRecords();
  EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const ProfileRecord& r) {
    return r.path == u"7 Vanishing Microphone" && r.blocked == 1;
  })) << "its block is kept for its return";

  // Back, at another wave-in number: held again, its input off.
  PluggedDevice back = PluggedDevice::Microphone(L"Vanishing Microphone", 9);
  ASSERT_TRUE(back.ok());
  Refresh(0);
  SPDEV* returned = list_.FindByDisplayName(u"Vanishing Microphone");
  ASSERT_NE(returned, nullptr);
  EXPECT_TRUE(returned->heldAgainOnReturn);
  EXPECT_TRUE(WaitForInputOff(back.clsid()));
  const DWORD start = GetTickCount();
  while (DeviceList::IsBlocked(returned) == 0 && GetTickCount() - start < kSettleLimitMs) Sleep(1);
  EXPECT_EQ(DeviceList::IsBlocked(returned), 1);
  back.Unplug();
  Refresh(0);

  list_.DestroyDeviceList();
  EXPECT_FALSE(VirtualDeviceObjectsAlive()) << "every filter reference was released";
}

}  // namespace
}  // namespace shadowpane::virtualdevices
