// The virtual camera through Wine's real system device enumerator, filter
// graph, capture graph builder and Null Renderer, and a second process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/virtualdevices/CaptureProbe.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"

namespace shadowpane::virtualdevices {
namespace {

constexpr DWORD kHelperReadyLimitMs = 30000;

bool IsListed(const std::vector<ListedDevice>& devices, const std::wstring& name, const std::wstring& path) {
  return std::any_of(devices.begin(), devices.end(), [&](const ListedDevice& device) {
    return device.friendlyName == name && device.devicePath == path;
  });
}

HRESULT ProbeFromAnotherProcess(const std::wstring& path) {
  return RunHelper(L"probe-camera " + Quoted(path));
}

class VirtualCamera : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_HRESULT_SUCCEEDED(com_.result()); }

  Ref<IBaseFilter> Bind(const std::wstring& path) {
    Ref<IBaseFilter> filter;
    EXPECT_HRESULT_SUCCEEDED(BindDevice(kVideoInputCategory, L"DevicePath", path, &filter));
    return filter;
  }

  ComScope com_;
};

TEST_F(VirtualCamera, PlugAndUnplugChangeWhatTheEnumeratorLists) {
  const std::wstring pathA = L"\\\\?\\virtual#camera-list-a";
  const std::wstring pathB = L"\\\\?\\virtual#camera-list-b";
  PluggedDevice a = PluggedDevice::Camera(L"List Camera A", pathA);
  PluggedDevice b = PluggedDevice::Camera(L"List Camera B", pathB);
  ASSERT_TRUE(a.ok() && b.ok());

  std::vector<ListedDevice> listed = ListCategory(kVideoInputCategory);
  EXPECT_TRUE(IsListed(listed, L"List Camera A", pathA));
  EXPECT_TRUE(IsListed(listed, L"List Camera B", pathB));

  a.Unplug();
  listed = ListCategory(kVideoInputCategory);
  EXPECT_FALSE(IsListed(listed, L"List Camera A", pathA));
  EXPECT_TRUE(IsListed(listed, L"List Camera B", pathB));
}

TEST_F(VirtualCamera, HoldingPausesTheGraphWithThePinRenderedIntoTheNullRenderer) {
  const std::wstring path = L"\\\\?\\virtual#camera-hold";
  PluggedDevice camera = PluggedDevice::Camera(L"Hold Camera", path);
  ASSERT_TRUE(camera.ok());
  Ref<IBaseFilter> filter = Bind(path);
  ASSERT_TRUE(filter);

  CameraHold hold;
  HRESULT hr = hold.Hold(filter.get());
  // The renderer has no frame yet, so the graph reports an unfinished pause.
  EXPECT_TRUE(hr == S_OK || hr == S_FALSE) << std::hex << hr;

  FILTER_STATE state = State_Stopped;
  EXPECT_EQ(filter->GetState(0, &state), VFW_S_CANT_CUE);
  EXPECT_EQ(state, State_Paused);

  Ref<IPin> pin;
  ASSERT_HRESULT_SUCCEEDED(filter->FindPin(L"Capture", pin.out()));
  Ref<IPin> peer;
  ASSERT_EQ(pin->ConnectedTo(peer.out()), S_OK);
  PIN_INFO info = {};
  ASSERT_HRESULT_SUCCEEDED(peer->QueryPinInfo(&info));
  CLSID rendererClass = {};
  info.pFilter->GetClassID(&rendererClass);
  info.pFilter->Release();
  EXPECT_TRUE(IsEqualCLSID(rendererClass, kNullRendererClsid));
  EXPECT_TRUE(IsCameraOpen(camera.clsid()));

  EXPECT_HRESULT_SUCCEEDED(hold.Stop());
  EXPECT_EQ(filter->GetState(0, &state), S_OK);
  EXPECT_EQ(state, State_Stopped);
}

TEST_F(VirtualCamera, AnotherProcessIsRefusedUntilTheHolderStopsAndReleases) {
  const std::wstring path = L"\\\\?\\virtual#camera-exclusive";
  PluggedDevice camera = PluggedDevice::Camera(L"Exclusive Camera", path);
  ASSERT_TRUE(camera.ok());
  EXPECT_EQ(ProbeFromAnotherProcess(path), S_OK) << "a free camera opens";

  Ref<IBaseFilter> filter = Bind(path);
  CameraHold hold;
  ASSERT_HRESULT_SUCCEEDED(hold.Hold(filter.get()));
  HRESULT refused = ProbeFromAnotherProcess(path);
  EXPECT_TRUE(FAILED(refused)) << std::hex << refused;
  std::printf("another process's attempt on a held camera answered 0x%08lX\n",
              static_cast<unsigned long>(refused));

  // Stopped but still connected: the device stays open.
  ASSERT_HRESULT_SUCCEEDED(hold.Stop());
  EXPECT_TRUE(FAILED(ProbeFromAnotherProcess(path)));

  hold.Release();
  EXPECT_FALSE(IsCameraOpen(camera.clsid()));
  EXPECT_EQ(ProbeFromAnotherProcess(path), S_OK);
}

TEST_F(VirtualCamera, ASecondGraphInTheSameProcessIsRefusedToo) {
  const std::wstring path = L"\\\\?\\virtual#camera-two-graphs";
  PluggedDevice camera = PluggedDevice::Camera(L"Two Graph Camera", path);
  ASSERT_TRUE(camera.ok());
  Ref<IBaseFilter> first = Bind(path);
  Ref<IBaseFilter> second = Bind(path);
  ASSERT_TRUE(first && second);

  CameraHold firstHold;
  ASSERT_HRESULT_SUCCEEDED(firstHold.Hold(first.get()));
  CameraHold secondHold;
  HRESULT hr = secondHold.Hold(second.get());
  EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
  EXPECT_TRUE(FAILED(secondHold.renderResult())) << "the refusal comes from connecting the pin";

  FILTER_STATE state = State_Stopped;
  first->GetState(0, &state);
  EXPECT_EQ(state, State_Paused) << "the refused attempt leaves the holder alone";
}

TEST_F(VirtualCamera, InSharingModeASecondClientOpensBesideTheHolder) {
  const std::wstring path = L"\\\\?\\virtual#camera-shared";
  PluggedDevice camera = PluggedDevice::SharedCamera(L"Shared Camera", path);
  ASSERT_TRUE(camera.ok());
  Ref<IBaseFilter> first = Bind(path);
  Ref<IBaseFilter> second = Bind(path);
  ASSERT_TRUE(first && second);
  CameraHold firstHold;
  ASSERT_HRESULT_SUCCEEDED(firstHold.Hold(first.get()));
  EXPECT_TRUE(IsCameraOpen(camera.clsid()));

  CameraHold secondHold;
  EXPECT_HRESULT_SUCCEEDED(secondHold.Hold(second.get())) << "a second graph here";
  EXPECT_EQ(ProbeFromAnotherProcess(path), S_OK) << "and another program";
  secondHold.Release();

  // Back to one client at a time: the sharing holder keeps an exclusive
  // client out, and the mode is read at each open.
  ASSERT_HRESULT_SUCCEEDED(SetCameraSharing(camera.clsid(), false));
  EXPECT_TRUE(FAILED(ProbeFromAnotherProcess(path)));
  firstHold.Release();
  EXPECT_FALSE(IsCameraOpen(camera.clsid()));
  ASSERT_HRESULT_SUCCEEDED(firstHold.Hold(first.get()));
  EXPECT_TRUE(FAILED(secondHold.Hold(second.get()))) << "exclusive again";
}

TEST_F(VirtualCamera, ACameraHeldByAnotherProcessCannotBeHeldHere) {
  const std::wstring path = L"\\\\?\\virtual#camera-held-elsewhere";
  PluggedDevice camera = PluggedDevice::Camera(L"Held Elsewhere", path);
  ASSERT_TRUE(camera.ok());
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"ShadowpaneTestCameraReady");
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"ShadowpaneTestCameraRelease");
  ASSERT_TRUE(ready != nullptr && release != nullptr);

  HelperProcess holder(L"hold-camera " + Quoted(path) +
                       L" ShadowpaneTestCameraReady ShadowpaneTestCameraRelease");
  ASSERT_TRUE(holder.ok());
  HANDLE waits[] = {ready, holder.handle()};
  ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, kHelperReadyLimitMs), WAIT_OBJECT_0)
      << "the helper could not hold the camera";

  Ref<IBaseFilter> filter = Bind(path);
  CameraHold hold;
  HRESULT hr = hold.Hold(filter.get());
  EXPECT_TRUE(FAILED(hr)) << std::hex << hr;

  SetEvent(release);
  EXPECT_EQ(holder.Wait(kHelperReadyLimitMs), S_OK);
  hold.Release();
  EXPECT_HRESULT_SUCCEEDED(hold.Hold(filter.get())) << "free once the other process let go";
  CloseHandle(ready);
  CloseHandle(release);
}

TEST_F(VirtualCamera, HoldingOneCameraLeavesAnotherFree) {
  const std::wstring pathA = L"\\\\?\\virtual#camera-pair-a";
  const std::wstring pathB = L"\\\\?\\virtual#camera-pair-b";
  PluggedDevice a = PluggedDevice::Camera(L"Pair Camera", pathA);
  PluggedDevice b = PluggedDevice::Camera(L"Pair Camera", pathB);
  ASSERT_TRUE(a.ok() && b.ok());
  Ref<IBaseFilter> filterA = Bind(pathA);
  CameraHold hold;
  ASSERT_HRESULT_SUCCEEDED(hold.Hold(filterA.get()));
  EXPECT_EQ(ProbeFromAnotherProcess(pathB), S_OK);
  EXPECT_TRUE(FAILED(ProbeFromAnotherProcess(pathA)));
}

}  // namespace
}  // namespace shadowpane::virtualdevices
