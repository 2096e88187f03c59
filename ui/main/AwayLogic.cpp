#include "ui/main/AwayLogic.h"

#include <algorithm>

#include "devices/DiscoveredInput.h"
#include "devices/Microphone.h"

namespace shadowpane {
namespace {

// The reason an absence event starts or ends; 0 for the others.
std::uint32_t ReasonOf(AwayEvent event) {
  switch (event) {
    case AwayEvent::Lock:
    case AwayEvent::Unlock:
      return kAwayLocked;
    case AwayEvent::Disconnect:
    case AwayEvent::Reconnect:
      return kAwayDisconnected;
    case AwayEvent::Suspend:
    case AwayEvent::ResumeByUser:
      return kAwayAsleep;
    case AwayEvent::Idle:
    case AwayEvent::Input:
      return kAwayIdle;
    default:
      return 0;
  }
}

bool Starts(AwayEvent event) {
  return event == AwayEvent::Lock || event == AwayEvent::Disconnect || event == AwayEvent::Suspend ||
         event == AwayEvent::Idle;
}

bool Wanted(AwayEvent event, const AwaySettings& settings) {
  if (event == AwayEvent::Idle) return settings.idleMinutes >= kMinIdleMinutes;
  return settings.blockWhileLocked;
}

// Held, or a microphone asked to hold whose worker has not verified yet.
bool HeldOrAsked(SPDEV* device) {
  if (DeviceList::IsBlocked(device) != 0) return true;
  auto* microphone = dynamic_cast<SPDEVMIC*>(device);
  return microphone != nullptr && microphone->HoldRequested();
}

}  // namespace

AwayAction DecideAway(AwayState& state, AwayEvent event, const AwaySettings& settings) {
  AwayAction action;
  // Awake again: whatever the settings, every hold is checked.
  action.recheck = event == AwayEvent::ResumeAutomatic || event == AwayEvent::ResumeByUser;
  const std::uint32_t reason = ReasonOf(event);
  if (reason == 0) return action;
  if (Starts(event)) {
    // The same reason again holds nothing new: what the user did since
    // stays as they left it.
    if (!Wanted(event, settings) || (state.reasons & reason) != 0) return action;
    state.reasons |= reason;
    action.holdAll = true;
    return action;
  }
  if ((state.reasons & reason) == 0) return action;
  state.reasons &= ~reason;
  action.release = state.reasons == 0;
  return action;
}

AwayEvent IdleEventAt(AwayState& state, std::uint32_t now, std::uint32_t lastInput,
                      const AwaySettings& settings) {
  if ((state.reasons & kAwayIdle) != 0) return lastInput != state.inputAtIdleHold ? AwayEvent::Input : AwayEvent::None;
  if (settings.idleMinutes < kMinIdleMinutes) return AwayEvent::None;
  const std::uint32_t minutes = static_cast<std::uint32_t>(std::min(settings.idleMinutes, kMaxIdleMinutes));
  if (now - lastInput < minutes * kMsPerMinute) return AwayEvent::None;
  state.inputAtIdleHold = lastInput;
  return AwayEvent::Idle;
}

int HoldForAway(DeviceList& list) {
  int asked = 0;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (HeldOrAsked(device)) continue;
    const std::u16string path = PathOf(device);
    // Recorded before the block, whose notice saves the profile.
    if (!path.empty() && !list.BlockNotSaved(path)) list.blocksNotSaved.push_back(path);
    device->Block();
    ++asked;
  }
  return asked;
}

int ReleaseAwayHolds(DeviceList& list) {
  std::vector<std::u16string> held;
  held.swap(list.blocksNotSaved);
  int asked = 0;
  for (const std::u16string& path : held) {
    SPDEV* device = list.FindByPath(path.c_str());
    if (device == nullptr || !HeldOrAsked(device)) continue;
    device->Unblock();
    ++asked;
  }
  return asked;
}

void ClaimForUser(DeviceList& list, SPDEV* device) {
  if (device == nullptr) return;
  const std::u16string path = PathOf(device);
  auto& held = list.blocksNotSaved;
  held.erase(std::remove(held.begin(), held.end(), path), held.end());
}

int RetakeLostHolds(DeviceList& list) {
  int asked = 0;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (DeviceList::IsBlocked(device) == 0 || device->IsSharedBitSet() == 0) continue;
    device->Block();
    ++asked;
  }
  return asked;
}

}  // namespace shadowpane
