#include "commands/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shadowpane {
namespace {

struct LineCase {
  std::vector<WideString> arguments;
  ParseResult result;
  CommandAction action;
  CommandScope scope;
  WideString name;
};

const WideString kLongestName(kMaxNameChars, u'n');

TEST(CommandLineTest, ReadsEachFormAndRefusesEverythingElse) {
  const LineCase cases[] = {
      {{}, ParseResult::Start, CommandAction::None, CommandScope::None, u""},
      {{u"/min"}, ParseResult::StartHidden, CommandAction::None, CommandScope::None, u""},
      {{u"/MIN"}, ParseResult::StartHidden, CommandAction::None, CommandScope::None, u""},
      {{u"/block", u"all"}, ParseResult::Command, CommandAction::Block, CommandScope::All, u""},
      {{u"/Unblock", u"CAMERAS"}, ParseResult::Command, CommandAction::Unblock, CommandScope::Cameras, u""},
      {{u"/toggle", u"microphones"}, ParseResult::Command, CommandAction::Toggle, CommandScope::Microphones, u""},
      {{u"/status"}, ParseResult::Command, CommandAction::Status, CommandScope::None, u""},
      {{u"/quit"}, ParseResult::Command, CommandAction::Quit, CommandScope::None, u""},
      {{u"/restore-inputs"}, ParseResult::RestoreInputs, CommandAction::None, CommandScope::None, u""},
      {{u"/Restore-Inputs"}, ParseResult::RestoreInputs, CommandAction::None, CommandScope::None, u""},
      // A name is kept exactly: case, blanks, quotes left inside it, accents.
      {{u"/block", u"USB Cam \"HD\""}, ParseResult::Command, CommandAction::Block, CommandScope::Device,
       u"USB Cam \"HD\""},
      {{u"/block", u" all"}, ParseResult::Command, CommandAction::Block, CommandScope::Device, u" all"},
      {{u"/toggle", u"Micrófono-1"}, ParseResult::Command, CommandAction::Toggle, CommandScope::Device,
       u"Micrófono-1"},
      {{u"/unblock", kLongestName}, ParseResult::Command, CommandAction::Unblock, CommandScope::Device,
       kLongestName},
  };
  for (const LineCase& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
    SCOPED_TRACE(c.arguments.empty() ? std::string("(none)") : std::string(c.arguments[0].begin(), c.arguments[0].end()));
    EXPECT_EQ(parsed.result, c.result);
    EXPECT_EQ(parsed.command.action, c.action);
    EXPECT_EQ(parsed.command.scope, c.scope);
    EXPECT_EQ(parsed.command.name, c.name);
  }
}

TEST(CommandLineTest, HostileInputGivesUsage) {
  const std::vector<std::vector<WideString>> cases = {
      {u""},
      {u"/"},
      {u"block", u"all"},
      {u"-block", u"all"},
      {u"/blockall"},
      {u"/block"},
      {u"/block", u""},
      {u"/block", WideString(kMaxNameChars + 1, u'n')},
      {u"/block", WideString(u"Cam\0era", 7)},
      {u"/block", u"all", u"cameras"},
      {u"/block", u"Cam", u"/quit"},
      {u"/status", u"all"},
      {u"/quit", u"now"},
      {u"/min", u"/block"},
      {u"/restore-inputs", u"all"},
      {u"/restore"},
      {u"/min", u"/restore-inputs"},
      {u"/block all"},
      {u"/BLOCK\u0130"},
      {u"/help"},
      {u"\"/block\"", u"all"},
  };
  for (const auto& arguments : cases) {
    EXPECT_EQ(ParseCommandLine(arguments).result, ParseResult::Usage) << arguments.size();
  }
}

}  // namespace
}  // namespace shadowpane
