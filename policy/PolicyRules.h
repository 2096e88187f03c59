// What the policy keys enforce, read into one value, and the decisions the
// windows, the tray, the shortcuts and the command line take from it.
// Start-up reads it once and again at every refresh, so a policy pushed
// while the program runs takes effect within a refresh.
#pragma once

#include <cstdint>

#include "policy/PolicyValues.h"
#include "settings/Settings.h"

namespace shadowpane {

// What ReadPolicyValue answers when neither key holds a usable value.
constexpr std::int32_t kPolicyNotSet = -1;

// A command-line request to unblock that the policy refuses exits with
// this code, so a script can tell it from a device that could not be
// unblocked.
constexpr int kUnblockRefusedExitCode = 4;

// The machine's value when it is a REG_DWORD within the entry's range, else
// the user's under the same conditions, else kPolicyNotSet. A value of
// another type or out of range counts as missing: the organisation meant
// something the program does not know, so the user's own setting applies.
std::int32_t ReadPolicyValue(PolicySource& source, const PolicyValueInfo& info);

// One user setting an organisation may force; when forced, its control is
// disabled and shows "Managed by your organization." beneath.
struct ForcedSetting {
  bool forced = false;
  std::int32_t value = 0;  // meaningful when forced
  bool operator==(const ForcedSetting& other) const {
    return forced == other.forced && (!forced || value == other.value);
  }
};

// Everything the policy keys enforce. The default is no policy at all.
struct EnforcedPolicy {
  ForcedSetting blockStart;
  ForcedSetting blockPluggedIn;
  ForcedSetting startup;
  ForcedSetting language;
  ForcedSetting notifyAttempts;
  ForcedSetting blockWhileLocked;
  ForcedSetting blockAfterIdleMinutes;
  ForcedSetting showIndicator;
  bool allowUnblock = true;
  bool allowExit = true;       // false: no Exit command, closing hides to the tray
  bool showFirstRunPage = true;
  bool operator==(const EnforcedPolicy& other) const;
  bool operator!=(const EnforcedPolicy& other) const { return !(*this == other); }
};

EnforcedPolicy ReadEnforcedPolicy(PolicySource& source);

// The effective value of a setting: the forced one, else the user's.
inline std::int32_t EffectiveValue(const ForcedSetting& setting, std::int32_t userValue) {
  return setting.forced ? setting.value : userValue;
}

// Overwrites each forced setting with its forced value and leaves the
// others. The caller keeps the user's own values apart for saving, so a
// policy that is later withdrawn gives the user's choice back.
void ApplyEnforcedPolicy(const EnforcedPolicy& policy, std::int32_t& language, std::int32_t& startup,
                         std::int32_t& blockStart, std::int32_t& blockPluggedIn);

// The settings the program acts on: the user's own with each forced one
// overwritten. The user's record itself is never changed by a policy, so
// saving it keeps the user's choice for when the policy is withdrawn.
Settings EffectiveSettings(const Settings& user, const EnforcedPolicy& policy);

// What the Settings window's OK stores: the values read from its controls
// for every setting the user may change, and the user's own earlier value
// for each forced one (its control showed the forced value, disabled).
Settings KeepForcedAsUsers(const Settings& user, const Settings& chosen, const EnforcedPolicy& policy);

// Whether a request that would leave a device unblocked is refused. A block
// is never refused: a policy only makes the program stricter.
inline bool RefusesUnblock(const EnforcedPolicy& policy) { return !policy.allowUnblock; }

// A click on an entry toggles its device: refused when that would unblock it.
inline bool RefusesToggle(const EnforcedPolicy& policy, bool deviceBlocked) {
  return deviceBlocked && RefusesUnblock(policy);
}

}  // namespace shadowpane
