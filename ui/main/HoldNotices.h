// The notices a held device's risks ask for, once per device, risk and run:
// a camera others can open or a microphone others hear, a microphone whose
// mute another program keeps undoing, and one that a program taking it for
// itself still hears. Portable: no platform headers.
#pragma once

#include <vector>

#include "core/Text.h"
#include "ui/main/DeviceEntries.h"

namespace shadowpane {

// The string of each risk of the state change not yet told in this run, in
// the order heard by others, contested, exclusive; remembers them as told.
// The contested one is STR_MICROPHONE_UNMUTED_BY_ANOTHER, which
// ContestedNoticeText names a program in where it can.
std::vector<int> TakeHoldNotices(const DeviceNotifyEffect& effect, SharedHoldNotices& notices);

// "<program> keeps unmuting this microphone." when the entry's users name
// one program (and it is known), else "Another program keeps unmuting this
// microphone.", in the language.
WideString ContestedNoticeText(const std::vector<WideString>& users, int language);

}  // namespace shadowpane
