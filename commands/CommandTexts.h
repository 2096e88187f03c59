// The texts of the keyboard shortcuts and of what a command did, in the
// four interface languages (English, German, Spanish, Italian: the order of
// the program's string tables), and the choice of the balloon an action
// shows. Kept apart from the program's string tables until they take these
// texts in.
#pragma once

#include <vector>

#include "commands/Command.h"
#include "commands/CommandDecisions.h"
#include "core/Text.h"

namespace shadowpane {

constexpr int kCommandTextLanguages = 4;

enum class CommandText {
  AllBlocked,
  AllUnblocked,
  CamerasBlocked,
  CamerasUnblocked,
  MicrophonesBlocked,
  MicrophonesUnblocked,
  DeviceBlocked,    // names the device
  DeviceUnblocked,  // names the device
  UnableToBlock,    // names the device
  UnableToUnblock,  // names the device
  NotVerified,      // names the device
  NothingListed,    // the scope holds no device: nothing was done
  ShortcutUsedByAnotherAction,
  ShortcutTaken,
  ShortcutNeedsCtrlOrAlt,
  ShortcutsWindowTitle,  // also the menu item
  ShortcutBlockAllLabel,
  ShortcutUnblockAllLabel,
  ShortcutToggleMicrophonesLabel,
  ShortcutToggleCamerasLabel,
  ShortcutHoldToTalkLabel,
  ShortcutClear,
  ShortcutNone,
  KeyCtrl,
  KeyAlt,
  KeyShift,
  KeyWin,
};
constexpr int kCommandTextCount = static_cast<int>(CommandText::KeyWin) + 1;

// Where a text names a device, the name stands in for this mark.
extern const WideChar kDeviceNameMark[];

// The text in a language, 0..3; any other language reads English. Never null.
const WideChar* CommandTextIn(CommandText text, int language);

// A tray balloon's text (NOTIFYICONDATA szInfo) holds at most this many
// characters.
constexpr int kBalloonTextChars = 255;

// The text with the device name in place of its mark; a name that would
// make it longer than a balloon holds is shortened and ends in "…".
WideString WithDeviceName(const WideChar* text, WideView name);

// The balloon of a block, unblock or toggle once it ran: the first target
// that failed is named (unable to block, unable to unblock, or blocked but
// not verified); else what was done to which devices. devicesBefore are
// the devices the targets were chosen from. A scope without a device says
// so rather than "all blocked". Empty when there is nothing to tell (no such device, not a block, unblock or toggle).
WideString CommandBalloonText(const Command& command, const CommandTargets& targets,
                              const std::vector<DeviceSnapshot>& devicesBefore,
                              const std::vector<DeviceSnapshot>& devicesAfter, int language);

}  // namespace shadowpane
