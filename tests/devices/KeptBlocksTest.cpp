// The kept blocks of devices that are not listed: which devices leave one,
// in what order Profile.db keeps them, and which device takes one when it
// comes back. RefreshDevices against the fake's hardware (Plug, Unplug).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "devices/Discovery.h"
#include "devices/Microphone.h"
#include "devices/ProfileCodec.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeDeviceInfo;
using testing::WaitUntil;
using Paths = std::vector<std::u16string>;
using Records = std::vector<std::pair<std::u16string, bool>>;

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Blocked, or for a microphone a worker asked to hold.
bool Held(SPDEV* device) {
  auto* microphone = dynamic_cast<SPDEVMIC*>(device);
  return DeviceList::IsBlocked(device) != 0 || (microphone != nullptr && microphone->HoldRequested());
}

// One run of the program against the fake's hardware.
struct ProgramRun {
  ProgramRun() { services.realSleepMicros = 100; }

  // Profile.db as an earlier run left it.
  void SavedBefore(const Records& records) {
    profile.exists = true;
    profile.contents.assign(ProfileImageSize(records.size()), 0);
    EncodeProfileHeader(profile.contents.data());
    std::uint8_t* at = profile.contents.data() + kProfileHeaderSize;
    for (const auto& [path, blocked] : records) {
      EncodeProfileRecord(at, path, blocked);
      at += kProfileRecordSize;
    }
  }
  // Its path: "path-<unit>".
  void PlugCamera(const std::string& unit) {
    services.Plug(DeviceCategory::VideoInput,
                  FakeDeviceInfo{u"Cam " + Wide(unit), u"path-" + Wide(unit), std::nullopt, std::nullopt, unit});
  }
  // name: none for an input without a friendly name.
  void PlugMicrophone(const std::string& unit, std::optional<std::u16string> name, std::int32_t number) {
    services.Plug(DeviceCategory::AudioInput, FakeDeviceInfo{name, std::nullopt, number, std::nullopt, unit});
  }
  void Refresh(int initial) {
    DiscoveryContext context{list, services, poster, lists, {0, 0}};
    RefreshDevices(context, initial);
  }

  SPDEV* ByPath(const std::u16string& path) const { return list.FindByPath(path.c_str()); }
  bool ShownBlocked(const std::u16string& path) const {
    return WaitUntil([&] { return ByPath(path) != nullptr && DeviceList::IsBlocked(ByPath(path)) == 1; });
  }
  // The records saved after those of the listed devices: each a block.
  Paths SavedKept() const {
    std::vector<ProfileRecord> records;
    EXPECT_EQ(DecodeProfile(profile.contents.data(), profile.contents.size(), records), 1);
    Paths kept;
    for (size_t i = static_cast<size_t>(list.Count()); i < records.size(); ++i) {
      EXPECT_EQ(records[i].blocked, 1u) << "a kept record is a block";
      kept.push_back(records[i].path);
    }
    return kept;
  }

  testing::FakeCaptureServices services;
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  testing::FakeDeviceLists lists;
  DeviceList list{&profile};
};

// Paths of absent cameras "path-g0".."path-g<count-1>", g0 the most
// recently seen, as blocked records.
Paths GoneCameras(size_t count) {
  Paths paths;
  for (size_t i = 0; i < count; ++i) paths.push_back(u"path-g" + Wide(std::to_string(i)));
  return paths;
}
Records AllBlocked(const Paths& paths) {
  Records records;
  for (const std::u16string& path : paths) records.emplace_back(path, true);
  return records;
}

// A microphone without a name never matches its object, so each refresh
// sweeps the blocked one and holds its new object again. That passing of
// its block must not cost the oldest kept block of another device.
TEST(KeptBlocks, ANamelessMicrophoneReplacedAtEachRefreshPushesNoKeptBlockOut) {
  ProgramRun run;
  const Paths gone = GoneCameras(kMaxKeptBlockedRecords);
  Records records = AllBlocked(gone);
  records.emplace_back(u"0 ", true);
  run.SavedBefore(records);
  run.PlugMicrophone("N", std::nullopt, 0);
  run.Refresh(1);
  ASSERT_TRUE(run.ShownBlocked(u"0 "));
  ASSERT_EQ(run.list.keptBlocked(), gone);

  for (int refresh = 0; refresh < 3; ++refresh) {
    run.Refresh(0);
    ASSERT_TRUE(run.ShownBlocked(u"0 ")) << "held again, refresh " << refresh;
  }
  EXPECT_EQ(run.list.keptBlocked().size(), gone.size());
  EXPECT_EQ(run.SavedKept(), gone);
}

// At start a microphone whose own record is read is decided by it, not by
// the kept block of a twin at another number: that block stays for the
// twin, which is held again when it comes back even though the user has
// released the first one meanwhile.
TEST(KeptBlocks, AtStartAMicrophoneWithARecordOfItsOwnLeavesItsTwinsKeptBlock) {
  for (const bool ownBlocked : {false, true}) {
    SCOPED_TRACE(ownBlocked ? "its own record blocked" : "its own record open");
    ProgramRun run;
    run.SavedBefore({{u"0 USB Mic", ownBlocked}, {u"1 USB Mic", true}});
    run.PlugMicrophone("A", u"USB Mic", 0);
    run.Refresh(1);
    SPDEV* first = run.ByPath(u"0 USB Mic");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(run.list.keptBlocked(), Paths{u"1 USB Mic"});
    EXPECT_FALSE(first->heldAgainOnReturn);

    ASSERT_TRUE(run.ShownBlocked(u"0 USB Mic")) << "saved twins are held in doubt";
    first->Unblock();
    run.PlugMicrophone("B", u"USB Mic", 1);
    run.Refresh(0);
    EXPECT_TRUE(run.ShownBlocked(u"1 USB Mic"));
    EXPECT_TRUE(run.ByPath(u"1 USB Mic")->heldAgainOnReturn);
    EXPECT_FALSE(Held(run.ByPath(u"0 USB Mic")));
  }
}

// Only blocks are kept: a device the user left open, whether it went while
// the program ran or was absent at start, comes back open.
TEST(KeptBlocks, AnOpenDeviceThatIsAbsentLeavesNoBlockBehind) {
  struct Case {
    const char* what;
    bool camera;
    bool absentAtStart;  // else: listed and blocked at start, released, unplugged
  };
  const Case cases[] = {
      {"a camera released, then unplugged", true, false},
      {"a microphone released, then unplugged", false, false},
      {"a camera saved open and absent at start", true, true},
      {"a microphone saved open and absent at start", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramRun run;
    const std::u16string path = c.camera ? u"path-D" : u"0 Mic";
    const auto plug = [&] { c.camera ? run.PlugCamera("D") : run.PlugMicrophone("D", u"Mic", 0); };
    run.SavedBefore({{path, !c.absentAtStart}});
    if (!c.absentAtStart) plug();
    run.Refresh(1);
    if (!c.absentAtStart) {
      ASSERT_TRUE(run.ShownBlocked(path));
      run.ByPath(path)->Unblock();
      ASSERT_FALSE(Held(run.ByPath(path)));
      run.services.Unplug("D");
      run.Refresh(0);
    }
    EXPECT_TRUE(run.list.keptBlocked().empty());
    EXPECT_TRUE(run.SavedKept().empty());

    plug();
    run.Refresh(0);
    SPDEV* back = run.ByPath(path);
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(Held(back));
    EXPECT_FALSE(back->heldAgainOnReturn);
  }
}

// Most recently seen first, the oldest beyond the bound dropped: as read at
// start, as a device goes, comes back and goes again, and across a restart.
TEST(KeptBlocks, KeptBlocksRunMostRecentlySeenFirst) {
  ProgramRun run;
  const Paths saved = GoneCameras(kMaxKeptBlockedRecords + 2);
  Records records = AllBlocked(saved);
  records.emplace_back(u"path-C", true);
  run.SavedBefore(records);
  run.PlugCamera("C");
  run.Refresh(1);
  Paths expected(saved.begin(), saved.begin() + kMaxKeptBlockedRecords);
  EXPECT_EQ(run.list.keptBlocked(), expected) << "the file's order, its last two dropped";
  EXPECT_EQ(run.SavedKept(), expected);

  run.services.Unplug("C");
  run.Refresh(0);
  expected.insert(expected.begin(), u"path-C");
  expected.pop_back();
  EXPECT_EQ(run.SavedKept(), expected) << "the camera just gone in front";

  run.PlugCamera("g5");
  run.Refresh(0);
  EXPECT_TRUE(run.ShownBlocked(u"path-g5"));
  expected.erase(std::find(expected.begin(), expected.end(), u"path-g5"));
  EXPECT_EQ(run.SavedKept(), expected);
  run.services.Unplug("g5");
  run.Refresh(0);
  expected.insert(expected.begin(), u"path-g5");
  EXPECT_EQ(run.SavedKept(), expected);

  ProgramRun restarted;
  restarted.profile.exists = true;
  restarted.profile.contents = run.profile.contents;
  restarted.Refresh(1);
  EXPECT_EQ(restarted.list.keptBlocked(), expected);
}

// A microphone whose hold is asked for but not yet shown (its worker has
// not run) is blocked as the user sees it: when it goes, its block is kept.
TEST(KeptBlocks, AMicrophoneWhoseHoldIsNotYetShownKeepsItsBlockWhenItGoes) {
  ProgramRun run;
  run.PlugMicrophone("M", u"Mic", 0);
  run.Refresh(1);
  SPDEV* microphone = run.ByPath(u"0 Mic");
  ASSERT_NE(microphone, nullptr);
  run.services.HoldThreadStarts(true);
  ASSERT_EQ(microphone->Block(), 1);
  ASSERT_EQ(DeviceList::IsBlocked(microphone), 0);
  ASSERT_TRUE(Held(microphone));

  run.services.Unplug("M");
  // The sweep joins the worker, which may then run.
  const int joins = run.services.Count("thread.Join");
  std::thread release([&] {
    run.services.WaitForCount("thread.Join", joins + 1);
    run.services.HoldThreadStarts(false);
  });
  run.Refresh(0);
  release.join();
  EXPECT_EQ(run.list.keptBlocked(), Paths{u"0 Mic"});

  run.PlugMicrophone("X", u"Other", 0);
  run.PlugMicrophone("M", u"Mic", 1);
  run.Refresh(0);
  EXPECT_TRUE(run.ShownBlocked(u"1 Mic"));
  EXPECT_TRUE(run.ByPath(u"1 Mic")->heldAgainOnReturn);
}

}  // namespace
}  // namespace shadowpane
