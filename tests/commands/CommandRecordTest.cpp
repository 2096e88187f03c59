#include "commands/CommandRecord.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace shadowpane {
namespace {

constexpr CommandNonce kNonce = 0x0123456789ABCDEFull;

TEST(CommandRecordTest, EveryCommandFormRoundTrips) {
  const Command commands[] = {
      MakeCommand(CommandAction::Block, CommandScope::All),
      MakeCommand(CommandAction::Unblock, CommandScope::Cameras),
      MakeCommand(CommandAction::Toggle, CommandScope::Microphones),
      MakeCommand(CommandAction::Toggle, CommandScope::Device, u"Kamera \u00e4\u20ac\U0001F3A5"),
      MakeCommand(CommandAction::Block, CommandScope::Device, WideString(kMaxNameChars, u'x')),
      MakeCommand(CommandAction::Status, CommandScope::None),
      MakeCommand(CommandAction::Quit, CommandScope::None),
  };
  for (const Command& command : commands) {
    const RecordBytes record = EncodeCommandRecord(command, kNonce);
    ASSERT_EQ(record.size(), kRecordHeaderBytes + kNonceBytes + 2 * command.name.size());
    Command decoded;
    CommandNonce nonce = 0;
    ASSERT_EQ(DecodeCommandRecord(record.data(), record.size(), decoded, nonce), 1);
    EXPECT_EQ(decoded, command);
    EXPECT_EQ(nonce, kNonce);
  }
}

TEST(CommandRecordTest, IllFormedCommandsAreNotEncoded) {
  const Command commands[] = {
      MakeCommand(CommandAction::None, CommandScope::None),
      MakeCommand(CommandAction::Block, CommandScope::None),
      MakeCommand(CommandAction::Status, CommandScope::All),
      MakeCommand(CommandAction::Block, CommandScope::Device, u""),
      MakeCommand(CommandAction::Block, CommandScope::All, u"name"),
      MakeCommand(CommandAction::Block, CommandScope::Device, WideString(kMaxNameChars + 1, u'x')),
  };
  for (const Command& command : commands) EXPECT_TRUE(EncodeCommandRecord(command, kNonce).empty());
}

struct Damage {
  const char* what;
  std::function<void(RecordBytes&)> apply;
};

TEST(CommandRecordTest, DamagedRecordsAreRefused) {
  const RecordBytes good =
      EncodeCommandRecord(MakeCommand(CommandAction::Block, CommandScope::Device, u"Cam"), kNonce);
  const Damage damages[] = {
      {"empty", [](RecordBytes& r) { r.clear(); }},
      {"header only", [](RecordBytes& r) { r.resize(kRecordHeaderBytes); }},
      {"one unit short", [](RecordBytes& r) { r.resize(r.size() - 2); }},
      {"odd byte short", [](RecordBytes& r) { r.pop_back(); }},
      {"a byte more", [](RecordBytes& r) { r.push_back(0); }},
      {"magic", [](RecordBytes& r) { r[0] ^= 1; }},
      {"version 1", [](RecordBytes& r) { r[4] = 1; }},
      {"version 3", [](RecordBytes& r) { r[4] = 3; }},
      {"no nonce", [](RecordBytes& r) { r.erase(r.begin() + kRecordHeaderBytes, r.begin() + 20); }},
      {"version high byte", [](RecordBytes& r) { r[5] = 1; }},
      {"action 0", [](RecordBytes& r) { r[6] = 0; }},
      {"action 6", [](RecordBytes& r) { r[6] = 6; }},
      {"status with a name", [](RecordBytes& r) { r[6] = 4; }},
      {"scope 5", [](RecordBytes& r) { r[7] = 5; }},
      {"scope all with a name", [](RecordBytes& r) { r[7] = 1; }},
      {"length beyond bytes", [](RecordBytes& r) { r[8] = 4; }},
      {"length 0xFFFF", [](RecordBytes& r) { r[8] = r[9] = 0xFF; }},
      {"reserved", [](RecordBytes& r) { r[11] = 1; }},
      {"NUL in name", [](RecordBytes& r) { r[22] = r[23] = 0; }},
  };
  for (const Damage& damage : damages) {
    RecordBytes record = good;
    damage.apply(record);
    Command decoded = MakeCommand(CommandAction::Quit, CommandScope::None);
    CommandNonce nonce = 7;
    EXPECT_EQ(DecodeCommandRecord(record.data(), record.size(), decoded, nonce), 0) << damage.what;
    EXPECT_EQ(decoded.action, CommandAction::Quit) << damage.what << ": changed on refusal";
    EXPECT_EQ(nonce, 7u) << damage.what;
  }
  Command decoded;
  CommandNonce nonce = 0;
  EXPECT_EQ(DecodeCommandRecord(nullptr, good.size(), decoded, nonce), 0);
}

TEST(CommandRecordTest, AnswersRoundTripWithinTheirBounds) {
  const std::vector<CommandAnswer> answers = {
      {kExitDone, {}},
      {kExitAtRisk, {u"camera\tCam\topen", u"", u"Privacy at Risk"}},
      {kExitNotBlocked, {WideString(kMaxAnswerLineUnits, u'l')}},
      {kExitUsage, std::vector<WideString>(kMaxAnswerLines, u"x")},
  };
  for (const CommandAnswer& answer : answers) {
    RecordBytes record = EncodeAnswerRecord(answer, kNonce);
    CommandAnswer decoded;
    ASSERT_EQ(DecodeAnswerRecord(record.data(), record.size(), kNonce, decoded), 1);
    EXPECT_EQ(decoded.exitCode, answer.exitCode);
    EXPECT_EQ(decoded.lines, answer.lines);
    // Only the command's own copy knows the number.
    EXPECT_EQ(DecodeAnswerRecord(record.data(), record.size(), kNonce + 1, decoded), 0);
    // Any shorter record claims more than it carries; a longer one more
    // than it claims.
    EXPECT_EQ(DecodeAnswerRecord(record.data(), record.size() - 1, kNonce, decoded), 0);
    record.push_back(0);
    EXPECT_EQ(DecodeAnswerRecord(record.data(), record.size(), kNonce, decoded), 0);
  }
  EXPECT_TRUE(EncodeAnswerRecord({kLastExitCode + 1, {}}, kNonce).empty());
  EXPECT_TRUE(EncodeAnswerRecord({-1, {}}, kNonce).empty());
  EXPECT_TRUE(EncodeAnswerRecord({kExitDone, {WideString(kMaxAnswerLineUnits + 1, u'l')}}, kNonce).empty());
  EXPECT_TRUE(EncodeAnswerRecord({kExitDone, std::vector<WideString>(kMaxAnswerLines + 1)}, kNonce).empty());
  // A command record is not an answer, nor the other way round.
  const RecordBytes command = EncodeCommandRecord(MakeCommand(CommandAction::Quit, CommandScope::None), kNonce);
  CommandAnswer answer;
  EXPECT_EQ(DecodeAnswerRecord(command.data(), command.size(), kNonce, answer), 0);
  const RecordBytes done = EncodeAnswerRecord({kExitDone, {}}, kNonce);
  Command decoded;
  CommandNonce nonce = 0;
  EXPECT_EQ(DecodeCommandRecord(done.data(), done.size(), decoded, nonce), 0);
}

// A refused command is answered so that its sender can read it: with its
// own nonce, or as version 1 to a version-1 sender.
TEST(CommandRecordTest, ARefusedCommandIsAnsweredInItsSendersVersion) {
  RecordBytes damaged = EncodeCommandRecord(MakeCommand(CommandAction::Status, CommandScope::None), kNonce);
  damaged[6] = 9;  // no such action
  CommandAnswer answer;
  RecordBytes usage = UsageAnswerFor(damaged.data(), damaged.size());
  ASSERT_EQ(DecodeAnswerRecord(usage.data(), usage.size(), kNonce, answer), 1);
  EXPECT_EQ(answer.exitCode, kExitUsage);

  const RecordBytes versionOne = {'S', 'P', 'C', 'M', 1, 0, 4, 0, 0, 0, 0, 0};
  usage = UsageAnswerFor(versionOne.data(), versionOne.size());
  const RecordBytes expected = {'S', 'P', 'A', 'N', 1, 0, kExitUsage, 0, 0, 0, 0, 0};
  EXPECT_EQ(usage, expected);

  for (const RecordBytes& junk : {RecordBytes{'S', 'P', 'C', 'M', 2, 0, 4}, RecordBytes{1, 2, 3}, RecordBytes{}}) {
    usage = UsageAnswerFor(junk.data(), junk.size());
    EXPECT_EQ(DecodeAnswerRecord(usage.data(), usage.size(), 0, answer), 1) << junk.size();
  }
}

TEST(CommandRecordTest, AnAnswerGoesOnlyToTheProgramsReplyWindow) {
  const struct {
    const WideChar* className;
    const WideChar* image;
    bool taken;
  } cases[] = {
      {u"KSP2CommandReplyClass", u"C:\\Apps\\Shadowpane.exe", true},
      {u"KSP2CommandReplyClass", u"C:\\Apps\\SHADOWPANE.EXE", true},
      {u"KSP2CommandReplyClass", u"Shadowpane.exe", true},
      {u"KSP2CommandReplyClass", u"C:\\Shadowpane.exe\\evil.exe", false},
      {u"KSP2CommandReplyClass", u"C:\\Apps\\NotShadowpane.exe", false},
      {u"KSP2CommandReplyClass", u"", false},
      {u"KSP2MainWndClass", u"C:\\Apps\\Shadowpane.exe", false},
      {u"ksp2commandreplyclass", u"C:\\Apps\\Shadowpane.exe", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsProgramReplyWindow(c.className, c.image), c.taken);
}

}  // namespace
}  // namespace shadowpane
