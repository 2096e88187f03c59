// What a command does to the listed devices, decided without the platform:
// which devices it targets, whether a toggle blocks or unblocks, the exit
// code once it ran, and the /status lines. The caller reads the devices
// (SnapshotDevices), blocks or unblocks the targets, reads them again and
// asks for the exit code.
#pragma once

#include <vector>

#include "commands/Command.h"
#include "commands/CommandRecord.h"
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
  Talking,        // a blocked microphone heard while the push-to-talk key is held
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
  // A block or toggle whose kind (or all) lists no device: nothing was
  // done, and nothing is protected by it: kExitNotFound too.
  NothingListed,
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
// unblocks them all otherwise. An unblock of a kind that lists no device
// is done (nothing is blocked); a block or toggle is NothingListed. Targets already in the wanted state are
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

// Protected only when every device is verified Blocked.
bool AllProtected(const std::vector<DeviceSnapshot>& devices);

// One device's /status line, "<kind>\t<name>\t<state>", in fixed English
// words so that scripts can read it whatever the interface language; a
// fourth column "\t<users>" while programs use the device, cut with "…" to
// fit an answer line.
// `users`: the programs using it now, "a.exe, b.exe", or empty.
WideString StatusLine(const DeviceSnapshot& device, const WideString& users = WideString());

// The answer to /status: one line per device, then the overall state, and
// kExitDone when protected, kExitAtRisk otherwise. Protected only when the
// main window shows it (`shownProtected`: it also knows that nothing listed,
// or a kind of device that could not be read, is at risk) and every device
// listed is verified Blocked. At most kMaxAnswerLines lines: devices beyond
// that are left out of the listing, never out of the overall state.
// `users`, when given, holds each device's users in the same order.
CommandAnswer StatusAnswer(const std::vector<DeviceSnapshot>& devices, bool shownProtected,
                           const std::vector<WideString>* users = nullptr);

// The answer once a block, unblock or toggle ran: its exit code
// (ExitCodeAfter) and a line for each target that did not reach the wanted
// state, or the name no device has.
CommandAnswer RunAnswer(const CommandTargets& targets, const Command& command,
                        const std::vector<DeviceSnapshot>& devicesAfter);

// What a refused command prints (exit kExitRefused).
extern const WideChar kRefusedLine[];
// What a second copy prints when no copy runs for /status or /quit.
extern const WideChar kNotRunningLine[];
// What a block or toggle whose scope lists no device prints (also the
// English text of that balloon).
extern const WideChar kNothingListedLine[];
// The line of an answer about a name no device has (a tab, then the name).
extern const WideChar kNoSuchDeviceWords[];

// The words of the /status lines.
extern const WideChar kStatusCamera[];
extern const WideChar kStatusMicrophone[];
extern const WideChar kStatusProtected[];
extern const WideChar kStatusAtRisk[];
const WideChar* StatusWord(DeviceState state);

}  // namespace shadowpane
