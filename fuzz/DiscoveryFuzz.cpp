// Discovery over random histories: cameras and microphones plugged in and
// out (names from a small pool, so they meet), wave-in numbers that move as
// the system renumbers (always 0..n-1), refreshes, and clicks on the lists'
// entries, against the capture services' fake, which knows which physical
// input (its unit) every camera graph and microphone worker holds. After
// every step:
//  - an input the user blocked (or a block setting blocked) is held for as
//    long as it is plugged in, until the user unblocks it;
//  - nothing is held by a device that is no longer listed;
//  - after a refresh, every list entry's mark tells the truth: blocked
//    exactly when its device holds a plugged input of its name (camera: its
//    path), with one entry per device, in the list of its kind;
//  - no input is announced (DEVICE_PLUGGED_IN) twice, nor one that was
//    already there at the refresh before;
//  - no worker's handle is closed before the worker is joined.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "devices/Camera.h"
#include "devices/Discovery.h"
#include "devices/MicrophonePath.h"
#include "devices/Microphone.h"
#include "fuzz/FuzzCheck.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

using namespace shadowpane;
using shadowpane::testing::FakeCaptureServices;
using shadowpane::testing::FakeDeviceInfo;
using shadowpane::testing::ListEntry;

namespace {

// A physical input, in the order plugged in; the fake knows it by its unit,
// the id's text.
using InputId = int;
struct PhysicalInput {
  InputId id = 0;
  bool video = false;
  std::u16string name;
  std::u16string path;  // cameras: the DevicePath
  bool plugged = true;
  int waveIn = -1;      // microphones while plugged: 0..n-1
};

// An input held by a device: a paused graph of a camera, a worker of a
// microphone that has silenced it.
struct Hold {
  const void* holder = nullptr;
  InputId input = 0;
};

// FUZZ_TRACE=1 in the environment prints each step, to read a finding.
const bool kTrace = std::getenv("FUZZ_TRACE") != nullptr;

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text.substr(0, 12)) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return text.size() > 12 ? out + "..." : out;
}

void Trace(const std::string& line) {
  if (kTrace) std::fprintf(stderr, "%s\n", line.c_str());
}

const std::u16string kNames[] = {u"Mic", u"Cam", u"Mic-1", u"Headset", std::u16string(260, u'x')};
constexpr int kMaxSteps = 48;

std::u16string Text(SPDEV* device, int (SPDEV::*get)(WideChar*, int)) {
  WideChar buffer[kNameUnits] = {};
  (device->*get)(buffer, kMaxNameChars);
  return BoundedString(buffer, kNameUnits);
}

// What a device gives its graph or its worker to name itself.
const void* HolderOf(SPDEV* device) {
  if (auto* camera = dynamic_cast<SPDEVCAM*>(device)) return camera;
  return dynamic_cast<SPDEVMIC*>(device);
}

class World {
 public:
  World(std::uint32_t version, bool namedInterfaces, BlockSettings block)
      : context{list, hw, poster, lists, block}, namedInterfaces_(namedInterfaces) {
    hw.majorVersion = version;
    hw.quiet = true;
  }

  std::vector<PhysicalInput> Inputs() const {
    std::vector<PhysicalInput> inputs = inputs_;
    for (const FakeDeviceInfo& listed : hw.Devices(DeviceCategory::AudioInput)) {
      inputs[static_cast<std::size_t>(std::stoi(listed.unit))].waveIn = *listed.waveInId;
    }
    return inputs;
  }
  std::vector<Hold> Holds() const {
    std::vector<Hold> holds;
    for (const FakeCaptureServices::Hold& hold : hw.Holds()) {
      holds.push_back({hold.holder, std::stoi(hold.unit)});
    }
    return holds;
  }
  int MicrophoneCount() const { return static_cast<int>(hw.waveInCount); }

  void Refresh(int initial) {
    Trace(initial ? "refresh (start)" : "refresh");
    // A refresh follows a hardware change by at least 200 ms.
    if (!synced_) FUZZ_CHECK(hw.LetWorkersGoRound(std::chrono::seconds(20)));
    const std::vector<Hold> before = Holds();
    RefreshDevices(context, initial);
    for (DeviceListBox box : {DeviceListBox::Video, DeviceListBox::Audio}) {
      shown_[static_cast<int>(box)] = lists.Entries(box);
    }
    synced_ = true;
    Settle();
    pluggedSinceRefresh_.clear();
    // Whatever the refresh blocked (a block setting, the profile) is wanted.
    for (const Hold& hold : Holds()) {
      if (!Contains(before, hold)) wanted_.insert(hold.input);
    }
  }

  // A click on an entry, as the main window handles it.
  void Click(FuzzedDataProvider& input) {
    const std::vector<ListEntry>& entries = shown_[input.ConsumeIntegralInRange(0, 1)];
    if (entries.empty()) return;
    const ListEntry& entry = entries[input.ConsumeIntegralInRange<std::size_t>(0, entries.size() - 1)];
    SPDEV* device = list.FindByDisplayName(entry.text.c_str());
    FUZZ_CHECK(device != nullptr);
    const std::vector<InputId> held = HeldBy(device);
    Trace("click " + Narrow(entry.text) + (DeviceList::IsBlocked(device) ? ": unblock" : ": block"));
    if (DeviceList::IsBlocked(device)) {
      device->Unblock();
      Settle();
      for (InputId id : held) wanted_.erase(id);
    } else {
      device->Block();
      Settle();
      // On a list older than the hardware the entry may stand for an input
      // that went away, and its number for another input: what the click
      // took then is no one's wish, and the refresh that follows sorts it.
      if (synced_) {
        for (InputId id : HeldBy(device)) wanted_.insert(id);
      }
    }
  }

  void PlugCamera(const std::u16string& name) {
    FakeDeviceInfo camera{name, u"\\\\?\\usb#cam#", std::nullopt};
    camera.devicePath->push_back(static_cast<char16_t>(u'A' + cameras_++));
    // Every graph is admitted: what is followed is which graph holds the
    // camera, not who is refused.
    camera.shared = true;
    const InputId id = Plug(DeviceCategory::VideoInput, camera);
    Trace("plug camera " + Narrow(name) + " as input " + std::to_string(id));
    pluggedSinceRefresh_.insert(id);
    synced_ = false;
  }
  // The new microphone takes wave-in number `position`; those from there
  // on move up by one.
  void PlugMicrophone(const std::u16string& name, int position) {
    FakeDeviceInfo microphone{name, std::nullopt, position};
    // The driver names each input's interface, a text that stays with it.
    if (namedInterfaces_) {
      const std::string text = "\\\\?\\sim#input-" + std::to_string(inputs_.size());
      microphone.deviceInterface = std::u16string(text.begin(), text.end());
    }
    const InputId id = Plug(DeviceCategory::AudioInput, microphone);
    Trace("plug microphone " + Narrow(name) + " as input " + std::to_string(id) + " at wave-in " +
          std::to_string(Inputs()[static_cast<std::size_t>(id)].waveIn));
    pluggedSinceRefresh_.insert(id);
    synced_ = false;
  }
  void Unplug(std::size_t pick) {
    std::vector<PhysicalInput> plugged;
    for (const PhysicalInput& input : Inputs()) {
      if (input.plugged) plugged.push_back(input);
    }
    if (plugged.empty()) return;
    const InputId id = plugged[pick % plugged.size()].id;
    hw.Unplug(std::to_string(id));
    inputs_[static_cast<std::size_t>(id)].plugged = false;
    Trace("unplug input " + std::to_string(id));
    wanted_.erase(id);
    synced_ = false;
  }
  void Renumber(int first, int second) {
    hw.SwapWaveIn(first, second);
    Trace("renumber: wave-in " + std::to_string(first) + " <-> " + std::to_string(second));
    synced_ = false;
  }

  void Check() {
    const std::vector<PhysicalInput> inputs = Inputs();
    const std::vector<Hold> holds = Holds();
    if (kTrace) {
      std::string state = "  inputs:";
      for (const PhysicalInput& in : inputs) {
        if (!in.plugged) continue;
        state += " " + std::to_string(in.id) + "=" + Narrow(in.name);
        if (!in.video) state += "@" + std::to_string(in.waveIn);
        for (const Hold& hold : holds) state += hold.input == in.id ? "(held)" : "";
      }
      state += "; wanted:";
      for (InputId id : wanted_) state += " " + std::to_string(id);
      state += "; lists:";
      for (const auto& entries : shown_) {
        for (const ListEntry& entry : entries) {
          state += " " + Narrow(entry.text) + (ListItemBlocked(entry.data) ? "[B]" : "[-]");
        }
      }
      Trace(state);
    }
    for (InputId id : wanted_) {
      // A blocked input never goes live while it is plugged in.
      FUZZ_CHECK(std::any_of(holds.begin(), holds.end(),
                             [id](const Hold& hold) { return hold.input == id; }));
    }
    std::set<const void*> listed;
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      listed.insert(HolderOf(device));
    }
    for (const Hold& hold : holds) FUZZ_CHECK(listed.count(hold.holder) == 1);
    // Its device may be freed while it still runs.
    FUZZ_CHECK(hw.UnjoinedCloses() == 0);
    if (synced_) CheckMarks(inputs);
  }

  void Finish() {
    list.DestroyDeviceList();
    FUZZ_CHECK(Holds().empty());
    FUZZ_CHECK(hw.UnjoinedCloses() == 0);
  }

  FakeCaptureServices hw;
  testing::RecordingPoster poster;
  testing::FakeDeviceLists lists;
  testing::MemoryProfileFile profile;
  DeviceList list{&profile};
  DiscoveryContext context;

 private:
  static bool Contains(const std::vector<Hold>& holds, const Hold& wanted) {
    return std::any_of(holds.begin(), holds.end(), [&](const Hold& hold) {
      return hold.holder == wanted.holder && hold.input == wanted.input;
    });
  }

  InputId Plug(DeviceCategory category, FakeDeviceInfo device) {
    const auto id = static_cast<InputId>(inputs_.size());
    device.unit = std::to_string(id);
    hw.Plug(category, device);
    inputs_.push_back({id, category == DeviceCategory::VideoInput, *device.friendlyName,
                       device.devicePath.value_or(u""), true, -1});
    return id;
  }

  std::vector<InputId> HeldBy(SPDEV* device) const {
    std::vector<InputId> held;
    for (const Hold& hold : Holds()) {
      if (hold.holder == HolderOf(device)) held.push_back(hold.input);
    }
    return held;
  }

  // Waits for the workers, then handles the posted messages as the main
  // window does: a state change rewrites the device's mark, a plug-in is
  // announced.
  void Settle() {
    FUZZ_CHECK(hw.Settle(std::chrono::seconds(20)));
    const std::vector<testing::PostedNotify> posts = poster.Posts();
    for (; postsSeen_ < posts.size(); ++postsSeen_) {
      const testing::PostedNotify& post = posts[postsSeen_];
      FUZZ_CHECK(post.window == lists.Window());
      if (!list.Contains(post.device)) continue;  // swept since it posted
      if (post.code == DEVICE_PLUGGED_IN) {
        // Announced once, and only when plugged in since the refresh before.
        if (post.device->GetKind() == DEVICE_KIND_AUDIO && !namedInterfaces_) {
          // Inputs of one name cannot be told apart: the notice stands for
          // one of that name plugged in since, not yet announced.
          FUZZ_CHECK(TakeUnannouncedMicrophone(Text(post.device, &SPDEV::GetFriendlyName)));
          continue;
        }
        const InputId announced = InputOfNewDevice(post.device);
        FUZZ_CHECK(announced_.insert(announced).second);
        FUZZ_CHECK(pluggedSinceRefresh_.count(announced) == 1);
        continue;
      }
      FUZZ_CHECK(post.code == DEVICE_STATE_CHANGED);
      const int kind = post.device->GetKind();
      const std::u16string name = Text(post.device, &SPDEV::GetDisplayName);
      for (ListEntry& entry : shown_[kind]) {
        if (entry.text == name) entry.data = MakeListItemData(DeviceList::IsBlocked(post.device), kind);
      }
    }
  }

  bool TakeUnannouncedMicrophone(const std::u16string& name) {
    const std::vector<PhysicalInput> inputs = Inputs();
    for (InputId id : pluggedSinceRefresh_) {
      const PhysicalInput& input = inputs[static_cast<std::size_t>(id)];
      // The device keeps at most the first 255 characters of the name.
      if (input.video || input.name.substr(0, kMaxNameChars) != name || announced_.count(id) != 0) continue;
      announced_.insert(id);
      return true;
    }
    return false;
  }

  // The input a device made by this refresh was made for: a camera's path,
  // a microphone's wave-in number as the refresh saw them.
  InputId InputOfNewDevice(SPDEV* device) const {
    const bool video = device->GetKind() == DEVICE_KIND_VIDEO;
    const std::u16string path = Text(device, &SPDEV::GetPath);
    for (const PhysicalInput& input : Inputs()) {
      if (!input.plugged || input.video != video) continue;
      if (video ? input.path == path : input.waveIn == device->GetWaveInId()) return input.id;
    }
    FUZZ_CHECK(!"an announced device has no input");
    return -1;
  }

  void CheckMarks(const std::vector<PhysicalInput>& inputs) {
    int devices = 0;
    int microphones = 0;
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      ++devices;
      if (device->GetKind() == DEVICE_KIND_AUDIO) ++microphones;
    }
    FUZZ_CHECK(list.audioCount == microphones);
    FUZZ_CHECK(shown_[0].size() + shown_[1].size() == static_cast<std::size_t>(devices));
    for (int kind : {DEVICE_KIND_VIDEO, DEVICE_KIND_AUDIO}) {
      for (const ListEntry& entry : shown_[kind]) {
        SPDEV* device = list.FindByDisplayName(entry.text.c_str());
        FUZZ_CHECK(device != nullptr && device->GetKind() == kind);
        FUZZ_CHECK(ListItemKind(entry.data) == kind);
        const bool blocked = DeviceList::IsBlocked(device) != 0;
        FUZZ_CHECK((ListItemBlocked(entry.data) != 0) == blocked);
        // Blocked means holding the input the entry stands for; unblocked
        // means holding nothing.
        const std::vector<InputId> held = HeldBy(device);
        const bool holdsItsInput = std::any_of(held.begin(), held.end(), [&](InputId id) {
          const PhysicalInput& input = inputs[static_cast<std::size_t>(id)];
          return input.plugged &&
                 (kind == DEVICE_KIND_VIDEO
                      ? input.path == Text(device, &SPDEV::GetPath)
                      : input.name.substr(0, kMaxNameChars) == Text(device, &SPDEV::GetFriendlyName));
        });
        FUZZ_CHECK(blocked ? holdsItsInput : held.empty());
      }
    }
    // The profile has one record per device, then one blocked record per
    // blocked device that is gone for now, within the bound.
    std::vector<ProfileRecord> records;
    FUZZ_CHECK(DecodeProfile(profile.contents.data(), profile.contents.size(), records) == 1);
    const std::vector<std::u16string>& kept = list.keptBlocked();
    FUZZ_CHECK(kept.size() <= kMaxKeptBlockedRecords);
    FUZZ_CHECK(records.size() == static_cast<std::size_t>(devices) + kept.size());
    for (std::size_t i = 0; i < kept.size() && i + static_cast<std::size_t>(devices) < records.size(); ++i) {
      const ProfileRecord& record = records[static_cast<std::size_t>(devices) + i];
      FUZZ_CHECK(record.blocked != 0 && record.path == kept[i]);
    }
  }

  std::vector<PhysicalInput> inputs_;  // by id, plugged or not
  std::vector<ListEntry> shown_[2];  // the main window's lists: video, audio
  std::size_t postsSeen_ = 0;
  std::set<InputId> wanted_;     // inputs that must stay held
  std::set<InputId> announced_;  // inputs announced as plugged in
  std::set<InputId> pluggedSinceRefresh_;
  bool synced_ = false;          // no hardware change since the last refresh
  int cameras_ = 0;
  const bool namedInterfaces_;   // the driver tells inputs of one name apart
};

// A profile of records for the inputs plugged in at start, each blocked or not.
void WriteProfile(FuzzedDataProvider& input, World& world) {
  std::vector<std::uint8_t> image(kProfileHeaderSize);
  EncodeProfileHeader(image.data());
  for (const PhysicalInput& device : world.Inputs()) {
    const std::u16string path =
        device.video ? device.path : MicrophonePath(device.waveIn, device.name.c_str());
    image.resize(image.size() + kProfileRecordSize);
    EncodeProfileRecord(image.data() + image.size() - kProfileRecordSize, path, input.ConsumeBool());
  }
  world.profile.contents = image;
  world.profile.exists = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // Below 6 a microphone is silenced through its wave input's mixer, from
  // 6 on through its filter's analog input.
  const std::uint32_t version = input.ConsumeBool() ? 6 : 5;
  BlockSettings block;
  block.blockStart = input.ConsumeBool();
  block.blockPluggedIn = input.ConsumeBool();
  // Whether the driver names each input's interface: read from the first
  // byte without taking it, so an input means the same steps either way.
  const bool namedInterfaces = size > 0 && (data[0] & 0x40) != 0;
  World world(version, namedInterfaces, block);
  Trace(std::string(namedInterfaces ? "named interfaces, " : "no interfaces, ") +
        (version < 6 ? "wave-in mixer" : "analog input pin") +
        (block.blockStart ? ", BlockStart" : "") + (block.blockPluggedIn ? ", BlockPluggedIn" : ""));

  auto name = [&]() -> const std::u16string& {
    return kNames[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
  };
  // Where a new microphone goes among the wave-in numbers.
  auto wave = [&] { return input.ConsumeIntegralInRange(0, world.MicrophoneCount()); };
  const int atStart = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < atStart; ++i) {
    const bool camera = input.ConsumeBool();
    const std::u16string& given = name();
    if (camera) {
      world.PlugCamera(given);
    } else {
      world.PlugMicrophone(given, wave());
    }
  }
  if (input.ConsumeBool()) WriteProfile(input, world);
  world.Refresh(1);
  world.Check();

  for (int step = 0; step < kMaxSteps && input.remaining_bytes() > 0; ++step) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
      case 0:
        world.PlugCamera(name());
        break;
      case 1: {
        const std::u16string& given = name();  // the name first, then the number
        world.PlugMicrophone(given, wave());
        break;
      }
      case 2:
        world.Unplug(input.ConsumeIntegral<std::uint8_t>());
        break;
      case 3: {  // two microphones exchange their numbers
        const int count = world.MicrophoneCount();
        if (count < 2) break;
        const int first = input.ConsumeIntegralInRange(0, count - 1);
        world.Renumber(first, input.ConsumeIntegralInRange(0, count - 1));
        break;
      }
      case 4:
        world.Refresh(0);
        break;
      default:
        world.Click(input);
        break;
    }
    world.Check();
  }
  world.Finish();
  return 0;
}
