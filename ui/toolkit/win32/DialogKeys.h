// The keyboard of a toolkit window, given to the system's dialog manager:
// Tab and Shift+Tab move the focus through the controls with WS_TABSTOP,
// in creation order; arrows go to the controls that want them; Enter
// arrives as command 1 (or the focused push button's own id), Escape as
// command 2. The toolkit's windows and loops route their messages here.
#pragma once

#include <windows.h>

namespace shadowpane {

// A new window's keyboard cues (the focus mark) start hidden, so nothing
// changes for the mouse; the first key that moves the focus turns them on
// for that window and repaints it. The toolkit keeps the state itself, as a
// property of the top-level window, and tells the system's UI state too.
void StartKeyboardCues(HWND window);
void ShowKeyboardCues(HWND window);
// Whether the cues of the control's top-level window are on.
bool KeyboardCuesShown(HWND control);
// At WM_NCDESTROY: the property goes with the window.
void ForgetKeyboardCues(HWND window);

// WM_ACTIVATE of a window whose controls take the focus: the control that
// had it when the window was left gets it back when the window is active
// again (after a popup, a message box or another program), rather than the
// window itself. `remembered` is the window's own slot. True when the
// focus was given back (the default processing must not run then).
bool KeepFocusAcrossActivation(HWND window, WPARAM wParam, HWND& remembered);

// Gives a message for the window or one of its controls to the dialog
// manager; a key that moves the focus turns the cues on first. True when
// the message was handled (it must not be dispatched again).
bool RouteDialogMessage(HWND window, MSG& msg);

}  // namespace shadowpane
