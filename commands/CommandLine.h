// The program's command line, read without the platform. The caller splits
// the line into arguments (CommandLineToArgvW on Windows, which also takes
// the quotes off a name) and passes those after the program's path.
//
//   (nothing)                  start shown
//   /min                       start hidden (the Run key's start word)
//   /block   all|cameras|microphones|<name as listed>
//   /unblock all|cameras|microphones|<name as listed>
//   /toggle  all|cameras|microphones|<name as listed>
//   /status
//   /quit
//   /restore-inputs            give back the inputs a copy that is gone left
//                              muted (the logon entry's word); not for the
//                              running copy, which keeps its own
//
// Switches and the three scope words are read without regard to ASCII case,
// as Windows programs read switches; a device name is matched exactly later.
// A device named like a scope word is reached through that scope only.
#pragma once

#include <vector>

#include "commands/Command.h"
#include "core/Text.h"

namespace shadowpane {

enum class ParseResult {
  Start,        // no command: start the program
  StartHidden,  // "/min"
  Command,      // a command for the running copy (or a hidden start)
  RestoreInputs,  // "/restore-inputs"
  Usage,        // anything else: exit with kExitUsage
};

struct ParsedCommandLine {
  ParseResult result = ParseResult::Usage;
  Command command;  // ParseResult::Command only
};

// Never fails on hostile input: an unknown switch, a missing or extra
// argument, an empty name, a name longer than a display name can be or one
// holding a NUL all give Usage.
ParsedCommandLine ParseCommandLine(const std::vector<WideString>& arguments);

// What a command line that gives Usage prints; English, like the switches.
extern const WideChar kCommandLineUsage[];

}  // namespace shadowpane
