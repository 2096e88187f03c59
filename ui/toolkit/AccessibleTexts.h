// The texts a screen reader speaks that no window shows: the names of the
// buttons that show only a picture, the states of a device, the default
// actions, and the word beside a lock in high contrast. In the four
// interface languages (English, German, Spanish, Italian: the order of the
// program's string tables). Portable: no platform headers.
#pragma once

#include "core/Text.h"

namespace shadowpane {

constexpr int kAccessibleTextLanguages = 4;

enum class AccessibleText {
  MenuButton,
  MinimizeButton,
  CloseButton,
  Blocked,
  NotBlocked,
  CameraShared,      // blocked, yet other programs can still use the camera
  MicrophoneShared,  // blocked, yet other programs can still hear the microphone
  ActionPress,
  ActionCheck,
  ActionUncheck,
  ActionBlock,
  ActionUnblock,
  StateWordBlocked,     // drawn beside the lock in high contrast
  StateWordNotBlocked,
  StateWordShared,
  MicrophoneTalking,  // blocked, heard while the push-to-talk key is held
  StateWordTalking,
};
constexpr int kAccessibleTextCount = static_cast<int>(AccessibleText::StateWordTalking) + 1;

// The text in a language, 0..3; any other language reads English. Never null.
const WideChar* AccessibleTextIn(AccessibleText text, int language);

}  // namespace shadowpane
