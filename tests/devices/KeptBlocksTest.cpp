// The kept blocks of devices that are not listed: which devices leave one,
// in what order Profile.db keeps them, and which device takes one when it
// comes back. RefreshDevices against the fake's hardware (Plug, Unplug).
#include <gtest/gtest.h>

#include <string>
#include <thread>
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

constexpr DeviceCategory kVideo = DeviceCategory::VideoInput;
constexpr DeviceCategory kAudio = DeviceCategory::AudioInput;

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class KeptBlocksTest : public ::testing::Test {
 protected:
  void SetUp() override { services.realSleepMicros = 100; }

  // Profile.db as an earlier run left it, every record blocked or not.
  void SavedBefore(const std::vector<std::pair<std::u16string, bool>>& records) {
    profile.exists = true;
    profile.contents.assign(ProfileImageSize(records.size()), 0);
    EncodeProfileHeader(profile.contents.data());
    std::uint8_t* at = profile.contents.data() + kProfileHeaderSize;
    for (const auto& [path, blocked] : records) {
      EncodeProfileRecord(at, path, blocked);
      at += kProfileRecordSize;
    }
  }
  void PlugCamera(const std::string& unit) {
    services.Plug(kVideo, FakeDeviceInfo{u"Cam " + Wide(unit), u"path-" + Wide(unit), std::nullopt,
                                         std::nullopt, unit});
  }
  // name: none for an input without a friendly name.
  void PlugMicrophone(const std::string& unit, std::optional<std::u16string> name, std::int32_t number) {
    services.Plug(kAudio, FakeDeviceInfo{name, std::nullopt, number, std::nullopt, unit});
  }
  void Refresh(int initial) {
    DiscoveryContext context{list, services, poster, lists, {0, 0}};
    RefreshDevices(context, initial);
  }

  SPDEV* ByPath(const std::u16string& path) { return list.FindByPath(path.c_str()); }
  // Blocked, or for a microphone a worker asked to hold.
  static bool Held(SPDEV* device) {
    auto* microphone = dynamic_cast<SPDEVMIC*>(device);
    return DeviceList::IsBlocked(device) != 0 || (microphone != nullptr && microphone->HoldRequested());
  }
  bool ShownBlocked(const std::u16string& path) {
    return WaitUntil([&] { return ByPath(path) != nullptr && DeviceList::IsBlocked(ByPath(path)) == 1; });
  }
  // The blocked records saved after those of the listed devices.
  Paths SavedKept() const {
    std::vector<ProfileRecord> records;
    DecodeProfile(profile.contents.data(), profile.contents.size(), records);
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

// Blocked records of absent devices, as many as are kept: "gone-0" the most
// recently seen.
Paths FullKeep() {
  Paths paths;
  for (size_t i = 0; i < kMaxKeptBlockedRecords; ++i) paths.push_back(u"gone-" + Wide(std::to_string(i)));
  return paths;
}
std::vector<std::pair<std::u16string, bool>> AllBlocked(const Paths& paths) {
  std::vector<std::pair<std::u16string, bool>> records;
  for (const std::u16string& path : paths) records.emplace_back(path, true);
  return records;
}

// A microphone without a name never matches its object, so each refresh
// sweeps the blocked one and holds its new object again. That passing of
// its block must not cost the oldest kept block of another device.
TEST_F(KeptBlocksTest, ANamelessMicrophoneReplacedAtEachRefreshPushesNoKeptBlockOut) {
  const Paths gone = FullKeep();
  auto records = AllBlocked(gone);
  records.emplace_back(u"0 ", true);
  SavedBefore(records);
  PlugMicrophone("N", std::nullopt, 0);
  Refresh(1);
  ASSERT_TRUE(ShownBlocked(u"0 "));
  ASSERT_EQ(list.keptBlocked(), gone);

  for (int refresh = 0; refresh < 3; ++refresh) {
    Refresh(0);
    ASSERT_TRUE(ShownBlocked(u"0 ")) << "held again, refresh " << refresh;
  }
  EXPECT_EQ(list.keptBlocked(), gone);
  EXPECT_EQ(SavedKept(), gone);
}

}  // namespace
}  // namespace shadowpane
