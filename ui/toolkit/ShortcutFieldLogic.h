// The rules of the toolkit's shortcut field that need no window: what a key
// press does to the combination the field records. The field records; the
// window that owns it formats the text it shows. Portable: no platform
// headers.
#pragma once

#include <cstdint>

#include "commands/Shortcuts.h"

namespace shadowpane {

// The field's own property message: the stored combination (0: none).
constexpr std::uint32_t SFM_SHORTCUT = 1026;

// WM_COMMAND notification codes the field sends its parent.
constexpr std::uint32_t SFN_CHANGED = 1;             // a combination was recorded or cleared
constexpr std::uint32_t SFN_NEEDS_CTRL_OR_ALT = 2;   // one without Ctrl or Alt was pressed; kept as it was

// The shown text's inset from each side.
constexpr int kShortcutFieldTextInset = 7;

// Keys the field treats apart (virtual keys).
constexpr std::uint32_t kFieldKeyBackspace = 0x08;
constexpr std::uint32_t kFieldKeyTab = 0x09;
constexpr std::uint32_t kFieldKeyEscape = 0x1B;
constexpr std::uint32_t kFieldKeyDelete = 0x2E;
constexpr std::uint32_t kFieldKeyReturn = 0x0D;
constexpr std::uint32_t kFieldKeySpace = 0x20;

enum class FieldKeyOutcome {
  PassOn,          // Tab, Shift+Tab, Escape: the dialog's keys, not recorded
  Wait,            // a modifier alone, or no key a shortcut can use
  Clear,           // Backspace or Delete alone: no shortcut
  Record,          // `stored` is the new combination
  NeedsCtrlOrAlt,  // refused: the field keeps its combination
};

struct FieldKey {
  FieldKeyOutcome outcome = FieldKeyOutcome::Wait;
  std::uint32_t stored = kNoShortcut;
};

// Whether the field records. A click starts it, as do Space and Enter
// (without modifiers) while the field has the focus from the keyboard;
// while it records it takes every key combination. A key it passes on
// (Tab, Shift+Tab, Escape) ends the recording and stays in the field, so
// the next Tab leaves it; losing the focus ends it too.
bool KeyStartsRecording(std::uint32_t virtualKey, std::uint32_t modifiers);
bool RecordingContinues(FieldKeyOutcome outcome);

// A key pressed in the field, with the modifiers held (kShortcutAlt and
// the others of commands/Shortcuts.h).
FieldKey DecideFieldKey(std::uint32_t virtualKey, std::uint32_t modifiers);

}  // namespace shadowpane
