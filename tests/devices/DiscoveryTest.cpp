// RefreshDevices against the recording fake of the capture services and a
// fake of the main window's lists and timer.
#include "devices/Discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "devices/Camera.h"
#include "devices/DeviceText.h"
#include "devices/Microphone.h"
#include "devices/ProfileCodec.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;
using testing::FakeDeviceLists;
using testing::MemoryProfileFile;
using testing::RecordingPoster;

constexpr DeviceCategory kVideo = DeviceCategory::VideoInput;
constexpr DeviceCategory kAudio = DeviceCategory::AudioInput;
constexpr DeviceListBox kVideoList = DeviceListBox::Video;
constexpr DeviceListBox kAudioList = DeviceListBox::Audio;

FakeDeviceInfo Camera(const std::u16string& name, const std::u16string& path) {
  return FakeDeviceInfo{name, path, std::nullopt};
}
FakeDeviceInfo Mic(const std::u16string& name, std::int32_t waveInId) {
  return FakeDeviceInfo{name, std::nullopt, waveInId};
}

using testing::DisplayName;
using testing::WaitUntil;
std::u16string Path(SPDEV* device) {
  WideChar path[kNameUnits] = {};
  device->GetPath(path, kMaxNameChars);
  return FieldToString(path);
}

std::vector<std::uint8_t> ProfileImage(
    std::initializer_list<std::pair<std::u16string, bool>> records) {
  std::vector<std::uint8_t> image(ProfileImageSize(records.size()));
  EncodeProfileHeader(image.data());
  std::uint8_t* at = image.data() + kProfileHeaderSize;
  for (const auto& record : records) {
    EncodeProfileRecord(at, record.first, record.second);
    at += kProfileRecordSize;
  }
  return image;
}

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override { services.realSleepMicros = 100; }

  // The settings are read at the moment of each refresh, as the main
  // window does.
  void Refresh(int initial) {
    DiscoveryContext context{list, services, poster, lists, {blockStart, blockPluggedIn}};
    RefreshDevices(context, initial);
  }

  SPDEV* Find(const std::u16string& displayName) {
    return list.FindByDisplayName(displayName.c_str());
  }
  int Blocked(const std::u16string& displayName) {
    SPDEV* device = Find(displayName);
    return device == nullptr ? -1 : DeviceList::IsBlocked(device);
  }
  // Posts of one code, by display name of the device at the time of posting.
  std::vector<SPDEV*> Posted(std::uint32_t code) {
    std::vector<SPDEV*> devices;
    for (const auto& post : poster.Posts()) {
      if (post.code == code) devices.push_back(post.device);
    }
    return devices;
  }
  size_t ProfileRecords() const {
    return (profile.contents.size() - kProfileHeaderSize) / kProfileRecordSize;
  }
  std::vector<ProfileRecord> SavedProfile() const {
    std::vector<ProfileRecord> records;
    DecodeProfile(profile.contents.data(), profile.contents.size(), records);
    return records;
  }

  FakeCaptureServices services;
  RecordingPoster poster;
  MemoryProfileFile profile;
  FakeDeviceLists lists;
  DeviceList list{&profile};
  int blockStart = 0;
  int blockPluggedIn = 0;
};

// ---- The whole refresh -----------------------------------------------------

TEST_F(DiscoveryTest, InitialRefreshListsEveryDeviceOldestFirstAndSavesTheProfile) {
  services.AddDevice(kVideo, Camera(u"Cam A", u"\\\\?\\usb#a"));
  services.AddDevice(kVideo, Camera(u"Cam B", u"\\\\?\\usb#b"));
  services.AddDevice(kAudio, Mic(u"Mic A", 0));
  services.AddDevice(kAudio, Mic(u"Mic B", 1));
  lists.onSetTimer = [&] { EXPECT_EQ(ProfileRecords(), 4u) << "saved before the timer starts"; };

  Refresh(1);

  EXPECT_EQ(lists.Texts(kVideoList), (std::vector<std::u16string>{u"Cam A", u"Cam B"}));
  EXPECT_EQ(lists.Texts(kAudioList), (std::vector<std::u16string>{u"Mic A", u"Mic B"}));
  for (const auto& entry : lists.Entries(kVideoList)) EXPECT_EQ(entry.data, 0x0u);
  for (const auto& entry : lists.Entries(kAudioList)) EXPECT_EQ(entry.data, 0x1u);
  EXPECT_EQ(list.audioCount, 2);
  EXPECT_TRUE(poster.Posts().empty()) << "no notices at start-up";
  EXPECT_TRUE(lists.timerRunning);

  // The timer is off for the whole refresh; the lists are emptied, filled,
  // then left without a selection.
  const std::vector<std::string> expected = {
      "kill",         "reset video",  "reset audio",    "insert video",   "insert video",
      "insert audio", "insert audio", "unselect video", "unselect audio", "set"};
  EXPECT_EQ(lists.log, expected);

  // Newest first in the list, and so in the profile.
  const auto saved = SavedProfile();
  ASSERT_EQ(saved.size(), 4u);
  EXPECT_EQ(saved[0].path, u"1 Mic B");
  EXPECT_EQ(saved[1].path, u"0 Mic A");
  EXPECT_EQ(saved[2].path, u"\\\\?\\usb#b");
  EXPECT_EQ(saved[3].path, u"\\\\?\\usb#a");
}

TEST_F(DiscoveryTest, KnownDevicesKeepTheirObjectsAndAreNotAnnouncedAgain) {
  services.AddDevice(kVideo, Camera(u"Cam", u"p1"));
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  Refresh(1);
  SPDEV* camera = Find(u"Cam");
  SPDEV* microphone = Find(u"Mic");
  const int restores = services.Count("inputMixer.PutEnable(0)");

  Refresh(0);
  Refresh(0);
  EXPECT_EQ(Find(u"Cam"), camera);
  EXPECT_EQ(Find(u"Mic"), microphone);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(poster.Posts().empty());
  EXPECT_EQ(services.Count("inputMixer.PutEnable(0)"), restores) << "restored only when new";
  EXPECT_EQ(camera->newFlag, 0);
  EXPECT_EQ(microphone->newFlag, 0);
}

TEST_F(DiscoveryTest, PluggedInDevicesAreAnnouncedAndAppendedAtTheBottom) {
  services.AddDevice(kVideo, Camera(u"Cam", u"p1"));
  Refresh(1);
  services.AddDevice(kVideo, Camera(u"New Cam", u"p2"));
  services.AddDevice(kAudio, Mic(u"New Mic", 0));
  Refresh(0);

  EXPECT_EQ(lists.Texts(kVideoList), (std::vector<std::u16string>{u"Cam", u"New Cam"}));
  const auto plugged = Posted(DEVICE_PLUGGED_IN);
  ASSERT_EQ(plugged.size(), 2u);
  EXPECT_EQ(plugged[0], Find(u"New Cam"));
  EXPECT_EQ(plugged[1], Find(u"New Mic"));
  for (const auto& post : poster.Posts()) EXPECT_EQ(post.window, lists.Window());
  EXPECT_EQ(list.audioCount, 1);
}

// A vanished device is swept; the profile keeps a blocked one's record, so
// when it comes back (a microphone at another wave-in number) it is held
// again and its notice says so. An unblocked one's record goes.
TEST_F(DiscoveryTest, VanishedDevicesAreSweptAndBlockedOnesAreHeldAgainWhenBack) {
  services.AddDevice(kVideo, Camera(u"Cam A", u"pa"));
  services.AddDevice(kVideo, Camera(u"Cam B", u"pb"));
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  blockStart = 1;
  Refresh(1);
  ASSERT_EQ(Blocked(u"Cam A"), 1);
  ASSERT_TRUE(WaitUntil([&] { return Blocked(u"Mic") == 1; }));
  EXPECT_EQ(profile.contents.size(), 8u + 3 * 520u);
  const int stops = services.Count("control.Stop");

  services.ClearDevices(kVideo);
  services.AddDevice(kVideo, Camera(u"Cam B", u"pb"));
  services.ClearDevices(kAudio);
  Refresh(0);

  EXPECT_EQ(Find(u"Cam A"), nullptr);
  EXPECT_EQ(Find(u"Mic"), nullptr);
  EXPECT_EQ(services.Count("control.Stop"), stops + 1) << "the held camera was released";
  EXPECT_EQ(lists.Texts(kVideoList), (std::vector<std::u16string>{u"Cam B"}));
  EXPECT_TRUE(lists.Entries(kAudioList).empty());
  EXPECT_EQ(list.audioCount, 0);
  ASSERT_EQ(SavedProfile().size(), 3u);
  EXPECT_EQ(SavedProfile()[0].path, u"pb");
  for (const ProfileRecord& record : SavedProfile()) EXPECT_EQ(record.blocked, 1u) << "kept";

  poster.Clear();
  services.AddDevice(kVideo, Camera(u"Cam A", u"pa"));
  services.AddDevice(kAudio, Mic(u"Mic", 3));
  Refresh(0);
  EXPECT_EQ(Blocked(u"Cam A"), 1);
  EXPECT_TRUE(WaitUntil([&] { return Blocked(u"Mic") == 1; }));
  EXPECT_TRUE(Find(u"Cam A")->heldAgainOnReturn);
  EXPECT_TRUE(Find(u"Mic")->heldAgainOnReturn);
  EXPECT_TRUE(list.keptBlocked().empty());

  Find(u"Cam B")->Unblock();
  services.ClearDevices(kVideo);
  Refresh(0);
  // The listed microphone and the kept Cam A; the unblocked Cam B's record went.
  ASSERT_EQ(SavedProfile().size(), 2u);
  EXPECT_EQ(SavedProfile()[1].path, u"pa");
}

TEST_F(DiscoveryTest, AtMostTheMostRecentKeptBlocksStay) {
  DeviceList kept;
  for (std::size_t i = 0; i < kMaxKeptBlockedRecords + 3; ++i) kept.KeepBlocked(u"path" + std::u16string(1, static_cast<char16_t>(u'A' + i)));
  kept.DropOldestKeptBlocks();
  ASSERT_EQ(kept.keptBlocked().size(), kMaxKeptBlockedRecords);
  EXPECT_EQ(kept.keptBlocked().front(), u"path" + std::u16string(1, static_cast<char16_t>(u'A' + kMaxKeptBlockedRecords + 2)));
  EXPECT_FALSE(kept.TakeKeptBlock(u"pathA", false)) << "the oldest went";
  kept.KeepBlocked(u"2 USB Mic");
  EXPECT_FALSE(kept.TakeKeptBlock(u"0 USB Mic", false)) << "a camera's path matches exactly";
  EXPECT_TRUE(kept.TakeKeptBlock(u"0 USB Mic", true)) << "a microphone by its name";
  EXPECT_FALSE(kept.TakeKeptBlock(u"0 USB Mic", true));
}

// ---- Identity --------------------------------------------------------------

TEST_F(DiscoveryTest, ACameraIsRecognisedByItsPath) {
  services.AddDevice(kVideo, Camera(u"USB Camera", u"p1"));
  Refresh(1);
  SPDEV* first = Find(u"USB Camera");

  // Renamed by the system, same path: the same object, the same name.
  services.ClearDevices(kVideo);
  services.AddDevice(kVideo, Camera(u"Renamed", u"p1"));
  Refresh(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(Find(u"USB Camera"), first);

  // Same name, another path: another camera; the first is swept.
  services.ClearDevices(kVideo);
  services.AddDevice(kVideo, Camera(u"USB Camera", u"p2"));
  services.AddDevice(kVideo, Camera(u"USB Camera", u"p3"));
  Refresh(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(lists.Texts(kVideoList), (std::vector<std::u16string>{u"USB Camera-1", u"USB Camera-2"}));
}

TEST_F(DiscoveryTest, AMicrophoneIsRecognisedByItsNameAndFollowsItsWaveInNumber) {
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  Refresh(1);
  SPDEV* microphone = Find(u"Mic");
  ASSERT_EQ(microphone->GetWaveInId(), 0);

  services.ClearDevices(kAudio);
  services.AddDevice(kAudio, Mic(u"Other", 0));
  services.AddDevice(kAudio, Mic(u"Mic", 1));
  Refresh(0);
  EXPECT_EQ(Find(u"Mic"), microphone);
  EXPECT_EQ(microphone->GetWaveInId(), 1);
  EXPECT_EQ(Path(microphone), u"0 Mic") << "the profile key stays as first built";
  EXPECT_EQ(Posted(DEVICE_PLUGGED_IN), std::vector<SPDEV*>{Find(u"Other")});
}

TEST_F(DiscoveryTest, ABlockedMicrophoneWhoseNumberChangedGetsANewWorker) {
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  blockStart = 1;
  Refresh(1);
  SPDEV* microphone = Find(u"Mic");
  ASSERT_TRUE(WaitUntil([&] { return DeviceList::IsBlocked(microphone) == 1; }));
  ASSERT_EQ(services.Count("StartThread"), 1);

  // Same number: the worker is left alone.
  Refresh(0);
  EXPECT_EQ(services.Count("StartThread"), 1);
  EXPECT_EQ(services.Count("thread.Join"), 0);

  services.ClearDevices(kAudio);
  services.AddDevice(kAudio, Mic(u"Mic", 2));
  Refresh(0);
  EXPECT_EQ(services.Count("thread.Join"), 1);
  EXPECT_EQ(services.Count("StartThread"), 2);
  EXPECT_TRUE(WaitUntil([&] { return DeviceList::IsBlocked(microphone) == 1; }));
  EXPECT_EQ(microphone->GetWaveInId(), 2);
}

TEST_F(DiscoveryTest, AnUnblockedMicrophoneWhoseNumberChangedIsNotStarted) {
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  Refresh(1);
  services.ClearDevices(kAudio);
  services.AddDevice(kAudio, Mic(u"Mic", 5));
  Refresh(0);
  EXPECT_EQ(Find(u"Mic")->GetWaveInId(), 5);
  EXPECT_EQ(services.Count("StartThread"), 0);
}

TEST_F(DiscoveryTest, NewMicrophonesHaveTheirInputRestored) {
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  services.recordOrder = true;
  Refresh(1);
  // On, off, on through the restore filter.
  EXPECT_EQ(services.LogMatching("inputMixer.PutEnable"),
            (std::vector<std::string>{"inputMixer.PutEnable(1)", "inputMixer.PutEnable(0)",
                                      "inputMixer.PutEnable(1)"}));
}

// ---- What is blocked -------------------------------------------------------

TEST_F(DiscoveryTest, BlockStartBlocksEverythingAtStartAndIgnoresTheProfile) {
  profile.exists = true;
  profile.contents = ProfileImage({{u"p1", false}, {u"0 Mic", false}});
  services.AddDevice(kVideo, Camera(u"Cam", u"p1"));
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  blockStart = 1;
  blockPluggedIn = 0;
  Refresh(1);
  EXPECT_EQ(Blocked(u"Cam"), 1);
  EXPECT_TRUE(WaitUntil([&] { return Blocked(u"Mic") == 1; }));
}

TEST_F(DiscoveryTest, WithoutBlockStartTheProfileDecidesInFileOrder) {
  profile.exists = true;
  profile.contents = ProfileImage({{u"pa", true},
                                   {u"pb", false},
                                   {u"pd", true},
                                   {u"pd", false},  // the later record decides
                                   {u"pe", false},
                                   {u"pe", true},
                                   {u"3 Mic", true}});
  services.AddDevice(kVideo, Camera(u"A", u"pa"));
  services.AddDevice(kVideo, Camera(u"B", u"pb"));
  services.AddDevice(kVideo, Camera(u"C", u"pc"));
  services.AddDevice(kVideo, Camera(u"D", u"pd"));
  services.AddDevice(kVideo, Camera(u"E", u"pe"));
  services.AddDevice(kAudio, Mic(u"Mic", 3));
  blockPluggedIn = 1;  // has no say at start-up
  Refresh(1);
  EXPECT_EQ(Blocked(u"A"), 1);
  EXPECT_EQ(Blocked(u"B"), 0);
  EXPECT_EQ(Blocked(u"C"), 0) << "no record, no change";
  EXPECT_EQ(Blocked(u"D"), 0);
  EXPECT_EQ(Blocked(u"E"), 1);
  EXPECT_TRUE(WaitUntil([&] { return Blocked(u"Mic") == 1; }));
  EXPECT_TRUE(Posted(DEVICE_PLUGGED_IN).empty());
}

TEST_F(DiscoveryTest, AnUnreadableProfileChangesNothing) {
  profile.exists = true;
  profile.contents = ProfileImage({{u"pa", true}});
  profile.contents.push_back(0);  // wrong length: the whole file is ignored
  services.AddDevice(kVideo, Camera(u"A", u"pa"));
  Refresh(1);
  EXPECT_EQ(Blocked(u"A"), 0);
  EXPECT_EQ(ProfileRecords(), 1u) << "and overwritten by the save";
}

TEST_F(DiscoveryTest, BlockPluggedInBlocksOnlyDevicesNewToALaterRefresh) {
  services.AddDevice(kVideo, Camera(u"Known", u"p1"));
  Refresh(1);
  profile.contents = ProfileImage({{u"p2", false}});  // read at start-up only
  blockPluggedIn = 1;
  blockStart = 1;  // has no say after start-up
  services.AddDevice(kVideo, Camera(u"New", u"p2"));
  services.AddDevice(kAudio, Mic(u"New Mic", 0));
  Refresh(0);
  EXPECT_EQ(Blocked(u"Known"), 0);
  EXPECT_EQ(Blocked(u"New"), 1);
  EXPECT_TRUE(WaitUntil([&] { return Blocked(u"New Mic") == 1; }));
  // The entry was written before the block; the state change follows.
  EXPECT_EQ(Posted(DEVICE_PLUGGED_IN).size(), 2u);
  EXPECT_GE(Posted(DEVICE_STATE_CHANGED).size(), 2u);
}

TEST_F(DiscoveryTest, WithoutBlockPluggedInNewDevicesStayUnblocked) {
  Refresh(1);
  services.AddDevice(kVideo, Camera(u"New", u"p2"));
  Refresh(0);
  EXPECT_EQ(Blocked(u"New"), 0);
  EXPECT_EQ(Posted(DEVICE_PLUGGED_IN).size(), 1u);
  EXPECT_TRUE(Posted(DEVICE_STATE_CHANGED).empty());
}

TEST_F(DiscoveryTest, ListEntriesCarryTheBlockedStateOfTheirMoment) {
  services.AddDevice(kVideo, Camera(u"Cam", u"p1"));
  blockStart = 1;
  Refresh(1);
  // Filled before blocking at start-up; the state change message updates it.
  EXPECT_EQ(lists.Entries(kVideoList)[0].data, 0x0u);
  Refresh(0);
  EXPECT_EQ(lists.Entries(kVideoList)[0].data, 0x10000u);
}

// ---- Failures --------------------------------------------------------------

TEST_F(DiscoveryTest, AFailingEnumeratorSweepsItsCategory) {
  services.AddDevice(kVideo, Camera(u"Cam", u"p1"));
  services.AddDevice(kAudio, Mic(u"Mic", 0));
  Refresh(1);

  services.Fail("devenum.CreateClassEnumerator", kHrFail, 1);  // video only
  Refresh(0);
  EXPECT_EQ(Find(u"Cam"), nullptr);
  EXPECT_NE(Find(u"Mic"), nullptr);

  services.Fail("CreateDeviceEnumerator", kHrFail, 2);
  Refresh(0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(lists.timerRunning);
  EXPECT_EQ(profile.contents.size(), 8u);
  EXPECT_EQ(services.LiveObjects(), 0);
}

TEST_F(DiscoveryTest, AnEmptyCategoryIsNoFailure) {
  Refresh(1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(profile.contents.size(), 8u);
  EXPECT_TRUE(lists.timerRunning);
}

// Software cameras often have no path: each is known by its name and the
// class that makes its filter, and keeps its object and hold.
TEST_F(DiscoveryTest, CamerasWithoutPathAreKnownByNameAndFilterClassAcrossRefreshes) {
  auto pathless = [](const std::u16string& name, const std::u16string& filterClass) {
    FakeDeviceInfo info{name, std::nullopt, std::nullopt};
    info.filterClass = filterClass;
    return info;
  };
  services.AddDevice(kVideo, pathless(u"Virtual Cam", u"{A}"));
  services.AddDevice(kVideo, pathless(u"Virtual Cam", u"{B}"));
  services.AddDevice(kVideo, pathless(u"Virtual Cam", u"{B}"));
  Refresh(1);
  const std::vector<SPDEV*> before = {Find(u"Virtual Cam"), Find(u"Virtual Cam-1"), Find(u"Virtual Cam-2")};
  ASSERT_EQ(before[2]->Block(), 1);
  for (int i = 0; i < 2; ++i) Refresh(0);
  EXPECT_EQ(lists.Texts(kVideoList),
            (std::vector<std::u16string>{u"Virtual Cam", u"Virtual Cam-1", u"Virtual Cam-2"}));
  EXPECT_EQ((std::vector<SPDEV*>{Find(u"Virtual Cam"), Find(u"Virtual Cam-1"), Find(u"Virtual Cam-2")}), before);
  EXPECT_EQ(Blocked(u"Virtual Cam-2"), 1) << "its hold kept";
  EXPECT_TRUE(Posted(DEVICE_PLUGGED_IN).empty()) << "nothing announced";

  // One of the twins goes: the held one is kept, the hold with it.
  auto unplugOneTwin = [&] {
    services.ClearDevices(kVideo);
    services.AddDevice(kVideo, pathless(u"Virtual Cam", u"{A}"));
    services.AddDevice(kVideo, pathless(u"Virtual Cam", u"{B}"));
    Refresh(0);
  };
  unplugOneTwin();
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(Find(u"Virtual Cam"), before[0]);
  EXPECT_EQ(Blocked(u"Virtual Cam-2"), 1);
  EXPECT_TRUE(Posted(DEVICE_PLUGGED_IN).empty());
}

TEST_F(DiscoveryTest, OfCamerasWithoutPathTheHoldThatLostItsDeviceGoesFirst) {
  FakeDeviceInfo twin{u"Soft Cam", std::nullopt, std::nullopt};
  twin.filterClass = u"{C}";
  services.AddDevice(kVideo, twin);
  services.AddDevice(kVideo, twin);
  Refresh(1);
  ASSERT_EQ(Find(u"Soft Cam-1")->Block(), 1);
  services.QueueGraphEvent(kEventDeviceLost);  // the held one was pulled out
  services.ClearDevices(kVideo);
  services.AddDevice(kVideo, twin);
  Refresh(0);
  EXPECT_EQ(lists.Texts(kVideoList), std::vector<std::u16string>{u"Soft Cam"});
  EXPECT_EQ(Blocked(u"Soft Cam"), 0) << "the twin still there was never held";
}

TEST_F(DiscoveryTest, AMicrophoneWithoutNameIsListedEmptyAndReplacedAtEveryRefresh) {
  services.AddDevice(kAudio, FakeDeviceInfo{std::nullopt, std::nullopt, 4});
  Refresh(1);
  EXPECT_EQ(lists.Texts(kAudioList), std::vector<std::u16string>{u""});
  EXPECT_EQ(Path(list.head()), u"4 ");
  Refresh(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(Posted(DEVICE_PLUGGED_IN).size(), 1u);
}

TEST_F(DiscoveryTest, AMonikerWithoutPropertyStorageIsLeftOut) {
  services.AddDevice(kVideo, Camera(u"Cam", u"p1"));
  services.AddDevice(kVideo, Camera(u"Other", u"p2"));
  services.Fail("moniker.BindToStorage", kHrFail, 1);
  Refresh(1);
  EXPECT_EQ(lists.Texts(kVideoList), std::vector<std::u16string>{u"Other"});
  EXPECT_EQ(services.LogMatching("release moniker").size(), 2u)
      << "the moniker was released all the same";
}

TEST_F(DiscoveryTest, ACameraWhoseFilterCannotBeBoundIsListedButCannotBeBlocked) {
  services.AddDevice(kVideo, Camera(u"Cam", u"p1"));
  services.Fail("moniker.BindToObject", kHrFail, 1);
  blockStart = 1;
  Refresh(1);
  ASSERT_NE(Find(u"Cam"), nullptr);
  EXPECT_EQ(Blocked(u"Cam"), 0);
  EXPECT_EQ(Find(u"Cam")->Block(), 0);
}

TEST_F(DiscoveryTest, EachCameraIsBoundTwiceSoThatItsHoldIsChecked) {
  services.AddDevice(kVideo, Camera(u"Held", u"p1"));
  FakeDeviceInfo shared = Camera(u"Shared", u"p2");
  shared.shared = true;
  services.AddDevice(kVideo, shared);
  blockStart = 1;
  Refresh(1);
  ASSERT_EQ(Blocked(u"Held"), 1);
  ASSERT_EQ(Blocked(u"Shared"), 1);
  EXPECT_EQ(Find(u"Held")->IsSharedBitSet(), 0);
  EXPECT_EQ(Find(u"Shared")->IsSharedBitSet(), 1);
  list.DestroyDeviceList();
  EXPECT_EQ(services.LiveObjects(), 0) << "both bindings go with their camera";
}

TEST_F(DiscoveryTest, AMicrophoneWithoutWaveInNumberHasNoPathAndTakesThePathlessRecord) {
  // A single device without a path keeps its saved state: the record saved
  // for it has the same, empty, path.
  profile.exists = true;
  profile.contents = ProfileImage({{u"", true}});
  services.AddDevice(kAudio, FakeDeviceInfo{u"Mic", std::nullopt, std::nullopt});
  services.AddDevice(kVideo, Camera(u"Cam", u""));
  Refresh(1);
  SPDEV* microphone = Find(u"Mic");
  ASSERT_NE(microphone, nullptr);
  EXPECT_EQ(Path(microphone), u"");
  EXPECT_EQ(microphone->GetWaveInId(), 0);
  EXPECT_EQ(services.Count("StartThread"), 1);
  EXPECT_EQ(Blocked(u"Cam"), 1);

  // It is still recognised by its name, and keeps its number.
  microphone->SetWaveInId(9);
  Refresh(0);
  EXPECT_EQ(Find(u"Mic"), microphone);
  EXPECT_EQ(microphone->GetWaveInId(), 9);
}

TEST_F(DiscoveryTest, ADeviceWithoutAFreeNameIsLeftOut) {
  services.recordOrder = false;
  for (int i = 0; i <= kMaxDisplayNameSuffix + 1; ++i) {
    const std::string number = std::to_string(i);
    services.AddDevice(kVideo,
                       Camera(u"Cam", u"pa" + std::u16string(number.begin(), number.end())));
  }
  Refresh(1);
  EXPECT_EQ(list.Count(), kMaxDisplayNameSuffix + 1);
  EXPECT_EQ(lists.Entries(kVideoList).size(), static_cast<size_t>(kMaxDisplayNameSuffix) + 1);
  EXPECT_EQ(lists.Entries(kVideoList).back().text, u"Cam-9998");
  // On a later refresh the refused one is neither listed nor announced.
  Refresh(0);
  EXPECT_EQ(list.Count(), kMaxDisplayNameSuffix + 1);
  EXPECT_TRUE(Posted(DEVICE_PLUGGED_IN).empty());
}

// ---- Duplicate names -------------------------------------------------------

TEST_F(DiscoveryTest, TwoMicrophonesWithOneNameKeepTwoObjects) {
  services.AddDevice(kAudio, Mic(u"USB Mic", 0));
  services.AddDevice(kAudio, Mic(u"USB Mic", 1));
  Refresh(1);
  EXPECT_EQ(lists.Texts(kAudioList), (std::vector<std::u16string>{u"USB Mic", u"USB Mic-1"}));
  SPDEV* first = Find(u"USB Mic");
  SPDEV* second = Find(u"USB Mic-1");

  // Each keeps its own number across refreshes, whatever the order.
  services.ClearDevices(kAudio);
  services.AddDevice(kAudio, Mic(u"USB Mic", 1));
  services.AddDevice(kAudio, Mic(u"USB Mic", 0));
  Refresh(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(Find(u"USB Mic"), first);
  EXPECT_EQ(Find(u"USB Mic-1"), second);
  EXPECT_EQ(first->GetWaveInId(), 0);
  EXPECT_EQ(second->GetWaveInId(), 1);
  EXPECT_TRUE(poster.Posts().empty());

  // One goes away: the other stays.
  services.ClearDevices(kAudio);
  services.AddDevice(kAudio, Mic(u"USB Mic", 1));
  Refresh(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.head(), second);
}

TEST_F(DiscoveryTest, AMicrophoneNamedLikeACameraIsNotTakenForIt) {
  services.AddDevice(kVideo, Camera(u"Webcam", u"p1"));
  services.AddDevice(kAudio, Mic(u"Webcam", 0));
  Refresh(1);
  EXPECT_EQ(lists.Texts(kVideoList), std::vector<std::u16string>{u"Webcam"});
  EXPECT_EQ(lists.Texts(kAudioList), std::vector<std::u16string>{u"Webcam-1"});
  Refresh(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(poster.Posts().empty());
}

TEST_F(DiscoveryTest, AMicrophoneWithAVeryLongNameIsRecognised) {
  const std::u16string name(300, u'm');
  services.AddDevice(kAudio, Mic(name, 0));
  Refresh(1);
  SPDEV* microphone = list.head();
  EXPECT_EQ(DisplayName(microphone).size(), 250u);
  EXPECT_EQ(Path(microphone), u"0 " + std::u16string(200, u'm'));
  Refresh(0);
  EXPECT_EQ(list.head(), microphone);
  EXPECT_TRUE(poster.Posts().empty());
}

}  // namespace
}  // namespace shadowpane
