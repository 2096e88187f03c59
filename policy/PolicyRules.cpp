#include "policy/PolicyRules.h"

namespace shadowpane {
namespace {

bool Usable(const StoredValue& value, const PolicyValueInfo& info) {
  return value.type == StoredType::Dword && value.number >= info.minimum && value.number <= info.maximum;
}

ForcedSetting ReadForced(PolicySource& source, PolicyId id) {
  const PolicyValueInfo& info = PolicyValue(id);
  const std::int32_t value = ReadPolicyValue(source, info);
  if (value == kPolicyNotSet || value == info.userChoiceValue) return ForcedSetting{};
  return ForcedSetting{true, value};
}

// Permissions default to allowed; only an explicit 0 withdraws one.
bool ReadAllowed(PolicySource& source, PolicyId id) {
  return ReadPolicyValue(source, PolicyValue(id)) != 0;
}

}  // namespace

std::int32_t ReadPolicyValue(PolicySource& source, const PolicyValueInfo& info) {
  for (PolicyScope scope : {PolicyScope::Machine, PolicyScope::User}) {
    const StoredValue value = source.Query(scope, info.name);
    if (Usable(value, info)) return static_cast<std::int32_t>(value.number);
  }
  return kPolicyNotSet;
}

bool EnforcedPolicy::operator==(const EnforcedPolicy& other) const {
  return blockStart == other.blockStart && blockPluggedIn == other.blockPluggedIn &&
         startup == other.startup && language == other.language && notifyAttempts == other.notifyAttempts &&
         blockWhileLocked == other.blockWhileLocked && blockAfterIdleMinutes == other.blockAfterIdleMinutes &&
         showIndicator == other.showIndicator &&
         allowUnblock == other.allowUnblock &&
         allowExit == other.allowExit && showFirstRunPage == other.showFirstRunPage;
}

EnforcedPolicy ReadEnforcedPolicy(PolicySource& source) {
  EnforcedPolicy policy;
  policy.blockStart = ReadForced(source, PolicyId::BlockStart);
  policy.blockPluggedIn = ReadForced(source, PolicyId::BlockPluggedIn);
  policy.startup = ReadForced(source, PolicyId::Startup);
  policy.language = ReadForced(source, PolicyId::Language);
  policy.notifyAttempts = ReadForced(source, PolicyId::NotifyAttempts);
  policy.blockWhileLocked = ReadForced(source, PolicyId::BlockWhileLocked);
  policy.blockAfterIdleMinutes = ReadForced(source, PolicyId::BlockAfterIdleMinutes);
  policy.showIndicator = ReadForced(source, PolicyId::ShowIndicator);
  policy.allowUnblock = ReadAllowed(source, PolicyId::AllowUnblock);
  policy.allowExit = ReadAllowed(source, PolicyId::AllowExit);
  policy.showFirstRunPage = ReadAllowed(source, PolicyId::ShowFirstRunPage);
  return policy;
}

void ApplyEnforcedPolicy(const EnforcedPolicy& policy, std::int32_t& language, std::int32_t& startup,
                         std::int32_t& blockStart, std::int32_t& blockPluggedIn) {
  language = EffectiveValue(policy.language, language);
  startup = EffectiveValue(policy.startup, startup);
  blockStart = EffectiveValue(policy.blockStart, blockStart);
  blockPluggedIn = EffectiveValue(policy.blockPluggedIn, blockPluggedIn);
}

Settings EffectiveSettings(const Settings& user, const EnforcedPolicy& policy) {
  Settings effective = user;
  ApplyEnforcedPolicy(policy, effective.language, effective.startup, effective.blockStart,
                      effective.blockPluggedIn);
  effective.notifyAttempts = EffectiveValue(policy.notifyAttempts, effective.notifyAttempts);
  effective.blockWhileLocked = EffectiveValue(policy.blockWhileLocked, effective.blockWhileLocked);
  effective.blockAfterIdleMinutes = EffectiveValue(policy.blockAfterIdleMinutes, effective.blockAfterIdleMinutes);
  effective.showIndicator = EffectiveValue(policy.showIndicator, effective.showIndicator);
  return effective;
}

Settings KeepForcedAsUsers(const Settings& user, const Settings& chosen, const EnforcedPolicy& policy) {
  Settings kept = chosen;
  if (policy.language.forced) kept.language = user.language;
  if (policy.startup.forced) kept.startup = user.startup;
  if (policy.blockStart.forced) kept.blockStart = user.blockStart;
  if (policy.blockPluggedIn.forced) kept.blockPluggedIn = user.blockPluggedIn;
  if (policy.notifyAttempts.forced) kept.notifyAttempts = user.notifyAttempts;
  if (policy.blockWhileLocked.forced) kept.blockWhileLocked = user.blockWhileLocked;
  if (policy.blockAfterIdleMinutes.forced) kept.blockAfterIdleMinutes = user.blockAfterIdleMinutes;
  if (policy.showIndicator.forced) kept.showIndicator = user.showIndicator;
  return kept;
}

}  // namespace shadowpane
