// The record of muted inputs in the settings key, and the logon entry
// (in the Run key) that must stand beside it whenever it lists an endpoint.
#include "program/SettingsMutedEndpointStore.h"

#include <gtest/gtest.h>

#include "settings/Settings.h"
#include "tests/support/MemoryKeyValueStore.h"

namespace shadowpane {
namespace {

using testing::MemoryKeyValueStore;

bool Has(const testing::MemoryKey& key, const WideChar* name) { return key.values.count(name) != 0; }

TEST(SettingsMutedEndpointStore, AListedEndpointIsRecordedOnlyWithTheRestoreEntryBesideIt) {
  struct Case {
    const char* what;
    bool runRefused, runFails, settingsFails;
    bool written, recorded, entry;
  } cases[] = {
      {"both written", false, false, false, true, true, true},
      {"Run key refused", true, false, false, false, false, false},
      {"Run write fails", false, true, false, false, false, false},
      // A leftover entry finds nothing to give back: harmless.
      {"record write fails", false, false, true, false, false, true},
  };
  for (const Case& c : cases) {
    MemoryKeyValueStore store;
    store.userRun.refuse = c.runRefused;
    store.userRun.failWrites = c.runFails;
    store.settings.failWrites = c.settingsFails;
    SettingsMutedEndpointStore record(store);
    EXPECT_EQ(record.Write(u"{a};{b}"), c.written) << c.what;
    EXPECT_EQ(Has(store.settings, kMutedEndpointsValue), c.recorded) << c.what;
    EXPECT_EQ(Has(store.userRun, kRestoreInputsValue), c.entry) << c.what;
    EXPECT_EQ(record.Read(), c.recorded ? u"{a};{b}" : u"") << c.what;
    EXPECT_EQ(store.openKeys, 0) << c.what;
  }
}

TEST(SettingsMutedEndpointStore, AnEmptyRecordTakesTheEntryWithItUnlessTheValueStays) {
  MemoryKeyValueStore store;
  SettingsMutedEndpointStore record(store);
  ASSERT_TRUE(record.Write(u"{a}"));
  EXPECT_EQ(store.userRun.values[kRestoreInputsValue].text, u"\"C:\\Apps\\Shadowpane.exe\" /restore-inputs");

  store.settings.failWrites = true;
  EXPECT_FALSE(record.Write(u""));
  EXPECT_EQ(record.Read(), u"{a}");
  EXPECT_TRUE(Has(store.userRun, kRestoreInputsValue)) << "still needed: the value stays";

  store.settings.failWrites = false;
  EXPECT_TRUE(record.Write(u""));
  EXPECT_FALSE(Has(store.settings, kMutedEndpointsValue));
  EXPECT_FALSE(Has(store.userRun, kRestoreInputsValue));
}

// At start: the RunOnce entry of earlier versions goes, and a record left
// from before gets its logon entry once; a second start writes nothing.
TEST(SettingsMutedEndpointStore, AStartMovesTheEntryOfEarlierVersionsOnce) {
  for (bool recorded : {true, false}) {
    SCOPED_TRACE(recorded ? "a record left from before" : "no record");
    MemoryKeyValueStore store;
    const std::u16string command = u"\"C:\\Apps\\Shadowpane.exe\" /restore-inputs";
    store.userRunOnce.values[kOldRestoreInputsValue] = testing::MemoryValue{StoredType::Other, 0, command};
    if (recorded) store.settings.values[kMutedEndpointsValue] = testing::MemoryValue{StoredType::Other, 0, u"{a}"};
    EXPECT_TRUE(SettleRestoreInputsEntry(store));
    EXPECT_FALSE(Has(store.userRunOnce, kOldRestoreInputsValue));
    EXPECT_EQ(Has(store.userRun, kRestoreInputsValue), recorded);
    const int runWrites = store.userRun.changeCalls;
    EXPECT_TRUE(SettleRestoreInputsEntry(store));
    EXPECT_EQ(store.userRun.changeCalls, runWrites) << "the next start writes nothing";
  }
  MemoryKeyValueStore tooLong;
  tooLong.executablePath = u"C:\\" + std::u16string(300, u'x') + u".exe";
  EXPECT_FALSE(SettleRestoreInputsEntry(tooLong)) << "no short form: start-up logs it";
}

}  // namespace
}  // namespace shadowpane
