#include "app/Settings.h"

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
    // Every operation closes the keys it opened.
    EXPECT_EQ(store.openKeys, 0);
  }
  static void ResetSettings() {
    LanguageIndex = 0;
    Startup = 0;
    BlockStart = 0;
    BlockPluggedIn = 0;
    ChosenLanguage = -1;
  }
  const MemoryValue* RunValue() {
    auto it = store.run.values.find(kAutostartValue);
    return it == store.run.values.end() ? nullptr : &it->second;
  }

  MemoryKeyValueStore store;
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
    LanguageIndex = 2;
    store.settings.values[kLanguageValue] = c.stored;
    LoadSettings(store);
    EXPECT_EQ(LanguageIndex, c.expected) << c.stored.number;
  }
  store.settings.values.erase(kLanguageValue);
  LanguageIndex = 2;
  LoadSettings(store);
  EXPECT_EQ(LanguageIndex, 0);
}

TEST_F(SettingsTest, FlagsCountAnyNonZeroNumberAsOne) {
  store.settings.values[kStartupValue] = Dword(0);
  store.settings.values[kBlockStartValue] = Dword(5);
  store.settings.values[kBlockPluggedInValue] = Text(u"1");
  LoadSettings(store);
  EXPECT_EQ(Startup, 0);
  EXPECT_EQ(BlockStart, 1);
  EXPECT_EQ(BlockPluggedIn, 0);

  // Saved back, 5 becomes 1 and the string becomes the number 0.
  SaveSettings(store);
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
  store.run.values[kAutostartValue] = Text(u"old");
  LoadSettings(store);
  EXPECT_EQ(LanguageIndex, 0);
  EXPECT_EQ(Startup, 0);
  EXPECT_EQ(RunValue(), nullptr) << "Startup 0 deletes the entry";

  Startup = 1;
  SaveSettings(store);
  ASSERT_NE(RunValue(), nullptr);
  EXPECT_EQ(RunValue()->text, u"\"C:\\Apps\\Shadowpane.exe\" /min");
}

TEST_F(SettingsTest, SaveWritesAllFourInOrderAsNumbers) {
  LanguageIndex = 2;
  Startup = 1;
  BlockStart = 0;
  BlockPluggedIn = 1;
  SaveSettings(store);
  const std::vector<std::u16string> order = {kLanguageValue, kStartupValue, kBlockStartValue,
                                             kBlockPluggedInValue};
  EXPECT_EQ(store.settings.writeOrder, order);
  EXPECT_EQ(store.settings.values[kLanguageValue].number, 2u);
  EXPECT_EQ(store.settings.values[kStartupValue].number, 1u);
  EXPECT_EQ(store.settings.values[kBlockPluggedInValue].number, 1u);

  // A fresh start reads back what was saved.
  ResetSettings();
  LoadSettings(store);
  EXPECT_EQ(LanguageIndex, 2);
  EXPECT_EQ(Startup, 1);
  EXPECT_EQ(BlockStart, 0);
  EXPECT_EQ(BlockPluggedIn, 1);
}

TEST_F(SettingsTest, FirstStartWithAPickedLanguageStoresEverything) {
  // No key at all: the language window runs, then start-up saves the pick.
  EXPECT_EQ(EnsureLanguageChosen(store), 0);
  ChosenLanguage = 1;
  LoadSettings(store);
  LanguageIndex = ChosenLanguage;
  SaveSettings(store);
  EXPECT_EQ(store.settings.values.size(), 4u);
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

TEST_F(SettingsTest, NoOpenableRunKeyLeavesTheEntriesAloneAndAnswersZero) {
  store.run.values[kAutostartValue] = Text(u"kept");
  store.userRun.values[kAutostartValue] = Text(u"kept too");
  store.run.refuse = true;
  store.userRun.refuse = true;
  EXPECT_EQ(ApplyAutostart(store, 0), 0);
  EXPECT_EQ(ApplyAutostart(store, 1), 0);
  EXPECT_EQ(store.run.values[kAutostartValue].text, u"kept");
  EXPECT_EQ(store.userRun.values[kAutostartValue].text, u"kept too");
}

// Where the entry ends up for each way the two Run keys can behave, and
// what disabling leaves. A user without rights on the machine's key still
// gets the autostart that the Settings window shows ticked, and there is
// never an entry in both keys after enabling.
TEST_F(SettingsTest, AutostartFallsBackToTheUsersRunKey) {
  const std::u16string command = u"\"C:\\Apps\\Shadowpane.exe\" /min";
  struct Case {
    const char* name;
    bool machineRefused, machineFails, userRefused, userFails;
    bool staleInMachine, staleInUser;  // entries left by an earlier run
    int enableAnswer;
    bool inMachine, inUser;  // where the command is after enabling
    int disableAnswer;
    bool leftInMachine, leftInUser;  // what disabling could not remove
  } cases[] = {
      {"both open", false, false, false, false, false, true, 1, true, false, 1, false, false},
      {"machine refused", true, false, false, false, true, false, 1, false, true, 1, true, false},
      {"machine write fails", false, true, false, false, false, false, 1, false, true, 0, false,
       false},
      {"user refused", false, false, true, false, false, true, 1, true, false, 1, false, true},
      {"machine refused, user fails", true, false, false, true, false, false, 0, false, false, 0,
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryKeyValueStore fresh;
    fresh.run.refuse = c.machineRefused;
    fresh.run.failWrites = c.machineFails;
    fresh.userRun.refuse = c.userRefused;
    fresh.userRun.failWrites = c.userFails;
    if (c.staleInMachine) fresh.run.values[kAutostartValue] = Text(u"stale");
    if (c.staleInUser) fresh.userRun.values[kAutostartValue] = Text(u"stale");

    EXPECT_EQ(ApplyAutostart(fresh, 1), c.enableAnswer);
    auto holds = [&](MemoryKey& key) {
      auto it = key.values.find(kAutostartValue);
      return it != key.values.end() && it->second.text == command;
    };
    EXPECT_EQ(holds(fresh.run), c.inMachine);
    EXPECT_EQ(holds(fresh.userRun), c.inUser);

    EXPECT_EQ(ApplyAutostart(fresh, 0), c.disableAnswer);
    EXPECT_EQ(fresh.run.values.count(kAutostartValue) == 1, c.leftInMachine);
    EXPECT_EQ(fresh.userRun.values.count(kAutostartValue) == 1, c.leftInUser);
    EXPECT_EQ(fresh.openKeys, 0);
  }
}

TEST_F(SettingsTest, FailedWriteAnswersZero) {
  // A failing machine key alone falls back to the user's (see below).
  store.run.failWrites = true;
  store.userRun.failWrites = true;
  EXPECT_EQ(ApplyAutostart(store, 1), 0);
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

}  // namespace
}  // namespace shadowpane
