// A held microphone as the main window shows it, against the capture
// services' fake: whether a program that asks for it exclusively is kept
// out, and the lock, panel and notice that follow.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "devices/Microphone.h"
#include "settings/Languages.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/RecordingPoster.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/HoldNotices.h"
#include "ui/main/MainWindowLayout.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;
using testing::WaitUntil;

const std::u16string kEndpoint = u"{0.0.1.00000000}.{mic}";
constexpr HResult kHrNotImplemented = static_cast<HResult>(0x80004001u);  // E_NOTIMPL, Wine's answer

struct Held {
  FakeCaptureServices services;
  testing::RecordingPoster poster;
  DeviceList list;
  SPDEVMIC* mic = nullptr;

  Held() {
    FakeDeviceInfo info{u"Headset", std::nullopt, 0, std::nullopt, "H", false, false, kEndpoint};
    services.AddDevice(DeviceCategory::AudioInput, info);
  }
  ~Held() { list.DestroyDeviceList(); }
  void Block() {
    auto made = std::make_unique<SPDEVMIC>(poster, services);
    AudioInitRecord init;
    std::u16string(u"Headset").copy(init.friendlyName, 7);
    std::u16string(u"0 Headset").copy(init.path, 9);
    init.notifyWindow = 0x4321;
    made->Init(&init);
    mic = made.release();
    list.LinkDevice(mic);
    list.lastRefreshComplete = true;
    ASSERT_EQ(mic->Block(), 1);
    ASSERT_TRUE(WaitUntil([&] { return mic->IsBlockedBitSet() == 1; }));
  }
};

// Hardware mute x exclusive client x check error. A mute of the device's
// own reaches exclusive streams, so nothing else is asked; without one
// only a refused exclusive open is green, and a check that fails counts as
// admitted. The hold's own stream lasts as long as the hold; an admitted
// exclusive stream is let go at once.
TEST(MicrophoneRisk, AnExclusiveClientIsKeptOutOrTheHoldShowsAmberWithItsNotice) {
  struct Case {
    const char* name;
    bool hardwareMute;
    bool admitted;
    const char* failing;  // a call of the check that errs, or none
    bool amber;
    int ownStreams;  // shared streams of the hold while it lasts
    bool checked;    // an exclusive open was tried
  } cases[] = {
      {"hardware mute, refused", true, false, nullptr, false, 0, false},
      {"hardware mute, admitted", true, true, nullptr, false, 0, false},
      {"hardware mute, check errs", true, false, "audioClient.Initialize(exclusive)", false, 0, false},
      {"software mute, refused", false, false, nullptr, false, 1, true},
      {"software mute, admitted", false, true, nullptr, true, 1, true},
      {"software mute, check errs", false, false, "audioClient.Initialize(exclusive)", true, 1, true},
      {"software mute, no mix format", false, false, "audioClient.GetMixFormat", true, 0, false},
      {"hardware support not told (Wine)", true, false, "endpointVolume.QueryHardwareSupport", false, 1, true},
      {"hardware support not told, admitted", true, true, "endpointVolume.QueryHardwareSupport", true, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Held held;
    held.services.SetEndpointHardwareMute(kEndpoint, c.hardwareMute);
    held.services.exclusiveAdmittedBesideShared = c.admitted;
    if (c.failing != nullptr) {
      const HResult error = std::string(c.failing) == "endpointVolume.QueryHardwareSupport" ? kHrNotImplemented : kHrFail;
      held.services.Fail(c.failing, error);
    }
    held.Block();
    const std::uint32_t data = DeviceList::ListItemDataOf(held.mic);
    EXPECT_EQ(LockMarkSkin(data), c.amber ? kSkinLockShared : kSkinLockBlocked);
    EXPECT_EQ(ProtectionState(held.list), c.amber ? 0 : 1) << "Privacy at Risk while amber";
    SharedHoldNotices notices;
    const DeviceNotifyEffect effect = DecideDeviceNotify(held.list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), held.mic);
    EXPECT_EQ(TakeHoldNotices(effect, notices), c.amber ? std::vector<int>{STR_MICROPHONE_EXCLUSIVE_HEARD} : std::vector<int>{});
    EXPECT_EQ(held.services.AudioStreamsOf(kEndpoint, AudioShareMode::Shared), c.ownStreams);
    EXPECT_EQ(held.services.AudioStreamsOf(kEndpoint, AudioShareMode::Exclusive), 0) << "admitted, then let go";
    EXPECT_EQ(held.services.Count("audioClient.Initialize(exclusive)") > 0, c.checked) << "a hardware mute needs none";
    held.mic->Unblock();
    EXPECT_EQ(held.services.AudioStreamsOf(kEndpoint, AudioShareMode::Shared), 0) << "the hold's stream ends with it";
  }
}

// The hold's own stream keeps an exclusive one out only while it is open:
// a stream of its own that could not be opened is found by the check.
TEST(MicrophoneRisk, AHoldWhoseOwnStreamFailedIsFoundOut) {
  Held held;
  held.services.Fail("audioClient.Initialize(shared)", kHrFail);
  held.Block();
  EXPECT_EQ(held.mic->HoldRisks(), kHoldRiskExclusive);
  held.services.Fail("audioClient.Initialize(shared)", kHrOk, 0);
  held.mic->Unblock();
  held.Block();
  EXPECT_EQ(held.mic->HoldRisks(), 0u) << "blocked again, the stream opens and the check is refused";
}

}  // namespace
}  // namespace shadowpane
