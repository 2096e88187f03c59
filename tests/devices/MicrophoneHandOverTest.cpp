// A microphone's hold at its edges, through whole refreshes: while inputs
// come, go, swap and renumber, a watcher on each held endpoint sees it
// unmuted not once; what no hold keeps is given back at the next refresh,
// whenever it is seen; two copies of the program sharing an endpoint leave
// it as the first found it; a record that cannot be written still mutes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
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

struct MemoryStore : MutedEndpointStore {
  std::u16string Read() override { return text; }
  bool Write(const std::u16string& written) override {
    if (refuses) return false;
    text = written;
    return true;
  }
  std::u16string text;
  bool refuses = false;
};

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

FakeDeviceInfo Input(const std::string& unit, std::int32_t number = 0) {
  FakeDeviceInfo info;
  info.friendlyName = u"Input " + Wide(unit);
  info.unit = unit;
  info.waveInId = number;
  info.endpointId = u"{0.0.1.00000000}.{" + Wide(unit) + u"}";
  info.deviceInterface = u"\\\\?\\usb#" + Wide(unit);
  return info;
}

std::u16string EndpointOf(const std::string& unit) { return *Input(unit).endpointId; }

// One copy of the program: its list, record and share of the machine's
// holders, over the machine's capture services.
struct Copy {
  Copy(FakeCaptureServices& services, EndpointHolderSystem& system) : services(services), holders(system) {}
  ~Copy() { list.DestroyDeviceList(); }

  void Refresh(int initial, BlockSettings block = {0, 0}) {
    DiscoveryContext context{list, services, poster, lists, block, &record, &holders};
    RefreshDevices(context, initial);
  }
  SPDEVMIC* Named(const std::string& unit) {
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      if (testing::DisplayName(device) == u"Input " + Wide(unit)) return static_cast<SPDEVMIC*>(device);
    }
    return nullptr;
  }
  // Every worker asked for has taken its hold (or given up).
  bool Settled() {
    if (!services.Settle(std::chrono::seconds(10))) return false;
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      auto* microphone = static_cast<SPDEVMIC*>(device);
      if (microphone->HoldRequested() && DeviceList::IsBlocked(device) == 0) return false;
    }
    return true;
  }

  FakeCaptureServices& services;
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  testing::FakeDeviceLists lists;
  DeviceList list{&profile};
  MemoryStore store;
  MutedEndpoints record{store};
  EndpointHolders holders;
};

class MicrophoneHandOverTest : public ::testing::Test {
 protected:
  MicrophoneHandOverTest() { services.realSleepMicros = 100; }
  FakeCaptureServices services;
  testing::FakeEndpointHolderSystem machine;
};

TEST_F(MicrophoneHandOverTest, HeldEndpointsAreNeverUnmutedWhileInputsChange) {
  const struct {
    const char* what;
    std::function<void(FakeCaptureServices&)> change;
  } events[] = {
      {"an input plugged in before both", [](FakeCaptureServices& s) { s.Plug(DeviceCategory::AudioInput, Input("H", 0)); }},
      {"an input between them", [](FakeCaptureServices& s) { s.Plug(DeviceCategory::AudioInput, Input("H", 1)); }},
      {"the input before both unplugged", [](FakeCaptureServices& s) { s.Unplug("Z"); }},
      {"the two held ones swapped", [](FakeCaptureServices& s) { s.SwapWaveIn(1, 2); }},
      {"a held one swapped with another", [](FakeCaptureServices& s) { s.SwapWaveIn(0, 2); }},
  };
  for (const auto& event : events) {
    SCOPED_TRACE(event.what);
    FakeCaptureServices fresh;
    fresh.realSleepMicros = 100;
    for (const char* unit : {"Z", "A", "B"}) fresh.Plug(DeviceCategory::AudioInput, Input(unit, 9));
    Copy copy(fresh, machine);
    copy.Refresh(1, {1, 0});
    ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
    copy.Named("Z")->Unblock();
    event.change(fresh);
    copy.Refresh(0);
    ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
    for (const char* unit : {"A", "B"}) {
      SCOPED_TRACE(unit);
      EXPECT_EQ(fresh.EndpointUnmutedMoments(EndpointOf(unit)), 0);
      EXPECT_TRUE(fresh.EndpointMuted(EndpointOf(unit)));
      EXPECT_EQ(DeviceList::IsBlocked(copy.Named(unit)), 1);
    }
    EXPECT_FALSE(fresh.EndpointMuted(EndpointOf("Z")));
    copy.list.DestroyDeviceList();
    for (const char* unit : {"A", "B"}) EXPECT_FALSE(fresh.EndpointMuted(EndpointOf(unit))) << "given back at the close";
    EXPECT_TRUE(copy.store.text.empty());
  }
}

// The give-back fails while the input is gone (the unblock answers 0 and
// the entry shows open); once it is back and nothing holds it, the next
// refresh gives it back. So does one whose worker could not start.
TEST_F(MicrophoneHandOverTest, WhatNoHoldKeepsIsGivenBackAtTheNextRefresh) {
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  Copy copy(services, machine);
  copy.Refresh(1, {1, 0});
  ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
  services.Unplug("A");
  EXPECT_EQ(copy.Named("A")->Unblock(), 0);
  EXPECT_EQ(copy.Named("A")->TakeGiveBackUnverified(), 1);
  EXPECT_EQ(copy.record.Entries(), std::vector<std::u16string>{EndpointOf("A")});
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  copy.Refresh(0);
  EXPECT_EQ(DeviceList::IsBlocked(copy.Named("A")), 0);
  EXPECT_FALSE(services.EndpointMuted(EndpointOf("A"))) << "shown open, and open for others";
  EXPECT_TRUE(copy.record.Entries().empty());

  // Listed, recorded, but its worker never started.
  services.SetEndpointMuted(EndpointOf("A"), true);
  copy.record.Add(EndpointOf("A"));
  services.Fail("StartThread", 1);
  EXPECT_EQ(copy.Named("A")->Block(), 0);
  copy.Refresh(0);
  EXPECT_FALSE(services.EndpointMuted(EndpointOf("A")));
  EXPECT_TRUE(copy.record.Entries().empty());
}

// Whichever copy lets go first leaves the endpoint to the other (its
// unblock is not done: it stays muted); the last gives back, and a record
// left behind is given back at its copy's next refresh. Also when each
// user's objects refuse the other's opens, as under default security.
TEST_F(MicrophoneHandOverTest, TwoCopiesLeaveTheEndpointAsTheFirstFoundItInEitherOrder) {
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  testing::FakeEndpointHolderSystem otherUser(machine, 1);
  for (bool refused : {false, true}) {
    machine.RefuseOtherUsers(refused);
    for (bool mutedBefore : {false, true}) {
      for (bool firstLetsGoFirst : {true, false}) {
        SCOPED_TRACE(std::string(refused ? "refused, " : "") + (mutedBefore ? "muted" : "unmuted") +
                     (firstLetsGoFirst ? ", first first" : ", second first"));
        services.SetEndpointMuted(EndpointOf("A"), mutedBefore);
        const int unmutedBefore = services.EndpointUnmutedMoments(EndpointOf("A"));
        Copy first(services, machine);
        Copy second(services, otherUser);
        for (Copy* copy : {&first, &second}) {
          copy->Refresh(1, {1, 0});
          ASSERT_TRUE(WaitUntil([&] { return copy->Settled(); }));
        }
        Copy& earlier = firstLetsGoFirst ? first : second;
        Copy& later = firstLetsGoFirst ? second : first;
        EXPECT_EQ(earlier.Named("A")->Unblock(), 0) << "left to the other copy: not done";
        EXPECT_EQ(earlier.Named("A")->TakeLeftToOthers(), 1);
        EXPECT_EQ(earlier.Named("A")->TakeGiveBackUnverified(), 0);
        EXPECT_TRUE(services.EndpointMuted(EndpointOf("A"))) << "the other copy still holds it";
        later.list.DestroyDeviceList();  // closing gives back like an unblock
        for (Copy* copy : {&first, &second}) copy->Refresh(0);
        EXPECT_EQ(services.EndpointMuted(EndpointOf("A")), mutedBefore);
        EXPECT_EQ(services.EndpointUnmutedMoments(EndpointOf("A")) - unmutedBefore, mutedBefore ? 0 : 1);
        EXPECT_TRUE(first.record.Entries().empty());
        EXPECT_TRUE(second.record.Entries().empty());
        EXPECT_EQ(machine.Holders(EndpointOf("A")), 0);
      }
    }
  }
}

// Another program took a name first. The block still mutes; the unblock is
// never done while the name stands (the entry shows open, the record keeps
// the endpoint), and once it is gone the next refresh gives the endpoint
// back. A lock that is not had in time is the same, told as not unmuted.
TEST_F(MicrophoneHandOverTest, ANameTakenFirstKeepsTheMuteRecordedUntilItIsGone) {
  const std::u16string id = EndpointOf("A");
  const struct {
    const char* what;
    std::function<void(testing::FakeEndpointHolderSystem&, bool)> take;
    bool leftToOthers;
  } names[] = {
      {"a claim under a slot's name",
       [&](testing::FakeEndpointHolderSystem& m, bool on) { on ? m.AddForeignClaim(id) : m.RemoveForeignClaims(id); }, true},
      {"something under the lock's name", [&](testing::FakeEndpointHolderSystem& m, bool on) { m.RefuseLock(id, on); }, true},
      {"the lock owned elsewhere", [&](testing::FakeEndpointHolderSystem& m, bool on) { m.HoldLockElsewhere(id, on); }, false},
  };
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  for (const auto& name : names) {
    SCOPED_TRACE(name.what);
    testing::FakeEndpointHolderSystem fresh;
    services.SetEndpointMuted(id, false);
    name.take(fresh, true);
    Copy copy(services, fresh);
    copy.Refresh(1, {1, 0});
    ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
    EXPECT_TRUE(services.EndpointMuted(id));
    EXPECT_EQ(copy.Named("A")->Unblock(), 0);
    EXPECT_EQ(copy.Named("A")->TakeLeftToOthers(), name.leftToOthers ? 1 : 0);
    EXPECT_EQ(copy.Named("A")->TakeGiveBackUnverified(), name.leftToOthers ? 0 : 1);
    EXPECT_EQ(DeviceList::IsBlocked(copy.Named("A")), 0);
    copy.Refresh(0);
    EXPECT_TRUE(services.EndpointMuted(id)) << "never given back under the name";
    EXPECT_EQ(copy.record.Entries(), std::vector<std::u16string>{id});
    name.take(fresh, false);
    EXPECT_EQ(ReleaseStrayEndpointMutes(copy.list, services, copy.record, &copy.holders), 0u);
    EXPECT_FALSE(services.EndpointMuted(id));
    EXPECT_EQ(fresh.Holders(id), 0);
  }
}

// Mutation gaps: a give-back that cannot be read back is no success; a
// hand-over's claim on an endpoint found muted ends at the stray clean-up;
// a mute refused at the start keeps no claim.
TEST_F(MicrophoneHandOverTest, AGiveBackNotReadBackIsNoSuccess) {
  const struct {
    const char* what;
    std::function<void(FakeCaptureServices&)> spoil;
  } reads[] = {
      {"the read fails", [](FakeCaptureServices& s) { s.Fail("endpointVolume.GetMute", -1); }},
      {"the read finds it still muted",
       [](FakeCaptureServices& s) {
         s.endpointMutePerObject = true;
         s.SetEndpointMuted(EndpointOf("A"), true);
       }},
  };
  for (const auto& read : reads) {
    SCOPED_TRACE(read.what);
    FakeCaptureServices fresh;
    fresh.realSleepMicros = 100;
    fresh.Plug(DeviceCategory::AudioInput, Input("A"));
    Copy copy(fresh, machine);
    copy.Refresh(1, {1, 0});
    ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
    read.spoil(fresh);
    EXPECT_EQ(copy.Named("A")->Unblock(), 0);
    EXPECT_EQ(copy.Named("A")->TakeGiveBackUnverified(), 1);
    EXPECT_EQ(copy.record.Entries(), std::vector<std::u16string>{EndpointOf("A")});
    copy.list.DestroyDeviceList();
  }
}

TEST_F(MicrophoneHandOverTest, AHandedOverClaimOnAnEndpointFoundMutedEndsAtTheStrayCleanUp) {
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  services.SetEndpointMuted(EndpointOf("A"), true);
  Copy copy(services, machine);
  copy.Refresh(1, {1, 0});
  ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
  copy.Named("A")->HandOver();
  ASSERT_TRUE(copy.record.Entries().empty()) << "found muted: nothing recorded";
  EXPECT_EQ(ReleaseStrayEndpointMutes(copy.list, services, copy.record, &copy.holders), 0u);
  EXPECT_TRUE(copy.holders.Claimed().empty());
  EXPECT_EQ(machine.Holders(EndpointOf("A")), 0);
  EXPECT_TRUE(services.EndpointMuted(EndpointOf("A")));
}

TEST_F(MicrophoneHandOverTest, AMuteRefusedAtTheStartKeepsNoClaim) {
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  services.Fail("endpointVolume.SetMute(1)", -1, 1);
  Copy copy(services, machine);
  copy.Refresh(1, {1, 0});
  ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));  // held by its input pin alone
  EXPECT_FALSE(services.EndpointMuted(EndpointOf("A")));
  EXPECT_EQ(machine.Holders(EndpointOf("A")), 0);
  EXPECT_TRUE(copy.holders.Claimed().empty());
}

// The user-interface thread's lock waits: a refresh's stray clean-up waits
// at most one lock's time in all, whatever the number of endpoints whose
// locks another program owns.
TEST_F(MicrophoneHandOverTest, AStrayCleanUpWaitsForLocksAtMostOneLocksTimeInAll) {
  for (const char* unit : {"A", "B"}) services.Plug(DeviceCategory::AudioInput, Input(unit, unit[0] - 'A'));
  Copy copy(services, machine);
  copy.Refresh(1, {1, 0});
  ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
  for (const char* unit : {"A", "B"}) {
    machine.HoldLockElsewhere(EndpointOf(unit), true);
    copy.Named(unit)->HandOver();  // a recorded stray now
  }
  EXPECT_EQ(ReleaseStrayEndpointMutes(copy.list, services, copy.record, &copy.holders), 2u);
  std::uint32_t waited = 0;
  for (std::uint32_t wait : machine.VainWaits()) waited += wait;
  EXPECT_EQ(waited, kLockWaitMs);
  for (const char* unit : {"A", "B"}) machine.HoldLockElsewhere(EndpointOf(unit), false);
  EXPECT_EQ(ReleaseStrayEndpointMutes(copy.list, services, copy.record, &copy.holders), 0u) << "tried again";
}

// Privacy first: the microphone is muted even though the record cannot be
// stored; the id is kept in memory, and the next refresh writes it.
TEST_F(MicrophoneHandOverTest, ARecordThatCannotBeWrittenStillMutesAndIsWrittenLater) {
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  Copy copy(services, machine);
  copy.store.refuses = true;
  copy.Refresh(1, {1, 0});
  ASSERT_TRUE(WaitUntil([&] { return copy.Settled(); }));
  EXPECT_TRUE(services.EndpointMuted(EndpointOf("A")));
  EXPECT_EQ(copy.record.Entries(), std::vector<std::u16string>{EndpointOf("A")});
  EXPECT_TRUE(copy.store.text.empty());
  copy.store.refuses = false;
  copy.Refresh(0);
  EXPECT_EQ(copy.store.text, EndpointOf("A"));
  EXPECT_EQ(ReleaseStrayEndpointMutes(copy.list, services, copy.record, &copy.holders), 1u)
      << "held: not a stray";
}

TEST(MutedEndpointsRecordTest, TheLongestIdAddWritesIsReadBack) {
  MemoryStore store;
  MutedEndpoints record(store);
  const std::u16string longest(kMaxEndpointIdChars, u'x');
  record.Add(longest);
  record.Add(longest + u"y");  // could not be read back: not written
  EXPECT_EQ(ParseMutedEndpoints(store.text), std::vector<std::u16string>{longest});
  EXPECT_EQ(MutedEndpoints(store).Entries(), std::vector<std::u16string>{longest});
}

}  // namespace
}  // namespace shadowpane
