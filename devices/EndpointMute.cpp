#include "devices/EndpointMute.h"

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

}  // namespace

EndpointMuteHold::EndpointMuteHold(CaptureServices& services, MutedEndpoints* record)
    : services_(services), record_(record) {}

EndpointMuteHold::~EndpointMuteHold() { Restore(); }

bool EndpointMuteHold::Start(const std::u16string& endpointId) {
  EndpointObjects objects;
  if (Failed(objects.Open(services_, endpointId))) return false;
  bool muted = false;
  if (Failed(objects.volume->GetMute(&muted))) return false;
  const bool recorded = record_ != nullptr && record_->Contains(endpointId);
  foundMuted_ = muted && !recorded;
  // Recorded before muting, so no moment exists in which a crash leaves a
  // muted endpoint unrecorded.
  if (!foundMuted_ && record_ != nullptr) record_->Add(endpointId);
  if (Failed(objects.volume->SetMute(true))) {
    if (!foundMuted_ && !recorded && record_ != nullptr) record_->Remove(endpointId);
    return false;
  }
  id_ = endpointId;
  enumerator_ = std::move(objects.enumerator);
  endpoint_ = std::move(objects.endpoint);
  volume_ = std::move(objects.volume);
  // Without change notices the periodic re-application still holds it.
  listening_ = Succeeded(volume_->RegisterMuteListener(*this));
  return true;
}

bool EndpointMuteHold::Reapply() { return volume_ != nullptr && Succeeded(volume_->SetMute(true)); }

void EndpointMuteHold::OnForeignMuteChange(bool muted) {
  if (muted) return;
  volume_->SetMute(true);
  ++answered_;
}

void EndpointMuteHold::Restore() {
  if (volume_ == nullptr) return;
  // No notice arrives once this returns, so none can mute after the give-back.
  if (listening_) volume_->UnregisterMuteListener();
  listening_ = false;
  // Left recorded when the give-back fails, so the next start tries again.
  if (Succeeded(volume_->SetMute(foundMuted_)) && !foundMuted_ && record_ != nullptr) {
    record_->Remove(id_);
  }
  Release();
}

void EndpointMuteHold::Release() {
  volume_.reset();
  endpoint_.reset();
  enumerator_.reset();
}

bool EndpointMutedForOthers(CaptureServices& services, const std::u16string& endpointId) {
  EndpointObjects objects;
  if (Failed(objects.Open(services, endpointId))) return false;
  bool muted = false;
  return Succeeded(objects.volume->GetMute(&muted)) && muted;
}

std::size_t ReleaseStrayEndpointMutes(DeviceList& list, CaptureServices& services,
                                      MutedEndpoints& record) {
  for (const std::u16string& id : record.Entries()) {
    bool held = false;
    for (SPDEV* device = list.head(); device != nullptr && !held; device = device->next) {
      auto* microphone = dynamic_cast<SPDEVMIC*>(device);
      held = microphone != nullptr && microphone->HoldRequested() && microphone->EndpointId() == id;
    }
    if (held) continue;
    EndpointObjects objects;
    if (Succeeded(objects.Open(services, id)) && Succeeded(objects.volume->SetMute(false))) {
      record.Remove(id);
    }
  }
  return record.Entries().size();
}

}  // namespace shadowpane
