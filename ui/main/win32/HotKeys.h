// The keyboard shortcuts as the system knows them: one hot key per assigned
// action, registered for the main window with MOD_NOREPEAT (a held key
// runs its action once; the push-to-talk key's release is read by polling,
// ui/main/win32/PushToTalk), so the shortcut works whichever program has
// the focus.
#pragma once

#include <windows.h>

#include "commands/Shortcuts.h"
#include "commands/ShortcutSettings.h"

namespace shadowpane {

// The hot-key id of an action is its number plus this one (ids of an
// application lie between 0 and 0xBFFF).
constexpr int kFirstShortcutHotKeyId = 1;

// Which actions' shortcuts the system refused; none when all were taken.
struct HotKeyRefusals {
  bool refused[kShortcutActionCount] = {};
};

// Unregisters every shortcut of the window, then registers each assigned
// one that CheckShortcut finds Valid. A combination another program holds
// is refused by the system and reported; the others still register.
HotKeyRefusals RegisterShortcuts(HWND window, const ShortcutSet& shortcuts);

// Unregisters every shortcut of the window (at its end).
void UnregisterShortcuts(HWND window);

// The combination last registered for the action (0: none registered).
std::uint32_t RegisteredShortcut(ShortcutAction action);

// The action a WM_HOTKEY's id stands for; false for an id not of this file.
bool ShortcutActionOfHotKey(WPARAM id, ShortcutAction* action);

}  // namespace shadowpane
