#include "ui/main/ShortcutActions.h"

#include <gtest/gtest.h>

#include <vector>

#include "commands/CommandTexts.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

constexpr int kCam = DEVICE_KIND_VIDEO;
constexpr int kMic = DEVICE_KIND_AUDIO;

// How a device answers a block: at once, refused, or (like a microphone's
// worker) later, verified silent or not.
enum class Answer { AtOnce, Refused, Later };

class ShortcutDevice : public testing::TestDevice {
 public:
  ShortcutDevice(DevicePoster& poster, int kind, Answer answer) : TestDevice(poster), kind_(kind), answer_(answer) {
    if (answer == Answer::Refused) blockResult = 0;
  }
  int GetKind() override { return kind_; }
  int Block() override { return answer_ == Answer::Later ? 1 : TestDevice::Block(); }
  // The worker's verdict on a later block.
  void Settle(bool shared) { SetHeldAndNotify(true, shared, 0); }

 private:
  int kind_;
  Answer answer_;
};

struct Row {
  int kind;
  const WideChar* name;
  bool blocked;
  Answer answer;
};

struct Rig {
  testing::RecordingPoster poster;
  DeviceList list;
  std::vector<ShortcutDevice*> devices;
  explicit Rig(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      auto* device = new ShortcutDevice(poster, row.kind, row.answer);
      testing::TestInitRecord record(row.name, u"");
      device->Init(&record);
      if (row.blocked) device->TestDevice::Block();
      list.LinkDevice(device);
      devices.push_back(device);
    }
  }
  ShortcutBalloon Balloon(const ShortcutRun& run, int language = 0) {
    return ShortcutBalloonFor(run, SnapshotDevices(list), language);
  }
};

struct ActionCase {
  std::vector<Row> rows;
  ShortcutAction action;
  const WideChar* balloon;
  bool warning;
  std::vector<bool> blockedAfter;  // in rows order
};

TEST(ShortcutActionsTest, EachActionActsOnItsDevicesAndTellsWhatHappened) {
  const ActionCase cases[] = {
      {{{kCam, u"Cam", false, Answer::AtOnce}, {kMic, u"Mic", false, Answer::AtOnce}},
       ShortcutAction::BlockAll, u"All devices blocked.", false, {true, true}},
      {{{kCam, u"Cam", true, Answer::AtOnce}, {kMic, u"Mic", true, Answer::AtOnce}},
       ShortcutAction::UnblockAll, u"All devices unblocked.", false, {false, false}},
      // Toggles: one open microphone blocks them all; cameras all blocked unblock.
      {{{kCam, u"Cam", false, Answer::AtOnce},
        {kMic, u"M1", true, Answer::AtOnce},
        {kMic, u"M2", false, Answer::AtOnce}},
       ShortcutAction::ToggleMicrophones, u"All microphones blocked.", false, {false, true, true}},
      {{{kCam, u"Cam", true, Answer::AtOnce}, {kMic, u"Mic", false, Answer::AtOnce}},
       ShortcutAction::ToggleCameras, u"All cameras unblocked.", false, {false, false}},
      // A refused block is named, the others are still blocked.
      {{{kCam, u"Stuck Cam", false, Answer::Refused}, {kMic, u"Mic", false, Answer::AtOnce}},
       ShortcutAction::BlockAll, u"Unable to block Stuck Cam.", true, {false, true}},
      // No camera listed: nothing blocked, and the balloon does not say "all".
      {{{kMic, u"Mic", false, Answer::AtOnce}}, ShortcutAction::ToggleCameras, u"No matching device is listed.", true,
       {false}},
  };
  for (const ActionCase& c : cases) {
    Rig rig(c.rows);
    const ShortcutRun run = StartShortcut(rig.list, c.action);
    EXPECT_TRUE(ShortcutSettled(run, SnapshotDevices(rig.list))) << static_cast<int>(c.action);
    const ShortcutBalloon balloon = rig.Balloon(run);
    EXPECT_EQ(balloon.text, c.balloon);
    EXPECT_EQ(balloon.warning, c.warning);
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      EXPECT_EQ(DeviceList::IsBlocked(rig.devices[i]) != 0, c.blockedAfter[i]) << static_cast<int>(c.action) << i;
    }
  }
}

TEST(ShortcutActionsTest, WithoutUnblockingOnlyTheActionsThatWouldUnblockAreRefused) {
  EnforcedPolicy noUnblock;
  noUnblock.allowUnblock = false;
  Rig rig({{kCam, u"Cam", true, Answer::AtOnce}, {kMic, u"M1", true, Answer::AtOnce}, {kMic, u"M2", false, Answer::AtOnce}});
  const std::vector<DeviceSnapshot> now = SnapshotDevices(rig.list);
  struct Case {
    ShortcutAction action;
    bool refused;
  };
  const Case cases[] = {
      {ShortcutAction::BlockAll, false},
      {ShortcutAction::UnblockAll, true},
      {ShortcutAction::ToggleMicrophones, false},  // M2 is open: the toggle blocks
      {ShortcutAction::ToggleCameras, true},       // every camera blocked: it would unblock
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RefusesShortcut(now, c.action, noUnblock), c.refused) << static_cast<int>(c.action);
    EXPECT_FALSE(RefusesShortcut(now, c.action, EnforcedPolicy{})) << "no policy refuses nothing";
  }
  // The command line: a name no device has is not refused but not found;
  // /quit only by the exit's own policy.
  EXPECT_TRUE(RefusesCommand(now, MakeCommand(CommandAction::Unblock, CommandScope::Device, u"Cam"), noUnblock));
  EXPECT_FALSE(RefusesCommand(now, MakeCommand(CommandAction::Unblock, CommandScope::Device, u"cam"), noUnblock));
  EXPECT_FALSE(RefusesCommand(now, MakeCommand(CommandAction::Quit, CommandScope::None), noUnblock));
  EnforcedPolicy noExit;
  noExit.allowExit = false;
  EXPECT_TRUE(RefusesCommand(now, MakeCommand(CommandAction::Quit, CommandScope::None), noExit));
  EXPECT_FALSE(RefusesCommand(now, MakeCommand(CommandAction::Status, CommandScope::None), noUnblock));
}

TEST(ShortcutActionsTest, ABalloonWaitsForAMicrophoneWhoseHoldIsVerifiedLater) {
  const struct {
    int verdict;  // -1: the worker never answers; 0: silent; 1: others still hear it
    const WideChar* balloon;
    bool warning;
  } cases[] = {
      {0, u"Alle Geräte gesperrt.", false},
      {1, u"Mic ist gesperrt, kann aber noch von anderen Programmen verwendet werden.", true},
      {-1, u"Mic konnte nicht gesperrt werden.", true},
  };
  for (const auto& c : cases) {
    Rig rig({{kCam, u"Cam", false, Answer::AtOnce}, {kMic, u"Mic", false, Answer::Later}});
    const ShortcutRun run = StartShortcut(rig.list, ShortcutAction::BlockAll);
    EXPECT_FALSE(ShortcutSettled(run, SnapshotDevices(rig.list))) << "the microphone is not verified yet";
    if (c.verdict >= 0) rig.devices[1]->Settle(c.verdict == 1);
    EXPECT_EQ(ShortcutSettled(run, SnapshotDevices(rig.list)), c.verdict >= 0);
    // Settled, or the window's time limit ran out: the balloon tells what is.
    const ShortcutBalloon balloon = rig.Balloon(run, 1);
    EXPECT_EQ(balloon.text, c.balloon);
    EXPECT_EQ(balloon.warning, c.warning);
  }
}

TEST(ShortcutActionsTest, ADevicePluggedInWhileTheBlockSettlesNeitherHidesNorFakesAnOutcome) {
  for (bool verified : {true, false}) {
    Rig rig({{kCam, u"Cam", false, Answer::AtOnce}, {kMic, u"Mic", false, Answer::Later}});
    const ShortcutRun run = StartShortcut(rig.list, ShortcutAction::BlockAll);
    // A refresh lists a new, open device first: every index moves by one.
    auto* plugged = new ShortcutDevice(rig.poster, kCam, Answer::AtOnce);
    testing::TestInitRecord record(u"New Cam", u"");
    plugged->Init(&record);
    rig.list.LinkDevice(plugged);
    EXPECT_FALSE(ShortcutSettled(run, SnapshotDevices(rig.list)));
    if (verified) rig.devices[1]->Settle(false);
    EXPECT_EQ(ShortcutSettled(run, SnapshotDevices(rig.list)), verified);
    // Never "all blocked" while the new camera is open.
    EXPECT_EQ(rig.Balloon(run).text, verified ? u"Unable to block New Cam." : u"Unable to block Mic.");
  }
}

// Names are unique in the list, not across time: the microphone unplugged
// and a camera of its name listed since is not the target reaching its
// state, for the balloon, for settling or for the answer.
TEST(ShortcutActionsTest, ADeviceOfTheTargetsNameButTheOtherKindDoesNotReachIt) {
  Rig rig({{kMic, u"Mic", false, Answer::Later}});
  const ShortcutRun run = StartCommand(rig.list, MakeCommand(CommandAction::Block, CommandScope::Device, u"Mic"));
  const std::vector<DeviceSnapshot> now = {{kCam, u"Mic", DeviceState::Blocked}};
  EXPECT_FALSE(ShortcutSettled(run, now));
  EXPECT_EQ(CommandRunAnswer(run, now).exitCode, kExitNotBlocked);
  EXPECT_TRUE(ShortcutBalloonFor(run, now, 0).warning);
  EXPECT_TRUE(ShortcutSettled(run, {{kMic, u"Mic", DeviceState::Blocked}})) << "its own kind does";
}

}  // namespace
}  // namespace shadowpane
