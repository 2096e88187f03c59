// The toolkit's accessible objects (Active Accessibility, which the system
// also offers to UI Automation clients): every control answers
// WM_GETOBJECT with an IAccessible of its own, made for the request and
// released after LresultFromObject. The object keeps only the window's
// handle and asks for a fresh description at every call, so it answers the
// state and language of the moment and fails (not connected) once the
// window is gone. One object serves every shape: a control, a control with
// items as simple children (the owner-drawn device lists, the list popup),
// and a top-level window whose children are its own elements (the main
// window's status panel) and then its child windows.
#pragma once

#include <windows.h>

#include "ui/toolkit/AccessibleLogic.h"

namespace shadowpane {

// Sent to the window that names a control (its parent; a popup's owner; a
// top-level window names itself): wParam the control, lParam the
// AccessibleDescription the toolkit filled in, for the window to complete.
// A window that does not answer leaves the toolkit's description.
constexpr UINT WM_ACCESSIBLE_DESCRIBE = WM_APP + 0x100;
// Posted to a control when a screen reader asks for its default action
// (wParam: 0 the control, n its n-th item), so the action runs from the
// control's own message loop as a key press would, never inside the
// reader's call.
constexpr UINT WM_ACCESSIBLE_DEFAULT_ACTION = WM_APP + 0x101;
// Posted to a control when a screen reader moves the focus or selection to
// an item (wParam: the item, from 1).
constexpr UINT WM_ACCESSIBLE_SELECT_ITEM = WM_APP + 0x102;

enum class AccessibleShape {
  Control,  // a child control, perhaps with items (description.elements)
  Window,   // a top-level window: its elements, then its child windows
};

// What the toolkit itself knows of one of its controls: role, states, the
// caption as the name, the number of items and each item.
using AccessibleDescriber = void (*)(HWND window, AccessibleDescription& description);

// WM_GETOBJECT: the client object for OBJID_CLIENT, the default answer
// for everything else.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, AccessibleShape shape,
                        AccessibleDescriber describer);

// A control's or item's full description, as the object answers it.
AccessibleDescription DescribeAccessible(HWND window, int child, AccessibleShape shape,
                                         AccessibleDescriber describer);

// The states every window-backed control shares: focusable (when enabled
// and visible), focused, unavailable, invisible.
std::uint32_t WindowStates(HWND window);

// Tells screen readers of a change (EVENT_OBJECT_*) of the control's client
// object (child 0) or one of its items.
void NotifyAccessible(DWORD event, HWND window, int child);

// Sees every event NotifyAccessible raises, in the order raised (an
// out-of-process hook may get a burst in another order); tests only, null
// ends it.
using AccessibleEventWatch = void (*)(DWORD event, HWND window, int child);
void SetAccessibleEventWatchForTests(AccessibleEventWatch watch);

}  // namespace shadowpane
