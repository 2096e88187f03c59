// What a command does to the listed devices, decided without the platform:
// which devices it targets, whether a toggle blocks or unblocks, the exit
// code once it ran, and the /status lines. The caller reads the devices
// (SnapshotDevices), blocks or unblocks the targets, reads them again and
// asks for the exit code.
#pragma once

#include <vector>

#include "commands/Command.h"
#include "core/Text.h"

namespace shadowpane {

class DeviceList;

// A device's state as another program would meet it. Only Blocked is
// verified protection.
enum class DeviceState {
  Open,
  Blocked,
  HeldButShared,  // a camera that is held, yet the system lets others open it
  NotSilent,      // a microphone that is muted, yet others can still hear it
};

struct DeviceSnapshot {
  int kind = DEVICE_KIND_VIDEO;
  WideString displayName;  // exactly as the list shows it
  DeviceState state = DeviceState::Open;
};

// The devices of the list in list order, read through its public API.
std::vector<DeviceSnapshot> SnapshotDevices(const DeviceList& list);

enum class TargetOutcome {
  Act,           // block or unblock `targets`
  NoSuchDevice,  // a name no device has: kExitNotFound
  Usage,         // not a block, unblock or toggle: not for this decision
};

struct CommandTargets {
  TargetOutcome outcome = TargetOutcome::Usage;
  bool block = false;        // what to do to each target; a toggle decided
  std::vector<int> targets;  // indexes into the devices, in their order
};

// The devices a block, unblock or toggle is about: every device, one kind,
// or the one whose display name equals the command's name (exactly, case
// included). A toggle blocks them all when any of them is open and
// unblocks them all otherwise. Targets already in the wanted state are
// included: the caller skips them, the exit code still counts them.
CommandTargets SelectTargets(const std::vector<DeviceSnapshot>& devices, const Command& command);

// The exit code once the targets were acted on, from the devices read
// again afterwards: a block is done only when every target is verified
// Blocked (else kExitNotBlocked); an unblock only when every target is
// Open (else kExitNotBlocked too: the device is not in the state asked).
// Other outcomes give their own code.
int ExitCodeAfter(const CommandTargets& targets, const std::vector<DeviceSnapshot>& devicesAfter);

// The first target that did not reach the wanted state, or -1: the device
// a balloon names.
int FirstFailedTarget(const CommandTargets& targets, const std::vector<DeviceSnapshot>& devicesAfter);

// Protected only when every device is verified Blocked; an empty list is
// protected, as the main window shows it.
bool AllProtected(const std::vector<DeviceSnapshot>& devices);

// kExitDone when protected, kExitAtRisk otherwise.
int StatusExitCode(const std::vector<DeviceSnapshot>& devices);

// One line per device, "<kind>\t<name>\t<state>", then the overall state,
// in fixed English words so that scripts can read them whatever the
// interface language. At most kMaxAnswerLines lines: devices beyond that
// are left out of the listing, never out of the overall state.
std::vector<WideString> StatusLines(const std::vector<DeviceSnapshot>& devices);

// The words of the /status lines.
extern const WideChar kStatusCamera[];
extern const WideChar kStatusMicrophone[];
extern const WideChar kStatusProtected[];
extern const WideChar kStatusAtRisk[];
const WideChar* StatusWord(DeviceState state);

}  // namespace shadowpane
