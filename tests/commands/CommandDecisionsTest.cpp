#include "commands/CommandDecisions.h"

#include <gtest/gtest.h>

#include <vector>

#include "commands/CommandRecord.h"
#include "devices/DeviceList.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

using State = DeviceState;

constexpr int kCam = DEVICE_KIND_VIDEO;
constexpr int kMic = DEVICE_KIND_AUDIO;

// Two cameras whose names differ only in case, and two microphones.
const std::vector<DeviceSnapshot> kMixed = {
    {kCam, u"Cam", State::Blocked},
    {kCam, u"cam", State::Open},
    {kMic, u"Mic", State::Blocked},
    {kMic, u"Mic-1", State::NotSilent},
};

struct TargetCase {
  Command command;
  TargetOutcome outcome;
  bool block;
  std::vector<int> targets;
};

TEST(CommandDecisionsTest, TargetsFollowScopeExactNamesAndToggleRule) {
  const TargetCase cases[] = {
      {MakeCommand(CommandAction::Block, CommandScope::All), TargetOutcome::Act, true, {0, 1, 2, 3}},
      {MakeCommand(CommandAction::Unblock, CommandScope::Cameras), TargetOutcome::Act, false, {0, 1}},
      // One camera open: the toggle blocks both.
      {MakeCommand(CommandAction::Toggle, CommandScope::Cameras), TargetOutcome::Act, true, {0, 1}},
      // None open (one not silent still counts as blocked): the toggle unblocks.
      {MakeCommand(CommandAction::Toggle, CommandScope::Microphones), TargetOutcome::Act, false, {2, 3}},
      {MakeCommand(CommandAction::Toggle, CommandScope::Device, u"cam"), TargetOutcome::Act, true, {1}},
      {MakeCommand(CommandAction::Toggle, CommandScope::Device, u"Cam"), TargetOutcome::Act, false, {0}},
      {MakeCommand(CommandAction::Block, CommandScope::Device, u"CAM"), TargetOutcome::NoSuchDevice, false, {}},
      {MakeCommand(CommandAction::Block, CommandScope::Device, u"Mic-"), TargetOutcome::NoSuchDevice, false, {}},
      {MakeCommand(CommandAction::Status, CommandScope::None), TargetOutcome::Usage, false, {}},
      {MakeCommand(CommandAction::Block, CommandScope::None), TargetOutcome::Usage, false, {}},
  };
  for (const TargetCase& c : cases) {
    const CommandTargets selected = SelectTargets(kMixed, c.command);
    SCOPED_TRACE(static_cast<int>(c.command.action) * 10 + static_cast<int>(c.command.scope));
    EXPECT_EQ(selected.outcome, c.outcome);
    if (c.outcome == TargetOutcome::Act) {
      EXPECT_EQ(selected.block, c.block);
    }
    EXPECT_EQ(selected.targets, c.targets);
  }
}

// A scope that lists no device: a block or toggle protected nothing, so it
// is not done; an unblock left nothing blocked, which is what it asked.
TEST(CommandDecisionsTest, AnEmptyScopeIsNotFoundForABlockOrToggleAndDoneForAnUnblock) {
  const std::vector<DeviceSnapshot> camerasOnly = {{kCam, u"Cam", State::Open}};
  const struct {
    Command command;
    int exitCode;
    std::vector<WideString> lines;
  } cases[] = {
      {MakeCommand(CommandAction::Block, CommandScope::Microphones), kExitNotFound, {kNothingListedLine}},
      {MakeCommand(CommandAction::Toggle, CommandScope::Microphones), kExitNotFound, {kNothingListedLine}},
      {MakeCommand(CommandAction::Unblock, CommandScope::Microphones), kExitDone, {}},
      {MakeCommand(CommandAction::Block, CommandScope::Cameras), kExitDone, {}},
  };
  for (const auto& c : cases) {
    const CommandTargets targets = SelectTargets(camerasOnly, c.command);
    const CommandAnswer answer = RunAnswer(targets, c.command, {{kCam, u"Cam", State::Blocked}});
    EXPECT_EQ(answer.exitCode, c.exitCode) << static_cast<int>(c.command.action);
    EXPECT_EQ(answer.lines, c.lines) << static_cast<int>(c.command.action);
  }
  const Command blockAll = MakeCommand(CommandAction::Block, CommandScope::All);
  EXPECT_EQ(RunAnswer(SelectTargets({}, blockAll), blockAll, {}).exitCode, kExitNotFound);
}

struct ExitCase {
  Command command;
  std::vector<DeviceSnapshot> after;
  int exitCode;
  int failed;
};

TEST(CommandDecisionsTest, ExitCodeCountsOnlyVerifiedState) {
  const std::vector<DeviceSnapshot> allBlocked = {{kCam, u"Cam", State::Blocked}, {kMic, u"Mic", State::Blocked}};
  const std::vector<DeviceSnapshot> allOpen = {{kCam, u"Cam", State::Open}, {kMic, u"Mic", State::Open}};
  const std::vector<DeviceSnapshot> camShared = {{kCam, u"Cam", State::HeldButShared}, {kMic, u"Mic", State::Blocked}};
  const std::vector<DeviceSnapshot> micFailed = {{kCam, u"Cam", State::Blocked}, {kMic, u"Mic", State::Open}};
  const ExitCase cases[] = {
      {MakeCommand(CommandAction::Block, CommandScope::All), allBlocked, kExitDone, -1},
      {MakeCommand(CommandAction::Block, CommandScope::All), camShared, kExitNotBlocked, 0},
      {MakeCommand(CommandAction::Block, CommandScope::All), micFailed, kExitNotBlocked, 1},
      // The microphone that failed is not a target of a camera block.
      {MakeCommand(CommandAction::Block, CommandScope::Cameras), micFailed, kExitDone, -1},
      {MakeCommand(CommandAction::Unblock, CommandScope::All), allOpen, kExitDone, -1},
      {MakeCommand(CommandAction::Unblock, CommandScope::Microphones), allBlocked, kExitNotBlocked, 1},
      {MakeCommand(CommandAction::Block, CommandScope::Device, u"Mic"), micFailed, kExitNotBlocked, 1},
      // A device that vanished before it was read again is not done.
      {MakeCommand(CommandAction::Block, CommandScope::Microphones), {allBlocked[0]}, kExitNotBlocked, 1},
      {MakeCommand(CommandAction::Unblock, CommandScope::Device, u"Nope"), allOpen, kExitNotFound, -1},
      {MakeCommand(CommandAction::Quit, CommandScope::None), allOpen, kExitUsage, -1},
  };
  for (const ExitCase& c : cases) {
    const CommandTargets targets = SelectTargets(allOpen, c.command);
    EXPECT_EQ(ExitCodeAfter(targets, c.after), c.exitCode);
    EXPECT_EQ(FirstFailedTarget(targets, c.after), c.failed);
  }
}

TEST(CommandDecisionsTest, StatusIsAtRiskUnlessShownProtectedAndEveryDeviceIsVerifiedBlocked) {
  const std::vector<DeviceSnapshot> blocked = {{kCam, u"Cam", State::Blocked}, {kMic, u"Mic\tX", State::Blocked}};
  const CommandAnswer allBlocked = StatusAnswer(blocked, true);
  EXPECT_EQ(allBlocked.exitCode, kExitDone);
  const std::vector<WideString> expected = {u"camera\tCam\tblocked", u"microphone\tMic\tX\tblocked",
                                            u"Privacy Protected"};
  EXPECT_EQ(allBlocked.lines, expected);
  // The window's verdict counts too: nothing listed, or a kind it could not read.
  EXPECT_EQ(StatusAnswer(blocked, false).exitCode, kExitAtRisk);
  EXPECT_EQ(StatusAnswer({}, false).lines, std::vector<WideString>{kStatusAtRisk});
  for (State risky : {State::Open, State::HeldButShared, State::NotSilent}) {
    std::vector<DeviceSnapshot> devices = blocked;
    devices[1].state = risky;
    const CommandAnswer answer = StatusAnswer(devices, true);
    EXPECT_EQ(answer.exitCode, kExitAtRisk);
    EXPECT_EQ(answer.lines.back(), kStatusAtRisk);
    EXPECT_EQ(answer.lines[1], u"microphone\tMic\tX\t" + WideString(StatusWord(risky)));
  }
  // Beyond what an answer carries, the listing is cut, the verdict is not.
  std::vector<DeviceSnapshot> many(kMaxAnswerLines + 5, {kCam, WideString(kMaxNameChars, u'n'), State::Blocked});
  many.back().state = State::Open;
  const CommandAnswer cut = StatusAnswer(many, true);
  EXPECT_EQ(cut.lines.size(), static_cast<std::size_t>(kMaxAnswerLines));
  EXPECT_EQ(cut.lines.back(), kStatusAtRisk);
  EXPECT_FALSE(EncodeAnswerRecord(cut, 1).empty());
}

TEST(CommandDecisionsTest, ARunsAnswerNamesWhatDidNotReachItsState) {
  const std::vector<DeviceSnapshot> before = {{kCam, u"Cam", State::Open}, {kMic, u"Mic", State::Open}};
  const std::vector<DeviceSnapshot> after = {{kCam, u"Cam", State::HeldButShared}, {kMic, u"Mic", State::Blocked}};
  const Command blockAll = MakeCommand(CommandAction::Block, CommandScope::All);
  const CommandAnswer partly = RunAnswer(SelectTargets(before, blockAll), blockAll, after);
  EXPECT_EQ(partly.exitCode, kExitNotBlocked);
  EXPECT_EQ(partly.lines, std::vector<WideString>{u"camera\tCam\theld but shared"});
  const Command unknown = MakeCommand(CommandAction::Unblock, CommandScope::Device, u"cam");
  const CommandAnswer missing = RunAnswer(SelectTargets(before, unknown), unknown, before);
  EXPECT_EQ(missing.exitCode, kExitNotFound);
  EXPECT_EQ(missing.lines, std::vector<WideString>{u"no such device\tcam"});
  const Command blockMic = MakeCommand(CommandAction::Block, CommandScope::Microphones);
  EXPECT_EQ(RunAnswer(SelectTargets(before, blockMic), blockMic, after).lines, std::vector<WideString>{});
}

// A device whose kind and hold are set by the test.
class HoldDevice : public testing::TestDevice {
 public:
  HoldDevice(DevicePoster& poster, int kind) : TestDevice(poster), kind_(kind) {}
  int GetKind() override { return kind_; }
  void Hold(bool shared) { SetHeldAndNotify(true, shared, 0); }

 private:
  int kind_;
};

TEST(CommandDecisionsTest, SnapshotReadsKindNameAndHoldFromTheList) {
  testing::RecordingPoster poster;
  DeviceList list;
  const struct {
    int kind;
    const WideChar* name;
    int hold;  // 0 open, 1 held, 2 held but shared
    State state;
  } rows[] = {
      {kCam, u"Cam", 2, State::HeldButShared},
      {kMic, u"Mic", 2, State::NotSilent},
      {kMic, u"Line", 1, State::Blocked},
      {kCam, u"Open", 0, State::Open},
  };
  for (const auto& row : rows) {
    auto* device = new HoldDevice(poster, row.kind);
    testing::TestInitRecord record(row.name, u"");
    device->Init(&record);
    if (row.hold != 0) device->Hold(row.hold == 2);
    ASSERT_NE(list.LinkDevice(device), nullptr);
  }
  const std::vector<DeviceSnapshot> devices = SnapshotDevices(list);
  ASSERT_EQ(devices.size(), 4u);
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const auto& row = rows[devices.size() - 1 - i];  // the list is newest first
    EXPECT_EQ(devices[i].kind, row.kind);
    EXPECT_EQ(devices[i].displayName, row.name);
    EXPECT_EQ(devices[i].state, row.state);
  }
}

// The users' column: there while programs use the device, and cut so that
// even the longest name and users fit one answer line.
TEST(CommandDecisionsTest, StatusLineNamesTheUsersInAFourthColumn) {
  const std::vector<DeviceSnapshot> devices = {{kCam, u"Cam", State::Blocked}, {kCam, u"cam", State::Open}};
  const std::vector<WideString> users = {u"Teams.exe, Zoom.exe", u""};
  EXPECT_EQ(StatusAnswer(devices, false, &users).lines,
            (std::vector<WideString>{u"camera\tCam\tblocked\tTeams.exe, Zoom.exe", u"camera\tcam\topen",
                                     kStatusAtRisk}));
  const WideString line = StatusLine({kMic, WideString(kMaxNameChars, u'n'), State::Open}, WideString(400, u'u'));
  EXPECT_EQ(line.size(), static_cast<std::size_t>(kMaxAnswerLineUnits));
  EXPECT_EQ(line.back(), u'\u2026');
}

}  // namespace
}  // namespace shadowpane
