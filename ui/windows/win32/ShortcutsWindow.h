// KSP2ShortcutsWndClass: the modal "Keyboard shortcuts" window. One row per
// action: its name, a shortcut field, a Clear button and a line that says
// why a combination was not saved. While it is open the program's shortcuts
// are unregistered, so pressing one records it rather than running it; OK
// registers and saves what the system accepted, and closing without OK
// registers the saved ones again.
#pragma once

#include <windows.h>

#include "commands/Shortcuts.h"
#include "settings/KeyValueStore.h"
#include "commands/ShortcutSettings.h"

namespace shadowpane {

constexpr wchar_t kShortcutsWindowClassName[] = L"KSP2ShortcutsWndClass";

// What the window works with; start-up owns it.
struct ShortcutsWindowServices {
  KeyValueStore* store = nullptr;
  // Registers the set as the program's shortcuts (none for an empty set)
  // and tells which the system refused.
  void (*registerShortcuts)(const ShortcutSet& shortcuts, bool (&refused)[kShortcutActionCount]) = nullptr;
};

// Registers the window class and the shortcut field's. 1 or 0.
int RegisterShortcutsWindowClass(HINSTANCE instance);

// Opens the window over the owner and returns once it is destroyed: 1 when
// closed with OK, else 0. The services must be set (both non-null).
int ShowShortcutsWindow(HWND owner, const ShortcutsWindowServices& services);

LRESULT CALLBACK ShortcutsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
