// RefreshDevices while the system renumbers its wave inputs (from 0, without
// gaps) as inputs of one name come and go: a microphone the user blocked
// never goes live, and no microphone is shown blocked unless its worker
// silences the input that has its number now. Both silencing methods, with
// and without device interfaces from the wave-input driver.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "devices/Discovery.h"
#include "devices/DeviceText.h"
#include "devices/Microphone.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;

constexpr std::uint32_t kWaveMixerSystem = 5;
constexpr std::uint32_t kInputPinSystem = 6;

// A physical input: its unit names it for the whole test.
struct Input {
  std::string unit;
  std::u16string name;
  std::int32_t number;
};

using testing::DisplayName;
using testing::WaitUntil;

// One program run against one system.
class World {
 public:
  World(std::uint32_t majorVersion, bool interfaces) : interfaces_(interfaces) {
    services.majorVersion = majorVersion;
    services.realSleepMicros = 100;
  }
  ~World() { list.DestroyDeviceList(); }

  void Plug(const std::vector<Input>& inputs) {
    services.ClearDevices(DeviceCategory::AudioInput);
    services.waveInCount = static_cast<std::uint32_t>(inputs.size());
    for (const Input& input : inputs) {
      FakeDeviceInfo info{input.name, std::nullopt, input.number};
      if (interfaces_) {
        info.deviceInterface = u"\\\\?\\usb#" + std::u16string(input.unit.begin(), input.unit.end());
      }
      info.unit = input.unit;
      services.AddDevice(DeviceCategory::AudioInput, info);
    }
  }

  void Refresh(int initial) {
    DiscoveryContext context{list, services, poster, lists, {0, 0}};
    RefreshDevices(context, initial);
  }

  SPDEV* AtNumber(std::int32_t number) {
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      if (device->GetWaveInId() == number) return device;
    }
    return nullptr;
  }

  // Every worker asked for has started and done its first silencing, and
  // every listed microphone shown blocked silences the input at its number.
  bool Settled() {
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      auto* microphone = static_cast<SPDEVMIC*>(device);
      if (microphone->HoldRequested() && DeviceList::IsBlocked(device) == 0) return false;
      if (DeviceList::IsBlocked(device) &&
          !services.Silenced(services.UnitAtWaveInId(static_cast<std::uint32_t>(device->GetWaveInId())))) {
        return false;
      }
    }
    return true;
  }

  FakeCaptureServices services;
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  testing::FakeDeviceLists lists;
  DeviceList list{&profile};

 private:
  bool interfaces_;
};

struct RenumberCase {
  const char* what;
  std::vector<Input> before;
  std::vector<std::string> blocked;  // units the user blocks
  std::vector<Input> after;
  // Units silenced afterwards when the driver names no device interfaces;
  // with interfaces exactly the blocked ones that are still there.
  std::set<std::string> silencedWithoutInterfaces;
};

const Input kTwinA0{"A", u"USB Mic", 0};
const Input kTwinB1{"B", u"USB Mic", 1};

const std::vector<RenumberCase> kCases = {
    {"B blocked, A unplugged: B becomes number 0",
     {kTwinA0, kTwinB1}, {"B"}, {{"B", u"USB Mic", 0}}, {"B"}},
    {"A blocked, A unplugged: B becomes number 0",
     {kTwinA0, kTwinB1}, {"A"}, {{"B", u"USB Mic", 0}}, {"B"}},
    {"A blocked, B unplugged",
     {kTwinA0, kTwinB1}, {"A"}, {kTwinA0}, {"A"}},
    {"A blocked, a twin plugged in ahead of it moves it to number 1",
     {kTwinA0}, {"A"}, {{"C", u"USB Mic", 0}, {"A", u"USB Mic", 1}}, {"A", "C"}},
    {"C blocked, A unplugged from three twins",
     {kTwinA0, kTwinB1, {"C", u"USB Mic", 2}}, {"C"},
     {{"B", u"USB Mic", 0}, {"C", u"USB Mic", 1}}, {"B", "C"}},
    {"B blocked, another input before the twins unplugged: the system may also have reordered them",
     {{"X", u"Other", 0}, {"A", u"USB Mic", 1}, {"B", u"USB Mic", 2}}, {"B"},
     {{"A", u"USB Mic", 0}, {"B", u"USB Mic", 1}}, {"A", "B"}},
    {"A blocked, nothing changes",
     {kTwinA0, kTwinB1}, {"A"}, {kTwinA0, kTwinB1}, {"A"}},
};

TEST(DiscoveryRenumbering, ABlockedMicrophoneNeverGoesLiveAndNoMarkLies) {
  for (const RenumberCase& c : kCases) {
    for (const std::uint32_t system : {kWaveMixerSystem, kInputPinSystem}) {
      for (const bool interfaces : {false, true}) {
        SCOPED_TRACE(std::string(c.what) + (system == kWaveMixerSystem ? ", wave and mixer" : ", input pin") +
                     (interfaces ? ", with device interfaces" : ", without device interfaces"));
        World world(system, interfaces);
        world.Plug(c.before);
        world.Refresh(1);
        std::map<std::string, std::u16string> nameOfUnit;
        for (const Input& input : c.before) {
          SPDEV* device = world.AtNumber(input.number);
          ASSERT_NE(device, nullptr);
          nameOfUnit[input.unit] = DisplayName(device);
        }
        for (const std::string& unit : c.blocked) {
          for (const Input& input : c.before) {
            if (input.unit == unit) {
              ASSERT_EQ(world.AtNumber(input.number)->Block(), 1);
            }
          }
        }
        ASSERT_TRUE(WaitUntil([&] { return world.Settled(); }));

        world.Plug(c.after);
        world.Refresh(0);
        ASSERT_TRUE(WaitUntil([&] { return world.Settled(); }));

        std::set<std::string> expected;
        if (interfaces) {
          for (const Input& input : c.after) {
            for (const std::string& unit : c.blocked) {
              if (input.unit == unit) expected.insert(unit);
            }
          }
        } else {
          expected = c.silencedWithoutInterfaces;
        }
        std::set<std::string> silenced;
        for (const Input& input : c.after) {
          if (world.services.Silenced(input.unit)) silenced.insert(input.unit);
        }
        EXPECT_EQ(silenced, expected);

        // Every input is listed once, at its number, and shown blocked
        // exactly when its input is silenced.
        EXPECT_EQ(world.list.Count(), static_cast<int>(c.after.size()));
        for (const Input& input : c.after) {
          SPDEV* device = world.AtNumber(input.number);
          ASSERT_NE(device, nullptr) << input.unit;
          EXPECT_EQ(DeviceList::IsBlocked(device), silenced.count(input.unit) ? 1 : 0) << input.unit;
          // Told apart by their interfaces, inputs keep their objects.
          if (interfaces && nameOfUnit.count(input.unit)) {
            EXPECT_EQ(DisplayName(device), nameOfUnit[input.unit]) << input.unit;
          }
        }
      }
    }
  }
}

TEST(DiscoveryRenumbering, AHeldSurvivorIsBoundToTheInputReportedAtItsNumber) {
  // Without interfaces: A blocked, A unplugged. The survivor is silenced
  // through its own filter, not the one bound from the unplugged input.
  World world(kInputPinSystem, false);
  world.Plug({kTwinA0, kTwinB1});
  world.Refresh(1);
  ASSERT_EQ(world.AtNumber(0)->Block(), 1);
  ASSERT_TRUE(WaitUntil([&] { return world.Settled(); }));
  world.services.ClearLog();

  world.Plug({{"B", u"USB Mic", 0}});
  world.Refresh(0);
  ASSERT_TRUE(WaitUntil([&] { return world.Settled(); }));
  EXPECT_EQ(world.services.LogMatching("graph.AddFilter(Audio Capture) filter:USB Mic/A").size(), 1u)
      << "only the old worker's restore touched the unplugged input";
  EXPECT_FALSE(world.services.LogMatching("graph.AddFilter(Audio Capture) filter:USB Mic/B").empty());
  EXPECT_TRUE(world.services.Silenced("B"));
  // The one survivor object, no new one announced.
  EXPECT_EQ(world.list.Count(), 1);
  for (const auto& post : world.poster.Posts()) EXPECT_NE(post.code, DEVICE_PLUGGED_IN);
}

// A click on a list older than the hardware opens whatever the number
// means by then; the hardware may be back in the listed order by the next
// refresh, so nothing in the names and numbers tells. Twins blocked on an
// up-to-date list keep their order.
TEST(DiscoveryRenumbering, AHoldTakenOnAnOlderListIsBoundAfreshAtTheNextRefresh) {
  const Input mic{"A", u"Mic", 0};
  const Input other{"B", u"Other", 1};
  // What the hardware looks like at the click; the list still says Mic is 0.
  const std::vector<std::vector<Input>> meanwhile = {
      {{"C", u"Headset", 0}, {"A", u"Mic", 1}, {"B", u"Other", 2}},  // one plugged in ahead
      {{"B", u"Other", 0}, {"A", u"Mic", 1}},                        // the two exchanged
  };
  for (const std::vector<Input>& atClick : meanwhile)
  for (const std::uint32_t system : {kWaveMixerSystem, kInputPinSystem}) {
    SCOPED_TRACE(std::to_string(atClick.size()) + " inputs at the click, " +
                 (system == kWaveMixerSystem ? "wave and mixer" : "input pin"));
    World world(system, false);
    world.Plug({mic, other});
    world.Refresh(1);
    SPDEV* micEntry = world.AtNumber(0);
    ASSERT_NE(micEntry, nullptr);

    world.Plug(atClick);
    ASSERT_EQ(micEntry->Block(), 1);
    ASSERT_TRUE(WaitUntil([&] { return DeviceList::IsBlocked(micEntry) != 0; }));
    world.Plug({mic, other});
    world.Refresh(0);
    ASSERT_TRUE(WaitUntil([&] { return world.Settled(); }));

    EXPECT_EQ(world.AtNumber(0), micEntry);
    EXPECT_EQ(DeviceList::IsBlocked(micEntry), 1);
    EXPECT_TRUE(world.services.Silenced("A"));
    EXPECT_FALSE(world.services.Silenced("B"));
    EXPECT_FALSE(world.services.Silenced("C"));
  }
}

TEST(DiscoveryRenumbering, SweptAndReboundMicrophonesReleaseEverything) {
  for (const std::uint32_t system : {kWaveMixerSystem, kInputPinSystem}) {
    World world(system, false);
    world.Plug({kTwinA0, kTwinB1, {"C", u"USB Mic", 2}});
    world.Refresh(1);
    for (std::int32_t number : {0, 1, 2}) ASSERT_EQ(world.AtNumber(number)->Block(), 1);
    ASSERT_TRUE(WaitUntil([&] { return world.Settled(); }));
    world.Plug({{"C", u"USB Mic", 0}});
    world.Refresh(0);
    ASSERT_TRUE(WaitUntil([&] { return world.Settled(); }));
    EXPECT_EQ(world.list.Count(), 1);
    world.list.DestroyDeviceList();
    EXPECT_EQ(world.services.LiveObjects(), 0);
    EXPECT_EQ(world.services.UnjoinedCloses(), 0);
    EXPECT_FALSE(world.services.Silenced("C")) << "the input is given back at shutdown";
  }
}

TEST(DiscoveryRenumbering, TwinsRenumberedBetweenRunsStaySilencedAtStart) {
  // Last run: A at 0 live, B at 1 blocked. This run A is gone and B is 0,
  // where A's unblocked record would apply.
  for (const std::uint32_t system : {kWaveMixerSystem, kInputPinSystem}) {
    World last(system, false);
    last.Plug({kTwinA0, kTwinB1});
    last.Refresh(1);
    ASSERT_EQ(last.AtNumber(1)->Block(), 1);
    ASSERT_TRUE(WaitUntil([&] { return last.Settled(); }));
    last.list.DestroyDeviceList();

    World next(system, false);
    next.profile.exists = true;
    next.profile.contents = last.profile.contents;
    next.Plug({{"B", u"USB Mic", 0}});
    next.Refresh(1);
    ASSERT_TRUE(WaitUntil([&] { return next.Settled(); }));
    EXPECT_TRUE(next.services.Silenced("B"));
    EXPECT_EQ(DeviceList::IsBlocked(next.AtNumber(0)), 1);
  }
}

// A blocked microphone that vanishes: while held, during a refresh (listed
// but gone before its properties or its filter could be had), and while
// its worker re-applies the silencing against a device that no longer
// answers. No crash, no mark that lies, everything released.
struct VanishCase {
  const char* what;
  std::vector<Input> before;
  std::vector<std::string> blocked;
  std::vector<Input> after;
  // Calls that fail from the moment the device vanishes.
  std::vector<std::string> failing;
};

const std::vector<VanishCase> kVanishCases = {
    {"while blocked", {kTwinA0, {"M", u"Other Mic", 1}}, {"A"}, {{"M", u"Other Mic", 0}}, {}},
    {"during the refresh: listed, but its properties are gone",
     {{"S", u"Solo", 0}}, {"S"}, {{"S", u"Solo", 0}}, {"moniker.BindToStorage"}},
    {"while its worker re-applies the silencing",
     {{"S", u"Solo", 0}}, {"S"}, {}, {"mixer.SetControl", "inputMixer.PutEnable(0)"}},
    {"a twin, gone before the survivor's filter could be bound",
     {kTwinA0, kTwinB1}, {"A"}, {{"B", u"USB Mic", 0}}, {"moniker.BindToObject"}},
};

TEST(DiscoveryVanishing, NoCrashNoLyingMarkEverythingReleased) {
  for (const VanishCase& c : kVanishCases) {
    for (const std::uint32_t system : {kWaveMixerSystem, kInputPinSystem}) {
      SCOPED_TRACE(std::string(c.what) + (system == kWaveMixerSystem ? ", wave and mixer" : ", input pin"));
      auto world = std::make_unique<World>(system, false);
      world->Plug(c.before);
      world->Refresh(1);
      for (const std::string& unit : c.blocked) {
        for (const Input& input : c.before) {
          if (input.unit == unit) {
            ASSERT_EQ(world->AtNumber(input.number)->Block(), 1);
          }
        }
      }
      ASSERT_TRUE(WaitUntil([&] { return world->Settled(); }));

      for (const std::string& call : c.failing) world->services.Fail(call, kHrFail);
      world->Plug(c.after);
      world->Refresh(0);
      ASSERT_TRUE(WaitUntil([&] { return world->Settled(); }));

      // Whatever is listed is shown blocked exactly when its input is
      // silenced; nothing that vanished is listed.
      for (SPDEV* device = world->list.head(); device != nullptr; device = device->next) {
        const std::string unit =
            world->services.UnitAtWaveInId(static_cast<std::uint32_t>(device->GetWaveInId()));
        EXPECT_FALSE(unit.empty()) << "a listed microphone stands for a present input";
        EXPECT_EQ(DeviceList::IsBlocked(device) == 1, world->services.Silenced(unit)) << unit;
      }
      for (const auto& entry : world->lists.Entries(DeviceListBox::Audio)) {
        SPDEV* device = world->list.FindByDisplayName(entry.text.c_str());
        ASSERT_NE(device, nullptr);
      }
      EXPECT_EQ(world->list.audioCount, world->list.Count());

      world->list.DestroyDeviceList();
      EXPECT_EQ(world->services.LiveObjects(), 0);
      EXPECT_EQ(world->services.UnjoinedCloses(), 0);
    }
  }
}

}  // namespace
}  // namespace shadowpane
