#include "commands/Shortcuts.h"

#include "commands/CommandTexts.h"

namespace shadowpane {
namespace {

constexpr WideChar kShortcutJoin = u'+';

// Virtual keys this file names or refuses.
constexpr std::uint32_t kKeyDigitFirst = 0x30;   // '0'
constexpr std::uint32_t kKeyDigitLast = 0x39;    // '9'
constexpr std::uint32_t kKeyLetterFirst = 0x41;  // 'A'
constexpr std::uint32_t kKeyLetterLast = 0x5A;   // 'Z'
constexpr std::uint32_t kKeyNumPadFirst = 0x60;  // VK_NUMPAD0
constexpr std::uint32_t kKeyNumPadLast = 0x69;   // VK_NUMPAD9
constexpr std::uint32_t kKeyF1 = 0x70;
constexpr std::uint32_t kKeyF24 = 0x87;
constexpr std::uint32_t kKeyLast = 0xFE;  // the highest virtual key
// Shift, Ctrl, Alt, the Windows keys and their left/right forms: a
// modifier on its own is never the key of a combination.
constexpr std::uint32_t kModifierKeys[] = {0x10, 0x11, 0x12, 0x5B, 0x5C, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

constexpr WideChar kNumPadPrefix[] = u"Num ";
constexpr WideChar kKeyNumberPrefix[] = u"#";

const WideChar* const kValueNames[kShortcutActionCount] = {
    u"ShortcutBlockAll",
    u"ShortcutUnblockAll",
    u"ShortcutToggleMicrophones",
    u"ShortcutToggleCameras",
    u"ShortcutHoldToTalk",
};

bool IsModifierKey(std::uint32_t key) {
  for (std::uint32_t modifier : kModifierKeys) {
    if (key == modifier) return true;
  }
  return false;
}

WideString Decimal(std::uint32_t value) {
  WideString digits;
  do {
    digits.insert(digits.begin(), static_cast<WideChar>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

WideString PortableKeyName(std::uint32_t key) {
  if ((key >= kKeyDigitFirst && key <= kKeyDigitLast) || (key >= kKeyLetterFirst && key <= kKeyLetterLast)) {
    return WideString(1, static_cast<WideChar>(key));
  }
  if (key >= kKeyNumPadFirst && key <= kKeyNumPadLast) return kNumPadPrefix + Decimal(key - kKeyNumPadFirst);
  if (key >= kKeyF1 && key <= kKeyF24) return u"F" + Decimal(key - kKeyF1 + 1);
  return WideString();
}

}  // namespace

ShortcutCheck CheckShortcut(std::uint32_t stored) {
  if (stored == kNoShortcut) return ShortcutCheck::None;
  const std::uint32_t modifiers = ShortcutModifiers(stored);
  const std::uint32_t key = ShortcutKey(stored);
  if ((modifiers & ~kShortcutModifierMask) != 0 || key == 0 || key > kKeyLast || IsModifierKey(key)) {
    return ShortcutCheck::Invalid;
  }
  if ((modifiers & (kShortcutControl | kShortcutAlt)) == 0) return ShortcutCheck::NeedsCtrlOrAlt;
  return ShortcutCheck::Valid;
}

const WideChar* ShortcutValueName(ShortcutAction action) {
  const int index = static_cast<int>(action);
  return index >= 0 && index < kShortcutActionCount ? kValueNames[index] : u"";
}

Command ShortcutCommand(ShortcutAction action) {
  switch (action) {
    case ShortcutAction::UnblockAll:
      return MakeCommand(CommandAction::Unblock, CommandScope::All);
    case ShortcutAction::ToggleMicrophones:
      return MakeCommand(CommandAction::Toggle, CommandScope::Microphones);
    case ShortcutAction::ToggleCameras:
      return MakeCommand(CommandAction::Toggle, CommandScope::Cameras);
    case ShortcutAction::HoldToTalk:
      return MakeCommand(CommandAction::Status, CommandScope::None);
    default:
      return MakeCommand(CommandAction::Block, CommandScope::All);
  }
}

WideString FormatShortcut(std::uint32_t stored, int language, WideView keyName) {
  if (CheckShortcut(stored) != ShortcutCheck::Valid) return WideString();
  struct ModifierWord {
    std::uint32_t bit;
    CommandText text;
  };
  // The order Windows itself shows a combination in.
  static const ModifierWord kOrder[] = {
      {kShortcutControl, CommandText::KeyCtrl},
      {kShortcutAlt, CommandText::KeyAlt},
      {kShortcutShift, CommandText::KeyShift},
      {kShortcutWin, CommandText::KeyWin},
  };
  WideString text;
  for (const ModifierWord& word : kOrder) {
    if ((ShortcutModifiers(stored) & word.bit) == 0) continue;
    text += CommandTextIn(word.text, language);
    text += kShortcutJoin;
  }
  const std::uint32_t key = ShortcutKey(stored);
  WideString name = PortableKeyName(key);
  if (name.empty()) name = keyName.empty() ? kKeyNumberPrefix + Decimal(key) : WideString(keyName);
  return text + name;
}

}  // namespace shadowpane
