#include "commands/CommandDecisions.h"

#include "commands/CommandRecord.h"
#include "devices/DeviceList.h"

namespace shadowpane {
namespace {

constexpr WideChar kStatusSeparator = u'\t';

bool InScope(const DeviceSnapshot& device, const Command& command) {
  switch (command.scope) {
    case CommandScope::All:
      return true;
    case CommandScope::Cameras:
      return device.kind == DEVICE_KIND_VIDEO;
    case CommandScope::Microphones:
      return device.kind == DEVICE_KIND_AUDIO;
    case CommandScope::Device:
      return device.displayName == command.name;
    default:
      return false;
  }
}

bool Reached(const DeviceSnapshot& device, bool block) {
  return block ? device.state == DeviceState::Blocked : device.state == DeviceState::Open;
}

}  // namespace

const WideChar kStatusCamera[] = u"camera";
const WideChar kStatusMicrophone[] = u"microphone";
const WideChar kStatusProtected[] = u"Privacy Protected";
const WideChar kStatusAtRisk[] = u"Privacy at Risk";
const WideChar kRefusedLine[] = u"Refused: your organization does not allow it.";
const WideChar kNotRunningLine[] = u"Shadowpane is not running.";
const WideChar kNothingListedLine[] = u"No matching device is listed.";
const WideChar kNoSuchDeviceWords[] = u"no such device";

const WideChar* StatusWord(DeviceState state) {
  switch (state) {
    case DeviceState::Blocked:
      return u"blocked";
    case DeviceState::HeldButShared:
      return u"held but shared";
    case DeviceState::NotSilent:
      return u"not silent";
    case DeviceState::Talking:
      return u"talking";
    default:
      return u"open";
  }
}

std::vector<DeviceSnapshot> SnapshotDevices(const DeviceList& list) {
  std::vector<DeviceSnapshot> devices;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    DeviceSnapshot snapshot;
    snapshot.kind = device->GetKind();
    WideChar name[kNameUnits] = {};
    device->GetDisplayName(name, kMaxNameChars);
    snapshot.displayName = BoundedString(name, kNameUnits);
    if (DeviceList::IsBlocked(device) == 0) {
      snapshot.state = DeviceState::Open;
    } else if ((device->HoldRisks() & kHoldRiskTalking) != 0) {
      snapshot.state = DeviceState::Talking;
    } else if (device->IsSharedBitSet() != 0) {
      snapshot.state = snapshot.kind == DEVICE_KIND_VIDEO ? DeviceState::HeldButShared : DeviceState::NotSilent;
    } else {
      snapshot.state = DeviceState::Blocked;
    }
    devices.push_back(snapshot);
  }
  return devices;
}

CommandTargets SelectTargets(const std::vector<DeviceSnapshot>& devices, const Command& command) {
  CommandTargets selected;
  if (!IsWellFormedCommand(command) || command.action == CommandAction::Status ||
      command.action == CommandAction::Quit) {
    return selected;
  }
  bool anyOpen = false;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (!InScope(devices[i], command)) continue;
    selected.targets.push_back(static_cast<int>(i));
    anyOpen = anyOpen || devices[i].state == DeviceState::Open;
  }
  if (command.scope == CommandScope::Device && selected.targets.empty()) {
    selected.outcome = TargetOutcome::NoSuchDevice;
    return selected;
  }
  if (selected.targets.empty() && command.action != CommandAction::Unblock) {
    selected.outcome = TargetOutcome::NothingListed;
    return selected;
  }
  selected.outcome = TargetOutcome::Act;
  selected.block = command.action == CommandAction::Block || (command.action == CommandAction::Toggle && anyOpen);
  return selected;
}

int FirstFailedTarget(const CommandTargets& targets, const std::vector<DeviceSnapshot>& devicesAfter) {
  if (targets.outcome != TargetOutcome::Act) return -1;
  for (int index : targets.targets) {
    // A device gone since the targets were chosen did not reach the state.
    if (index < 0 || static_cast<std::size_t>(index) >= devicesAfter.size()) return index;
    if (!Reached(devicesAfter[static_cast<std::size_t>(index)], targets.block)) return index;
  }
  return -1;
}

int ExitCodeAfter(const CommandTargets& targets, const std::vector<DeviceSnapshot>& devicesAfter) {
  switch (targets.outcome) {
    case TargetOutcome::NoSuchDevice:
    case TargetOutcome::NothingListed:
      return kExitNotFound;
    case TargetOutcome::Act:
      return FirstFailedTarget(targets, devicesAfter) == -1 ? kExitDone : kExitNotBlocked;
    default:
      return kExitUsage;
  }
}

bool AllProtected(const std::vector<DeviceSnapshot>& devices) {
  for (const DeviceSnapshot& device : devices) {
    if (device.state != DeviceState::Blocked) return false;
  }
  return true;
}

namespace {

// The users' column, cut so the whole line fits an answer record's line.
void AppendUsersColumn(WideString& line, const WideString& users) {
  constexpr WideChar kCut = u'\u2026';
  line += kStatusSeparator;
  const std::size_t most = static_cast<std::size_t>(kMaxAnswerLineUnits);
  const std::size_t room = line.size() < most ? most - line.size() : 0;
  if (users.size() <= room) {
    line += users;
  } else if (room > 0) {
    line += users.substr(0, room - 1);
    line += kCut;
  }
}

}  // namespace

WideString StatusLine(const DeviceSnapshot& device, const WideString& users) {
  WideString line = device.kind == DEVICE_KIND_VIDEO ? kStatusCamera : kStatusMicrophone;
  line += kStatusSeparator;
  line += BoundedString(device.displayName.c_str(), kMaxNameChars);
  line += kStatusSeparator;
  line += StatusWord(device.state);
  if (!users.empty()) AppendUsersColumn(line, users);
  return line;
}

CommandAnswer StatusAnswer(const std::vector<DeviceSnapshot>& devices, bool shownProtected,
                           const std::vector<WideString>* users) {
  CommandAnswer answer;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (answer.lines.size() + 1 >= static_cast<std::size_t>(kMaxAnswerLines)) break;
    const bool named = users != nullptr && i < users->size();
    answer.lines.push_back(StatusLine(devices[i], named ? (*users)[i] : WideString()));
  }
  const bool isProtected = shownProtected && AllProtected(devices);
  answer.lines.push_back(isProtected ? kStatusProtected : kStatusAtRisk);
  answer.exitCode = isProtected ? kExitDone : kExitAtRisk;
  return answer;
}

CommandAnswer RunAnswer(const CommandTargets& targets, const Command& command,
                        const std::vector<DeviceSnapshot>& devicesAfter) {
  CommandAnswer answer;
  answer.exitCode = ExitCodeAfter(targets, devicesAfter);
  if (targets.outcome == TargetOutcome::NoSuchDevice) {
    answer.lines.push_back(WideString(kNoSuchDeviceWords) + kStatusSeparator +
                           BoundedString(command.name.c_str(), kMaxNameChars));
    return answer;
  }
  if (targets.outcome == TargetOutcome::NothingListed) answer.lines.push_back(kNothingListedLine);
  if (targets.outcome != TargetOutcome::Act) return answer;
  for (int index : targets.targets) {
    if (answer.lines.size() + 1 >= static_cast<std::size_t>(kMaxAnswerLines)) break;
    if (index < 0 || static_cast<std::size_t>(index) >= devicesAfter.size()) continue;
    const DeviceSnapshot& device = devicesAfter[static_cast<std::size_t>(index)];
    if (!Reached(device, targets.block)) answer.lines.push_back(StatusLine(device));
  }
  return answer;
}

}  // namespace shadowpane
