#include "ui/main/ShortcutActions.h"

#include "commands/CommandTexts.h"
#include "ui/main/AwayLogic.h"

namespace shadowpane {
namespace {

// The devices read now, in the order of those read at the key press: a
// refresh meanwhile may have put a new device first or taken one away, so
// each is found again by its kind and display name (unique, case
// included). One no longer listed reads as open: it did not reach a block.
std::vector<DeviceSnapshot> AsBefore(const ShortcutRun& run, const std::vector<DeviceSnapshot>& now) {
  std::vector<DeviceSnapshot> aligned = run.before;
  for (DeviceSnapshot& device : aligned) {
    DeviceState state = DeviceState::Open;
    for (const DeviceSnapshot& current : now) {
      if (current.kind == device.kind && current.displayName == device.displayName) state = current.state;
    }
    device.state = state;
  }
  return aligned;
}

// A target whose unblock answered other than 1 did not reach the state, even
// where it reads open: a microphone whose give-back could not be read back
// may still be muted for every program. It counts as still held.
std::vector<DeviceSnapshot> WithRefusals(const ShortcutRun& run, std::vector<DeviceSnapshot> aligned) {
  for (std::size_t i = 0; i < run.targets.targets.size() && i < run.refused.size(); ++i) {
    const auto index = static_cast<std::size_t>(run.targets.targets[i]);
    if (run.refused[i] && !run.targets.block && index < aligned.size() &&
        aligned[index].state == DeviceState::Open) {
      aligned[index].state = DeviceState::Blocked;
    }
  }
  return aligned;
}

}  // namespace

bool RefusesShortcut(const std::vector<DeviceSnapshot>& devices, ShortcutAction action,
                     const EnforcedPolicy& policy) {
  return RefusesCommand(devices, ShortcutCommand(action), policy);
}

bool RefusesCommand(const std::vector<DeviceSnapshot>& devices, const Command& command,
                    const EnforcedPolicy& policy) {
  if (command.action == CommandAction::Quit) return !policy.allowExit;
  if (!RefusesUnblock(policy)) return false;
  const CommandTargets targets = SelectTargets(devices, command);
  return targets.outcome == TargetOutcome::Act && !targets.block;
}

ShortcutRun StartShortcut(DeviceList& list, ShortcutAction action) {
  return StartCommand(list, ShortcutCommand(action));
}

ShortcutRun StartCommand(DeviceList& list, const Command& command) {
  ShortcutRun run;
  run.command = command;
  run.before = SnapshotDevices(list);
  run.targets = SelectTargets(run.before, run.command);
  const DeviceState wanted = run.targets.block ? DeviceState::Blocked : DeviceState::Open;
  for (int index : run.targets.targets) {
    // The snapshot is in list order, so the index-th device is the target.
    SPDEV* device = list.head();
    for (int i = 0; device != nullptr && i < index; ++i) device = device->next;
    bool refused = device == nullptr;
    // Whatever the user's command found, the state is the user's now.
    ClaimForUser(list, device);
    // A held but shared device is blocked again too: the new hold may be
    // one that others can no longer meet.
    if (device != nullptr && run.before[static_cast<std::size_t>(index)].state != wanted) {
      refused = (run.targets.block ? device->Block() : device->Unblock()) != 1;
    }
    run.refused.push_back(refused);
  }
  return run;
}

bool ShortcutSettled(const ShortcutRun& run, const std::vector<DeviceSnapshot>& now) {
  const std::vector<DeviceSnapshot> aligned = AsBefore(run, now);
  for (std::size_t i = 0; i < run.targets.targets.size(); ++i) {
    const std::size_t index = static_cast<std::size_t>(run.targets.targets[i]);
    if (run.refused[i] || index >= aligned.size()) continue;
    const bool open = aligned[index].state == DeviceState::Open;
    if (run.targets.block == open) return false;
  }
  return true;
}

CommandAnswer CommandRunAnswer(const ShortcutRun& run, const std::vector<DeviceSnapshot>& now) {
  return RunAnswer(run.targets, run.command, WithRefusals(run, AsBefore(run, now)));
}

ShortcutBalloon ShortcutBalloonFor(const ShortcutRun& run, const std::vector<DeviceSnapshot>& after, int language) {
  ShortcutBalloon balloon;
  const std::vector<DeviceSnapshot> aligned = WithRefusals(run, AsBefore(run, after));
  balloon.text = CommandBalloonText(run.command, run.targets, run.before, aligned, language);
  // Nothing to act on is no protection either.
  balloon.warning = FirstFailedTarget(run.targets, aligned) >= 0 || run.targets.targets.empty();
  if (!balloon.warning && run.targets.block) {
    // A device listed since the key press, in the action's scope and not
    // blocked, would make "all blocked" untrue: it is named instead.
    const Command block = MakeCommand(CommandAction::Block, run.command.scope, run.command.name);
    const CommandTargets listed = SelectTargets(after, block);
    if (FirstFailedTarget(listed, after) >= 0) {
      balloon.text = CommandBalloonText(block, listed, after, after, language);
      balloon.warning = true;
    }
  }
  return balloon;
}

}  // namespace shadowpane
