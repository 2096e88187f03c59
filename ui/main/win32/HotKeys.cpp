#include "ui/main/win32/HotKeys.h"

namespace shadowpane {
namespace {

// MOD_NOREPEAT (Windows 7 on); the headers define it only for builds that
// target that version, and this one targets older headers.
constexpr UINT kModNoRepeat = 0x4000;

// What the system took at the last registration; the window's thread only.
ShortcutSet gRegistered;

}  // namespace

HotKeyRefusals RegisterShortcuts(HWND window, const ShortcutSet& shortcuts) {
  UnregisterShortcuts(window);
  HotKeyRefusals refusals;
  for (int i = 0; i < kShortcutActionCount; ++i) {
    const std::uint32_t stored = shortcuts.stored[i];
    if (CheckShortcut(stored) != ShortcutCheck::Valid) continue;
    const UINT modifiers = static_cast<UINT>(ShortcutModifiers(stored)) | kModNoRepeat;
    if (!RegisterHotKey(window, kFirstShortcutHotKeyId + i, modifiers, ShortcutKey(stored))) {
      refusals.refused[i] = true;
    } else {
      gRegistered.stored[i] = stored;
    }
  }
  return refusals;
}

void UnregisterShortcuts(HWND window) {
  // Unregistering an id never registered merely fails.
  for (int i = 0; i < kShortcutActionCount; ++i) UnregisterHotKey(window, kFirstShortcutHotKeyId + i);
  gRegistered = ShortcutSet();
}

std::uint32_t RegisteredShortcut(ShortcutAction action) {
  const int index = static_cast<int>(action);
  return index >= 0 && index < kShortcutActionCount ? gRegistered.stored[index] : kNoShortcut;
}

bool ShortcutActionOfHotKey(WPARAM id, ShortcutAction* action) {
  const WPARAM first = static_cast<WPARAM>(kFirstShortcutHotKeyId);
  if (id < first || id >= first + static_cast<WPARAM>(kShortcutActionCount)) return false;
  *action = static_cast<ShortcutAction>(id - first);
  return true;
}

}  // namespace shadowpane
