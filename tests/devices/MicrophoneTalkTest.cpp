// A microphone's talk (push-to-talk): its hold paused and the endpoint given
// back, read back as another program would, then muted and read back again;
// the block and the record of muted endpoints untouched throughout.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "devices/EndpointMute.h"
#include "devices/Microphone.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;
using testing::WaitUntil;

constexpr NotifyWindow kWindow = 0x4321;
const std::u16string kEndpoint = u"{0.0.1.00000000}.{talk}";

struct TextStore : MutedEndpointStore {
  std::u16string Read() override { return text; }
  bool Write(const std::u16string& written) override {
    ++writes;
    text = written;
    return true;
  }
  std::u16string text;
  int writes = 0;
};

class MicrophoneTalkTest : public ::testing::Test {
 protected:
  // `endpoint`: the input has an audio endpoint; otherwise only its
  // capture filter's analog input pin holds it.
  std::unique_ptr<SPDEVMIC> HeldMicrophone(bool endpoint) {
    services.AddDevice(DeviceCategory::AudioInput,
                       FakeDeviceInfo{u"Headset", std::nullopt, 0, std::nullopt, "H", false, false,
                                      endpoint ? std::optional<std::u16string>(kEndpoint) : std::nullopt});
    auto mic = std::make_unique<SPDEVMIC>(poster, services, &record);
    AudioInitRecord init;
    if (!endpoint) {
      init.workerFilter = services.MakeFilter("worker", "H");
      init.checkFilter = services.MakeFilter("check", "H");
    }
    std::u16string(u"Headset").copy(init.friendlyName, 7);
    init.notifyWindow = kWindow;
    mic->Init(&init);
    mic->SetFriendlyName(u"Headset");
    EXPECT_EQ(mic->Block(), 1);
    EXPECT_TRUE(WaitUntil([&] { return mic->IsBlockedBitSet() == 1 && mic->IsSharedBitSet() == 0; }));
    return mic;
  }
  bool Blocked(SPDEVMIC& mic) { return mic.IsBlockedBitSet() == 1 && mic.IsSharedBitSet() == 0; }

  FakeCaptureServices services;
  testing::RecordingPoster poster;
  TextStore store;
  MutedEndpoints record{store};
};

// Given back and shown talking only once read back; muted and shown
// blocked again only once read back; the record never written.
TEST_F(MicrophoneTalkTest, ATalkGivesTheEndpointBackAndTakesItAgainLeavingTheRecord) {
  auto mic = HeldMicrophone(true);
  const std::u16string recorded = store.text;
  const int writes = store.writes;
  ASSERT_TRUE(record.Contains(kEndpoint));
  for (int talk = 0; talk < 3; ++talk) {
    SCOPED_TRACE(talk);
    ASSERT_EQ(mic->Talk(true), 1);
    ASSERT_TRUE(WaitUntil([&] { return mic->Talking(); }));
    EXPECT_FALSE(services.EndpointMuted(kEndpoint)) << "talking is shown only once others hear it";
    EXPECT_EQ(mic->IsBlockedBitSet(), 1) << "the block stays the user's";
    EXPECT_TRUE(mic->HoldRequested());
    ASSERT_EQ(mic->Talk(false), 1);
    ASSERT_TRUE(WaitUntil([&] { return Blocked(*mic); }));
    EXPECT_TRUE(services.EndpointMuted(kEndpoint)) << "blocked is shown only once others find it muted";
    EXPECT_EQ(store.text, recorded);
    EXPECT_EQ(store.writes, writes) << "the record stays as it was throughout";
  }
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_FALSE(services.EndpointMuted(kEndpoint));
}

// While talking another program's unmute is not answered (the hold is
// paused), and the talk's own unmute is not counted against the hold
// afterwards; once taken again, an unmute is answered at once.
TEST_F(MicrophoneTalkTest, NoUnmuteIsAnsweredDuringATalkAndTheyAreAfterIt) {
  auto mic = HeldMicrophone(true);
  ASSERT_EQ(mic->Talk(true), 1);
  ASSERT_TRUE(WaitUntil([&] { return mic->Talking(); }));
  const int mutes = services.Count("endpointVolume.SetMute(1)");
  services.MuteEndpointFromOutside(kEndpoint, true);
  services.MuteEndpointFromOutside(kEndpoint, false);
  // Several of the worker's periods on the fake's clock.
  const std::uint32_t from = services.NowMs();
  ASSERT_TRUE(WaitUntil([&] { return services.NowMs() - from > 4 * kMuteReapplyPeriodMs; }));
  EXPECT_EQ(services.Count("endpointVolume.SetMute(1)"), mutes);
  EXPECT_FALSE(services.EndpointMuted(kEndpoint));
  mic->Talk(false);
  ASSERT_TRUE(WaitUntil([&] { return Blocked(*mic); }));
  EXPECT_EQ(mic->ForeignUnmutesAnswered(), 0);
  services.MuteEndpointFromOutside(kEndpoint, false);
  ASSERT_TRUE(WaitUntil([&] { return services.EndpointMuted(kEndpoint); }));
  EXPECT_EQ(mic->HoldRisks(), 0u);
  mic->Unblock();
}

// Where only the analog input pin holds the microphone, a talk switches it
// on and back off, each read through the check filter.
TEST_F(MicrophoneTalkTest, AnInputPinHoldTalksThroughThePin) {
  auto mic = HeldMicrophone(false);
  ASSERT_EQ(mic->Talk(true), 1);
  ASSERT_TRUE(WaitUntil([&] { return mic->Talking(); }));
  ASSERT_EQ(mic->Talk(false), 1);
  ASSERT_TRUE(WaitUntil([&] { return Blocked(*mic); }));
  EXPECT_TRUE(store.text.empty()) << "no endpoint, nothing recorded";
  mic->Unblock();
}

// An unblock while talking gives back as any unblock does (the record
// emptied); a microphone that holds nothing does not talk, nor does a
// hold started afterwards.
TEST_F(MicrophoneTalkTest, AnUnblockMidTalkGivesBackAndANewHoldDoesNotTalk) {
  auto mic = HeldMicrophone(true);
  ASSERT_EQ(mic->Talk(true), 1);
  ASSERT_TRUE(WaitUntil([&] { return mic->Talking(); }));
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_FALSE(services.EndpointMuted(kEndpoint));
  EXPECT_FALSE(record.Contains(kEndpoint));
  EXPECT_EQ(mic->Talk(true), 0) << "no hold, nothing to talk through";
  ASSERT_EQ(mic->Block(), 1);
  ASSERT_TRUE(WaitUntil([&] { return Blocked(*mic); }));
  EXPECT_TRUE(services.EndpointMuted(kEndpoint));
  mic->Unblock();
}

}  // namespace
}  // namespace shadowpane
