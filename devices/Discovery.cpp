#include "devices/Discovery.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "devices/Camera.h"
#include "devices/DiscoveredInput.h"
#include "devices/EndpointMute.h"
#include "devices/Microphone.h"
#include "devices/MicrophoneDiscovery.h"
#include "devices/MicrophonePath.h"

namespace shadowpane {

namespace {

constexpr WideChar kFriendlyNameProperty[] = u"FriendlyName";
constexpr WideChar kDevicePathProperty[] = u"DevicePath";
constexpr WideChar kWaveInIdProperty[] = u"WaveInID";
constexpr WideChar kFilterClassProperty[] = u"CLSID";

// A camera without a path (software cameras often have none) is known by its
// friendly name and the class that makes its filter.
std::u16string PathlessKey(const std::u16string& friendlyName, const std::u16string& filterClass) {
  return friendlyName + u'\n' + filterClass;
}

// The cameras known when the refresh began, indexed by path so that each
// moniker is resolved without walking the whole list; the first camera from
// the head wins, as in a walk of the list. Cameras without a path are
// indexed by name and filter class, each met at most once, so that twins of
// one name and class keep one object each. When fewer twins are reported
// than known, the ones left over are swept: a hold whose graph lost its
// device goes first, then cameras not held, the oldest kept longest, so a
// hold on a device still there is never dropped for a twin. Microphones are
// matched as a whole category (MicrophoneDiscovery).
class KnownCameras {
 public:
  explicit KnownCameras(const DeviceList& list) {
    for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
      if (device->GetKind() == DEVICE_KIND_AUDIO) continue;
      const std::u16string path = PathOf(device);
      if (!path.empty()) {
        camerasByPath_.emplace(path, device);  // keeps the first
      } else if (auto* camera = dynamic_cast<SPDEVCAM*>(device)) {
        // The list runs newest first: the oldest ends up in front.
        auto& twins = pathless_[PathlessKey(FriendlyNameOf(device), camera->FilterClass())];
        twins.insert(twins.begin(), device);
      }
    }
    for (auto& entry : pathless_) {
      std::stable_sort(entry.second.begin(), entry.second.end(),
                       [](SPDEV* a, SPDEV* b) { return KeepRank(a) < KeepRank(b); });
    }
  }

  SPDEV* CameraByPath(const std::u16string& path) const {
    if (path.empty()) return nullptr;
    auto it = camerasByPath_.find(path);
    return it == camerasByPath_.end() ? nullptr : it->second;
  }

  // Takes the oldest known camera of the key not met yet in this refresh.
  SPDEV* TakePathless(const std::u16string& key) {
    auto it = pathless_.find(key);
    if (it == pathless_.end() || it->second.empty()) return nullptr;
    SPDEV* camera = it->second.front();
    it->second.erase(it->second.begin());
    return camera;
  }

  // Which twin is kept first: held, then not held, then held on a lost device.
  static int KeepRank(SPDEV* camera) {
    if (!DeviceList::IsBlocked(camera)) return 1;
    return camera->PollDeviceLost() == 1 ? 2 : 0;
  }

  // A camera created in this refresh sits at the head from now on.
  void AddCamera(SPDEV* camera, const std::u16string& path) {
    if (!path.empty()) camerasByPath_[path] = camera;
  }

 private:
  std::unordered_map<std::u16string, SPDEV*> camerasByPath_;
  std::unordered_map<std::u16string, std::vector<SPDEV*>> pathless_;
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
    if (out.path[0] == 0) bag->ReadText(kFilterClassProperty, out.filterClass);
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

class Refresh {
 public:
  Refresh(DiscoveryContext& context, int initial)
      : context_(context), initial_(initial), cameras_(context.list) {}

  void WalkCategory(DeviceCategory category) {
    std::vector<AudioInput> inputs;
    {
      std::unique_ptr<DeviceEnumerator> devices;
      if (Failed(context_.services.CreateDeviceEnumerator(&devices)) || !devices) {
        complete_ = false;
        return;
      }
      std::unique_ptr<MonikerEnumerator> monikers;
      // A failing or empty category contributes nothing: its known devices
      // stay marked and are swept. Only a failure leaves the list in doubt.
      const HResult opened = devices->CreateClassEnumerator(category, &monikers);
      if (Failed(opened)) complete_ = false;
      if (Failed(opened) || !monikers) return;
      for (;;) {
        std::unique_ptr<DeviceMoniker> moniker;
        if (monikers->Next(&moniker) != kHrOk || !moniker) break;
        MonikerProperties properties;
        if (!ReadProperties(*moniker, category, properties)) continue;
        if (category == DeviceCategory::VideoInput) {
          MeetCamera(*moniker, properties);
        } else {
          inputs.push_back(AudioInput{std::move(moniker), properties, std::u16string()});
        }
      }
      // The moniker enumerator is released before the device enumerator.
      monikers.reset();
    }
    if (category == DeviceCategory::AudioInput) {
      holdWhenNew_ = MeetMicrophones(context_, initial_, inputs);
    }
  }

  // New microphones that must be held once their input has been restored.
  const std::vector<SPDEV*>& holdWhenNew() const { return holdWhenNew_; }
  // Every category was read (an empty one counts as read).
  bool complete() const { return complete_; }

 private:
  void MeetCamera(DeviceMoniker& moniker, const MonikerProperties& properties) {
    const std::u16string path = Text(properties.path);
    SPDEV* known = path.empty()
                       ? cameras_.TakePathless(PathlessKey(Text(properties.friendlyName), Text(properties.filterClass)))
                       : cameras_.CameraByPath(path);
    if (known != nullptr) {
      known->sweepMark = 0;
      return;
    }
    VideoInitRecord record;
    record.captureFilter = BindFilter(moniker);
    record.checkFilter = BindFilter(moniker);
    CopyField(record.friendlyName, properties.friendlyName);
    CopyField(record.path, properties.path);
    CopyField(record.filterClass, properties.filterClass);
    record.notifyWindow = context_.target.Window();
    auto* camera = new SPDEVCAM(context_.poster, context_.services);
    camera->Init(&record);
    if (SPDEV* linked = LinkNewDevice(context_.list, camera, initial_)) cameras_.AddCamera(linked, path);
  }

  DiscoveryContext& context_;
  const int initial_;
  KnownCameras cameras_;
  std::vector<SPDEV*> holdWhenNew_;
  bool complete_ = true;
};

void Sweep(DeviceList& list) {
  SPDEV* device = list.head();
  while (device != nullptr) {
    SPDEV* next = device->next;
    if (device->sweepMark == 1) {
      // A blocked device that went keeps its block for when it comes back.
      auto* microphone = dynamic_cast<SPDEVMIC*>(device);
      // One held only while the user is away was not the user's block.
      const bool usersBlock = !list.BlockNotSaved(PathOf(device));
      if (usersBlock && (DeviceList::IsBlocked(device) || (microphone != nullptr && microphone->HoldRequested()))) {
        list.KeepBlocked(PathOf(device));
      }
      // A microphone's endpoint stays muted: another object may stand for
      // the same input from now on, and what no hold takes up is given
      // back at the end of the refresh.
      if (microphone != nullptr) microphone->HandOver();
      // Destruction runs the device's unblock; what it posts while
      // stopping is ignored by the main window, which no longer finds it
      // listed.
      list.DestroyDevice(device);
    }
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
    target.InsertAtTop(box, name, DeviceList::ListItemDataOf(device));
  }
}

// Every record whose path equals the device's exactly, in file order: so a
// device without a path takes the records saved for devices without one.
// Answers whether any did.
bool ApplyProfileRecords(SPDEV* device, const std::vector<ProfileRecord>& records) {
  const std::u16string path = PathOf(device);
  bool applied = false;
  for (const ProfileRecord& record : records) {
    if (record.path != path) continue;
    applied = true;
    if (record.blocked != 0) {
      device->Block();
    } else {
      device->Unblock();
    }
  }
  return applied;
}

// At start, the blocked records that no listed device has: kept, in the
// file's order, for devices that come back.
void KeepAbsentBlocks(DeviceList& list, const std::vector<ProfileRecord>& records) {
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->blocked == 0) continue;
    bool listed = false;
    for (SPDEV* device = list.head(); device != nullptr && !listed; device = device->next) {
      listed = PathOf(device) == record->path;
    }
    if (!listed) list.KeepBlocked(record->path);
  }
}

// The closing pass over the refreshed list: new inputs are restored, then
// the profile records or the block settings apply, and devices in doubt are
// held.
void ApplyBlocks(DeviceList& list, int initial, const BlockSettings& block,
                 const std::vector<ProfileRecord>& records, const std::vector<SPDEV*>& holdWhenNew) {
  const bool blockStart = block.blockStart != 0;
  const bool blockPluggedIn = block.blockPluggedIn != 0;
  const std::vector<SPDEV*> savedTwins =
      initial && !blockStart ? SavedTwinsToHold(list, records) : std::vector<SPDEV*>();
  if (initial) KeepAbsentBlocks(list, records);

  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    const bool microphone = device->GetKind() == DEVICE_KIND_AUDIO;
    if (device->newFlag && microphone) {
      if (auto* audio = dynamic_cast<SPDEVMIC*>(device)) audio->RestoreInput();
    }
    const bool ownRecord = initial && !blockStart && ApplyProfileRecords(device, records);
    // A device the user had blocked is held again when it comes back; a
    // microphone is also recognised by its name, since its number moves,
    // unless a record of its own says otherwise.
    const bool returned = device->newFlag && list.TakeKeptBlock(PathOf(device), microphone && !ownRecord);
    device->heldAgainOnReturn = returned;
    // Block results are not reported: each success posts its own change.
    // A new input that may be one the user had blocked is held too.
    const bool holdInDoubt =
        (device->newFlag &&
         std::find(holdWhenNew.begin(), holdWhenNew.end(), device) != holdWhenNew.end()) ||
        std::find(savedTwins.begin(), savedTwins.end(), device) != savedTwins.end();
    if ((initial && blockStart) || (!initial && blockPluggedIn && device->newFlag) || holdInDoubt ||
        returned) {
      device->Block();
    }
    device->newFlag = 0;
    // Every hold from here on is taken on this list.
    if (auto* microphone = dynamic_cast<SPDEVMIC*>(device)) microphone->NoteListRefreshed();
  }
}

}  // namespace

int RefreshDevices(DiscoveryContext& context, int initial) {
  DeviceList& list = context.list;
  DiscoveryTarget& target = context.target;

  target.KillAudioPollTimer();
  // Read before the walk: an input that comes during it changes the count
  // the poll sees next, which then refreshes again.
  list.waveInCountAtRefresh = context.services.WaveInputCount();
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    device->sweepMark = 1;
  }

  Refresh refresh(context, initial);
  refresh.WalkCategory(DeviceCategory::VideoInput);
  refresh.WalkCategory(DeviceCategory::AudioInput);
  const std::vector<SPDEV*>& holdWhenNew = refresh.holdWhenNew();
  list.lastRefreshComplete = refresh.complete();

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

  ApplyBlocks(list, initial, context.block, records, holdWhenNew);
  // Only now: the sweep kept the blocks of devices that may have come back
  // as new objects in this very refresh.
  list.DropOldestKeptBlocks();

  target.ClearSelection(DeviceListBox::Video);
  target.ClearSelection(DeviceListBox::Audio);

  // Only now does the record tell endpoints held from those no hold keeps
  // any more: left by an earlier run, handed over and not taken up, or
  // left muted by a give-back that failed (an input that was gone and is
  // back). A record that could not be written is tried again here too.
  if (context.mutedEndpoints != nullptr) {
    ReleaseStrayEndpointMutes(list, context.services, *context.mutedEndpoints,
                              context.endpointHolders);
    context.mutedEndpoints->RetryWrite();
  }

  SaveProfile(list);
  target.SetAudioPollTimer();
  return 0;
}

}  // namespace shadowpane
