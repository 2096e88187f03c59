// The five keyboard shortcuts as the settings key keeps them: one REG_DWORD
// per action (commands/Shortcuts.h gives the form and the value names).
// Kept apart from the other settings, which only the settings window
// changes; the shortcuts window saves these alone.
#pragma once

#include <cstdint>

#include "commands/Shortcuts.h"
#include "settings/KeyValueStore.h"

namespace shadowpane {

// One stored combination per action, indexed by ShortcutAction; 0 for none.
struct ShortcutSet {
  std::uint32_t stored[kShortcutActionCount] = {};
};

inline bool operator==(const ShortcutSet& a, const ShortcutSet& b) {
  for (int i = 0; i < kShortcutActionCount; ++i) {
    if (a.stored[i] != b.stored[i]) return false;
  }
  return true;
}

// Reads the five values. A missing value, one of another type, or one that
// CheckShortcut does not find Valid counts as none: a value someone else
// wrote never registers a plain key that would steal typing. A key that
// cannot be opened gives none for all five.
ShortcutSet LoadShortcuts(KeyValueStore& store);

// Writes the five values, none as 0. 1 when all were written, else 0.
int SaveShortcuts(KeyValueStore& store, const ShortcutSet& shortcuts);

}  // namespace shadowpane
