#include "commands/CommandRecord.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace shadowpane {
namespace {

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
    const RecordBytes record = EncodeCommandRecord(command);
    ASSERT_EQ(record.size(), kRecordHeaderBytes + 2 * command.name.size());
    Command decoded;
    ASSERT_EQ(DecodeCommandRecord(record.data(), record.size(), decoded), 1);
    EXPECT_EQ(decoded, command);
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
  for (const Command& command : commands) EXPECT_TRUE(EncodeCommandRecord(command).empty());
}

struct Damage {
  const char* what;
  std::function<void(RecordBytes&)> apply;
};

TEST(CommandRecordTest, DamagedRecordsAreRefused) {
  const RecordBytes good = EncodeCommandRecord(MakeCommand(CommandAction::Block, CommandScope::Device, u"Cam"));
  const Damage damages[] = {
      {"empty", [](RecordBytes& r) { r.clear(); }},
      {"header only", [](RecordBytes& r) { r.resize(kRecordHeaderBytes); }},
      {"one unit short", [](RecordBytes& r) { r.resize(r.size() - 2); }},
      {"odd byte short", [](RecordBytes& r) { r.pop_back(); }},
      {"a byte more", [](RecordBytes& r) { r.push_back(0); }},
      {"magic", [](RecordBytes& r) { r[0] ^= 1; }},
      {"version 2", [](RecordBytes& r) { r[4] = 2; }},
      {"version high byte", [](RecordBytes& r) { r[5] = 1; }},
      {"action 0", [](RecordBytes& r) { r[6] = 0; }},
      {"action 6", [](RecordBytes& r) { r[6] = 6; }},
      {"status with a name", [](RecordBytes& r) { r[6] = 4; }},
      {"scope 5", [](RecordBytes& r) { r[7] = 5; }},
      {"scope all with a name", [](RecordBytes& r) { r[7] = 1; }},
      {"length beyond bytes", [](RecordBytes& r) { r[8] = 4; }},
      {"length 0xFFFF", [](RecordBytes& r) { r[8] = r[9] = 0xFF; }},
      {"reserved", [](RecordBytes& r) { r[11] = 1; }},
      {"NUL in name", [](RecordBytes& r) { r[14] = r[15] = 0; }},
  };
  for (const Damage& damage : damages) {
    RecordBytes record = good;
    damage.apply(record);
    Command decoded = MakeCommand(CommandAction::Quit, CommandScope::None);
    EXPECT_EQ(DecodeCommandRecord(record.data(), record.size(), decoded), 0) << damage.what;
    EXPECT_EQ(decoded.action, CommandAction::Quit) << damage.what << ": changed on refusal";
  }
  Command decoded;
  EXPECT_EQ(DecodeCommandRecord(nullptr, good.size(), decoded), 0);
}

TEST(CommandRecordTest, AnswersRoundTripWithinTheirBounds) {
  const std::vector<CommandAnswer> answers = {
      {kExitDone, {}},
      {kExitAtRisk, {u"camera\tCam\topen", u"", u"Privacy at Risk"}},
      {kExitNotBlocked, {WideString(kMaxAnswerLineUnits, u'l')}},
      {kExitUsage, std::vector<WideString>(kMaxAnswerLines, u"x")},
  };
  for (const CommandAnswer& answer : answers) {
    const RecordBytes record = EncodeAnswerRecord(answer);
    CommandAnswer decoded;
    ASSERT_EQ(DecodeAnswerRecord(record.data(), record.size(), decoded), 1);
    EXPECT_EQ(decoded.exitCode, answer.exitCode);
    EXPECT_EQ(decoded.lines, answer.lines);
    // Any shorter record claims more than it carries.
    if (record.size() > kRecordHeaderBytes) {
      EXPECT_EQ(DecodeAnswerRecord(record.data(), record.size() - 1, decoded), 0);
    }
  }
  EXPECT_TRUE(EncodeAnswerRecord({kLastExitCode + 1, {}}).empty());
  EXPECT_TRUE(EncodeAnswerRecord({-1, {}}).empty());
  EXPECT_TRUE(EncodeAnswerRecord({kExitDone, {WideString(kMaxAnswerLineUnits + 1, u'l')}}).empty());
  EXPECT_TRUE(EncodeAnswerRecord({kExitDone, std::vector<WideString>(kMaxAnswerLines + 1)}).empty());
  // A command record is not an answer, nor the other way round.
  const RecordBytes command = EncodeCommandRecord(MakeCommand(CommandAction::Quit, CommandScope::None));
  CommandAnswer answer;
  EXPECT_EQ(DecodeAnswerRecord(command.data(), command.size(), answer), 0);
  const RecordBytes done = EncodeAnswerRecord({kExitDone, {}});
  Command decoded;
  EXPECT_EQ(DecodeCommandRecord(done.data(), done.size(), decoded), 0);
}

}  // namespace
}  // namespace shadowpane
