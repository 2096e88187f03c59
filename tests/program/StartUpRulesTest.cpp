// Start-up's rules: the working directory, the first-run page, and which
// processes a restart ends.
#include <gtest/gtest.h>

#include "program/StartUpRules.h"
#include "tests/support/MemoryKeyValueStore.h"

namespace shadowpane {
namespace {

using testing::MemoryValue;

TEST(StartUpRules, TheWorkingDirectoryIsTheExecutablesFolderWithItsSeparator) {
  EXPECT_EQ(ExecutableFolder(u"C:\\Apps\\Shadowpane\\Shadowpane.exe"), u"C:\\Apps\\Shadowpane\\");
  EXPECT_EQ(ExecutableFolder(u"/opt/sp/Shadowpane.exe"), u"/opt/sp/");
  EXPECT_EQ(ExecutableFolder(u"Shadowpane.exe"), u"");
}

TEST(StartUpRules, TheFirstRunPageOpensUntilANonZeroNumberIsStored) {
  struct Case {
    const char* what;
    bool stored;
    MemoryValue value;
    int opens;
  } cases[] = {
      {"missing", false, {}, 1},
      {"zero", true, {StoredType::Dword, 0, u""}, 1},
      {"a text", true, {StoredType::Other, 0, u"1"}, 1},
      {"one", true, {StoredType::Dword, 1, u""}, 0},
      {"any other number", true, {StoredType::Dword, 7, u""}, 0},
  };
  for (const Case& c : cases) {
    testing::MemoryKeyValueStore store;
    if (c.stored) store.settings.values[kFirstRunValue] = c.value;
    {
      auto key = store.OpenSettingsKey();
      EXPECT_EQ(TakeFirstRun(key.get()), c.opens) << c.what;
    }
    const MemoryValue after = store.settings.values[kFirstRunValue];
    EXPECT_EQ(after.type, StoredType::Dword) << c.what;
    EXPECT_NE(after.number, 0u) << c.what << ": the next start opens nothing";
  }
  EXPECT_EQ(TakeFirstRun(nullptr), 0) << "no key, no page";
}

}  // namespace
}  // namespace shadowpane
