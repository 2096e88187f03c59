// SPDEVCAM on the program's real capture services and Wine's real filter
// graph, holding a virtual camera against another process.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "devices/Camera.h"
#include "devices/win32/Win32CaptureServices.h"
#include "tests/support/RecordingPoster.h"
#include "tests/virtualdevices/CaptureProbe.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/ServiceBinding.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"

namespace shadowpane::virtualdevices {
namespace {

constexpr DWORD kHelperLimitMs = 30000;
constexpr NotifyWindow kMainWindow = 0x4242;

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

void CopyText(WideChar (&target)[kNameUnits], const std::wstring& text) {
  std::u16string wide = U16(text);
  wide.copy(target, kMaxNameChars);
}

class CameraBlocking : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(com_.result());
  }

  // A camera object made as discovery makes one for the plugged device:
  // its capture filter and, for the hold check, a second binding.
  std::unique_ptr<SPDEVCAM> MakeCamera(const std::wstring& name, const std::wstring& path) {
    VideoInitRecord record;
    EXPECT_EQ(BindThroughServices(services_, DeviceCategory::VideoInput, u"DevicePath", U16(path),
                                  &record.captureFilter),
              kHrOk);
    EXPECT_EQ(BindThroughServices(services_, DeviceCategory::VideoInput, u"DevicePath", U16(path),
                                  &record.checkFilter),
              kHrOk);
    CopyText(record.friendlyName, name);
    CopyText(record.path, path);
    record.notifyWindow = kMainWindow;
    auto camera = std::make_unique<SPDEVCAM>(poster_, services_);
    camera->Init(&record);
    return camera;
  }

  ComScope com_;
  testing::RecordingPoster poster_;
  Win32CaptureServices services_;
};

TEST_F(CameraBlocking, ABlockedCameraCannotBeOpenedByAnotherProcessUntilUnblocked) {
  const std::wstring path = L"\\\\?\\virtual#blocked-camera";
  PluggedDevice plugged = PluggedDevice::Camera(L"Blocked Camera", path);
  ASSERT_TRUE(plugged.ok());
  std::unique_ptr<SPDEVCAM> camera = MakeCamera(L"Blocked Camera", path);
  ASSERT_EQ(RunHelper(L"probe-camera " + Quoted(path)), S_OK) << "free before the block";

  ASSERT_EQ(camera->Block(), 1);
  EXPECT_EQ(camera->IsBlockedBitSet(), 1);
  ASSERT_EQ(poster_.Count(), 1u);
  EXPECT_EQ(poster_.Posts()[0].code, DEVICE_STATE_CHANGED);
  EXPECT_TRUE(IsCameraOpen(plugged.clsid()));
  HRESULT refused = RunHelper(L"probe-camera " + Quoted(path));
  EXPECT_TRUE(FAILED(refused)) << std::hex << refused;

  ASSERT_EQ(camera->Unblock(), 1);
  EXPECT_EQ(camera->IsBlockedBitSet(), 0);
  EXPECT_EQ(poster_.Count(), 2u);
  EXPECT_FALSE(IsCameraOpen(plugged.clsid()));
  EXPECT_EQ(RunHelper(L"probe-camera " + Quoted(path)), S_OK) << "free again after the unblock";
}

// The check meets the hold as another program would; its answer must be the
// one another process really gets.
TEST_F(CameraBlocking, TheHoldCheckTellsWhetherAnotherProgramCouldStillOpenTheCamera) {
  struct Case {
    const wchar_t* name;
    bool shared;
    bool opensAtPause;
  } cases[] = {{L"Exclusive Check Camera", false, false},
               {L"Shared Check Camera", true, false},
               // A second graph connects and Wine's graph answers its Pause
               // with S_FALSE; the capture filter alone tells the refusal.
               {L"Pause Check Camera", false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring path = std::wstring(L"\\\\?\\virtual#check-") + c.name;
    PluggedDevice plugged = c.shared         ? PluggedDevice::SharedCamera(c.name, path)
                            : c.opensAtPause ? PluggedDevice::CameraOpeningAtPause(c.name, path)
                                             : PluggedDevice::Camera(c.name, path);
    ASSERT_TRUE(plugged.ok());
    std::unique_ptr<SPDEVCAM> camera = MakeCamera(c.name, path);
    poster_.Clear();

    ASSERT_EQ(camera->Block(), 1);
    EXPECT_EQ(camera->IsBlockedBitSet(), 1);
    EXPECT_EQ(camera->IsSharedBitSet(), c.shared ? 1 : 0);
    EXPECT_EQ(poster_.Count(), 1u) << "one post, with the answer";
    const HRESULT other = RunHelper(L"probe-camera " + Quoted(path));
    EXPECT_EQ(SUCCEEDED(other), c.shared) << std::hex << other;
    EXPECT_TRUE(IsCameraOpen(plugged.clsid())) << "the check left the hold in place";

    // The system changes its mind: the next check follows.
    ASSERT_HRESULT_SUCCEEDED(SetCameraSharing(plugged.clsid(), !c.shared));
    EXPECT_EQ(camera->RecheckHold(), 1);
    // A hold made in sharing mode still admits a sharing client; one made
    // exclusively keeps everyone out whatever the mode is now.
    EXPECT_EQ(camera->IsSharedBitSet(), 0);
    EXPECT_EQ(poster_.Count(), c.shared ? 2u : 1u);

    ASSERT_EQ(camera->Unblock(), 1);
    EXPECT_EQ(camera->IsSharedBitSet(), 0);
    EXPECT_FALSE(IsCameraOpen(plugged.clsid()));
  }
}

TEST_F(CameraBlocking, ACameraHeldByAnotherProcessCannotBeBlockedAndTheFailureIsTheGraphsResult) {
  for (bool opensAtPause : {false, true}) {
  SCOPED_TRACE(opensAtPause ? "refused at pause, behind the graph's S_FALSE" : "refused at connection");
  poster_.Clear();
  const std::wstring path = L"\\\\?\\virtual#camera-in-use";
  PluggedDevice plugged = opensAtPause ? PluggedDevice::CameraOpeningAtPause(L"Camera In Use", path)
                                       : PluggedDevice::Camera(L"Camera In Use", path);
  ASSERT_TRUE(plugged.ok());
  std::unique_ptr<SPDEVCAM> camera = MakeCamera(L"Camera In Use", path);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"ShadowpaneTestBlockReady");
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"ShadowpaneTestBlockRelease");
  ASSERT_TRUE(ready != nullptr && release != nullptr);
  ResetEvent(ready);
  ResetEvent(release);
  HelperProcess holder(L"hold-camera " + Quoted(path) + L" ShadowpaneTestBlockReady ShadowpaneTestBlockRelease");
  ASSERT_TRUE(holder.ok());
  HANDLE waits[] = {ready, holder.handle()};
  ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, kHelperLimitMs), WAIT_OBJECT_0);

  int result = camera->Block();
  EXPECT_LT(result, 0) << "the negative COM result reaches the caller";
  std::printf("Block on a camera held by another process answered 0x%08X\n", static_cast<unsigned>(result));
  EXPECT_EQ(camera->IsBlockedBitSet(), 0);
  EXPECT_EQ(poster_.Count(), 0u) << "a failed block posts nothing";
  EXPECT_FALSE(camera->HoldsGraph());
  EXPECT_EQ(camera->Unblock(), 1) << "nothing is held after the failure";
  EXPECT_EQ(poster_.Count(), 0u);

  SetEvent(release);
  EXPECT_EQ(holder.Wait(kHelperLimitMs), S_OK);
  EXPECT_EQ(camera->Block(), 1) << "blockable once the other process let go";
  EXPECT_EQ(camera->Unblock(), 1);
  CloseHandle(ready);
  CloseHandle(release);
  }
}

TEST_F(CameraBlocking, DestroyingABlockedCameraReleasesTheDevice) {
  const std::wstring path = L"\\\\?\\virtual#destroyed-camera";
  PluggedDevice plugged = PluggedDevice::Camera(L"Destroyed Camera", path);
  ASSERT_TRUE(plugged.ok());
  std::unique_ptr<SPDEVCAM> camera = MakeCamera(L"Destroyed Camera", path);
  ASSERT_EQ(camera->Block(), 1);
  ASSERT_TRUE(IsCameraOpen(plugged.clsid()));
  camera.reset();
  EXPECT_FALSE(IsCameraOpen(plugged.clsid()));
}

}  // namespace
}  // namespace shadowpane::virtualdevices
