// The main window's decisions: clicks on entries, posted device
// notifications, device-change reports, timer ticks and menu commands.
#include <gtest/gtest.h>

#include "settings/Languages.h"
#include "res/MenuIds.h"
#include "devices/Discovery.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/FakeEndpointHolderSystem.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/DeviceChangeLogic.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/HoldNotices.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/ShortcutActions.h"
#include "usage/UsageDecisions.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;
using testing::FakeDeviceLists;
using testing::RecordingPoster;
using testing::TestDevice;

// A device whose unblock can be made to fail.
class StubbornDevice : public TestDevice {
 public:
  using TestDevice::TestDevice;
  int Unblock() override { return unblockResult == 1 ? TestDevice::Unblock() : unblockResult; }
  int unblockResult = 1;
};

// A device whose hold can be found shared, as a camera's check finds it.
class SharingDevice : public StubbornDevice {
 public:
  using StubbornDevice::StubbornDevice;
  void Hold(bool shared) {
    held = true;
    SetHeldAndNotify(true, shared, 0x1234);
  }
  // A microphone's hold with the reasons it is not silent.
  void HoldWithRisks(std::uint32_t held) {
    risks = held;
    Hold(held != 0);
  }
  std::uint32_t HoldRisks() override {
    if (risks == 0) return SPDEV::HoldRisks();
    return IsSharedBitSet() != 0 ? risks : 0;
  }
  std::uint32_t risks = 0;
};

// A device released by its unblock, which then could not read it back (a
// microphone whose endpoint may still be muted for everyone), or left it
// to another copy of the program that holds it too.
class UnverifiedRelease : public SharingDevice {
 public:
  using SharingDevice::SharingDevice;
  int Unblock() override {
    held = false;
    ReleasedAndNotify(!leftToOthers, leftToOthers, 0x1234);
    return 0;
  }
  bool leftToOthers = false;
};

class MainWindowEntries : public ::testing::Test {
 protected:
  SharingDevice* Add(const std::u16string& name) { return AddWithPath(name, u"path#" + name); }
  SharingDevice* AddWithPath(const std::u16string& name, const std::u16string& path) {
    auto* device = new SharingDevice(poster);
    testing::TestInitRecord record(name, path);
    device->Init(&record);
    list.LinkDevice(device);
    return device;
  }
  RecordingPoster poster;
  DeviceList list;
};

TEST_F(MainWindowEntries, AClickTogglesTheNamedDeviceAndAFailureNamesTheWarning) {
  StubbornDevice* camera = Add(u"Camera");
  StubbornDevice* twin = Add(u"Camera");  // listed as "Camera-1"

  DeviceClick click = ClickDeviceEntry(list, u"Camera");
  EXPECT_TRUE(click.acted);
  EXPECT_EQ(click.failureText, -1);
  EXPECT_EQ(DeviceList::IsBlocked(camera), 1);
  EXPECT_EQ(DeviceList::IsBlocked(twin), 0) << "Camera-1 is another entry";

  camera->unblockResult = 0;
  click = ClickDeviceEntry(list, u"Camera");
  EXPECT_EQ(click.failureText, STR_UNABLE_TO_UNBLOCK);
  EXPECT_EQ(DeviceList::IsBlocked(camera), 1) << "the entry keeps its mark";
  camera->unblockResult = 1;
  twin->blockResult = -5;  // a camera's failing COM result
  click = ClickDeviceEntry(list, u"Camera-1");
  EXPECT_EQ(click.result, -5);
  EXPECT_EQ(click.failureText, STR_UNABLE_TO_BLOCK);
  EXPECT_EQ(DeviceList::IsBlocked(twin), 0);

  EXPECT_FALSE(ClickDeviceEntry(list, u"Gone").acted) << "a vanished device does nothing";
}

// The entry shows open, the notice comes once with the notification (not
// the click's "Unable to unblock device." besides), and a command's unblock
// is not done: it exits 5 naming the device.
TEST_F(MainWindowEntries, AnUnblockNotReadBackShowsOpenWithItsNoticeOnceAndIsNotDone) {
  auto* microphone = new UnverifiedRelease(poster);
  testing::TestInitRecord record(u"Mic", u"0 Mic");
  microphone->Init(&record);
  list.LinkDevice(microphone);
  for (bool byCommand : {false, true}) {
    SCOPED_TRACE(byCommand ? "command" : "click");
    microphone->Hold(false);
    ShortcutRun run;
    if (byCommand) {
      run = StartCommand(list, MakeCommand(CommandAction::Unblock, CommandScope::Device, u"Mic"));
      const CommandAnswer answer = CommandRunAnswer(run, SnapshotDevices(list));
      EXPECT_EQ(answer.exitCode, kExitNotBlocked);
      ASSERT_EQ(answer.lines.size(), 1u);
      EXPECT_NE(answer.lines[0].find(u"Mic"), WideString::npos);
    } else {
      EXPECT_EQ(ClickDeviceEntry(list, u"Mic").failureText, -1);
    }
    EXPECT_EQ(DeviceList::IsBlocked(microphone), 0);
    const std::uint32_t changed = DeviceNotifyWParam(DEVICE_STATE_CHANGED);
    EXPECT_EQ(DecideDeviceNotify(list, changed, microphone).giveBackNoticeText, STR_MICROPHONE_NOT_UNMUTED);
    EXPECT_EQ(DecideDeviceNotify(list, changed, microphone).giveBackNoticeText, -1) << "once";
  }
}

// Left to another copy: shown open, a command's unblock exits 5, and the
// notice comes once per microphone and run, however often it is unblocked.
TEST_F(MainWindowEntries, AnUnblockLeftToAnotherCopyIsNotDoneAndTellsOncePerMicrophone) {
  UnverifiedRelease* microphones[2] = {};
  for (int i = 0; i < 2; ++i) {
    microphones[i] = new UnverifiedRelease(poster);
    microphones[i]->leftToOthers = true;
    testing::TestInitRecord record(i == 0 ? u"Mic" : u"Mic two", i == 0 ? u"0 Mic" : u"1 Mic");
    microphones[i]->Init(&record);
    list.LinkDevice(microphones[i]);
  }
  SharedHoldNotices told;
  const std::uint32_t changed = DeviceNotifyWParam(DEVICE_STATE_CHANGED);
  const struct {
    int microphone;
    bool byCommand;
    int notice;
  } unblocks[] = {{0, true, STR_MICROPHONE_HELD_BY_ANOTHER_COPY}, {0, false, -1}, {1, false, STR_MICROPHONE_HELD_BY_ANOTHER_COPY}};
  for (const auto& unblock : unblocks) {
    UnverifiedRelease* microphone = microphones[unblock.microphone];
    microphone->Hold(false);
    WideChar name[kNameUnits] = {};
    microphone->GetDisplayName(name, kMaxNameChars);
    if (unblock.byCommand) {
      const ShortcutRun run = StartCommand(list, MakeCommand(CommandAction::Unblock, CommandScope::Device, name));
      EXPECT_EQ(CommandRunAnswer(run, SnapshotDevices(list)).exitCode, kExitNotBlocked);
    } else {
      EXPECT_EQ(ClickDeviceEntry(list, name).failureText, -1) << "the notice tells instead";
    }
    EXPECT_EQ(DeviceList::IsBlocked(microphone), 0);
    const DeviceNotifyEffect effect = DecideDeviceNotify(list, changed, microphone);
    EXPECT_EQ(GiveBackNoticeToShow(effect, told), unblock.notice);
  }
  microphones[0]->leftToOthers = false;
  microphones[0]->Hold(false);
  ClickDeviceEntry(list, u"Mic");
  EXPECT_EQ(GiveBackNoticeToShow(DecideDeviceNotify(list, changed, microphones[0]), told), STR_MICROPHONE_NOT_UNMUTED)
      << "a give-back not read back is told every time";
}

TEST_F(MainWindowEntries, WithoutUnblockingAClickStillBlocksButLeavesABlockedDeviceHeld) {
  StubbornDevice* camera = Add(u"Camera");
  EnforcedPolicy noUnblock;
  noUnblock.allowUnblock = false;
  DeviceClick click = ClickDeviceEntry(list, u"Camera", noUnblock);
  EXPECT_EQ(click.failureText, -1) << "blocking is never refused";
  ASSERT_EQ(DeviceList::IsBlocked(camera), 1);

  click = ClickDeviceEntry(list, u"Camera", noUnblock);
  EXPECT_TRUE(click.acted);
  EXPECT_EQ(click.failureText, STR_UNBLOCK_NOT_ALLOWED);
  EXPECT_EQ(DeviceList::IsBlocked(camera), 1) << "the device stays held";
}

TEST_F(MainWindowEntries, StateChangeRewritesOnlyItsOwnEntryAndRecomputesProtection) {
  StubbornDevice* camera = Add(u"Camera");
  StubbornDevice* twin = Add(u"Camera");
  camera->Block();

  DeviceNotifyEffect effect = DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), camera);
  EXPECT_EQ(effect.kind, DeviceNotifyKind::StateChanged);
  EXPECT_EQ(effect.entryText, u"Camera");
  EXPECT_EQ(effect.listId, IDC_VIDEO_LIST);
  EXPECT_EQ(ListItemBlocked(effect.itemData), 1);
  EXPECT_EQ(effect.protectedState, 0) << "Camera-1 is still live";
  EXPECT_EQ(StateIconId(effect.protectedState), kIconAtRisk);

  twin->Block();
  effect = DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), twin);
  EXPECT_EQ(effect.entryText, u"Camera-1");
  EXPECT_EQ(effect.protectedState, 1);
  EXPECT_EQ(StateIconId(effect.protectedState), kIconProtected);

  effect = DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_PLUGGED_IN), twin);
  EXPECT_EQ(effect.kind, DeviceNotifyKind::PluggedIn);
  EXPECT_EQ(effect.pluggedInText, STR_DEVICE_PLUGGED_IN);
  EXPECT_EQ(ComposeDeviceMessage(GetString(STR_DEVICE_PLUGGED_IN), effect.entryText.c_str()),
            WideString(GetString(STR_DEVICE_PLUGGED_IN)) + u"\n \n" + GetString(STR_DEVICE) + u": Camera-1");
  twin->heldAgainOnReturn = true;  // a kept block took it again
  EXPECT_EQ(DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_PLUGGED_IN), twin).pluggedInText,
            STR_DEVICE_PLUGGED_IN_BLOCKED_AGAIN);
}

TEST_F(MainWindowEntries, AHeldButSharedCameraIsAmberAndKeepsThePanelAtRisk) {
  SharingDevice* camera = Add(u"Camera");
  SharingDevice* other = Add(u"Other");
  other->Block();
  camera->Hold(true);

  DeviceNotifyEffect effect = DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), camera);
  EXPECT_TRUE(effect.heldButShared);
  EXPECT_EQ(LockMarkSkin(effect.itemData), kSkinLockShared);
  EXPECT_EQ(effect.protectedState, 0) << "every device is blocked, yet one is open to others";
  EXPECT_EQ(ProtectionState(list), 0);

  // The check finds the hold refused again: green, and protected.
  camera->Hold(false);
  effect = DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), camera);
  EXPECT_FALSE(effect.heldButShared);
  EXPECT_EQ(LockMarkSkin(effect.itemData), kSkinLockBlocked);
  EXPECT_EQ(effect.protectedState, 1);

  // Released, nothing of the sharing is left.
  camera->Hold(true);
  camera->Unblock();
  EXPECT_EQ(camera->IsSharedBitSet(), 0);
  EXPECT_EQ(LockMarkSkin(DeviceList::ListItemDataOf(camera)), kSkinLockUnblocked);

  // The word a refresh fills each camera's entry with tells the same.
  camera->Hold(true);
  EXPECT_EQ(LockMarkSkin(DeviceList::ListItemDataOf(camera)), kSkinLockShared);
  EXPECT_EQ(LockMarkSkin(DeviceList::ListItemDataOf(other)), kSkinLockBlocked);
}

TEST(MainWindowLayout, TheLockMarkFollowsTheEntrysDataWord) {
  struct Case {
    std::uint32_t data;
    int skin;
  } cases[] = {
      {MakeListItemData(0, DEVICE_KIND_VIDEO), kSkinLockUnblocked},
      {MakeListItemData(1, DEVICE_KIND_VIDEO), kSkinLockBlocked},
      {MakeListItemData(1, DEVICE_KIND_AUDIO), kSkinLockBlocked},
      {MakeListItemData(1, DEVICE_KIND_VIDEO) | kListItemHeldButShared, kSkinLockShared},
      // A shared bit without a hold is no hold at all.
      {MakeListItemData(0, DEVICE_KIND_VIDEO) | kListItemHeldButShared, kSkinLockUnblocked},
  };
  for (const Case& c : cases) EXPECT_EQ(LockMarkSkin(c.data), c.skin) << std::hex << c.data;
}

TEST_F(MainWindowEntries, TheSharedNoticeComesOncePerDeviceAndRun) {
  SharingDevice* first = AddWithPath(u"Camera", u"usb#1");
  SharingDevice* twin = AddWithPath(u"Camera", u"usb#2");
  SharingDevice* verified = AddWithPath(u"Verified", u"usb#3");
  SharingDevice* pathless = AddWithPath(u"No Path", u"");
  SharedHoldNotices notices;
  auto notice = [&](SPDEV* device, std::uint32_t code = DEVICE_STATE_CHANGED) {
    return !TakeHoldNotices(DecideDeviceNotify(list, DeviceNotifyWParam(code), device), notices).empty();
  };
  first->Hold(true);
  twin->Hold(true);
  verified->Hold(false);
  EXPECT_FALSE(notice(first, DEVICE_PLUGGED_IN)) << "only a state change tells";
  EXPECT_FALSE(notice(verified));
  EXPECT_TRUE(notice(first));
  EXPECT_FALSE(notice(first)) << "again at a later refresh: not told twice";
  EXPECT_TRUE(notice(twin)) << "a device of the same name is another device";
  // Unblocked and blocked again in the same run: still told once.
  first->Unblock();
  first->Hold(true);
  EXPECT_FALSE(notice(first));
  // A device without a path is known by its display name.
  pathless->Hold(true);
  EXPECT_TRUE(notice(pathless));
  EXPECT_FALSE(notice(pathless));
}

// Each reason a hold is not silent is told once per device and run, in the
// order heard by others, contested, exclusive; a reason that comes later is
// told when it comes, one told before is not told again.
TEST_F(MainWindowEntries, EachRiskOfAHoldIsToldOncePerDeviceAndRun) {
  SharingDevice* mic = AddWithPath(u"Mic", u"0 Mic");
  SharedHoldNotices notices;
  auto told = [&](std::uint32_t risks) {
    mic->HoldWithRisks(risks);
    const DeviceNotifyEffect effect = DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), mic);
    return TakeHoldNotices(effect, notices);
  };
  const int heard = STR_CAMERA_STILL_SHARED;  // the test device reports as a camera
  struct Step {
    const char* name;
    std::uint32_t risks;
    std::vector<int> notices;
  } steps[] = {
      {"silent", 0, {}},
      {"everything at once, in order",
       kHoldRiskExclusive | kHoldRiskContested | kHoldRiskOpenToOthers,
       {heard, STR_MICROPHONE_UNMUTED_BY_ANOTHER, STR_MICROPHONE_EXCLUSIVE_HEARD}},
      {"the contest ends and comes back", kHoldRiskExclusive, {}},
      {"again", kHoldRiskExclusive | kHoldRiskContested, {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    EXPECT_EQ(told(step.risks), step.notices);
  }
  SharingDevice* other = AddWithPath(u"Other", u"1 Other");
  other->HoldWithRisks(kHoldRiskContested);
  EXPECT_EQ(TakeHoldNotices(DecideDeviceNotify(list, DeviceNotifyWParam(DEVICE_STATE_CHANGED), other), notices),
            std::vector<int>{STR_MICROPHONE_UNMUTED_BY_ANOTHER})
      << "only the risk it has, and a device of its own";
}

TEST(HoldNotices, TheContestedNoticeNamesTheOneKnownProgram) {
  struct Case {
    std::vector<WideString> users;
    int language;
    WideString text;
  } cases[] = {
      {{u"rec.exe"}, LANGUAGE_ENGLISH, u"rec.exe keeps unmuting this microphone."},
      {{u"rec.exe"}, LANGUAGE_ITALIAN, u"rec.exe continua a riattivare l'audio di questo microfono."},
      {{}, LANGUAGE_ENGLISH, u"Another program keeps unmuting this microphone."},
      {{u"a.exe", u"b.exe"}, LANGUAGE_ENGLISH, u"Another program keeps unmuting this microphone."},
      {{WideString(kUnknownProgram)}, LANGUAGE_GERMAN,
       u"Ein anderes Programm hebt die Stummschaltung dieses Mikrofons immer wieder auf."},
  };
  for (const Case& c : cases) EXPECT_EQ(ContestedNoticeText(c.users, c.language), c.text);
}

TEST_F(MainWindowEntries, StaleOrMalformedNotificationsAreIgnored) {
  StubbornDevice* camera = Add(u"Camera");
  TestDevice stranger(poster);  // never linked
  struct Case {
    std::uint32_t wParam;
    SPDEV* device;
  } cases[] = {
      {DeviceNotifyWParam(DEVICE_STATE_CHANGED) | 1, camera},
      {DeviceNotifyWParam(DEVICE_STATE_CHANGED), nullptr},
      {DeviceNotifyWParam(DEVICE_STATE_CHANGED), &stranger},
      {DeviceNotifyWParam(7), camera},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideDeviceNotify(list, c.wParam, c.device).kind, DeviceNotifyKind::Ignore) << c.wParam;
  }
}

TEST(MainWindowArrival, OnlyInterfaceArrivalsAndRemovalsOfTheFourClassesRestartTheTimer) {
  const ClassGuid storage = {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
  ClassGuid nearMiss = kKsCategoryAudio;
  nearMiss.data4[7] ^= 1;
  struct Case {
    std::uint32_t event;
    std::uint32_t type;
    ClassGuid guid;
    bool restarts;
  } cases[] = {
      {kDeviceArrivalEvent, kDeviceInterfaceHeader, kGuidDevclassImage, true},
      {kDeviceRemoveCompleteEvent, kDeviceInterfaceHeader, kGuidDevclassMedia, true},
      {kDeviceArrivalEvent, kDeviceInterfaceHeader, kKsCategoryVideo, true},
      {kDeviceArrivalEvent, kDeviceInterfaceHeader, kKsCategoryAudio, true},
      {kDeviceArrivalEvent, kDeviceInterfaceHeader, storage, false},
      {kDeviceArrivalEvent, kDeviceInterfaceHeader, nearMiss, false},
      {0x8001, kDeviceInterfaceHeader, kKsCategoryVideo, false},  // query remove
      {kDeviceArrivalEvent, 2, kKsCategoryVideo, false},          // a volume
  };
  for (const Case& c : cases) {
    DeviceChangeHeader header{c.type, c.guid};
    EXPECT_EQ(RestartsDeviceRefresh(c.event, &header), c.restarts) << std::hex << c.event << " " << c.guid.data1;
  }
  EXPECT_FALSE(RestartsDeviceRefresh(kDeviceArrivalEvent, nullptr));
}

TEST(MainWindowTimers, TheOneShotAlwaysRefreshesThePollOnlyOnADifferentCount) {
  EXPECT_EQ(DecideTimer(TIMER_DEVICE_REFRESH, 1, 1), TimerAction::StopAndRefresh);
  EXPECT_EQ(DecideTimer(TIMER_AUDIO_POLL, 2, 2), TimerAction::None);
  EXPECT_EQ(DecideTimer(TIMER_AUDIO_POLL, 1, 2), TimerAction::Refresh);
  EXPECT_EQ(DecideTimer(TIMER_AUDIO_POLL, 3, 2), TimerAction::Refresh);
  EXPECT_EQ(DecideTimer(TIMER_TRAY_ADD, 0, 0), TimerAction::AddTray);
  EXPECT_EQ(DecideTimer(100, 0, 5), TimerAction::None);
}

// The main window's refreshes against the fake system: what the poll and
// the panel make of the list each refresh leaves.
class MainWindowRefresh : public ::testing::Test {
 protected:
  void Refresh(int initial = 0) {
    DiscoveryContext context{list, services, poster, lists, {0, blockPluggedIn}};
    RefreshDevices(context, initial);
  }
  TimerAction PollTick() {
    return DecideTimer(TIMER_AUDIO_POLL, list.waveInCountAtRefresh, services.WaveInputCount());
  }
  void Plug(const std::u16string& camera) {
    services.AddDevice(DeviceCategory::VideoInput, FakeDeviceInfo{camera, u"path#" + camera, std::nullopt});
  }
  void UnplugEveryCamera() { services.ClearDevices(DeviceCategory::VideoInput); }
  void Block(const std::u16string& name) { ASSERT_EQ(list.FindByDisplayName(name.c_str())->Block(), 1); }

  FakeCaptureServices services;
  RecordingPoster poster;
  FakeDeviceLists lists;
  DeviceList list;
  int blockPluggedIn = 0;
};

TEST_F(MainWindowRefresh, AnInputOnlyDirectShowListsRefreshesOnceNotEverySecond) {
  // The virtual microphone: listed by DirectShow, not counted by wave input.
  services.AddDevice(DeviceCategory::AudioInput, FakeDeviceInfo{u"Virtual Microphone", std::nullopt, 0});
  services.AddDevice(DeviceCategory::AudioInput, FakeDeviceInfo{u"In: default", std::nullopt, 0});
  services.waveInCount = 1;
  Refresh(1);
  ASSERT_EQ(list.audioCount, 2);
  EXPECT_EQ(PollTick(), TimerAction::None) << "the count is what it was at the refresh";
  services.waveInCount = 2;  // a microphone plugged in
  EXPECT_EQ(PollTick(), TimerAction::Refresh);
  Refresh();
  EXPECT_EQ(PollTick(), TimerAction::None);
  services.waveInCount = 1;  // and pulled out again
  EXPECT_EQ(PollTick(), TimerAction::Refresh);
}

TEST_F(MainWindowRefresh, ThePanelFollowsEveryRefreshBothWays) {
  Plug(u"Blocked Camera");
  Refresh(1);
  Block(u"Blocked Camera");
  EXPECT_EQ(ProtectionState(list), 1);

  Plug(u"Open Camera");
  Refresh();
  EXPECT_EQ(ProtectionState(list), 0) << "an open camera plugged in";
  UnplugEveryCamera();
  Plug(u"Blocked Camera");
  Refresh();
  EXPECT_EQ(ProtectionState(list), 1) << "the only open device pulled out";

  blockPluggedIn = 1;
  services.Fail("builder.RenderStream", testing::kHrCannotConnect);
  Plug(u"Refusing Camera");
  Refresh();
  EXPECT_EQ(ProtectionState(list), 0) << "a block at plug-in that failed";
}

TEST_F(MainWindowRefresh, NoDevicesOrAnUnreadableCategoryIsNeverProtected) {
  Refresh(1);
  EXPECT_EQ(ProtectionState(list), 0) << "nothing listed proves nothing";

  Plug(u"Camera");
  Refresh();
  Block(u"Camera");
  ASSERT_EQ(ProtectionState(list), 1);
  services.Fail("devenum.CreateClassEnumerator", kHrFail, 2);
  Refresh();
  EXPECT_EQ(ProtectionState(list), 0) << "the camera was swept; what else is there cannot be told";
  Refresh();
  Block(u"Camera");
  EXPECT_EQ(ProtectionState(list), 1);
}

// The session end lets every microphone go with all the waits for locks
// another program owns within one limit, however many there are; each
// stays recorded, for the next run to give back.
TEST(MainWindowSessionEnd, LockWaitsOfAllGiveBacksStayWithinTheLimit) {
  FakeCaptureServices services;
  services.realSleepMicros = 100;
  constexpr int kInputs = 6;  // more than the limit's worth of single waits
  for (int i = 0; i < kInputs; ++i) {
    const std::u16string name = u"Mic " + std::u16string(1, static_cast<char16_t>(u'A' + i));
    FakeDeviceInfo info{name, std::nullopt, i};
    info.unit = std::string(1, static_cast<char>('A' + i));
    info.endpointId = u"{0.0.1.00000000}.{" + name + u"}";
    services.Plug(DeviceCategory::AudioInput, info);
  }
  struct : MutedEndpointStore {
    std::u16string Read() override { return text; }
    bool Write(const std::u16string& written) override { return text = written, true; }
    std::u16string text;
  } store;
  MutedEndpoints record(store);
  testing::FakeEndpointHolderSystem machine;
  EndpointHolders holders(machine);
  RecordingPoster poster;
  FakeDeviceLists lists;
  auto list = std::make_unique<DeviceList>();
  DiscoveryContext context{*list, services, poster, lists, {1, 0}, &record, &holders};
  RefreshDevices(context, 1);
  ASSERT_TRUE(testing::WaitUntil([&] { return list->AllBlocked() == 1; }));
  for (const std::u16string& id : record.Entries()) machine.HoldLockElsewhere(id, true);
  ASSERT_EQ(record.Entries().size(), static_cast<std::size_t>(kInputs));
  ReleaseDevices(list, &holders);
  EXPECT_EQ(list, nullptr);
  std::uint32_t waited = 0;
  for (std::uint32_t wait : machine.VainWaits()) waited += wait;
  EXPECT_EQ(waited, kSessionEndLockWaitMs);
  EXPECT_EQ(record.Entries().size(), static_cast<std::size_t>(kInputs));
}

TEST(MainWindowCommands, LanguagePagesCarryTheCodeAndSocialLinksNone) {
  struct Case {
    int id;
    int language;
    const char16_t* tail;
  } cases[] = {
      {IDM_WEBSITE, LANGUAGE_GERMAN, u"/shadowpane/?ref=2001&lang=de"},
      {IDM_CONTACT_US, LANGUAGE_GERMAN, u"/contacts.php?pid=2&ref=2001&lang=de"},
      {IDM_FEEDBACK, LANGUAGE_ITALIAN, u"/shadowpane/feedback.php?ref=2001&lang=it"},
      {IDM_WEBSITE, 9, u"/shadowpane/?ref=2001&lang=en"},
      {IDM_TWITTER, LANGUAGE_SPANISH, u"/?goto=twitter&pid=2&ver=2001"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WebPageAddress(LookUpCommand(c.id), c.language), WideString(kWebSite) + c.tail) << c.id;
  }
  EXPECT_EQ(LookUpCommand(IDM_SETTINGS).kind, CommandKind::Settings);
  EXPECT_EQ(LookUpCommand(IDM_ABOUT).kind, CommandKind::About);
  EXPECT_EQ(LookUpCommand(IDM_SHORTCUTS).kind, CommandKind::Shortcuts);
  EXPECT_EQ(LookUpCommand(1026).kind, CommandKind::None);
  EXPECT_EQ(WebPageAddress(LookUpCommand(IDM_HELP), 0), u"");
}

TEST(MainWindowCommands, HelpFileSitsBesideTheExecutable) {
  EXPECT_EQ(HelpFilePath(u"C:\\Program Files\\Shadowpane\\Shadowpane.exe"),
            u"C:\\Program Files\\Shadowpane\\Shadowpane.chm");
  EXPECT_EQ(HelpFilePath(u"Z:/build/Shadowpane.exe"), u"Z:/build/Shadowpane.chm");
  EXPECT_EQ(HelpFilePath(u""), u"Shadowpane.chm");
}

TEST(MainWindowCommands, HelpOpensAtTheStartPageOfTheCurrentLanguage) {
  const WideString exe = u"C:\\Apps\\Shadowpane.exe";
  EXPECT_EQ(HelpTopicPath(exe, LANGUAGE_GERMAN), u"C:\\Apps\\Shadowpane.chm::/de/index.html");
  EXPECT_EQ(HelpTopicPath(exe, LANGUAGE_ITALIAN), u"C:\\Apps\\Shadowpane.chm::/it/index.html");
  EXPECT_EQ(HelpTopicPath(u"", 7), u"Shadowpane.chm::/en/index.html");
}

}  // namespace
}  // namespace shadowpane
