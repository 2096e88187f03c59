#include "commands/CommandLine.h"

#include <cstddef>

#include "settings/Settings.h"

namespace shadowpane {
namespace {

struct ActionWord {
  const WideChar* word;
  CommandAction action;
};
constexpr ActionWord kActionWords[] = {
    {u"/block", CommandAction::Block},   {u"/unblock", CommandAction::Unblock},
    {u"/toggle", CommandAction::Toggle}, {u"/status", CommandAction::Status},
    {u"/quit", CommandAction::Quit},
};

struct ScopeWord {
  const WideChar* word;
  CommandScope scope;
};
constexpr ScopeWord kScopeWords[] = {
    {u"all", CommandScope::All},
    {u"cameras", CommandScope::Cameras},
    {u"microphones", CommandScope::Microphones},
};

WideChar AsciiLower(WideChar unit) { return unit >= u'A' && unit <= u'Z' ? unit - u'A' + u'a' : unit; }

// `word` is lower case ASCII.
bool SameWord(WideView text, WideView word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiLower(text[i]) != word[i]) return false;
  }
  return true;
}

ParsedCommandLine Usage() { return ParsedCommandLine{}; }

}  // namespace

const WideChar kCommandLineUsage[] =
    u"Usage: Shadowpane.exe [/min]\n"
    u"       Shadowpane.exe /block|/unblock|/toggle all|cameras|microphones|\"<name as listed>\"\n"
    u"       Shadowpane.exe /status|/quit\n"
    u"       Shadowpane.exe /restore-inputs\n"
    u"Exit codes: 0 done or protected, 1 at risk, 2 usage, 3 no such device or not running,\n"
    u"            4 refused, 5 a device could not be blocked or is not verified,\n"
    u"            or an input could not be given back.\n";

ParsedCommandLine ParseCommandLine(const std::vector<WideString>& arguments) {
  ParsedCommandLine parsed;
  if (arguments.empty()) {
    parsed.result = ParseResult::Start;
    return parsed;
  }
  const WideView first = arguments[0];
  // The start word the autostart entry writes.
  if (SameWord(first, kMinimizedArgument)) {
    if (arguments.size() != 1) return Usage();
    parsed.result = ParseResult::StartHidden;
    return parsed;
  }
  // The word the logon entry writes.
  if (SameWord(first, kRestoreInputsArgument)) {
    if (arguments.size() != 1) return Usage();
    parsed.result = ParseResult::RestoreInputs;
    return parsed;
  }
  const ActionWord* action = nullptr;
  for (const ActionWord& candidate : kActionWords) {
    if (SameWord(first, candidate.word)) action = &candidate;
  }
  if (action == nullptr) return Usage();
  parsed.command.action = action->action;
  const bool takesScope = action->action == CommandAction::Block || action->action == CommandAction::Unblock ||
                          action->action == CommandAction::Toggle;
  if (arguments.size() != (takesScope ? 2u : 1u)) return Usage();
  if (takesScope) {
    const WideString& target = arguments[1];
    parsed.command.scope = CommandScope::Device;
    for (const ScopeWord& candidate : kScopeWords) {
      if (SameWord(target, candidate.word)) parsed.command.scope = candidate.scope;
    }
    if (parsed.command.scope == CommandScope::Device) {
      if (!IsCommandName(target)) return Usage();
      parsed.command.name = target;
    }
  }
  parsed.result = ParseResult::Command;
  return parsed;
}

}  // namespace shadowpane
