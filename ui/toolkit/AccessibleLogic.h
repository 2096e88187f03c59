// What a screen reader is told about a toolkit control or one of its
// items, decided without the platform: the description a window fills in
// for its controls (name, role, states, value, default action, keyboard
// shortcut), the rules that derive a name and a shortcut from a caption,
// and the default action each role offers. The Win32 accessible objects
// (win32/AccessibleObject) ask for a description at every query, so what
// they answer follows the language and the state of the moment. Portable:
// no platform headers.
#pragma once

#include <cstdint>

#include "core/Text.h"
#include "ui/toolkit/Geometry.h"

namespace shadowpane {

// Roles, with the platform's numbers (ROLE_SYSTEM_*).
enum class AccessibleRole : std::int32_t {
  Alert = 0x08,
  Client = 0x0A,
  MenuPopup = 0x0B,
  MenuItem = 0x0C,
  Dialog = 0x12,
  Separator = 0x15,
  List = 0x21,
  ListItem = 0x22,
  StaticText = 0x29,
  Text = 0x2A,
  PushButton = 0x2B,
  CheckButton = 0x2C,
  RadioButton = 0x2D,
  HotKeyField = 0x32,
};

// State bits, with the platform's numbers (STATE_SYSTEM_*).
constexpr std::uint32_t kAccUnavailable = 0x1;
constexpr std::uint32_t kAccSelected = 0x2;
constexpr std::uint32_t kAccFocused = 0x4;
constexpr std::uint32_t kAccPressed = 0x8;
constexpr std::uint32_t kAccChecked = 0x10;
constexpr std::uint32_t kAccReadOnly = 0x40;
constexpr std::uint32_t kAccDefault = 0x100;
constexpr std::uint32_t kAccInvisible = 0x8000;
constexpr std::uint32_t kAccOffscreen = 0x10000;
constexpr std::uint32_t kAccFocusable = 0x100000;
constexpr std::uint32_t kAccSelectable = 0x200000;

// The control itself; items and a window's own elements count from 1.
constexpr int kAccessibleSelf = 0;

// One control, item or element as a screen reader reads it. The toolkit
// fills what the control knows (role, states, the caption as the name);
// the window that owns the control completes it (names for controls that
// show only a picture, an item's state, the language of the texts).
struct AccessibleDescription {
  int child = kAccessibleSelf;
  AccessibleRole role = AccessibleRole::Client;
  std::uint32_t states = 0;
  WideString name;
  WideString value;
  WideString description;
  WideString defaultAction;
  WideString shortcut;
  int language = 0;  // of the texts filled in by default (0..3)
  // A window: how many elements of its own it shows besides its child
  // windows (the main window's status panel); an element: its place in
  // the window's client area.
  int elements = 0;
  Rect location;
};

// A caption's name: the access-key marks taken out ("&&" stands for "&").
WideString NameFromCaption(WideView caption);
// A caption's keyboard shortcut: "Alt+" and the letter after its access-key
// mark, upper case; empty when the caption has none.
WideString ShortcutFromCaption(WideView caption);

// Fills the default action where the window left it empty: a push button
// or a menu item "Press", a radio "Check", a check box "Check" or
// "Uncheck" by its state, in the
// description's language. Other roles keep theirs (a list item's comes
// from its window: "Block" or "Unblock").
void CompleteDescription(AccessibleDescription& description);

}  // namespace shadowpane
