// One record of muted endpoints for all copies of one user (one per
// session): each change re-reads the stored record under the user's lock
// and changes only its own entry; an endpoint left to another copy's hold
// stays recorded; and the record lists an endpoint before it is muted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/Discovery.h"
#include "devices/EndpointMute.h"
#include "devices/Microphone.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/FakeEndpointHolderSystem.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;
using testing::WaitUntil;
using Ids = std::vector<std::u16string>;

// The user's lock: refusable, and it tells whether it is held now.
struct FakeRecordLock : MutedEndpointsLock {
  bool Lock() override {
    if (refuses) return false;
    ++taken;
    held = true;
    return true;
  }
  void Unlock() override { held = false; }
  bool refuses = false;
  bool held = false;
  int taken = 0;
};

// The user's one stored record; counts the writes made without the lock.
struct SharedStore : MutedEndpointStore {
  explicit SharedStore(FakeRecordLock& lock) : lock(lock) {}
  std::u16string Read() override { return text; }
  bool Write(const std::u16string& written) override {
    if (!lock.held) ++unlockedWrites;
    ++writes;
    text = written;
    return true;
  }
  FakeRecordLock& lock;
  std::u16string text;
  int writes = 0;
  int unlockedWrites = 0;
};

TEST(SharedRecordTest, TwoCopiesOfOneUserKeepEachOthersEntriesInEitherOrder) {
  for (bool firstAddsFirst : {true, false}) {
    for (bool firstRemovesFirst : {true, false}) {
      SCOPED_TRACE(std::string(firstAddsFirst ? "first adds first" : "second adds first") +
                   (firstRemovesFirst ? ", first removes first" : ", second removes first"));
      FakeRecordLock lock;
      SharedStore store(lock);
      MutedEndpoints first(store, &lock);
      MutedEndpoints second(store, &lock);
      if (firstAddsFirst) {
        first.Add(u"a");
        second.Add(u"b");
      } else {
        second.Add(u"b");
        first.Add(u"a");
      }
      EXPECT_EQ(ParseMutedEndpoints(store.text).size(), 2u) << "both added: both recorded";
      (firstRemovesFirst ? first : second).Remove(firstRemovesFirst ? u"a" : u"b");
      EXPECT_EQ(store.text, firstRemovesFirst ? u"b" : u"a") << "the other's entry stays";
      (firstRemovesFirst ? second : first).Remove(firstRemovesFirst ? u"b" : u"a");
      EXPECT_EQ(store.text, u"");
      EXPECT_EQ(first.Entries(), Ids{});
      EXPECT_EQ(second.Entries(), Ids{});
      EXPECT_EQ(store.unlockedWrites, 0);
      EXPECT_EQ(lock.taken, 4);
    }
  }
}

// A copy's view is its own: what another session added later is not this
// copy's to answer for; an entry stored already is not written again; a
// lock not had in time still stores the change (merged over a fresh read).
TEST(SharedRecordTest, AViewOfItsOwnOverOneStoredRecord) {
  FakeRecordLock lock;
  SharedStore store(lock);
  store.text = u"left";  // a copy that is gone left it: adopted at the start
  MutedEndpoints first(store, &lock);
  MutedEndpoints second(store, &lock);
  second.Add(u"b");
  EXPECT_EQ(first.Entries(), Ids{u"left"});
  EXPECT_FALSE(first.Contains(u"b"));
  const int writes = store.writes;
  first.Add(u"b");
  EXPECT_EQ(store.writes, writes) << "stored already: nothing written";
  EXPECT_EQ(store.text, u"left;b");
  lock.refuses = true;
  second.Add(u"c");
  EXPECT_EQ(store.text, u"left;b;c");
  EXPECT_TRUE(second.RetryWrite());
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

FakeDeviceInfo Input(const std::string& unit, std::int32_t number) {
  FakeDeviceInfo info;
  info.friendlyName = u"Input " + Wide(unit);
  info.unit = unit;
  info.waveInId = number;
  info.endpointId = u"{0.0.1.00000000}.{" + Wide(unit) + u"}";
  info.deviceInterface = u"\\\\?\\usb#" + Wide(unit);
  return info;
}

std::u16string EndpointOf(const std::string& unit) { return *Input(unit, 0).endpointId; }

// One copy of the user's program, in a session of its own, over the user's
// one record and the machine's holders.
struct UserCopy {
  UserCopy(FakeCaptureServices& services, EndpointHolderSystem& machine, SharedStore& store)
      : services(services), record(store, &store.lock), holders(machine) {}
  ~UserCopy() { list.DestroyDeviceList(); }
  void Refresh(int initial) {
    DiscoveryContext context{list, services, poster, lists, {1, 0}, &record, &holders};
    RefreshDevices(context, initial);
  }
  SPDEVMIC* Named(const std::string& unit) {
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      if (testing::DisplayName(device) == u"Input " + Wide(unit)) return static_cast<SPDEVMIC*>(device);
    }
    return nullptr;
  }
  bool Held(const std::string& unit) { return DeviceList::IsBlocked(Named(unit)) == 1; }

  FakeCaptureServices& services;
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  testing::FakeDeviceLists lists;
  DeviceList list{&profile};
  MutedEndpoints record;
  EndpointHolders holders;
};

// Both copies hold "A"; each sees one more input. The one that lets go of
// "A" first leaves it to the other, whose entry it is now: a crash of that
// copy must still find it recorded. Neither copy's clean-up gives back what
// the other holds.
TEST(SharedRecordTest, AnEndpointLeftToAnotherCopyStaysRecorded) {
  for (bool firstLetsGoFirst : {true, false}) {
    SCOPED_TRACE(firstLetsGoFirst ? "first lets go first" : "second lets go first");
    FakeCaptureServices services;
    services.realSleepMicros = 100;
    testing::FakeEndpointHolderSystem machine;
    FakeRecordLock lock;
    SharedStore store(lock);
    services.Plug(DeviceCategory::AudioInput, Input("A", 0));
    UserCopy first(services, machine, store);
    UserCopy second(services, machine, store);
    for (UserCopy* copy : {&first, &second}) {
      copy->Refresh(1);
      ASSERT_TRUE(WaitUntil([&] { return copy->Held("A") && services.Settle(std::chrono::seconds(10)); }));
    }
    UserCopy& earlier = firstLetsGoFirst ? first : second;
    UserCopy& later = firstLetsGoFirst ? second : first;
    EXPECT_EQ(earlier.Named("A")->Unblock(), 0) << "left to the other copy: not given back";
    earlier.Refresh(0);  // its clean-up: "A" is still the other's
    EXPECT_TRUE(services.EndpointMuted(EndpointOf("A")));
    EXPECT_EQ(store.text, EndpointOf("A")) << "still held muted: still recorded";
    EXPECT_EQ(earlier.record.Entries(), Ids{EndpointOf("A")}) << "kept for its own clean-up";
    EXPECT_EQ(later.record.Entries(), Ids{EndpointOf("A")});
    later.list.DestroyDeviceList();
    EXPECT_FALSE(services.EndpointMuted(EndpointOf("A")));
    EXPECT_EQ(store.text, u"") << "the last holder gave it back";
    earlier.Refresh(0);
    EXPECT_EQ(earlier.record.Entries(), Ids{}) << "no claim left: the clean-up lets it go";
    EXPECT_FALSE(services.EndpointMuted(EndpointOf("A")));
  }
}

// A run that ended without giving back (a crash) left its input muted and
// recorded. The next start in that session holds it again for the
// profile's block: the mute it meets is that run's, so it marks the input
// found unmuted for a copy of another session (started before the crash,
// so its own view never listed it) that joins later and lets go last.
TEST(SharedRecordTest, AMuteALostRunLeftIsGivenBackByWhicheverCopyLetsGoLast) {
  FakeCaptureServices services;
  services.realSleepMicros = 100;
  testing::FakeEndpointHolderSystem machine;
  FakeRecordLock lock;
  SharedStore store(lock);
  services.Plug(DeviceCategory::AudioInput, Input("A", 0));
  UserCopy other(services, machine, store);
  services.SetEndpointMuted(EndpointOf("A"), true);
  store.text = EndpointOf("A");
  UserCopy restarted(services, machine, store);
  for (UserCopy* copy : {&restarted, &other}) {
    copy->Refresh(1);
    ASSERT_TRUE(WaitUntil([&] { return copy->Held("A") && services.Settle(std::chrono::seconds(10)); }));
  }
  EXPECT_EQ(restarted.Named("A")->Unblock(), 0) << "left to the other copy";
  EXPECT_EQ(other.Named("A")->Unblock(), 1);
  EXPECT_FALSE(services.EndpointMuted(EndpointOf("A"))) << "the lost run's mute stayed";
  EXPECT_EQ(store.text, u"");
}

// The record lists an endpoint before it is muted: a store that notes, at
// each write, whether the endpoint is muted already.
TEST(SharedRecordTest, AnEndpointIsRecordedBeforeItIsMuted) {
  FakeCaptureServices services;
  services.realSleepMicros = 100;
  services.Plug(DeviceCategory::AudioInput, Input("A", 0));
  services.SetEndpointMuted(EndpointOf("A"), false);
  struct WatchingStore : MutedEndpointStore {
    std::u16string Read() override { return text; }
    bool Write(const std::u16string& written) override {
      if (written.find(endpoint) != std::u16string::npos && text.find(endpoint) == std::u16string::npos) {
        mutedWhenRecorded = services->EndpointMuted(endpoint);
        recorded = true;
      }
      text = written;
      return true;
    }
    FakeCaptureServices* services = nullptr;
    std::u16string endpoint, text;
    bool recorded = false, mutedWhenRecorded = true;
  } store;
  store.services = &services;
  store.endpoint = EndpointOf("A");
  MutedEndpoints record(store);
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  testing::FakeDeviceLists lists;
  DeviceList list{&profile};
  DiscoveryContext context{list, services, poster, lists, {1, 0}, &record};
  RefreshDevices(context, 1);
  ASSERT_TRUE(WaitUntil([&] { return DeviceList::IsBlocked(list.head()) == 1; }));
  EXPECT_TRUE(services.EndpointMuted(EndpointOf("A")));
  EXPECT_TRUE(store.recorded);
  EXPECT_FALSE(store.mutedWhenRecorded) << "recorded only after it was muted";
  list.DestroyDeviceList();
}

}  // namespace
}  // namespace shadowpane
