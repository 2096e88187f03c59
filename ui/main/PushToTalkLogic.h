// Push-to-talk without the platform: while the "Hold to talk through
// blocked microphones" shortcut is held, every blocked microphone's hold is
// paused (given back and read back), and taken again when it is let go.
//
// The system reports a hot key's press only. The release is found by
// reading the key on a short timer while talking: a key read up ends the
// talk, whatever the reason it was never reported (the focus moved, a
// secure desktop came up, the session locked). Nothing a talk does changes
// what is blocked or saved.
#pragma once

#include <cstdint>

#include "devices/DeviceList.h"

namespace shadowpane {

// How often the key is read while talking: a release the system never
// reports ends the talk within this period and the microphones' answer.
constexpr std::uint32_t kTalkKeyPollMs = 30;
// The most a talk's release may take from the key let go to the talk
// ended, of which the poll uses at most one period.
constexpr std::uint32_t kTalkReleaseLimitMs = 250;
static_assert(kTalkKeyPollMs < kTalkReleaseLimitMs, "a poll period must end well within the limit");

// What the window does after one event.
struct TalkStep {
  bool startTalk = false;  // ask every held microphone to talk
  bool endTalk = false;    // ask every microphone to take its hold again
  bool refused = false;    // the policy refuses: tell so, as a click's refusal is told
  bool poll = false;       // the key is read on the timer from now on (else the timer stops)
};

class PushToTalk {
 public:
  // The shortcut's press. Refused where the policy does not allow
  // unblocking; a press while talking (a repeat) changes nothing.
  TalkStep Press(bool unblockAllowed);
  // A poll tick: the key read down or not. Up ends the talk.
  TalkStep Poll(bool keyDown);
  // Ends a talk at once, whatever the key: the computer locks, the
  // session ends, the window closes.
  TalkStep End();
  // A device plugged in while talking is blocked as usual and does not
  // join: the talk covers the holds in place at the press.
  TalkStep PluggedIn() const;
  bool Talking() const { return talking_; }

 private:
  bool talking_ = false;
};

// Asks every microphone of the list whose hold is in force to talk;
// answers how many were asked.
int StartTalks(DeviceList& list);
// Asks every microphone of the list to take its hold again (those that do
// not talk ignore it).
void EndTalks(DeviceList& list);

}  // namespace shadowpane
