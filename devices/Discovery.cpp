#include "devices/Discovery.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "devices/Camera.h"
#include "devices/DeviceText.h"
#include "devices/Microphone.h"

namespace shadowpane {

namespace {

constexpr WideChar kFriendlyNameProperty[] = u"FriendlyName";
constexpr WideChar kDevicePathProperty[] = u"DevicePath";
constexpr WideChar kWaveInIdProperty[] = u"WaveInID";
// A microphone's path keeps at most this much of its friendly name.
constexpr size_t kMicrophonePathNameChars = 200;

std::u16string Text(const WideChar (&field)[kNameUnits]) { return FieldToString(field); }

std::u16string PathOf(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetPath(buffer, kMaxNameChars);
  return Text(buffer);
}

std::u16string FriendlyNameOf(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetFriendlyName(buffer, kMaxNameChars);
  return Text(buffer);
}

// What discovery reads from one moniker's property bag.
struct MonikerProperties {
  WideChar friendlyName[kNameUnits] = {};
  WideChar path[kNameUnits] = {};
  std::optional<std::int32_t> waveInId;  // microphones only
};

// The devices known when the refresh began, indexed so that each moniker is
// resolved without walking the whole list.
//
// Cameras are recognised by their path; the first camera from the head
// wins, as in a walk of the list. Microphones are recognised by their
// friendly name among the microphones not yet met in this refresh,
// preferring the one with the reported wave-in number: so two inputs that
// report one name keep two objects, and a camera that happens to carry a
// microphone's name is never mistaken for it.
class KnownDevices {
 public:
  explicit KnownDevices(const DeviceList& list) {
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      if (device->GetKind() == DEVICE_KIND_AUDIO) {
        const std::u16string name = FriendlyNameOf(device);
        if (!name.empty()) microphonesByName_[name].push_back(device);
      } else {
        const std::u16string path = PathOf(device);
        if (!path.empty()) camerasByPath_.emplace(path, device);  // keeps the first
      }
    }
  }

  SPDEV* CameraByPath(const std::u16string& path) const {
    if (path.empty()) return nullptr;
    auto it = camerasByPath_.find(path);
    return it == camerasByPath_.end() ? nullptr : it->second;
  }

  // A camera created in this refresh sits at the head from now on.
  void AddCamera(SPDEV* camera, const std::u16string& path) {
    if (!path.empty()) camerasByPath_[path] = camera;
  }

  SPDEV* MicrophoneByName(const std::u16string& name, std::optional<std::int32_t> waveInId) const {
    if (name.empty()) return nullptr;
    auto it = microphonesByName_.find(name);
    if (it == microphonesByName_.end()) return nullptr;
    SPDEV* firstUnmet = nullptr;
    for (SPDEV* device : it->second) {
      if (device->sweepMark == 0) continue;  // already met in this refresh
      if (waveInId && static_cast<std::int32_t>(device->GetWaveInId()) == *waveInId) {
        return device;
      }
      if (firstUnmet == nullptr) firstUnmet = device;
    }
    return firstUnmet;
  }

 private:
  std::unordered_map<std::u16string, SPDEV*> camerasByPath_;
  std::unordered_map<std::u16string, std::vector<SPDEV*>> microphonesByName_;
};

// Reads the properties discovery needs. A moniker without a property bag
// answers false: with neither name nor identity it could be neither shown
// nor recognised, and making an object for it would announce a phantom
// device at every refresh, so it is left out.
bool ReadProperties(DeviceMoniker& moniker, DeviceCategory category, MonikerProperties& out) {
  std::unique_ptr<PropertyBag> bag;
  if (Failed(moniker.BindToStorage(&bag)) || !bag) return false;
  // A missing property leaves its field empty.
  bag->ReadText(kFriendlyNameProperty, out.friendlyName);
  if (category == DeviceCategory::VideoInput) {
    bag->ReadText(kDevicePathProperty, out.path);
  } else {
    std::int32_t id = 0;
    if (Succeeded(bag->ReadInteger(kWaveInIdProperty, &id))) {
      out.waveInId = id;
      const std::u16string path = MicrophonePath(id, out.friendlyName);
      StoreNameField(out.path, path.c_str());
    }
  }
  return true;
}

// A filter bound from the moniker, or none when binding fails.
std::unique_ptr<CaptureFilter> BindFilter(DeviceMoniker& moniker) {
  std::unique_ptr<CaptureFilter> filter;
  if (Failed(moniker.BindToObject(&filter))) filter.reset();
  return filter;
}

void CopyField(WideChar (&to)[kNameUnits], const WideChar (&from)[kNameUnits]) {
  StoreNameField(to, from);
}

class Refresh {
 public:
  Refresh(DiscoveryContext& context, int initial)
      : context_(context), initial_(initial), known_(context.list) {}

  void WalkCategory(DeviceCategory category) {
    std::unique_ptr<DeviceEnumerator> devices;
    if (Failed(context_.services.CreateDeviceEnumerator(&devices)) || !devices) return;
    std::unique_ptr<MonikerEnumerator> monikers;
    // A failing or empty category contributes nothing: its known devices
    // stay marked and are swept.
    if (Failed(devices->CreateClassEnumerator(category, &monikers)) || !monikers) return;
    for (;;) {
      std::unique_ptr<DeviceMoniker> moniker;
      if (monikers->Next(&moniker) != kHrOk || !moniker) break;
      MonikerProperties properties;
      if (!ReadProperties(*moniker, category, properties)) continue;
      if (category == DeviceCategory::VideoInput) {
        MeetCamera(*moniker, properties);
      } else {
        MeetMicrophone(*moniker, properties);
      }
    }
    // The moniker enumerator is released before the device enumerator.
    monikers.reset();
  }

 private:
  void MeetCamera(DeviceMoniker& moniker, const MonikerProperties& properties) {
    const std::u16string path = Text(properties.path);
    if (SPDEV* known = known_.CameraByPath(path)) {
      known->sweepMark = 0;
      return;
    }
    VideoInitRecord record;
    record.captureFilter = BindFilter(moniker);
    CopyField(record.friendlyName, properties.friendlyName);
    CopyField(record.path, properties.path);
    record.notifyWindow = context_.target.Window();
    auto* camera = new SPDEVCAM(context_.poster, context_.services);
    camera->Init(&record);
    if (SPDEV* linked = Link(camera)) known_.AddCamera(linked, path);
  }

  void MeetMicrophone(DeviceMoniker& moniker, const MonikerProperties& properties) {
    const std::u16string name = Text(properties.friendlyName);
    if (SPDEV* known = known_.MicrophoneByName(name, properties.waveInId)) {
      known->sweepMark = 0;
      // Wave-in numbers move when wave devices come and go. A blocked
      // microphone gets a new worker for the new number; one whose number
      // stayed is left alone, so its input is never briefly released.
      if (properties.waveInId &&
          static_cast<std::int32_t>(known->GetWaveInId()) != *properties.waveInId) {
        known->SetWaveInId(static_cast<std::uint32_t>(*properties.waveInId));
        if (DeviceList::IsBlocked(known)) {
          known->Unblock();
          known->Block();
        }
      }
      return;
    }
    AudioInitRecord record;
    record.restoreFilter = BindFilter(moniker);
    record.workerFilter = BindFilter(moniker);
    CopyField(record.friendlyName, properties.friendlyName);
    CopyField(record.path, properties.path);
    // Without a reported number the microphone keeps wave-in number 0 and
    // an empty path.
    record.waveInId = static_cast<std::uint32_t>(properties.waveInId.value_or(0));
    record.notifyWindow = context_.target.Window();
    auto* microphone = new SPDEVMIC(context_.poster, context_.services);
    microphone->Init(&record);
    Link(microphone);
  }

  // Links a new device; answers it, or null when LinkDevice refused it.
  SPDEV* Link(SPDEV* device) {
    SPDEV* linked = context_.list.LinkDevice(device);
    if (linked == nullptr) return nullptr;
    linked->newFlag = 1;
    linked->sweepMark = 0;
    if (!initial_) DeviceList::NotifyPluggedIn(linked);
    return linked;
  }

  DiscoveryContext& context_;
  const int initial_;
  KnownDevices known_;
};

void Sweep(DeviceList& list) {
  SPDEV* device = list.head();
  while (device != nullptr) {
    SPDEV* next = device->next;
    // Destruction runs the device's unblock; what it posts while stopping
    // is ignored by the main window, which no longer finds it listed.
    if (device->sweepMark == 1) list.DestroyDevice(device);
    device = next;
  }
}

void FillList(DiscoveryTarget& target, const DeviceList& list, DeviceListBox box, bool audio) {
  // The list runs newest first and every entry goes in at the top, so the
  // oldest device ends up first.
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    const int kind = device->GetKind();
    if ((kind == DEVICE_KIND_AUDIO) != audio) continue;
    WideChar name[kNameUnits] = {};
    device->GetDisplayName(name, kMaxNameChars);
    target.InsertAtTop(box, name, MakeListItemData(DeviceList::IsBlocked(device), kind));
  }
}

void ApplyProfileRecords(SPDEV* device, const std::vector<ProfileRecord>& records) {
  const std::u16string path = PathOf(device);
  // A device without a path has no record of its own.
  if (path.empty()) return;
  for (const ProfileRecord& record : records) {
    if (record.path != path) continue;
    if (record.blocked != 0) {
      device->Block();
    } else {
      device->Unblock();
    }
  }
}

}  // namespace

std::u16string MicrophonePath(std::int32_t waveInId, const WideChar* friendlyName) {
  const std::string number = std::to_string(waveInId) + " ";
  std::u16string path(number.begin(), number.end());
  const int length = BoundedLength(friendlyName, kNameUnits);
  path.append(friendlyName,
              std::min(static_cast<size_t>(length), kMicrophonePathNameChars));
  return path;
}

int RefreshDevices(DiscoveryContext& context, int initial) {
  DeviceList& list = context.list;
  DiscoveryTarget& target = context.target;
  const bool blockStart = context.block.blockStart != 0;
  const bool blockPluggedIn = context.block.blockPluggedIn != 0;

  target.KillAudioPollTimer();
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    device->sweepMark = 1;
  }

  {
    Refresh refresh(context, initial);
    refresh.WalkCategory(DeviceCategory::VideoInput);
    refresh.WalkCategory(DeviceCategory::AudioInput);
  }

  target.ResetList(DeviceListBox::Video);
  target.ResetList(DeviceListBox::Audio);

  Sweep(list);

  int audioCount = 0;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (device->GetKind() == DEVICE_KIND_AUDIO) ++audioCount;
  }
  list.audioCount = audioCount;

  FillList(target, list, DeviceListBox::Video, false);
  FillList(target, list, DeviceListBox::Audio, true);

  std::vector<ProfileRecord> records;
  if (initial && list.profileFile() != nullptr &&
      !LoadProfile(*list.profileFile(), records)) {
    records.clear();
  }

  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (device->newFlag && device->GetKind() == DEVICE_KIND_AUDIO) {
      if (auto* microphone = dynamic_cast<SPDEVMIC*>(device)) microphone->RestoreInput();
    }
    if (initial && !blockStart) ApplyProfileRecords(device, records);
    // Block results are not reported: each success posts its own change.
    if ((initial && blockStart) || (!initial && blockPluggedIn && device->newFlag)) {
      device->Block();
    }
    device->newFlag = 0;
  }

  target.ClearSelection(DeviceListBox::Video);
  target.ClearSelection(DeviceListBox::Audio);

  SaveProfile(list);
  target.SetAudioPollTimer();
  return 0;
}

}  // namespace shadowpane
