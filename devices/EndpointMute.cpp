#include "devices/EndpointMute.h"

#include <set>

#include "devices/Microphone.h"

namespace shadowpane {

namespace {

// The enumerator, device and volume of one endpoint, released in the order
// volume, device, enumerator.
struct EndpointObjects {
  std::unique_ptr<AudioEndpointEnumerator> enumerator;
  std::unique_ptr<AudioEndpoint> endpoint;
  std::unique_ptr<EndpointVolume> volume;

  ~EndpointObjects() { Release(); }
  void Release() {
    volume.reset();
    endpoint.reset();
    enumerator.reset();
  }
  HResult Open(CaptureServices& services, const std::u16string& endpointId) {
    HResult hr = services.CreateAudioEndpointEnumerator(&enumerator);
    if (Failed(hr)) return hr;
    hr = enumerator->GetDevice(endpointId, &endpoint);
    if (Failed(hr)) return hr;
    return endpoint->ActivateVolume(&volume);
  }
};

// Reads the endpoint's mute through objects of its own; none when a step
// failed.
std::optional<bool> ReadMuteForOthers(CaptureServices& services, const std::u16string& endpointId) {
  EndpointObjects objects;
  bool muted = false;
  if (Failed(objects.Open(services, endpointId)) || Failed(objects.volume->GetMute(&muted))) {
    return std::nullopt;
  }
  return muted;
}

// Sets the endpoint back to what was found and reads it back as another
// program would: only that read makes the give-back done.
bool RestoreFound(CaptureServices& services, EndpointVolume& volume, const std::u16string& endpointId,
                  bool foundUnmuted) {
  if (Failed(volume.SetMute(!foundUnmuted))) return false;
  const std::optional<bool> muted = ReadMuteForOthers(services, endpointId);
  return muted && *muted == !foundUnmuted;
}

}  // namespace

bool RemuteBudget::Take(std::uint32_t nowMs) {
  if (used_ < kMaxImmediateRemutesPerSecond) {
    times_[used_++] = nowMs;
    return true;
  }
  // The oldest of the last kMaxImmediateRemutesPerSecond; unsigned
  // differences stay right across the clock's wrap.
  if (nowMs - times_[next_] < kImmediateRemuteWindowMs) return false;
  times_[next_] = nowMs;
  next_ = (next_ + 1) % kMaxImmediateRemutesPerSecond;
  return true;
}

void ForeignUnmuteNotice::OnForeignMuteChange(bool muted) {
  if (muted) return;
  pending_ = true;
  if (wake_ != nullptr) wake_->Set();
}

EndpointMuteHold::EndpointMuteHold(CaptureServices& services, MutedEndpoints* record,
                                   EndpointHolders* holders, std::shared_ptr<WakeSignal> wake)
    : services_(services), record_(record), holders_(holders), wake_(std::move(wake)) {}

EndpointMuteHold::~EndpointMuteHold() { End(HoldEnding::GiveBack); }

bool EndpointMuteHold::Start(const std::u16string& endpointId) {
  EndpointObjects objects;
  if (Failed(objects.Open(services_, endpointId))) return false;
  const bool recorded = record_ != nullptr && record_->Contains(endpointId);
  const auto readAlone = [&]() -> std::optional<bool> {
    bool muted = false;
    if (Failed(objects.volume->GetMute(&muted))) return std::nullopt;
    // A recorded endpoint was muted by an earlier hold of this program (a
    // hold handed over, or a run that ended without giving it back).
    return !muted || recorded;
  };
  const std::optional<bool> foundUnmuted =
      holders_ != nullptr ? holders_->Join(endpointId, readAlone) : readAlone();
  if (!foundUnmuted) return false;
  // Recorded before muting, so no moment exists in which a crash leaves a
  // muted endpoint unrecorded.
  const bool added = *foundUnmuted && !recorded && record_ != nullptr;
  if (added) record_->Add(endpointId);
  if (Failed(objects.volume->SetMute(true))) {
    // Nothing was muted: this copy's part ends without a give-back.
    if (holders_ != nullptr) holders_->Leave(endpointId, false, [](bool) { return true; });
    if (added) record_->Remove(endpointId);
    return false;
  }
  foundUnmuted_ = *foundUnmuted;
  id_ = endpointId;
  enumerator_ = std::move(objects.enumerator);
  endpoint_ = std::move(objects.endpoint);
  volume_ = std::move(objects.volume);
  // A failed query counts as no mute of the device's own. A stream that
  // could not be opened is found by the check, which then admits.
  std::uint32_t support = 0;
  hardwareMute_ = Succeeded(volume_->QueryHardwareSupport(&support)) && (support & kEndpointHardwareSupportMute) != 0;
  if (!hardwareMute_) stream_.Start(*endpoint_);
  // Without change notices the periodic re-application still holds it.
  if (wake_ != nullptr) {
    notice_ = std::make_shared<ForeignUnmuteNotice>(wake_);
    listening_ = Succeeded(volume_->RegisterMuteListener(notice_));
  }
  return true;
}

bool EndpointMuteHold::ExclusiveStreamsSilent() {
  if (volume_ == nullptr) return false;
  // A mute of the device's own reaches exclusive streams; otherwise only a
  // refused exclusive open keeps them out.
  return hardwareMute_ || TryExclusiveOpen(services_, id_) == ExclusiveOpen::Refused;
}

bool EndpointMuteHold::Reapply() { return volume_ != nullptr && Succeeded(volume_->SetMute(true)); }

bool EndpointMuteHold::PauseForTalk() {
  if (volume_ == nullptr) return false;
  // Paused first: the unmute below may come back as a notice.
  paused_ = true;
  return RestoreFound(services_, *volume_, id_, foundUnmuted_);
}

bool EndpointMuteHold::ResumeAfterTalk() {
  if (volume_ == nullptr) return false;
  const bool muted = Succeeded(volume_->SetMute(true));
  // The talk's own unmute is no other program's; a later one is answered.
  if (notice_ != nullptr) notice_->Take();
  paused_ = false;
  return muted && EndpointMutedForOthers(services_, id_);
}

void EndpointMuteHold::AnswerNotice(std::uint32_t nowMs) {
  if (volume_ == nullptr || notice_ == nullptr || !notice_->Take() || paused_) return;
  // Past the budget the periodic re-application answers instead, so a
  // program that insists gets no ping-pong; the contest is shown.
  const bool answered = budget_.Take(nowMs);
  contest_.NoteUnmute(nowMs, answered);
  if (!answered) return;
  volume_->SetMute(true);
  ++answered_;
}

LeaveOutcome EndpointMuteHold::End(HoldEnding ending) {
  if (volume_ == nullptr) return LeaveOutcome::GivenBack;
  // No notice is answered once this returns. Should the system refuse to
  // unregister, its late notices reach the shared notice object, which
  // only wakes a signal that is still alive.
  if (listening_) volume_->UnregisterMuteListener();
  listening_ = false;
  notice_.reset();
  LeaveOutcome outcome = LeaveOutcome::GivenBack;
  // Without a record, what was found could not be told to the next hold.
  if (ending == HoldEnding::GiveBack || record_ == nullptr) {
    const bool recordedUnmuted = foundUnmuted_ || (record_ != nullptr && record_->Contains(id_));
    const auto giveBack = [&](bool foundUnmuted) {
      return RestoreFound(services_, *volume_, id_, foundUnmuted);
    };
    if (holders_ != nullptr) {
      outcome = holders_->Leave(id_, recordedUnmuted, giveBack);
    } else if (!giveBack(recordedUnmuted)) {
      outcome = LeaveOutcome::Failed;
    }
    // Left recorded when not given back and verified (another holder keeps
    // it, or the read-back failed), so the stray clean-up tries again.
    if (outcome == LeaveOutcome::GivenBack && record_ != nullptr) record_->Remove(id_);
  }
  Release();
  return outcome;
}

void EndpointMuteHold::Release() {
  stream_.Release();
  volume_.reset();
  endpoint_.reset();
  enumerator_.reset();
}

bool EndpointMutedForOthers(CaptureServices& services, const std::u16string& endpointId) {
  const std::optional<bool> muted = ReadMuteForOthers(services, endpointId);
  return muted && *muted;
}

LeaveOutcome GiveBackEndpoint(CaptureServices& services, MutedEndpoints& record, EndpointHolders* holders,
                              const std::u16string& endpointId) {
  EndpointObjects objects;
  const bool opened = Succeeded(objects.Open(services, endpointId));
  const auto giveBack = [&](bool foundUnmuted) {
    return opened && RestoreFound(services, *objects.volume, endpointId, foundUnmuted);
  };
  const bool recorded = record.Contains(endpointId);
  LeaveOutcome outcome = LeaveOutcome::GivenBack;
  if (holders != nullptr) {
    outcome = holders->Leave(endpointId, recorded, giveBack);
  } else if (!giveBack(recorded)) {
    outcome = LeaveOutcome::Failed;
  }
  if (outcome == LeaveOutcome::GivenBack) record.Remove(endpointId);
  return outcome;
}

std::size_t ReleaseStrayEndpointMutes(DeviceList& list, CaptureServices& services,
                                      MutedEndpoints& record, EndpointHolders* holders,
                                      std::size_t* failed) {
  std::set<std::u16string> held;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    auto* microphone = dynamic_cast<SPDEVMIC*>(device);
    if (microphone != nullptr && microphone->HoldRequested() && !microphone->EndpointId().empty()) {
      held.insert(microphone->EndpointId());
    }
  }
  std::vector<std::u16string> ids = record.Entries();
  // A claim kept for a hold that was handed over and never taken up again
  // ends too, or the other copies would wait on this one for ever.
  if (holders != nullptr) {
    for (const std::u16string& id : holders->Claimed()) {
      if (!record.Contains(id)) ids.push_back(id);
    }
  }
  // The user-interface thread runs this: all its lock waits together stay
  // within one lock's; what is not given back now is tried again later.
  const std::optional<std::uint32_t> limitBefore =
      holders != nullptr ? holders->LimitLockWaits(kLockWaitMs) : std::nullopt;
  for (const std::u16string& id : ids) {
    if (held.count(id) == 0 && GiveBackEndpoint(services, record, holders, id) == LeaveOutcome::Failed &&
        failed != nullptr) {
      ++*failed;
    }
  }
  if (holders != nullptr) holders->LimitLockWaits(limitBefore);
  return record.Entries().size();
}

}  // namespace shadowpane
