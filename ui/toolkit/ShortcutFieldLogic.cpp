#include "ui/toolkit/ShortcutFieldLogic.h"

namespace shadowpane {

bool KeyStartsRecording(std::uint32_t virtualKey, std::uint32_t modifiers) {
  return modifiers == 0 && (virtualKey == kFieldKeySpace || virtualKey == kFieldKeyReturn);
}

bool RecordingContinues(FieldKeyOutcome outcome) { return outcome != FieldKeyOutcome::PassOn; }

FieldKey DecideFieldKey(std::uint32_t virtualKey, std::uint32_t modifiers) {
  FieldKey key;
  const bool plain = modifiers == 0;
  if ((virtualKey == kFieldKeyTab && (plain || modifiers == kShortcutShift)) ||
      (virtualKey == kFieldKeyEscape && plain)) {
    key.outcome = FieldKeyOutcome::PassOn;
    return key;
  }
  if (plain && (virtualKey == kFieldKeyBackspace || virtualKey == kFieldKeyDelete)) {
    key.outcome = FieldKeyOutcome::Clear;
    return key;
  }
  const std::uint32_t stored = EncodeShortcut(modifiers, virtualKey);
  switch (CheckShortcut(stored)) {
    case ShortcutCheck::Valid:
      key.outcome = FieldKeyOutcome::Record;
      key.stored = stored;
      break;
    case ShortcutCheck::NeedsCtrlOrAlt:
      key.outcome = FieldKeyOutcome::NeedsCtrlOrAlt;
      break;
    default:
      break;  // a modifier on its own: the combination is still being pressed
  }
  return key;
}

}  // namespace shadowpane
