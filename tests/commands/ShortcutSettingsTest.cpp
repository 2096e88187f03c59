#include "commands/ShortcutSettings.h"

#include <gtest/gtest.h>

#include "tests/support/MemoryKeyValueStore.h"

namespace shadowpane {
namespace {

using testing::MemoryKeyValueStore;
using testing::MemoryValue;

constexpr std::uint32_t kCtrlAltShiftM = EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift, 'M');

TEST(ShortcutSettingsTest, OnlyValidDwordsLoadAndNoneIsTheDefault) {
  const struct {
    MemoryValue value;
    std::uint32_t loaded;
  } cases[] = {
      {{StoredType::Dword, kCtrlAltShiftM, {}}, kCtrlAltShiftM},
      {{StoredType::Dword, EncodeShortcut(kShortcutShift, 'M'), {}}, kNoShortcut},  // would steal typing
      {{StoredType::Dword, EncodeShortcut(kShortcutControl, 0x11), {}}, kNoShortcut},  // Ctrl as the key
      {{StoredType::Dword, EncodeShortcut(0x10 | kShortcutAlt, 'B'), {}}, kNoShortcut},  // unknown modifier
      {{StoredType::Other, 0, u"Ctrl+M"}, kNoShortcut},
  };
  for (const auto& c : cases) {
    MemoryKeyValueStore store;
    store.settings.values[u"ShortcutToggleCameras"] = c.value;
    const ShortcutSet loaded = LoadShortcuts(store);
    EXPECT_EQ(loaded.stored[static_cast<int>(ShortcutAction::ToggleCameras)], c.loaded) << c.value.number;
    EXPECT_EQ(loaded.stored[static_cast<int>(ShortcutAction::BlockAll)], kNoShortcut);
    EXPECT_EQ(store.openKeys, 0);
  }
}

TEST(ShortcutSettingsTest, SaveWritesAllFiveValuesThatLoadReadsBack) {
  MemoryKeyValueStore store;
  ShortcutSet saved;
  saved.stored[static_cast<int>(ShortcutAction::BlockAll)] = EncodeShortcut(kShortcutControl | kShortcutAlt, 'B');
  saved.stored[static_cast<int>(ShortcutAction::ToggleMicrophones)] = kCtrlAltShiftM;
  saved.stored[static_cast<int>(ShortcutAction::HoldToTalk)] = EncodeShortcut(kShortcutControl | kShortcutAlt, 'T');
  ASSERT_EQ(SaveShortcuts(store, saved), 1);
  for (const WideChar* name : {u"ShortcutBlockAll", u"ShortcutUnblockAll", u"ShortcutToggleMicrophones",
                               u"ShortcutToggleCameras", u"ShortcutHoldToTalk"}) {
    EXPECT_EQ(store.settings.values.at(name).type, StoredType::Dword);
  }
  EXPECT_EQ(store.settings.values.at(u"ShortcutToggleMicrophones").number, 0x00070000u | 'M');
  EXPECT_EQ(store.settings.values.at(u"ShortcutHoldToTalk").number, 0x00030000u | 'T');
  EXPECT_TRUE(LoadShortcuts(store) == saved);

  store.settings.failWrites = true;
  EXPECT_EQ(SaveShortcuts(store, saved), 0);
  store.settings.refuse = true;
  EXPECT_EQ(SaveShortcuts(store, saved), 0);
  EXPECT_TRUE(LoadShortcuts(store) == ShortcutSet()) << "no key: no shortcut";
}

}  // namespace
}  // namespace shadowpane
