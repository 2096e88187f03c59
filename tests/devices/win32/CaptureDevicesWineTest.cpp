// Cameras and microphones end to end under Wine, with the real services:
// Wine's own capture device, real DirectShow graphs, wave input and mixer,
// worker threads and posted window messages.
#include <gtest/gtest.h>
#include <windows.h>

#include "devices/Camera.h"
#include "devices/Microphone.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/WindowPoster.h"
#include "tests/devices/win32/WineCaptureDevice.h"
#include "tests/support/win32/TestPlatform.h"

namespace shadowpane {
namespace {

using testing::ComScope;
using testing::FindCaptureDevice;
using testing::SystemInputName;
using testing::NotifySink;
using testing::WaveInMute;

// The real services on a system that reports an older major version, so
// that the wave/mixer method runs here too.
class OlderSystemServices : public Win32CaptureServices {
 public:
  std::uint32_t SystemMajorVersion() override { return kFirstDirectShowSilencingVersion - 1; }
};

class CaptureDevicesWine : public ::testing::Test {
 protected:
  void SetUp() override {
    Win32CaptureServices services;
    if (SystemInputName(services).empty()) GTEST_SKIP() << "this machine lists no audio input";
  }

  std::unique_ptr<SPDEVMIC> MakeMicrophone(CaptureServices& services) {
    const std::u16string name = SystemInputName(services);
    auto found = FindCaptureDevice(services, DeviceCategory::AudioInput, name);
    if (!found.found) return nullptr;
    auto mic = std::make_unique<SPDEVMIC>(poster, services);
    AudioInitRecord record;
    record.restoreFilter = std::move(found.firstFilter);
    record.workerFilter = std::move(found.secondFilter);
    name.copy(record.friendlyName, kMaxNameChars);
    record.waveInId = static_cast<std::uint32_t>(found.waveInId);
    record.notifyWindow = sink.handle();
    mic->Init(&record);
    mic->SetFriendlyName(name.c_str());  // as linking it into a list does
    return mic;
  }

  ComScope com;
  NotifySink sink;
  WindowPoster poster;
};

// On this system's own version Wine's input is muted at its audio endpoint
// (its capture filter has no analog input pin). Wine keeps an endpoint's
// mute in each object, so the check, reading through objects of its own,
// finds it unmuted: the hold shows not silent, which is what another
// program would meet here.
TEST_F(CaptureDevicesWine, WinesOwnInputIsMutedAtItsEndpointAndShownNotSilent) {
  Win32CaptureServices services;
  ASSERT_GE(services.SystemMajorVersion(), kFirstDirectShowSilencingVersion);
  auto mic = MakeMicrophone(services);
  ASSERT_NE(mic, nullptr);
  const int postsBefore = sink.Pump();
  ASSERT_EQ(mic->Block(), 1);
  EXPECT_FALSE(mic->EndpointId().empty());
  ASSERT_TRUE(sink.WaitFor(postsBefore + 1));
  EXPECT_EQ(mic->IsBlockedBitSet(), 1);
  // Windows keeps the endpoint's mute for the whole system: the check reads it, silent.
  EXPECT_EQ(mic->IsSharedBitSet(), testing::OnWine(1, 0));
  // Wine tells no hardware mute and admits an exclusive stream beside the
  // hold's own shared one: the check finds it out. Windows refuses an
  // exclusive client while the hold's shared stream is open.
  EXPECT_EQ(mic->HoldRisks(), testing::OnWine<std::uint32_t>(kHoldRiskOpenToOthers | kHoldRiskExclusive, 0));
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_EQ(mic->IsBlockedBitSet(), 0);
  ASSERT_TRUE(sink.WaitFor(postsBefore + 2));
  EXPECT_TRUE(sink.AllStateChangedFor(mic.get()));
}

// An older version holds the wave input and mutes its line through the
// mixer, which is the device's own there: muted, muted again after someone
// else unmutes it, and unmuted on unblock.
TEST_F(CaptureDevicesWine, OnAnOlderSystemTheInputIsHeldMutedThroughWaveInput) {
  OlderSystemServices services;
  auto mic = MakeMicrophone(services);
  ASSERT_NE(mic, nullptr);
  WaveInMute mute(static_cast<UINT>(mic->GetWaveInId()));
  ASSERT_TRUE(mute.ok());
  ASSERT_TRUE(mute.Write(false));
  const int postsBefore = sink.Pump();

  ASSERT_EQ(mic->Block(), 1);
  ASSERT_TRUE(sink.WaitFor(postsBefore + 1));
  EXPECT_EQ(mute.Read(), 1) << "shown blocked only once muted";
  EXPECT_EQ(mic->IsBlockedBitSet(), 1);
  EXPECT_EQ(mic->IsSharedBitSet(), 0);

  // Someone unmutes the line: the worker mutes it again.
  ASSERT_TRUE(mute.Write(false));
  DWORD start = GetTickCount();
  while (mute.Read() != 1 && GetTickCount() - start < 5000) Sleep(5);
  EXPECT_EQ(mute.Read(), 1);

  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_EQ(mute.Read(), 0);
  ASSERT_TRUE(sink.WaitFor(postsBefore + 2));
  EXPECT_TRUE(sink.AllStateChangedFor(mic.get()));
}

TEST_F(CaptureDevicesWine, DestroyingAHoldingMicrophoneUnmutesAndPostsTwice) {
  OlderSystemServices services;
  auto mic = MakeMicrophone(services);
  ASSERT_NE(mic, nullptr);
  WaveInMute mute(static_cast<UINT>(mic->GetWaveInId()));
  ASSERT_EQ(mic->Block(), 1);
  DWORD start = GetTickCount();
  while (mute.Read() != 1 && GetTickCount() - start < 5000) Sleep(5);
  ASSERT_EQ(mute.Read(), 1);
  mic.reset();
  EXPECT_EQ(mute.Read(), 0);
  EXPECT_TRUE(sink.WaitFor(2));
}

TEST_F(CaptureDevicesWine, CameraOnAFilterWithoutCapturePinFailsAndPostsNothing) {
  // Wine's audio capture filter stands in for a camera that cannot be
  // rendered: the real graph is built up to FindPin, then taken down.
  Win32CaptureServices services;
  auto found = FindCaptureDevice(services, DeviceCategory::AudioInput, SystemInputName(services));
  ASSERT_TRUE(found.found);
  SPDEVCAM camera(poster, services);
  VideoInitRecord record;
  record.captureFilter = std::move(found.firstFilter);
  record.notifyWindow = sink.handle();
  camera.Init(&record);

  const int result = camera.Block();
  EXPECT_LT(result, 0);
  EXPECT_FALSE(camera.HoldsGraph());
  EXPECT_EQ(camera.IsBlockedBitSet(), 0);
  EXPECT_EQ(camera.PollDeviceLost(), 0);
  EXPECT_EQ(camera.Unblock(), 1);
  Sleep(50);
  EXPECT_EQ(sink.Pump(), 0);
  // The filter stayed with the camera: a second attempt fails the same way.
  EXPECT_EQ(camera.Block(), result);
}

TEST_F(CaptureDevicesWine, CameraWithoutFilterAnswersZero) {
  Win32CaptureServices services;
  SPDEVCAM camera(poster, services);
  VideoInitRecord record;
  record.notifyWindow = sink.handle();
  camera.Init(&record);
  EXPECT_EQ(camera.Block(), 0);
  EXPECT_EQ(camera.Unblock(), 1);
  EXPECT_EQ(sink.Pump(), 0);
}

}  // namespace
}  // namespace shadowpane
