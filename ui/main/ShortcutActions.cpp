#include "ui/main/ShortcutActions.h"

#include "commands/CommandTexts.h"

namespace shadowpane {

ShortcutRun StartShortcut(DeviceList& list, ShortcutAction action) {
  ShortcutRun run;
  run.command = ShortcutCommand(action);
  run.before = SnapshotDevices(list);
  run.targets = SelectTargets(run.before, run.command);
  const DeviceState wanted = run.targets.block ? DeviceState::Blocked : DeviceState::Open;
  for (int index : run.targets.targets) {
    // The snapshot is in list order, so the index-th device is the target.
    SPDEV* device = list.head();
    for (int i = 0; device != nullptr && i < index; ++i) device = device->next;
    bool refused = device == nullptr;
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
  for (std::size_t i = 0; i < run.targets.targets.size(); ++i) {
    const std::size_t index = static_cast<std::size_t>(run.targets.targets[i]);
    if (run.refused[i] || index >= now.size()) continue;
    const bool open = now[index].state == DeviceState::Open;
    if (run.targets.block == open) return false;
  }
  return true;
}

ShortcutBalloon ShortcutBalloonFor(const ShortcutRun& run, const std::vector<DeviceSnapshot>& after, int language) {
  ShortcutBalloon balloon;
  balloon.text = CommandBalloonText(run.command, run.targets, run.before, after, language);
  balloon.warning = FirstFailedTarget(run.targets, after) >= 0;
  return balloon;
}

}  // namespace shadowpane
