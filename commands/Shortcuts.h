// The five keyboard shortcuts' portable part: how a combination is stored
// in the settings key, which combinations are allowed, the command each
// action stands for and the text a combination is shown as.
#pragma once

#include <cstdint>

#include "commands/Command.h"
#include "core/Text.h"

namespace shadowpane {

// HoldToTalk carries no command: while it is held, blocked microphones are
// heard (ui/main/PushToTalkLogic.h).
enum class ShortcutAction { BlockAll, UnblockAll, ToggleMicrophones, ToggleCameras, HoldToTalk };
constexpr int kShortcutActionCount = 5;

// The modifiers as RegisterHotKey takes them (MOD_ALT, MOD_CONTROL,
// MOD_SHIFT, MOD_WIN). MOD_NOREPEAT is added at registration, never stored.
constexpr std::uint32_t kShortcutAlt = 0x1;
constexpr std::uint32_t kShortcutControl = 0x2;
constexpr std::uint32_t kShortcutShift = 0x4;
constexpr std::uint32_t kShortcutWin = 0x8;
constexpr std::uint32_t kShortcutModifierMask = kShortcutAlt | kShortcutControl | kShortcutShift | kShortcutWin;

// The REG_DWORD of a shortcut: modifiers in the high word, the virtual key
// in the low word; 0 for none.
constexpr std::uint32_t kNoShortcut = 0;
constexpr std::uint32_t EncodeShortcut(std::uint32_t modifiers, std::uint32_t virtualKey) {
  return ((modifiers & 0xFFFFu) << 16) | (virtualKey & 0xFFFFu);
}
constexpr std::uint32_t ShortcutModifiers(std::uint32_t stored) { return stored >> 16; }
constexpr std::uint32_t ShortcutKey(std::uint32_t stored) { return stored & 0xFFFFu; }

enum class ShortcutCheck {
  None,            // 0: no shortcut assigned
  Valid,           // may be registered
  NeedsCtrlOrAlt,  // refused: a plain or Shift/Win-only key would steal typing
  Invalid,         // refused: unknown modifier bits, no key, or a modifier key as the key
};

// Whether a stored or recorded combination may be registered. A stored value
// that is not Valid counts as no shortcut.
ShortcutCheck CheckShortcut(std::uint32_t stored);

// The REG_DWORD value name of each action in the settings key.
const WideChar* ShortcutValueName(ShortcutAction action);

// The command a shortcut carries out: block all, unblock all, toggle
// microphones, toggle cameras; for HoldToTalk a status query, which
// touches no device.
Command ShortcutCommand(ShortcutAction action);

// The combination as the user reads it, modifiers in the language's words,
// "Ctrl+Alt+Shift+Win+<key>": for example "Ctrl+Alt+Shift+M". The key is
// named here for letters, digits, F1 to F24 and the number pad; for any
// other key the caller passes the platform's name of it (keyName), else
// it is shown by its number. Empty for no shortcut or one that is not Valid.
WideString FormatShortcut(std::uint32_t stored, int language, WideView keyName = WideView());

}  // namespace shadowpane
