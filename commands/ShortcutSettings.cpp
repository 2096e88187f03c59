#include "commands/ShortcutSettings.h"

namespace shadowpane {

ShortcutSet LoadShortcuts(KeyValueStore& store) {
  ShortcutSet shortcuts;
  std::unique_ptr<KeyValueKey> key = store.OpenSettingsKey();
  if (!key) return shortcuts;
  for (int i = 0; i < kShortcutActionCount; ++i) {
    const StoredValue value = key->Query(ShortcutValueName(static_cast<ShortcutAction>(i)));
    if (value.type == StoredType::Dword && CheckShortcut(value.number) == ShortcutCheck::Valid) {
      shortcuts.stored[i] = value.number;
    }
  }
  return shortcuts;
}

int SaveShortcuts(KeyValueStore& store, const ShortcutSet& shortcuts) {
  std::unique_ptr<KeyValueKey> key = store.OpenSettingsKey();
  if (!key) return 0;
  int written = 1;
  for (int i = 0; i < kShortcutActionCount; ++i) {
    if (!key->SetDword(ShortcutValueName(static_cast<ShortcutAction>(i)), shortcuts.stored[i])) written = 0;
  }
  return written;
}

}  // namespace shadowpane
