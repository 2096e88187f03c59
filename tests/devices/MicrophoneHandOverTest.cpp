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

TEST_F(MicrophoneHandOverTest, TwoCopiesLeaveTheEndpointAsTheFirstFoundItInEitherOrder) {
  services.Plug(DeviceCategory::AudioInput, Input("A"));
  for (bool mutedBefore : {false, true}) {
    for (bool firstLetsGoFirst : {true, false}) {
      SCOPED_TRACE(std::string(mutedBefore ? "muted" : "unmuted") + (firstLetsGoFirst ? ", first first" : ", second first"));
      services.SetEndpointMuted(EndpointOf("A"), mutedBefore);
      const int unmutedBefore = services.EndpointUnmutedMoments(EndpointOf("A"));
      Copy first(services, machine);
      Copy second(services, machine);
      for (Copy* copy : {&first, &second}) {
        copy->Refresh(1, {1, 0});
        ASSERT_TRUE(WaitUntil([&] { return copy->Settled(); }));
      }
      Copy& earlier = firstLetsGoFirst ? first : second;
      Copy& later = firstLetsGoFirst ? second : first;
      EXPECT_EQ(earlier.Named("A")->Unblock(), 1);
      EXPECT_TRUE(services.EndpointMuted(EndpointOf("A"))) << "the other copy still holds it";
      later.list.DestroyDeviceList();  // closing gives back like an unblock
      EXPECT_EQ(services.EndpointMuted(EndpointOf("A")), mutedBefore);
      EXPECT_EQ(services.EndpointUnmutedMoments(EndpointOf("A")) - unmutedBefore, mutedBefore ? 0 : 1);
      EXPECT_TRUE(first.record.Entries().empty());
      EXPECT_TRUE(second.record.Entries().empty());
      EXPECT_EQ(machine.Holders(EndpointOf("A")), 0);
    }
  }
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
