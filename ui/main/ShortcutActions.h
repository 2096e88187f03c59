// What a keyboard shortcut, or a command from a second copy of the
// program, does to the devices, decided without the platform: the targets
// (commands/CommandDecisions.h), the block or unblock of each, when the
// outcome is known, and the balloon or the answer that tells it.
//
// A microphone's block is finished by its worker, which checks the silence
// before the device shows blocked; so the balloon waits until every target
// has settled (or the window's time limit ran out) and never tells of a
// block that is not verified.
#pragma once

#include <vector>

#include "commands/CommandDecisions.h"
#include "commands/Shortcuts.h"
#include "core/Text.h"
#include "devices/DeviceList.h"
#include "policy/PolicyRules.h"

namespace shadowpane {

// One shortcut's or command's run, from its key press (or arrival) to its
// balloon (or answer).
struct ShortcutRun {
  Command command;
  CommandTargets targets;
  std::vector<DeviceSnapshot> before;
  // Per target (in targets.targets order): its Block or Unblock answered
  // other than 1, so no later notice will change it.
  std::vector<bool> refused;
};

// Whether the policy refuses the action on the devices read now: an
// unblock-all, or a toggle that would unblock its devices, while unblocking
// is not allowed. A refused shortcut does nothing to any device; the window
// tells so in a balloon. A block is never refused.
bool RefusesShortcut(const std::vector<DeviceSnapshot>& devices, ShortcutAction action,
                     const EnforcedPolicy& policy);
// The same for a command line's command (answered kExitRefused), and /quit
// while the policy withdraws the exit.
bool RefusesCommand(const std::vector<DeviceSnapshot>& devices, const Command& command,
                    const EnforcedPolicy& policy);

// Reads the devices, selects the action's targets and blocks or unblocks
// each one not yet in the wanted state.
ShortcutRun StartShortcut(DeviceList& list, ShortcutAction action);
// The same for any block, unblock or toggle; a command of another action
// selects no targets (TargetOutcome::Usage) and touches nothing.
ShortcutRun StartCommand(DeviceList& list, const Command& command);

// True once every target has an outcome in the devices read now (found by
// kind and name, so a refresh meanwhile changes nothing): a block whose
// device is no longer open (verified or not), an unblock whose device is
// open, or a call that was refused.
bool ShortcutSettled(const ShortcutRun& run, const std::vector<DeviceSnapshot>& now);

// The balloon's text once settled or out of time: what was done, or the
// first device that did not reach the wanted state (one no longer listed
// did not). A block never reads as done while a device of its scope listed
// since the key press is not blocked: that one is named. Whether it warns.
struct ShortcutBalloon {
  WideString text;
  bool warning = false;
};
// The answer to the second copy that sent the command, once settled or out
// of time: a block is done only when every target is verified blocked in
// the devices read now; an unblock only when every target's Unblock
// answered 1 (a give-back not read back is not done) and it reads open.
CommandAnswer CommandRunAnswer(const ShortcutRun& run, const std::vector<DeviceSnapshot>& now);

ShortcutBalloon ShortcutBalloonFor(const ShortcutRun& run, const std::vector<DeviceSnapshot>& after, int language);

}  // namespace shadowpane
