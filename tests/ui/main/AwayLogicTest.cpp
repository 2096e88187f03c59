#include "ui/main/AwayLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/ShortcutActions.h"

namespace shadowpane {
namespace {

// Three cameras a, b, c (display names "A", "B", "C", paths "a", "b", "c").
struct Rig {
  testing::RecordingPoster poster;
  testing::MemoryProfileFile file;
  DeviceList list{&file};
  AwayState state;
  AwaySettings settings{true, 5};
  Rig() {
    for (const char16_t* name : {u"C", u"B", u"A"}) {
      const std::u16string path(1, static_cast<char16_t>(name[0] - u'A' + u'a'));
      list.LinkDevice(testing::MakeTestDevice(poster, name, path));
    }
  }
  SPDEV* Device(char letter) {
    const char16_t name[2] = {static_cast<char16_t>(letter - 'a' + 'A'), 0};
    return list.FindByDisplayName(name);
  }
  void Apply(AwayEvent event) {
    const AwayAction action = DecideAway(state, event, settings);
    if (action.holdAll) HoldForAway(list);
    if (action.release) ReleaseAwayHolds(list);
    if (action.recheck) RetakeLostHolds(list);
  }
  // The letters of the blocked devices, in a-b-c order.
  std::string Blocked() {
    std::string out;
    for (char letter : {'a', 'b', 'c'}) {
      if (DeviceList::IsBlocked(Device(letter)) != 0) out += letter;
    }
    return out;
  }
  // The letters Profile.db records as blocked.
  std::string SavedBlocked() {
    EXPECT_EQ(SaveProfile(list), 1);
    file.exists = true;
    std::vector<ProfileRecord> records;
    EXPECT_EQ(LoadProfile(file, records), 1);
    std::string out;
    for (char letter : {'a', 'b', 'c'}) {
      for (const ProfileRecord& record : records) {
        if (record.blocked != 0 && record.path == std::u16string(1, static_cast<char16_t>(letter))) out += letter;
      }
    }
    return out;
  }
};

// Steps: L lock, U unlock, D disconnect, C reconnect, S suspend, R resume by
// the user, r resume on its own, I idle, i input; +x a command blocks x,
// -x a command unblocks x, *x a click on x's entry, ^x the user's block of
// x before anything else happens.
void RunSteps(Rig& rig, const std::string& steps) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const char step = steps[i];
    if (step == '+' || step == '-' || step == '^') {
      const char16_t name[2] = {static_cast<char16_t>(steps[++i] - 'a' + 'A'), 0};
      const CommandAction action = step == '-' ? CommandAction::Unblock : CommandAction::Block;
      StartCommand(rig.list, MakeCommand(action, CommandScope::Device, name));
      continue;
    }
    if (step == '*') {
      const char16_t name[2] = {static_cast<char16_t>(steps[++i] - 'a' + 'A'), 0};
      ClickDeviceEntry(rig.list, name);
      continue;
    }
    const AwayEvent events[] = {AwayEvent::Lock,       AwayEvent::Unlock,       AwayEvent::Disconnect,
                                AwayEvent::Reconnect,  AwayEvent::Suspend,      AwayEvent::ResumeByUser,
                                AwayEvent::ResumeAutomatic, AwayEvent::Idle,    AwayEvent::Input};
    const std::string codes = "LUDCSRrIi";
    const std::size_t at = codes.find(step);
    ASSERT_NE(at, std::string::npos) << step;
    rig.Apply(events[at]);
  }
}

struct Row {
  const char* steps;
  bool whileLocked;
  std::int32_t idleMinutes;
  const char* blocked;  // after the steps
  const char* saved;    // what Profile.db keeps as the user's blocks
};

TEST(AwayLogic, WhatEachAbsenceHoldsAndWhatTheReturnGivesBack) {
  const Row rows[] = {
      {"L", true, 0, "abc", ""},            // locked: every device, none saved as the user's
      {"LU", true, 0, "", ""},              // unlock gives them back
      {"^bL", true, 0, "abc", "b"},         // the user's block is saved as such
      {"^bLU", true, 0, "b", "b"},          // and stays at unlock
      {"L", false, 0, "", ""},              // the setting off: a lock does nothing
      {"S", false, 5, "", ""},              // nor does sleep (idle is another setting)
      {"LU", false, 5, "", ""},
      {"L+aU", true, 0, "a", "a"},          // blocked by a command meanwhile: stays
      {"L+a", true, 0, "abc", "a"},         // and is the user's at once
      {"L*aU", true, 0, "", ""},            // a click meanwhile unblocks: the user's open
      {"L*a*aU", true, 0, "a", "a"},        // clicked twice: the user's block
      {"L-bU", true, 0, "", ""},            // a command's unblock meanwhile
      {"L-bLU", true, 0, "", ""},           // a second lock notice holds nothing new
      {"LSRU", true, 0, "", ""},            // asleep within a lock
      {"LSR", true, 0, "abc", ""},          // awake, still locked: held
      {"Sr", true, 0, "abc", ""},           // awake on its own: nobody is back
      {"SrR", true, 0, "", ""},             // the user woke it
      {"DC", true, 0, "", ""},              // disconnect, reconnect
      {"DLC", true, 0, "abc", ""},          // reconnected to a locked session
      {"DLCU", true, 0, "", ""},
      {"I", true, 0, "", ""},               // idle, the idle setting off
      {"I", false, 5, "abc", ""},
      {"Ii", false, 5, "", ""},             // input again
      {"ILi", true, 5, "abc", ""},          // locked before the input: held
      {"ILiU", true, 5, "", ""},
      {"^cIi", false, 5, "c", "c"},
      {"U", true, 0, "", ""},               // an unlock without a lock gives nothing back
      {"^aU", true, 0, "a", "a"},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.settings = AwaySettings{row.whileLocked, row.idleMinutes};
    RunSteps(rig, row.steps);
    EXPECT_EQ(rig.Blocked(), row.blocked) << row.steps;
    EXPECT_EQ(rig.SavedBlocked(), row.saved) << row.steps;
  }
}

TEST(AwayLogic, ResumeAlwaysRechecksAndTakesAgainAHoldOthersCanMeet) {
  class LeakyDevice : public testing::TestDevice {
   public:
    using TestDevice::TestDevice;
    int Block() override {
      ++blocks;
      SetHeldAndNotify(true, blocks == 1, 0);  // the first hold leaks, the second holds
      return 1;
    }
    int blocks = 0;
  };
  testing::RecordingPoster poster;
  DeviceList list;
  auto* device = new LeakyDevice(poster);
  testing::TestInitRecord record(u"Cam", u"cam");
  device->Init(&record);
  list.LinkDevice(device);
  device->Block();
  AwayState state;
  const AwayAction action = DecideAway(state, AwayEvent::ResumeAutomatic, AwaySettings{});
  ASSERT_TRUE(action.recheck);
  EXPECT_EQ(RetakeLostHolds(list), 1);
  EXPECT_EQ(device->IsSharedBitSet(), 0);
  EXPECT_EQ(RetakeLostHolds(list), 0);  // a hold that holds is left alone
}

TEST(AwayLogic, IdleFromTheLastInputAtTheMinuteBoundAndTheReturnAtTheNextInput) {
  AwayState state;
  const AwaySettings settings{false, 3};
  const std::uint32_t last = 0xFFFFF000u;  // the tick count wraps in between
  EXPECT_EQ(IdleEventAt(state, last + 3 * kMsPerMinute - 1, last, settings), AwayEvent::None);
  EXPECT_EQ(IdleEventAt(state, last + 3 * kMsPerMinute, last, settings), AwayEvent::Idle);
  DecideAway(state, AwayEvent::Idle, settings);
  EXPECT_EQ(IdleEventAt(state, last + 9 * kMsPerMinute, last, settings), AwayEvent::None);
  EXPECT_EQ(IdleEventAt(state, last + 9 * kMsPerMinute, last + 1, settings), AwayEvent::Input);
  AwayState off;
  EXPECT_EQ(IdleEventAt(off, 10 * kMsPerMinute, 0, AwaySettings{true, 0}), AwayEvent::None);
}

}  // namespace
}  // namespace shadowpane
