// The main window without a mouse: its keyboard (the dialog manager's Tab
// order, the keys that open the menu, access keys in the menu) and what it
// tells screen readers (names, device states, the status panel, the events
// of a change). Kept apart from the window procedure, which calls in with
// one line per message.
#pragma once

#include <windows.h>

namespace shadowpane {

struct MainWindowData;

// The program's main loop hands each message here first: Tab, Shift+Tab,
// the lists' keys and Enter go through the main window's dialog manager;
// Alt alone, F10, Shift+F10 and the context-menu key press the menu
// button. True when the message was handled.
bool RouteMainWindowMessage(MSG& msg);

// WM_ACCESSIBLE_DESCRIBE: the texts in the display language, names for the
// window's buttons and lists, each device entry's state, the status panel.
LRESULT OnDescribeAccessible(const MainWindowData& data, WPARAM wParam, LPARAM lParam);

// WM_MENUCHAR of the main menu: an item's first letter picks it (the only
// one starting so), or highlights the next of several.
LRESULT AnswerMenuChar(WPARAM wParam, LPARAM lParam);

// A device's entry changed its state: screen readers are told (state,
// value, description), so "Blocked" is spoken after Space without asking;
// the entry with the keyboard's focus gets the focus event again, last.
void NotifyEntryChanged(HWND list, int index);
// The lists were filled anew by a refresh.
void NotifyListsRefilled(HWND window);
// The status panel's headline changed.
void NotifyStatusChanged(HWND window);

}  // namespace shadowpane
