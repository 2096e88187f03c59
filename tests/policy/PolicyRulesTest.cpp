#include "policy/PolicyRules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "settings/Languages.h"
#include "tests/support/MemoryPolicySource.h"

namespace shadowpane {
namespace {

constexpr StoredValue kMissing{};
constexpr StoredValue kText{StoredType::Other, 1};
constexpr StoredValue Dword(std::uint32_t number) { return testing::PolicyDword(number); }

using testing::MemoryPolicySource;

struct ForcedCase {
  const char* what;
  const WideChar* name;
  StoredValue machine;
  StoredValue user;
  bool forced;
  std::int32_t value;
};

ForcedSetting SettingOf(const EnforcedPolicy& policy, const std::u16string& name) {
  if (name == u"BlockStart") return policy.blockStart;
  if (name == u"BlockPluggedIn") return policy.blockPluggedIn;
  if (name == u"Startup") return policy.startup;
  if (name == u"NotifyAttempts") return policy.notifyAttempts;
  if (name == u"BlockWhileLocked") return policy.blockWhileLocked;
  if (name == u"BlockAfterIdleMinutes") return policy.blockAfterIdleMinutes;
  if (name == u"ShowIndicator") return policy.showIndicator;
  return policy.language;
}

TEST(PolicyRulesTest, MachineBeatsUserAndUnusableValuesLeaveTheUsersChoice) {
  const ForcedCase cases[] = {
      {"machine beats user", u"BlockStart", Dword(1), Dword(0), true, 1},
      {"user policy alone", u"BlockPluggedIn", kMissing, Dword(1), true, 1},
      {"machine out of range falls to user", u"BlockStart", Dword(2), Dword(1), true, 1},
      {"machine of another type falls to user", u"Language", kText, Dword(2), true, 2},
      {"both unusable", u"Language", Dword(4), kText, false, 0},
      {"negative language", u"Language", Dword(0xFFFFFFFFu), kMissing, false, 0},
      {"highest language", u"Language", Dword(3), Dword(1), true, 3},
      {"nothing set", u"Startup", kMissing, kMissing, false, 0},
      {"autostart may be forced off", u"Startup", Dword(0), Dword(1), true, 0},
      // An organisation may also force a block setting off.
      {"block forced off", u"BlockStart", Dword(0), kMissing, true, 0},
      {"machine 0 wins over user 1", u"BlockPluggedIn", Dword(0), Dword(1), true, 0},
      {"attempts' balloons forced off", u"NotifyAttempts", Dword(0), Dword(1), true, 0},
      {"attempts' balloons out of range", u"NotifyAttempts", Dword(2), kMissing, false, 0},
      {"blocked while locked", u"BlockWhileLocked", Dword(1), Dword(0), true, 1},
      {"idle forced off by 0", u"BlockAfterIdleMinutes", Dword(0), Dword(5), true, 0},
      {"idle at its highest", u"BlockAfterIdleMinutes", Dword(240), kMissing, true, 240},
      {"idle beyond falls to user", u"BlockAfterIdleMinutes", Dword(241), Dword(1), true, 1},
      {"indicator forced on by the user's policy", u"ShowIndicator", kMissing, Dword(1), true, 1},
  };
  for (const ForcedCase& c : cases) {
    MemoryPolicySource source;
    source.machine[c.name] = c.machine;
    source.user[c.name] = c.user;
    const ForcedSetting setting = SettingOf(ReadEnforcedPolicy(source), c.name);
    EXPECT_EQ(setting.forced, c.forced) << c.what;
    if (c.forced) {
      EXPECT_EQ(setting.value, c.value) << c.what;
    }
  }
}

TEST(PolicyRulesTest, PermissionsAreWithdrawnOnlyByAUsableZero) {
  struct Case {
    const char* what;
    const WideChar* name;
    StoredValue machine;
    StoredValue user;
    bool allowed;
  };
  const Case cases[] = {
      {"machine 0", u"AllowUnblock", Dword(0), kMissing, false},
      {"machine 1 beats user 0", u"AllowUnblock", Dword(1), Dword(0), true},
      {"user 0", u"AllowExit", kMissing, Dword(0), false},
      {"out of range", u"AllowExit", Dword(2), kMissing, true},
      {"another type", u"ShowFirstRunPage", kText, kMissing, true},
      {"page withdrawn", u"ShowFirstRunPage", Dword(0), kMissing, false},
  };
  for (const Case& c : cases) {
    MemoryPolicySource source;
    source.machine[c.name] = c.machine;
    source.user[c.name] = c.user;
    const EnforcedPolicy policy = ReadEnforcedPolicy(source);
    const std::u16string name = c.name;
    const bool allowed = name == u"AllowUnblock" ? policy.allowUnblock
                         : name == u"AllowExit"  ? policy.allowExit
                                                 : policy.showFirstRunPage;
    EXPECT_EQ(allowed, c.allowed) << c.what;
    EXPECT_EQ(policy.blockStart.forced || policy.language.forced, false) << c.what;
  }
}

TEST(PolicyRulesTest, ForcedValuesOverwriteOnlyTheirOwnSetting) {
  EnforcedPolicy policy;
  std::int32_t language = 2, startup = 1, blockStart = 0, blockPluggedIn = 1;
  ApplyEnforcedPolicy(policy, language, startup, blockStart, blockPluggedIn);
  EXPECT_EQ(std::make_tuple(language, startup, blockStart, blockPluggedIn), std::make_tuple(2, 1, 0, 1))
      << "no policy";

  policy.language = {true, 3};
  policy.blockStart = {true, 1};
  ApplyEnforcedPolicy(policy, language, startup, blockStart, blockPluggedIn);
  EXPECT_EQ(std::make_tuple(language, startup, blockStart, blockPluggedIn), std::make_tuple(3, 1, 1, 1));
}

TEST(PolicyRulesTest, TheUsersOwnSettingsStayApartAndComeBackWhenThePolicyGoes) {
  const Settings user{LANGUAGE_SPANISH, 0, 0, 1};
  MemoryPolicySource source;
  source.machine[u"BlockStart"] = Dword(1);
  source.user[u"Language"] = Dword(LANGUAGE_GERMAN);
  source.user[u"NotifyAttempts"] = Dword(0);
  source.user[u"ShowIndicator"] = Dword(1);
  const EnforcedPolicy policy = ReadEnforcedPolicy(source);
  EXPECT_EQ(EffectiveSettings(user, policy), (Settings{LANGUAGE_GERMAN, 0, 1, 1, 0, 0, 0, 1}));

  // The Settings window's OK: the user changed the free options; the forced
  // ones keep the user's values underneath, whatever their controls showed.
  const Settings chosen{LANGUAGE_GERMAN, 1, 1, 0, 1, 0, 0, 0, kIndicatorCornerTopLeft};
  const Settings saved = KeepForcedAsUsers(user, chosen, policy);
  EXPECT_EQ(saved, (Settings{LANGUAGE_SPANISH, 1, 0, 0, 1, 0, 0, 0, kIndicatorCornerTopLeft}));
  EXPECT_EQ(EffectiveSettings(saved, policy), (Settings{LANGUAGE_GERMAN, 1, 1, 0, 0, 0, 0, 1, kIndicatorCornerTopLeft}));

  // The away settings: forced over the user's, kept apart the same way.
  source.machine[u"BlockWhileLocked"] = Dword(1);
  source.machine[u"BlockAfterIdleMinutes"] = Dword(15);
  const EnforcedPolicy away = ReadEnforcedPolicy(source);
  Settings awayChosen = saved;
  awayChosen.blockAfterIdleMinutes = 3;
  const Settings awaySaved = KeepForcedAsUsers(saved, awayChosen, away);
  EXPECT_EQ(awaySaved.blockWhileLocked, 0);
  EXPECT_EQ(awaySaved.blockAfterIdleMinutes, 0);
  EXPECT_EQ(EffectiveSettings(awaySaved, away).blockWhileLocked, 1);
  EXPECT_EQ(EffectiveSettings(awaySaved, away).blockAfterIdleMinutes, 15);

  source.machine.clear();
  source.user.clear();
  EXPECT_EQ(EffectiveSettings(saved, ReadEnforcedPolicy(source)), saved) << "withdrawn: the user's choice is back";
}

TEST(PolicyRulesTest, APolicyChangeIsSeenAndOnlyUnblockingIsRefused) {
  MemoryPolicySource source;
  const EnforcedPolicy before = ReadEnforcedPolicy(source);
  EXPECT_EQ(before, EnforcedPolicy{});
  EXPECT_FALSE(RefusesToggle(before, true));

  source.user[u"AllowUnblock"] = Dword(0);
  const EnforcedPolicy after = ReadEnforcedPolicy(source);
  EXPECT_NE(after, before);
  EXPECT_TRUE(RefusesToggle(after, true)) << "unblocking a blocked device";
  EXPECT_FALSE(RefusesToggle(after, false)) << "blocking is never refused";
}

}  // namespace
}  // namespace shadowpane
