// A command that reaches the program from outside its windows: from its own
// command line, from a second copy of it (the WM_COPYDATA record) or from a
// keyboard shortcut. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <utility>

#include "core/Text.h"
#include "devices/DeviceTypes.h"

namespace shadowpane {

// The numbers are stored in the copy-data record: never renumber them.
enum class CommandAction : std::uint8_t {
  None = 0,  // no command: start the program (shown, or hidden for "/min")
  Block = 1,
  Unblock = 2,
  Toggle = 3,
  Status = 4,
  Quit = 5,
};
constexpr int kLastCommandAction = static_cast<int>(CommandAction::Quit);

// Which devices a block, unblock or toggle is about; None for the others.
enum class CommandScope : std::uint8_t {
  None = 0,
  All = 1,
  Cameras = 2,
  Microphones = 3,
  Device = 4,  // the one device whose display name is `name`
};
constexpr int kLastCommandScope = static_cast<int>(CommandScope::Device);

// What the second copy exits with, and what a command answers.
constexpr int kExitDone = 0;        // done; for /status: protected
constexpr int kExitAtRisk = 1;      // /status: some device is open or unverified
constexpr int kExitUsage = 2;       // the command line or record was not understood
constexpr int kExitNotFound = 3;    // no such device, or no copy running
constexpr int kExitRefused = 4;     // refused (kept for managed settings)
constexpr int kExitNotBlocked = 5;  // a device could not be blocked or is not verified
constexpr int kLastExitCode = kExitNotBlocked;

struct Command {
  CommandAction action = CommandAction::None;
  CommandScope scope = CommandScope::None;
  WideString name;  // Device scope only: the display name as listed
};

inline Command MakeCommand(CommandAction action, CommandScope scope, WideString name = WideString()) {
  Command command;
  command.action = action;
  command.scope = scope;
  command.name = std::move(name);
  return command;
}

inline bool operator==(const Command& a, const Command& b) {
  return a.action == b.action && a.scope == b.scope && a.name == b.name;
}

// A device name a command may carry: 1 to 255 units (what a display name
// holds) and no NUL, which would end it early in the name buffers.
inline bool IsCommandName(WideView name) {
  if (name.empty() || name.size() > static_cast<std::size_t>(kMaxNameChars)) return false;
  return name.find(WideChar(0)) == WideView::npos;
}

// Whether the command is one the program can carry out: the action's scope
// rule holds and a device name is valid. The parser and the record decoder
// yield nothing else.
inline bool IsWellFormedCommand(const Command& command) {
  switch (command.action) {
    case CommandAction::Block:
    case CommandAction::Unblock:
    case CommandAction::Toggle:
      if (command.scope == CommandScope::Device) return IsCommandName(command.name);
      return command.scope != CommandScope::None && static_cast<int>(command.scope) <= kLastCommandScope &&
             command.name.empty();
    case CommandAction::Status:
    case CommandAction::Quit:
      return command.scope == CommandScope::None && command.name.empty();
    default:
      return false;
  }
}

}  // namespace shadowpane
