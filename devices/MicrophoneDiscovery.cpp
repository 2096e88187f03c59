#include "devices/MicrophoneDiscovery.h"

#include <optional>
#include <string>
#include <utility>

#include "devices/Microphone.h"
#include "devices/MicrophoneMatching.h"

namespace shadowpane {

namespace {

// A microphone recognised for sure: it follows its input's number.
void FollowMicrophone(SPDEVMIC& microphone, const AudioInput& input) {
  if (!input.deviceInterface.empty()) microphone.SetDeviceInterface(input.deviceInterface);
  const auto& number = input.properties.waveInId;
  // Wave-in numbers move when wave devices come and go. A blocked
  // microphone gets a new worker for the new number, which takes over the
  // endpoint's mute without giving it back; one whose number stayed is
  // left alone, so its input is never briefly released.
  if (number && static_cast<std::int32_t>(microphone.GetWaveInId()) != *number) {
    microphone.SetWaveInId(static_cast<std::uint32_t>(*number));
    if (DeviceList::IsBlocked(&microphone) || microphone.HoldRequested()) {
      microphone.HandOver();
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

SPDEV* CreateMicrophone(DiscoveryContext& context, int initial, AudioInput& input) {
  AudioInitRecord record;
  record.restoreFilter = BindFilter(*input.moniker);
  record.workerFilter = BindFilter(*input.moniker);
  record.checkFilter = BindFilter(*input.moniker);
  CopyField(record.friendlyName, input.properties.friendlyName);
  CopyField(record.path, input.properties.path);
  // Without a reported number the microphone keeps wave-in number 0 and
  // an empty path.
  record.waveInId = static_cast<std::uint32_t>(input.properties.waveInId.value_or(0));
  record.notifyWindow = context.target.Window();
  record.deviceInterface = input.deviceInterface;
  auto* microphone =
      new SPDEVMIC(context.poster, context.services, context.mutedEndpoints, context.endpointHolders);
  microphone->Init(&record);
  return LinkNewDevice(context.list, microphone, initial);
}

}  // namespace

std::vector<SPDEV*> MeetMicrophones(DiscoveryContext& context, int initial,
                                    std::vector<AudioInput>& inputs) {
  std::vector<SPDEV*> holdWhenNew;
  std::vector<SPDEVMIC*> known;
  std::vector<ListedMicrophone> listed;
  for (SPDEV* device = context.list.head(); device != nullptr; device = device->next) {
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
      if (context.services.WaveInputInterface(
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
  // another input's binding; the endpoints stay muted until the end of the
  // refresh gives back those no hold took up again.
  for (int index : matching.stopFirst) known[static_cast<size_t>(index)]->HandOver();
  for (size_t i = 0; i < inputs.size(); ++i) {
    const MicrophoneMatch& match = matching.reported[i];
    if (match.listed < 0) {
      SPDEV* created = CreateMicrophone(context, initial, inputs[i]);
      if (created != nullptr && match.hold) holdWhenNew.push_back(created);
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
  return holdWhenNew;
}

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

}  // namespace shadowpane
