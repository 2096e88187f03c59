// The push-to-talk decisions: what each press, poll tick, lock and plug-in
// asks of the microphones and of the key's timer.
#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace shadowpane
