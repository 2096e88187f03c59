#include "devices/ExclusiveAccess.h"

#include <iterator>

namespace shadowpane {

namespace {

// The enumerator, device and client of one check, released in the order
// client, device, enumerator.
struct CheckObjects {
  std::unique_ptr<AudioEndpointEnumerator> enumerator;
  std::unique_ptr<AudioEndpoint> endpoint;
  std::unique_ptr<AudioClient> client;
  ~CheckObjects() {
    client.reset();
    endpoint.reset();
    enumerator.reset();
  }
};

// One exclusive Initialize on a fresh client (a client initializes once).
HResult InitializeExclusive(AudioEndpoint& endpoint, const AudioStreamFormat& format) {
  std::unique_ptr<AudioClient> client;
  const HResult hr = endpoint.ActivateClient(&client);
  if (Failed(hr)) return hr;
  // Released on return: an admitted stream ends at once.
  return client->Initialize(AudioShareMode::Exclusive, format);
}

}  // namespace

HResult SharedStreamHold::Start(AudioEndpoint& endpoint) {
  std::unique_ptr<AudioClient> client;
  HResult hr = endpoint.ActivateClient(&client);
  if (Failed(hr)) return hr;
  AudioStreamFormat mix;
  hr = client->GetMixFormat(&mix);
  if (Failed(hr)) return hr;
  hr = client->Initialize(AudioShareMode::Shared, mix);
  if (Failed(hr)) return hr;
  client_ = std::move(client);
  return hr;
}

ExclusiveOpen TryExclusiveOpen(CaptureServices& services, const std::u16string& endpointId) {
  CheckObjects objects;
  if (Failed(services.CreateAudioEndpointEnumerator(&objects.enumerator)) ||
      Failed(objects.enumerator->GetDevice(endpointId, &objects.endpoint)) ||
      Failed(objects.endpoint->ActivateClient(&objects.client))) {
    return ExclusiveOpen::Unknown;
  }
  AudioStreamFormat mix;
  if (Failed(objects.client->GetMixFormat(&mix))) return ExclusiveOpen::Unknown;
  objects.client.reset();
  AudioStreamFormat format = mix;
  for (std::size_t tried = 0;; ++tried) {
    const HResult hr = InitializeExclusive(*objects.endpoint, format);
    if (Succeeded(hr)) return ExclusiveOpen::Admitted;
    if (hr == kHrAudioDeviceInUse || hr == kHrAudioExclusiveNotAllowed) return ExclusiveOpen::Refused;
    // Any other failure tells nothing about who may take the device.
    if (hr != kHrAudioUnsupportedFormat || tried == std::size(kExclusiveTryFormats)) return ExclusiveOpen::Unknown;
    format = mix;
    format.floating = false;
    format.bitsPerSample = kExclusiveTryFormats[tried].bitsPerSample;
    format.validBits = kExclusiveTryFormats[tried].validBits;
  }
}

}  // namespace shadowpane
