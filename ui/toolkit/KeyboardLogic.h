// What a key does in the toolkit's controls and windows, decided without
// the platform: the device lists' caret, a button's or choice's Space, the
// dialog manager's Enter and Escape, the message box's default and cancel
// buttons, the keys that open a window's menu. The platform's dialog
// manager moves the focus (Tab, Shift+Tab); these tables say what the
// focused control does. Portable: no platform headers.
#pragma once

#include <cstdint>

namespace shadowpane {

struct MenuItem;

// Virtual keys decided on here (the platform's numbers).
constexpr std::uint32_t kKeyTab = 0x09;
constexpr std::uint32_t kKeyReturn = 0x0D;
constexpr std::uint32_t kKeyAlt = 0x12;
constexpr std::uint32_t kKeyEscape = 0x1B;
constexpr std::uint32_t kKeySpace = 0x20;
constexpr std::uint32_t kKeyPageUp = 0x21;
constexpr std::uint32_t kKeyPageDown = 0x22;
constexpr std::uint32_t kKeyEnd = 0x23;
constexpr std::uint32_t kKeyHome = 0x24;
constexpr std::uint32_t kKeyLeft = 0x25;
constexpr std::uint32_t kKeyUp = 0x26;
constexpr std::uint32_t kKeyRight = 0x27;
constexpr std::uint32_t kKeyDown = 0x28;
constexpr std::uint32_t kKeyApps = 0x5D;
constexpr std::uint32_t kKeyF10 = 0x79;

// The dialog manager's commands: Enter arrives as 1, Escape as 2.
constexpr int kDialogEnterId = 1;
constexpr int kDialogEscapeId = 2;

// A list's keyboard caret: the entry a key acts on. -1 is none (an empty
// list). Entries never stay highlighted for the mouse, so the caret is the
// list's own and separate from the platform's selection.
enum class ListKeyAction {
  None,      // not a list key: the list ignores it
  Move,      // the caret moves to `caret`
  Activate,  // the entry at `caret` is clicked (block or unblock)
};

struct ListKey {
  ListKeyAction action = ListKeyAction::None;
  int caret = -1;
};

// The caret kept inside 0..count-1: the first entry when there is none yet
// or the list shrank below it; -1 for an empty list.
int ClampCaret(int caret, int count);

// Up, Down, Home, End, Page Up, Page Down move the caret (a page is the
// entries the list shows at once, at least one), stopping at the ends;
// Space and Enter activate the caret's entry. An empty list does nothing.
ListKey DecideListKey(std::uint32_t key, int caret, int count, int page);

// A button or choice control with the focus.
enum class ControlKeyAction {
  None,
  Click,           // Space: the same as a click
  NextChoice,      // a radio: Down or Right picks the next of its group
  PreviousChoice,  // a radio: Up or Left picks the previous one
};
// `repeated`: the key is held and repeats; a held Space clicks once.
ControlKeyAction DecideControlKey(std::uint32_t key, bool repeated, bool radio);

// The next radio of a group of `count` from `current` (wrapping around).
int StepChoice(int current, int count, bool forward);

// The command a window carries out for one the dialog manager sends: Enter
// is the window's OK, Escape its Cancel; 0 where the window has no such
// button (nothing happens). Every other id is kept.
int DialogKeyCommand(int id, int okId, int cancelId);

// The message box: Enter presses the default button, the first (OK or
// Yes); Escape the one that cancels: Cancel where there is one, No where
// the box asks, OK where it only tells. Button sets as MBX_BUTTONS_*.
int MessageBoxDefaultButton(std::int32_t buttons);
int MessageBoxCancelButton(std::int32_t buttons);

// The list popup (the language picker's list): Up and Down move the
// highlight over the selectable items (labels and separators are passed
// over; from none, Down starts at the first and Up at the last), Home and
// End go to the first and last; Enter and Space pick the highlighted item;
// Escape closes the popup.
enum class PopupKeyAction { None, Move, Pick, Close };
struct PopupKey {
  PopupKeyAction action = PopupKeyAction::None;
  int hot = -1;  // the item's index
};
PopupKey DecidePopupKey(const MenuItem* first, int hot, std::uint32_t key);

// Keys that open a window's menu, as the platform's own menus open: Alt
// pressed and released alone, F10, Shift+F10, the context-menu key.
enum class KeyEvent { Down, Up };
class MenuKeyTracker {
 public:
  // A key message reached the window (`system`: sent as a system key,
  // that is with Alt or F10). Answers true when the menu should open.
  bool OnKey(KeyEvent event, std::uint32_t key, bool system);
  // Input that is no key message joined the press (a keyboard shortcut the
  // system took, Alt+F1 for one; a mouse button): Alt's release opens
  // nothing then.
  void OnOtherInput() { altAlone_ = false; }

 private:
  bool altAlone_ = false;
};

}  // namespace shadowpane
