// What screen readers read of the main window, decided without the
// platform: the names of its buttons (which show only pictures) and lists,
// a device entry's state and default action, and the status panel, which
// is painted rather than a control and so is the window's own element.
// Portable: the Win32 side (win32/MainWindowAccessible) answers the
// toolkit's description requests with these.
#pragma once

#include <cstdint>

#include "ui/toolkit/AccessibleLogic.h"
#include "ui/toolkit/AccessibleTexts.h"

namespace shadowpane {

// The tray icon's notifications that show and raise the window: a left or
// right press, as ever, and the keyboard's: NIN_SELECT, NIN_KEYSELECT (Enter
// or Space on the icon) and WM_CONTEXTMENU (the context key, Shift+F10).
constexpr std::uint32_t kTrayNinSelect = 0x0400;     // WM_USER
constexpr std::uint32_t kTrayNinKeySelect = 0x0401;  // WM_USER + 1
bool TrayMessageRaises(std::uint32_t message);

// The window's own elements: the status panel, child 1.
constexpr int kStatusPanelElement = 1;
constexpr int kMainWindowElements = 1;

// The key a reader names for the menu button (Alt alone opens it too).
constexpr WideChar kMenuShortcut[] = u"F10";

// The name of a button or list of the main window by its control id, in
// the language (the menu button also its key); other ids keep the
// description as it is.
void DescribeMainControl(int controlId, int language, AccessibleDescription& description);

// A device's state in words, by its entry's data word: "Blocked", "Not
// blocked", or for a hold others can still meet "Blocked, but other
// programs can still use it" (a camera) or "... hear it" (a microphone).
AccessibleText DeviceStateText(std::uint32_t itemData);
// The short word drawn beside the lock in high contrast.
AccessibleText DeviceStateWord(std::uint32_t itemData);

// A device entry (list item): its state as value and description, and
// "Unblock" or "Block" as its default action.
void DescribeDeviceEntry(std::uint32_t itemData, int language, AccessibleDescription& description);

// The status panel: read as text, the headline ("Privacy Protected" or
// "Privacy at Risk") its name and the line below it its description, in the
// current language; its place in the client area of a window so wide (in
// pixels) at that DPI.
void DescribeStatusPanel(int protectedState, int windowWidth, int dpi, AccessibleDescription& description);

}  // namespace shadowpane
