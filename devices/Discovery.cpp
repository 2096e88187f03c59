#include "devices/Discovery.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "devices/Camera.h"
#include "devices/DeviceText.h"
#include "devices/EndpointMute.h"
#include "devices/Microphone.h"
#include "devices/MicrophoneMatching.h"

namespace shadowpane {

namespace {

constexpr WideChar kFriendlyNameProperty[] = u"FriendlyName";
constexpr WideChar kDevicePathProperty[] = u"DevicePath";
constexpr WideChar kWaveInIdProperty[] = u"WaveInID";
constexpr WideChar kFilterClassProperty[] = u"CLSID";
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
  WideChar filterClass[kNameUnits] = {};  // cameras without a path only
  std::optional<std::int32_t> waveInId;   // microphones only
};

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
// matched as a whole category (MatchMicrophones).
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

// A filter bound from the moniker, or none when binding fails.
std::unique_ptr<CaptureFilter> BindFilter(DeviceMoniker& moniker) {
  std::unique_ptr<CaptureFilter> filter;
  if (Failed(moniker.BindToObject(&filter))) filter.reset();
  return filter;
}

void CopyField(WideChar (&to)[kNameUnits], const WideChar (&from)[kNameUnits]) {
  StoreNameField(to, from);
}

// One audio input as the enumerator reported it, kept until the whole
// category has been matched.
struct AudioInput {
  std::unique_ptr<DeviceMoniker> moniker;
  MonikerProperties properties;
  std::u16string deviceInterface;
};

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
    if (category == DeviceCategory::AudioInput) MeetMicrophones(inputs);
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
    if (SPDEV* linked = Link(camera)) cameras_.AddCamera(linked, path);
  }

  void MeetMicrophones(std::vector<AudioInput>& inputs) {
    std::vector<SPDEVMIC*> known;
    std::vector<ListedMicrophone> listed;
    for (SPDEV* device = context_.list.head(); device != nullptr; device = device->next) {
      if (device->GetKind() != DEVICE_KIND_AUDIO) continue;
      auto* microphone = dynamic_cast<SPDEVMIC*>(device);
      if (microphone == nullptr) continue;
      known.push_back(microphone);
      const bool held = DeviceList::IsBlocked(microphone) != 0 || microphone->HoldRequested();
      listed.push_back(ListedMicrophone{FriendlyNameOf(microphone),
                                        static_cast<std::uint32_t>(microphone->GetWaveInId()),
                                        microphone->DeviceInterface(), held,
                                        held && microphone->BlockedOnOlderList()});
    }
    std::vector<ReportedMicrophone> reported;
    for (AudioInput& input : inputs) {
      if (input.properties.waveInId) {
        std::u16string answer;
        if (context_.services.WaveInputInterface(
                static_cast<std::uint32_t>(*input.properties.waveInId), &answer) == kMmNoError) {
          input.deviceInterface = answer;
        }
      }
      reported.push_back(ReportedMicrophone{Text(input.properties.friendlyName),
                                            input.properties.waveInId, input.deviceInterface});
    }

    const MicrophoneMatching matching = MatchMicrophones(listed, reported);
    // A worker's wave input or filter stays with the device it opened, while
    // numbers move with the set of inputs. When the set changed since the
    // last refresh (a block may even have opened a number that already
    // meant another input), every held microphone is bound afresh to the
    // input now in its place, so each hold is the one its mark shows.
    const bool inputsChanged = AudioInputsChanged(listed, reported);
    // In doubt, every worker of the name stops before any object takes
    // another input's binding.
    for (int index : matching.stopFirst) known[static_cast<size_t>(index)]->Unblock();
    for (size_t i = 0; i < inputs.size(); ++i) {
      const MicrophoneMatch& match = matching.reported[i];
      if (match.listed < 0) {
        SPDEV* created = CreateMicrophone(inputs[i]);
        if (created != nullptr && match.hold) holdWhenNew_.push_back(created);
      } else {
        SPDEVMIC* microphone = known[static_cast<size_t>(match.listed)];
        microphone->sweepMark = 0;
        if (match.rebind) {
          RebindMicrophone(*microphone, inputs[i], match.hold);
        } else if (microphone->HoldLost() ||
                   ((inputsChanged || microphone->BlockedOnOlderList()) &&
                    (DeviceList::IsBlocked(microphone) || microphone->HoldRequested()))) {
          // Its worker holds an input that went away (unplugged and
          // replaced in its place between two refreshes), or one it opened
          // by a number from an older list: in doubt, the input now there
          // is silenced in its stead.
          RebindMicrophone(*microphone, inputs[i], true);
        } else {
          FollowMicrophone(*microphone, inputs[i]);
        }
      }
      inputs[i].moniker.reset();
    }
  }

  // A microphone recognised for sure: it follows its input's number.
  void FollowMicrophone(SPDEVMIC& microphone, const AudioInput& input) {
    if (!input.deviceInterface.empty()) microphone.SetDeviceInterface(input.deviceInterface);
    const auto& number = input.properties.waveInId;
    // Wave-in numbers move when wave devices come and go. A blocked
    // microphone gets a new worker for the new number; one whose number
    // stayed is left alone, so its input is never briefly released.
    if (number && static_cast<std::int32_t>(microphone.GetWaveInId()) != *number) {
      microphone.SetWaveInId(static_cast<std::uint32_t>(*number));
      if (DeviceList::IsBlocked(&microphone) || microphone.HoldRequested()) {
        microphone.Unblock();
        microphone.Block();
      }
    }
  }

  // A microphone that may now stand for another input of its name: it is
  // bound to the input reported in its place and held when any input of
  // the name was.
  void RebindMicrophone(SPDEVMIC& microphone, AudioInput& input, bool hold) {
    std::unique_ptr<CaptureFilter> restoreFilter = BindFilter(*input.moniker);
    std::unique_ptr<CaptureFilter> workerFilter = BindFilter(*input.moniker);
    std::unique_ptr<CaptureFilter> checkFilter = BindFilter(*input.moniker);
    const auto number = input.properties.waveInId.value_or(
        static_cast<std::int32_t>(microphone.GetWaveInId()));
    microphone.Rebind(std::move(restoreFilter), std::move(workerFilter), std::move(checkFilter),
                      static_cast<std::uint32_t>(number), input.deviceInterface);
    if (hold) microphone.Block();
  }

  SPDEV* CreateMicrophone(AudioInput& input) {
    AudioInitRecord record;
    record.restoreFilter = BindFilter(*input.moniker);
    record.workerFilter = BindFilter(*input.moniker);
    record.checkFilter = BindFilter(*input.moniker);
    CopyField(record.friendlyName, input.properties.friendlyName);
    CopyField(record.path, input.properties.path);
    // Without a reported number the microphone keeps wave-in number 0 and
    // an empty path.
    record.waveInId = static_cast<std::uint32_t>(input.properties.waveInId.value_or(0));
    record.notifyWindow = context_.target.Window();
    record.deviceInterface = input.deviceInterface;
    auto* microphone = new SPDEVMIC(context_.poster, context_.services, context_.mutedEndpoints);
    microphone->Init(&record);
    return Link(microphone);
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
  KnownCameras cameras_;
  std::vector<SPDEV*> holdWhenNew_;
  bool complete_ = true;
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
    target.InsertAtTop(box, name, DeviceList::ListItemDataOf(device));
  }
}

// Every record whose path equals the device's exactly, in file order: so a
// device without a path takes the records saved for devices without one.
void ApplyProfileRecords(SPDEV* device, const std::vector<ProfileRecord>& records) {
  const std::u16string path = PathOf(device);
  for (const ProfileRecord& record : records) {
    if (record.path != path) continue;
    if (record.blocked != 0) {
      device->Block();
    } else {
      device->Unblock();
    }
  }
}

// Microphones whose saved records cannot be told from their twins' and
// include a blocked one (HoldForSavedTwins).
std::vector<SPDEV*> SavedTwinsToHold(const DeviceList& list, const std::vector<ProfileRecord>& records) {
  std::vector<SPDEV*> microphones;
  std::vector<PresentMicrophone> present;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (device->GetKind() != DEVICE_KIND_AUDIO) continue;
    microphones.push_back(device);
    // A microphone without a number has an empty path.
    std::optional<std::int32_t> number;
    if (!PathOf(device).empty()) number = device->GetWaveInId();
    present.push_back(PresentMicrophone{FriendlyNameOf(device), number});
  }
  std::vector<std::pair<std::u16string, bool>> saved;
  for (const ProfileRecord& record : records) saved.emplace_back(record.path, record.blocked != 0);
  const std::vector<bool> hold = HoldForSavedTwins(present, saved);
  std::vector<SPDEV*> held;
  for (size_t i = 0; i < microphones.size(); ++i) {
    if (hold[i]) held.push_back(microphones[i]);
  }
  return held;
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

  const std::vector<SPDEV*> savedTwins =
      initial && !blockStart ? SavedTwinsToHold(list, records) : std::vector<SPDEV*>();

  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (device->newFlag && device->GetKind() == DEVICE_KIND_AUDIO) {
      if (auto* microphone = dynamic_cast<SPDEVMIC*>(device)) microphone->RestoreInput();
    }
    if (initial && !blockStart) ApplyProfileRecords(device, records);
    // Block results are not reported: each success posts its own change.
    // A new input that may be one the user had blocked is held too.
    const bool holdInDoubt =
        (device->newFlag &&
         std::find(holdWhenNew.begin(), holdWhenNew.end(), device) != holdWhenNew.end()) ||
        std::find(savedTwins.begin(), savedTwins.end(), device) != savedTwins.end();
    if ((initial && blockStart) || (!initial && blockPluggedIn && device->newFlag) ||
        holdInDoubt) {
      device->Block();
    }
    device->newFlag = 0;
    // Every hold from here on is taken on this list.
    if (auto* microphone = dynamic_cast<SPDEVMIC*>(device)) microphone->NoteListRefreshed();
  }

  target.ClearSelection(DeviceListBox::Video);
  target.ClearSelection(DeviceListBox::Audio);

  // Only now does the record tell endpoints this run holds from those an
  // earlier run left muted.
  if (initial && context.mutedEndpoints != nullptr) {
    ReleaseStrayEndpointMutes(list, context.services, *context.mutedEndpoints);
  }

  SaveProfile(list);
  target.SetAudioPollTimer();
  return 0;
}

}  // namespace shadowpane
