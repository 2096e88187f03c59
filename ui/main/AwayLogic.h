// What the user's absence does to the devices, decided without the
// platform: the session locked or disconnected, the computer going to
// sleep, no input for a while, and the return from each.
//
// While the user is away for a reason the settings name, every listed
// device that is open is held; those holds are the program's, not the
// user's: Profile.db saves them as open (DeviceList::blocksNotSaved) and
// the return gives them back. A device the user, a shortcut, a command or
// a policy blocked meanwhile stays blocked, and one the user acted on
// while away is the user's from then on.
//
// The state is a set of reasons, so another one (a "talking" state) can
// join without changing the rest.
#pragma once

#include <cstdint>

#include "core/Text.h"
#include "devices/DeviceList.h"

namespace shadowpane {

enum class AwayEvent {
  None,
  Lock,             // WTS_SESSION_LOCK
  Unlock,           // WTS_SESSION_UNLOCK
  Disconnect,       // WTS_CONSOLE_DISCONNECT / WTS_REMOTE_DISCONNECT
  Reconnect,        // WTS_CONSOLE_CONNECT / WTS_REMOTE_CONNECT
  Suspend,          // PBT_APMSUSPEND
  ResumeAutomatic,  // PBT_APMRESUMEAUTOMATIC: awake, nobody need be there
  ResumeByUser,     // PBT_APMRESUMESUSPEND: awake because of the user
  Idle,             // no input for the set minutes
  Input,            // input again after an idle hold
};

// Why devices are held for the user's absence now (bits of AwayState).
constexpr std::uint32_t kAwayLocked = 1;
constexpr std::uint32_t kAwayDisconnected = 2;
constexpr std::uint32_t kAwayAsleep = 4;
constexpr std::uint32_t kAwayIdle = 8;

// "Block all devices after … minutes without input": its bounds.
constexpr std::int32_t kMinIdleMinutes = 1;
constexpr std::int32_t kMaxIdleMinutes = 240;
constexpr std::uint32_t kMsPerMinute = 60000;

// The effective settings' part that matters here.
struct AwaySettings {
  bool blockWhileLocked = false;  // lock, disconnect and sleep
  std::int32_t idleMinutes = 0;   // 0: off; else kMinIdleMinutes..kMaxIdleMinutes
};

struct AwayState {
  std::uint32_t reasons = 0;
  // The last input's tick when the idle hold began: any other is a return.
  std::uint32_t inputAtIdleHold = 0;
};

// What an event asks of the window.
struct AwayAction {
  bool holdAll = false;  // hold every open device for the absence
  bool release = false;  // give back the absence's holds
  bool recheck = false;  // refresh, check every hold, take again the lost
};

// The one decision table: the new state and what to do. A reason the
// settings do not name is not taken; a return gives the holds back only
// when no reason is left.
AwayAction DecideAway(AwayState& state, AwayEvent event, const AwaySettings& settings);

// At an audio-poll tick: Idle once input has been missing for the set
// minutes (the last input's tick is kept, so any other is a return),
// Input at the first input after an idle hold, else None. The ticks are
// GetTickCount's and GetLastInputInfo's (they wrap together).
AwayEvent IdleEventAt(AwayState& state, std::uint32_t now, std::uint32_t lastInput,
                      const AwaySettings& settings);

// Holds every listed device that is open (not blocked, not already asked
// to hold) and records it in list.blocksNotSaved. Answers how many it
// asked to hold.
int HoldForAway(DeviceList& list);
// Gives back the recorded holds still in place, then forgets them all.
// Answers how many it asked to give back.
int ReleaseAwayHolds(DeviceList& list);
// The user acted on the device (a click, a shortcut, a command): its
// state is the user's from now on.
void ClaimForUser(DeviceList& list, SPDEV* device);
// After sleep: every blocked device whose hold others can meet now is
// blocked again (a new hold may be one they cannot). Answers how many.
int RetakeLostHolds(DeviceList& list);

}  // namespace shadowpane
