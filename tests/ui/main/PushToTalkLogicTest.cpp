// The push-to-talk decisions: what each press, poll tick, lock and plug-in
// asks of the microphones and of the key's timer.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/CommandDecisions.h"
#include "devices/Microphone.h"
#include "settings/Languages.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/HoldNotices.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/PushToTalkLogic.h"

namespace shadowpane {
namespace {

enum class Event { PressAllowed, PressRefused, KeyDown, KeyUp, Lock, PlugIn };

struct Expected {
  Event event;
  bool startTalk;
  bool endTalk;
  bool refused;
  bool poll;
  bool talkingAfter;
};

TalkStep Apply(PushToTalk& talk, Event event) {
  switch (event) {
    case Event::PressAllowed:
      return talk.Press(true);
    case Event::PressRefused:
      return talk.Press(false);
    case Event::KeyDown:
      return talk.Poll(true);
    case Event::KeyUp:
      return talk.Poll(false);
    case Event::Lock:
      return talk.End();
    default:
      return talk.PluggedIn();
  }
}

TEST(PushToTalkLogicTest, EachEventAsksTheMicrophonesAndTheTimerForWhatItMeans) {
  struct Case {
    const char* name;
    std::vector<Expected> steps;
  };
  const Case cases[] = {
      {"press, held, released",
       {{Event::PressAllowed, true, false, false, true, true},
        {Event::KeyDown, false, false, false, true, true},
        {Event::KeyUp, false, true, false, false, false}}},
      {"a release never reported: the first tick that reads the key up ends it",
       {{Event::PressAllowed, true, false, false, true, true}, {Event::KeyUp, false, true, false, false, false}}},
      {"locked while held; the key still down after it starts nothing",
       {{Event::PressAllowed, true, false, false, true, true},
        {Event::Lock, false, true, false, false, false},
        {Event::KeyDown, false, false, false, false, false}}},
      {"a device plugged in while held does not join and the talk goes on",
       {{Event::PressAllowed, true, false, false, true, true},
        {Event::PlugIn, false, false, false, true, true},
        {Event::KeyUp, false, true, false, false, false}}},
      {"refused by the policy: told, nothing given back, no poll",
       {{Event::PressRefused, false, false, true, false, false},
        {Event::KeyDown, false, false, false, false, false}}},
      {"a repeated press while talking starts nothing new",
       {{Event::PressAllowed, true, false, false, true, true},
        {Event::PressAllowed, false, false, false, true, true},
        {Event::KeyUp, false, true, false, false, false}}},
      {"a lock or plug-in with no talk does nothing",
       {{Event::Lock, false, false, false, false, false}, {Event::PlugIn, false, false, false, false, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PushToTalk talk;
    int index = 0;
    for (const Expected& e : c.steps) {
      SCOPED_TRACE(index++);
      const TalkStep step = Apply(talk, e.event);
      EXPECT_EQ(step.startTalk, e.startTalk);
      EXPECT_EQ(step.endTalk, e.endTalk);
      EXPECT_EQ(step.refused, e.refused);
      EXPECT_EQ(step.poll, e.poll);
      EXPECT_EQ(talk.Talking(), e.talkingAfter);
    }
  }
}

// Two blocked microphones in a list: the second is plugged in while the
// key is held.
struct TalkRig {
  testing::FakeCaptureServices services;
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  DeviceList list{&profile};

  ~TalkRig() { list.DestroyDeviceList(); }
  SPDEVMIC* Plug(const std::u16string& name, const std::u16string& endpoint, std::int32_t waveInId) {
    services.AddDevice(DeviceCategory::AudioInput, testing::FakeDeviceInfo{name, std::nullopt, waveInId, std::nullopt,
                                                                           "U", false, false, endpoint});
    // A mute of the device's own: nothing else makes the hold amber.
    services.SetEndpointHardwareMute(endpoint, true);
    auto made = std::make_unique<SPDEVMIC>(poster, services);
    AudioInitRecord init;
    name.copy(init.friendlyName, name.size());
    (u"0 " + name).copy(init.path, name.size() + 2);
    init.waveInId = static_cast<std::uint32_t>(waveInId);
    made->Init(&init);
    SPDEVMIC* mic = made.release();
    list.LinkDevice(mic);
    list.lastRefreshComplete = true;
    EXPECT_EQ(mic->Block(), 1);
    EXPECT_TRUE(testing::WaitUntil([&] { return mic->IsBlockedBitSet() == 1 && mic->IsSharedBitSet() == 0; }));
    return mic;
  }
};

// While talking: at risk with the talk as the panel's line, the entry
// marked, /status saying "talking", and no "not silent" notice (a talk is
// the user's, not a failed hold). A microphone plugged in meanwhile stays
// silent. Afterwards: protected again.
TEST(PushToTalkLogicTest, ATalkShowsAtRiskAndTalkingAndEndsProtected) {
  TalkRig rig;
  SPDEVMIC* first = rig.Plug(u"Headset", u"{0.0.1.00000000}.{a}", 0);
  ASSERT_EQ(ProtectionState(rig.list), 1);
  EXPECT_EQ(StartTalks(rig.list), 1);
  ASSERT_TRUE(testing::WaitUntil([&] { return first->Talking(); }));
  SPDEVMIC* plugged = rig.Plug(u"Webcam Mic", u"{0.0.1.00000000}.{b}", 1);
  EXPECT_FALSE(plugged->Talking());
  EXPECT_TRUE(rig.services.EndpointMuted(u"{0.0.1.00000000}.{b}")) << "the plug-in joins no talk";
  EXPECT_FALSE(rig.services.EndpointMuted(u"{0.0.1.00000000}.{a}"));
  EXPECT_EQ(ProtectionState(rig.list), kTalkingState);
  EXPECT_EQ(PanelLook(kTalkingState).headline, STR_PRIVACY_AT_RISK);
  EXPECT_EQ(PanelLook(kTalkingState).line, STR_TALKING_LINE);
  EXPECT_NE(DeviceList::ListItemDataOf(first) & kListItemTalking, 0u);
  EXPECT_EQ(DeviceList::ListItemDataOf(plugged) & kListItemTalking, 0u);
  const CommandAnswer status = StatusAnswer(SnapshotDevices(rig.list), false, nullptr);
  ASSERT_FALSE(status.lines.empty());
  EXPECT_NE(std::find(status.lines.begin(), status.lines.end(), u"microphone\tHeadset\ttalking"), status.lines.end());
  EXPECT_EQ(status.lines.back(), u"Privacy at Risk");
  SharedHoldNotices notices;
  const DeviceNotifyEffect effect = DecideDeviceNotify(rig.list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), first);
  EXPECT_TRUE(TakeHoldNotices(effect, notices).empty());
  // The window saves at every state change: during a talk it saves what
  // it saves after it.
  ASSERT_EQ(SaveProfile(rig.list), 1);
  const std::vector<std::uint8_t> savedWhileTalking = rig.profile.contents;

  EndTalks(rig.list);
  ASSERT_TRUE(testing::WaitUntil([&] { return !first->Talking() && first->IsSharedBitSet() == 0; }));
  EXPECT_TRUE(rig.services.EndpointMuted(u"{0.0.1.00000000}.{a}"));
  EXPECT_EQ(ProtectionState(rig.list), 1);
  ASSERT_EQ(SaveProfile(rig.list), 1);
  EXPECT_EQ(rig.profile.contents, savedWhileTalking);
}

}  // namespace
}  // namespace shadowpane
