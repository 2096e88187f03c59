#include "settings/Settings.h"

#include <gtest/gtest.h>

#include "tests/support/MemoryKeyValueStore.h"

namespace shadowpane {
namespace {

using testing::MemoryKey;
using testing::MemoryKeyValueStore;
using testing::MemoryValue;

MemoryValue Dword(std::uint32_t number) { return MemoryValue{StoredType::Dword, number, {}}; }
MemoryValue Text(const std::u16string& text) { return MemoryValue{StoredType::Other, 0, text}; }

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override {
    ResetSettings();
    // Every operation closes the keys it opened, and none ever tries to
    // change the machine's Run key.
    EXPECT_EQ(store.openKeys, 0);
    EXPECT_EQ(store.machineRun.changeCalls, 0);
  }
  void ResetSettings() {
    settings = Settings{};
    gChosenLanguage = -1;
    gAutostartByAdministrator = 0;
  }
  // The user's autostart entry, the only one the program writes.
  const MemoryValue* RunValue() {
    auto it = store.userRun.values.find(kAutostartValue);
    return it == store.userRun.values.end() ? nullptr : &it->second;
  }

  MemoryKeyValueStore store;
  Settings settings;
};

TEST_F(SettingsTest, LanguageCountsAsStoredOnlyAsANonNegativeNumber) {
  EXPECT_EQ(EnsureLanguageChosen(store), 0) << "missing value";
  store.settings.values[kLanguageValue] = Text(u"1");
  EXPECT_EQ(EnsureLanguageChosen(store), 0) << "string";
  store.settings.values[kLanguageValue] = Dword(0xFFFFFFFFu);
  EXPECT_EQ(EnsureLanguageChosen(store), 0) << "negative";
  store.settings.values[kLanguageValue] = Dword(7);
  EXPECT_EQ(EnsureLanguageChosen(store), 1) << "out of range, yet stored";
  store.settings.values[kLanguageValue] = Dword(0);
  EXPECT_EQ(EnsureLanguageChosen(store), 1);
}

TEST_F(SettingsTest, UnopenableSettingsKeyNeedsNoLanguageWindow) {
  store.settings.refuse = true;
  EXPECT_EQ(EnsureLanguageChosen(store), 1);
}

TEST_F(SettingsTest, LoadUsesLanguageZeroToThreeAndEnglishOtherwise) {
  struct Case {
    MemoryValue stored;
    int expected;
  } cases[] = {{Dword(3), 3}, {Dword(1), 1}, {Dword(4), 0}, {Dword(7), 0},
               {Dword(0xFFFFFFFFu), 0}, {Text(u"2"), 0}};
  for (const Case& c : cases) {
    settings.language = 2;
    store.settings.values[kLanguageValue] = c.stored;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.language, c.expected) << c.stored.number;
  }
  store.settings.values.erase(kLanguageValue);
  settings.language = 2;
  LoadSettings(store, settings);
  EXPECT_EQ(settings.language, 0);
}

TEST_F(SettingsTest, FlagsCountAnyNonZeroNumberAsOne) {
  store.settings.values[kStartupValue] = Dword(0);
  store.settings.values[kBlockStartValue] = Dword(5);
  store.settings.values[kBlockPluggedInValue] = Text(u"1");
  LoadSettings(store, settings);
  EXPECT_EQ(settings.startup, 0);
  EXPECT_EQ(settings.blockStart, 1);
  EXPECT_EQ(settings.blockPluggedIn, 0);

  // Saved back, 5 becomes 1 and the string becomes the number 0.
  SaveSettings(store, settings);
  EXPECT_EQ(store.settings.values[kBlockStartValue].type, StoredType::Dword);
  EXPECT_EQ(store.settings.values[kBlockStartValue].number, 1u);
  EXPECT_EQ(store.settings.values[kBlockPluggedInValue].type, StoredType::Dword);
  EXPECT_EQ(store.settings.values[kBlockPluggedInValue].number, 0u);
}

TEST_F(SettingsTest, ReadFlagRules) {
  store.settings.values[u"a"] = Dword(0x80000000u);
  store.settings.values[u"b"] = Dword(0);
  store.settings.values[u"c"] = Text(u"x");
  auto key = store.OpenSettingsKey();
  EXPECT_EQ(ReadFlag(*key, u"a"), 1);
  EXPECT_EQ(ReadFlag(*key, u"b"), 0);
  EXPECT_EQ(ReadFlag(*key, u"c"), 0);
  EXPECT_EQ(ReadFlag(*key, u"missing"), 0);
}

TEST_F(SettingsTest, UnopenableKeyKeepsSettingsAndStillAppliesAutostart) {
  store.settings.refuse = true;
  store.userRun.values[kAutostartValue] = Text(u"old");
  LoadSettings(store, settings);
  EXPECT_EQ(settings.language, 0);
  EXPECT_EQ(settings.startup, 0);
  EXPECT_EQ(RunValue(), nullptr) << "Startup 0 deletes the entry";

  settings.startup = 1;
  SaveSettings(store, settings);
  ASSERT_NE(RunValue(), nullptr);
  EXPECT_EQ(RunValue()->text, u"\"C:\\Apps\\Shadowpane.exe\" /min");
}

TEST_F(SettingsTest, SaveWritesEveryOneInOrderAsNumbers) {
  settings.language = 2;
  settings.startup = 1;
  settings.blockStart = 0;
  settings.blockPluggedIn = 1;
  settings.notifyAttempts = 0;
  settings.blockWhileLocked = 1;
  settings.blockAfterIdleMinutes = 240;
  settings.showIndicator = 1;
  settings.indicatorCorner = kIndicatorCornerTopRight;
  SaveSettings(store, settings);
  const std::vector<std::u16string> order = {kLanguageValue,       kStartupValue,          kBlockStartValue,
                                             kBlockPluggedInValue, kNotifyAttemptsValue,   kBlockWhileLockedValue,
                                             kBlockAfterIdleMinutesValue, kShowIndicatorValue, kIndicatorCornerValue};
  EXPECT_EQ(store.settings.writeOrder, order);
  EXPECT_EQ(store.settings.values[kLanguageValue].number, 2u);
  EXPECT_EQ(store.settings.values[kStartupValue].number, 1u);
  EXPECT_EQ(store.settings.values[kBlockPluggedInValue].number, 1u);

  // A fresh start reads back what was saved.
  ResetSettings();
  LoadSettings(store, settings);
  EXPECT_EQ(settings.language, 2);
  EXPECT_EQ(settings.startup, 1);
  EXPECT_EQ(settings.blockStart, 0);
  EXPECT_EQ(settings.blockPluggedIn, 1);
  EXPECT_EQ(settings.notifyAttempts, 0);
  EXPECT_EQ(settings.blockWhileLocked, 1);
  EXPECT_EQ(settings.blockAfterIdleMinutes, 240);
  EXPECT_EQ(settings.showIndicator, 1);
  EXPECT_EQ(settings.indicatorCorner, kIndicatorCornerTopRight);
}

// The minutes without input: 0 (off) to 240; anything else reads as off.
TEST_F(SettingsTest, IdleMinutesOutsideTheirRangeReadAsOff) {
  const std::pair<std::int32_t, MemoryValue> cases[] = {
      {0, Dword(0)}, {1, Dword(1)}, {240, Dword(240)}, {0, Dword(241)}, {0, Dword(0xFFFFFFFFu)}, {0, Text(u"5")}};
  for (const auto& c : cases) {
    store.settings.values[kBlockAfterIdleMinutesValue] = c.second;
    settings.blockAfterIdleMinutes = 7;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.blockAfterIdleMinutes, c.first) << c.second.number;
  }
}

// Being told of attempts is on unless the user turned it off: a profile
// from before the setting, or a value of another type, reads as on.
TEST_F(SettingsTest, NotifyAttemptsIsOnUnlessAStoredZeroTurnsItOff) {
  const std::pair<bool, MemoryValue> cases[] = {{true, Dword(1)}, {true, Dword(7)}, {false, Dword(0)},
                                                {true, Text(u"0")}};
  for (const auto& c : cases) {
    store.settings.values[kNotifyAttemptsValue] = c.second;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.notifyAttempts, c.first ? 1 : 0) << c.second.number;
  }
  store.settings.values.erase(kNotifyAttemptsValue);
  settings.notifyAttempts = 0;
  LoadSettings(store, settings);
  EXPECT_EQ(settings.notifyAttempts, 1);
}

// The indicator is off unless turned on; a corner that is not one of the
// four, or not a number, reads as the default corner.
TEST_F(SettingsTest, IndicatorIsOffByDefaultAndAStrayCornerReadsAsTheDefault) {
  LoadSettings(store, settings);
  EXPECT_EQ(settings.showIndicator, 0);
  EXPECT_EQ(settings.indicatorCorner, kIndicatorCornerDefault);
  const std::pair<std::int32_t, MemoryValue> cases[] = {{kIndicatorCornerTopLeft, Dword(0)},
                                                        {kIndicatorCornerBottomLeft, Dword(2)},
                                                        {kIndicatorCornerDefault, Dword(4)},
                                                        {kIndicatorCornerDefault, Dword(0xFFFFFFFFu)},
                                                        {kIndicatorCornerDefault, Text(u"1")}};
  for (const auto& c : cases) {
    store.settings.values[kIndicatorCornerValue] = c.second;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.indicatorCorner, c.first) << c.second.number;
  }
}

TEST_F(SettingsTest, FirstStartWithAPickedLanguageStoresEverything) {
  // No key at all: the language window runs, then start-up saves the pick.
  EXPECT_EQ(EnsureLanguageChosen(store), 0);
  gChosenLanguage = 1;
  LoadSettings(store, settings);
  settings.language = gChosenLanguage;
  SaveSettings(store, settings);
  EXPECT_EQ(store.settings.values.size(), 9u);
  EXPECT_EQ(store.settings.values[kLanguageValue].number, 1u);
  EXPECT_EQ(store.settings.values[kStartupValue].number, 0u);
  EXPECT_EQ(RunValue(), nullptr);
  EXPECT_EQ(EnsureLanguageChosen(store), 1);
}

TEST_F(SettingsTest, AutostartQuotesThePathAndAddsMin) {
  store.executablePath = u"C:\\Program Files\\Shadow pane\\Shadowpane.exe";
  EXPECT_EQ(ApplyAutostart(store, 1), 1);
  ASSERT_NE(RunValue(), nullptr);
  EXPECT_EQ(RunValue()->text, u"\"C:\\Program Files\\Shadow pane\\Shadowpane.exe\" /min");

  EXPECT_EQ(ApplyAutostart(store, 0), 1);
  EXPECT_EQ(RunValue(), nullptr);
  EXPECT_EQ(ApplyAutostart(store, 0), 1) << "a missing value is no error";
}

TEST_F(SettingsTest, AnUnopenableUserRunKeyAnswersZero) {
  store.userRun.refuse = true;
  EXPECT_EQ(ApplyAutostart(store, 0), 0);
  EXPECT_EQ(ApplyAutostart(store, 1), 0);
  store.userRun.refuse = false;
  store.userRun.failWrites = true;
  EXPECT_EQ(ApplyAutostart(store, 1), 0);
  EXPECT_EQ(ApplyAutostart(store, 0), 0);
}

// The machine's Run key, however it behaves, is never written (TearDown
// checks that no change was even tried): the program is installed per
// user, and an entry there would start this user's replaceable file for
// every account. An entry an administrator put there is left as it is,
// the user's copy goes (one start at logon), and the Settings window is
// told so through gAutostartByAdministrator.
TEST_F(SettingsTest, TheMachineRunKeyIsOnlyRead) {
  const std::u16string command = u"\"C:\\Apps\\Shadowpane.exe\" /min";
  struct Case {
    const char* name;
    bool machineRefused;
    const char16_t* machineEntry;  // null: none
    bool staleUserEntry;
    int enabled;
    bool userHoldsCommand;  // afterwards
    int byAdministrator;
  } cases[] = {
      {"machine key writable and empty, enable", false, nullptr, false, 1, true, 0},
      {"machine key writable and empty, disable", false, nullptr, true, 0, false, 0},
      {"machine key refused, enable", true, nullptr, false, 1, true, 0},
      {"administrator's entry, enable", false, u"\"C:\\Apps\\Shadowpane.exe\" /min", true, 1, false,
       1},
      {"administrator's entry elsewhere, disable", false, u"D:\\Shared\\Shadowpane.exe /min", true, 0,
       false, 1},
      {"administrator's entry of another type, enable", false, u"", false, 1, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryKeyValueStore fresh;
    fresh.machineRun.refuse = c.machineRefused;
    if (c.machineEntry != nullptr) {
      fresh.machineRun.values[kAutostartValue] =
          *c.machineEntry ? Text(c.machineEntry) : Dword(1);
    }
    const auto machineBefore = fresh.machineRun.values;
    if (c.staleUserEntry) fresh.userRun.values[kAutostartValue] = Text(u"stale");

    gAutostartByAdministrator = 1 - c.byAdministrator;
    EXPECT_EQ(ApplyAutostart(fresh, c.enabled), 1);
    auto it = fresh.userRun.values.find(kAutostartValue);
    EXPECT_EQ(it != fresh.userRun.values.end(), c.userHoldsCommand);
    if (c.userHoldsCommand) {
      EXPECT_EQ(it->second.text, command);
    }
    EXPECT_EQ(gAutostartByAdministrator, c.byAdministrator);
    EXPECT_EQ(fresh.machineRun.changeCalls, 0);
    EXPECT_EQ(fresh.machineRun.values.size(), machineBefore.size());
    EXPECT_EQ(fresh.openKeys, 0);
  }
}

// Loading and saving go through the same rule: ticked with the
// administrator's entry present, the user's key stays empty; once the
// administrator removes it, the next start writes the user's own.
TEST_F(SettingsTest, StartupFollowsTheAdministratorsEntryAcrossStarts) {
  store.settings.values[kStartupValue] = Dword(1);
  store.machineRun.values[kAutostartValue] = Text(u"\"C:\\Apps\\Shadowpane.exe\" /min");
  LoadSettings(store, settings);
  EXPECT_EQ(settings.startup, 1);
  EXPECT_EQ(gAutostartByAdministrator, 1);
  EXPECT_EQ(RunValue(), nullptr);
  SaveSettings(store, settings);
  EXPECT_EQ(RunValue(), nullptr);

  store.machineRun.values.clear();
  LoadSettings(store, settings);
  EXPECT_EQ(gAutostartByAdministrator, 0);
  ASSERT_NE(RunValue(), nullptr);
  EXPECT_EQ(RunValue()->text, u"\"C:\\Apps\\Shadowpane.exe\" /min");
}

TEST_F(SettingsTest, PathLimitsOfTheAutostartText) {
  // 5100 characters still fit; one more and the path is not obtained, so
  // the entry is written empty rather than pointing at a cut path.
  store.executablePath = std::u16string(kMaxAutostartPathChars, u'a');
  EXPECT_EQ(ApplyAutostart(store, 1), 1);
  EXPECT_EQ(RunValue()->text.size(), static_cast<size_t>(kMaxAutostartPathChars) + 7);

  store.executablePath.push_back(u'a');
  EXPECT_EQ(ApplyAutostart(store, 1), 1);
  EXPECT_EQ(RunValue()->text, u"");

  store.pathKnown = false;
  EXPECT_EQ(ApplyAutostart(store, 1), 1);
  EXPECT_EQ(RunValue()->text, u"");
}

// The Run entry that gives muted inputs back at the next logon: written
// only where it differs, never beside no command, and answered 0 whenever
// the key does not end as asked.
TEST_F(SettingsTest, TheRestoreEntryIsThereExactlyWhileNeeded) {
  const std::u16string command = u"\"C:\\Apps\\Shadowpane.exe\" /restore-inputs";
  const std::u16string autostart = u"\"C:\\Apps\\Shadowpane.exe\" /min";
  struct Case {
    const char* what;
    bool present;  // the entry before, as written
    std::u16string before;
    bool needed;
    bool refuse, failWrites, pathKnown;
    int answer;
    bool presentAfter;
    int changes;
  } cases[] = {
      {"added", false, u"", true, false, false, true, 1, true, 1},
      {"kept as it is", true, command, true, false, false, true, 1, true, 0},
      {"another path mended", true, u"\"D:\\Old\\Shadowpane.exe\" /restore-inputs", true, false, false, true, 1, true,
       1},
      {"removed", true, command, false, false, false, true, 1, false, 1},
      {"nothing to remove", false, u"", false, false, false, true, 1, false, 0},
      {"key refused", false, u"", true, true, false, true, 0, false, 0},
      {"write refused", false, u"", true, false, true, true, 0, false, 1},
      {"delete refused", true, command, false, false, true, true, 0, true, 1},
      // Nothing could run it: a stale one would start some other file.
      {"no path to run", true, command, true, false, false, false, 1, false, 1},
  };
  for (const Case& c : cases) {
    MemoryKeyValueStore fresh;
    fresh.userRun.values[kAutostartValue] = Text(autostart);
    if (c.present) fresh.userRun.values[kRestoreInputsValue] = Text(c.before);
    fresh.userRun.refuse = c.refuse;
    fresh.userRun.failWrites = c.failWrites;
    fresh.pathKnown = c.pathKnown;
    fresh.executablePath = u"C:\\Apps\\Shadowpane.exe";
    EXPECT_EQ(ApplyRestoreInputsEntry(fresh, c.needed), c.answer) << c.what;
    const auto found = fresh.userRun.values.find(kRestoreInputsValue);
    EXPECT_EQ(found != fresh.userRun.values.end(), c.presentAfter) << c.what;
    if (c.presentAfter && c.answer == 1) {
      EXPECT_EQ(found->second.text, command) << c.what;
    }
    EXPECT_EQ(fresh.userRun.changeCalls, c.changes) << c.what;
    EXPECT_EQ(fresh.openKeys, 0) << c.what;
    EXPECT_EQ(fresh.userRun.values[kAutostartValue].text, autostart) << c.what << ": the autostart is left alone";
    EXPECT_TRUE(fresh.userRunOnce.values.empty()) << c.what << ": nothing in RunOnce";
  }
}

// A Run entry's command holds at most 260 characters: the long path where
// it fits, else the short form, else no entry at all.
TEST_F(SettingsTest, TheRestoreCommandFitsARunEntry) {
  // "\"" + path + "\" /restore-inputs" adds 18 characters to the path.
  const auto Path = [](std::size_t length) { return u"C:\\" + std::u16string(length - 7, u'x') + u".exe"; };
  const std::u16string shortPath = u"C:\\LONGFO~1\\SHADOW~1.EXE";
  struct Case {
    const char* what;
    std::size_t longLength;
    std::u16string shortForm;
    std::u16string expected;  // "long", "short" or empty
  } cases[] = {
      {"long path fits exactly", 242, u"", u"long"},
      {"long path one over, short form", 243, shortPath, u"short"},
      {"long path far over, short form", 5000, shortPath, u"short"},
      {"short form one over too", 243, Path(243), u""},
      {"no short form", 300, u"", u""},
  };
  for (const Case& c : cases) {
    MemoryKeyValueStore fresh;
    fresh.executablePath = Path(c.longLength);
    fresh.executableShortPath = c.shortForm;
    const std::u16string expected = c.expected == u"long"    ? u"\"" + fresh.executablePath + u"\" /restore-inputs"
                                    : c.expected == u"short" ? u"\"" + shortPath + u"\" /restore-inputs"
                                                             : u"";
    EXPECT_EQ(RestoreInputsCommandOf(fresh), expected) << c.what;
    EXPECT_LE(expected.size(), 260u) << c.what;
    EXPECT_EQ(ApplyRestoreInputsEntry(fresh, true), 1) << c.what;
    EXPECT_EQ(fresh.userRun.values.count(kRestoreInputsValue), expected.empty() ? 0u : 1u) << c.what;
  }
  EXPECT_EQ(FittingRestoreInputsCommand(Path(242), u"").size(), 260u) << "the bound itself fits";
}

// Earlier versions kept the entry in RunOnce: it goes, and a start that
// finds none writes nothing.
TEST_F(SettingsTest, TheOldRunOnceEntryIsRemovedOnce) {
  MemoryKeyValueStore fresh;
  fresh.userRunOnce.values[kOldRestoreInputsValue] = Text(u"\"C:\\Apps\\Shadowpane.exe\" /restore-inputs");
  fresh.userRunOnce.values[u"Other"] = Text(u"other.exe");
  EXPECT_EQ(RemoveOldRestoreInputsEntry(fresh), 1);
  EXPECT_EQ(RemoveOldRestoreInputsEntry(fresh), 1);
  EXPECT_EQ(fresh.userRunOnce.values.count(kOldRestoreInputsValue), 0u);
  EXPECT_EQ(fresh.userRunOnce.values.count(u"Other"), 1u);
  EXPECT_EQ(fresh.userRunOnce.changeCalls, 1) << "the second start finds nothing to write";
}

}  // namespace
}  // namespace shadowpane
