// Start-up's rules: the working directory, the first-run page, and which
// processes a restart ends.
#include <gtest/gtest.h>

#include "program/StartUpRules.h"
#include "commands/Command.h"
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

// /restore-inputs: a copy that runs keeps its own inputs; without the lock
// nothing is known, so nothing is done and nothing is claimed.
TEST(StartUpRules, RestoreInputsActsOnlyUnderTheLockAndIsDoneOnlyWithNothingLeft) {
  struct Case {
    bool copyRunning, locked;
    std::size_t left;
    RestoreInputsStep step;
    int exitCode;
  } cases[] = {
      {true, true, 0, RestoreInputsStep::LeaveToRunningCopy, kExitDone},
      {true, false, 0, RestoreInputsStep::LeaveToRunningCopy, kExitDone},
      {false, false, 0, RestoreInputsStep::CannotTell, kExitNotBlocked},
      {false, true, 0, RestoreInputsStep::GiveBack, kExitDone},
      {false, true, 2, RestoreInputsStep::GiveBack, kExitNotBlocked},
  };
  for (const Case& c : cases) {
    const RestoreInputsStep step = DecideRestoreInputs(c.copyRunning, c.locked);
    EXPECT_EQ(step, c.step) << c.copyRunning << c.locked;
    EXPECT_EQ(RestoreInputsExitCode(step, c.left), c.exitCode) << c.copyRunning << c.locked << c.left;
  }
}

}  // namespace
}  // namespace shadowpane
