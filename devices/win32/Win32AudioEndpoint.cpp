#include "devices/win32/Win32AudioEndpoint.h"

#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <audioclient.h>
#include <mmreg.h>

#include <atomic>

#include "core/win32/TextCast.h"
#include "devices/win32/ComRef.h"

namespace shadowpane {

namespace {

const GUID kClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const GUID kIidIMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const GUID kIidIAudioEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};
const GUID kIidIAudioEndpointVolumeCallback = {
    0x657804FA, 0xD6AD, 0x4496, {0x8A, 0x60, 0x35, 0x27, 0x52, 0xAF, 0x4F, 0x89}};
const GUID kIidIAudioClient = {
    0x1CB9AD4C, 0xDBFA, 0x4C32, {0xB1, 0x78, 0xC2, 0xF5, 0x68, 0xA7, 0x03, 0xB2}};
// KSDATAFORMAT_SUBTYPE_PCM and KSDATAFORMAT_SUBTYPE_IEEE_FLOAT.
const GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID kSubtypeFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr WORD kWaveFormatPcm = 1;          // WAVE_FORMAT_PCM
constexpr WORD kWaveFormatFloat = 3;        // WAVE_FORMAT_IEEE_FLOAT
constexpr WORD kWaveFormatExtensible = 0xFFFE;  // WAVE_FORMAT_EXTENSIBLE
// The bytes WAVEFORMATEXTENSIBLE adds to WAVEFORMATEX.
constexpr WORD kExtensibleExtraBytes = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
const GUID kIidIUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Used only when no context of its own can be made.
const GUID kFallbackMuteEventContext = {
    0x9816324E, 0xA953, 0x4893, {0x8B, 0xC2, 0x35, 0xDC, 0xDF, 0x63, 0x32, 0x92}};

// The event context every mute change of this copy carries, so that its own
// changes are told from everyone else's. Each copy makes its own: a copy in
// another session is "another program" too, and must see this one's changes.
const GUID& MuteEventContext() {
  static const GUID context = [] {
    GUID made = kFallbackMuteEventContext;
    if (FAILED(CoCreateGuid(&made))) made = kFallbackMuteEventContext;
    return made;
  }();
  return context;
}

// The notice sink registered with an endpoint volume: passes on the mute of
// changes that carry another context. Reference-counted as COM wants; the
// volume keeps it alive while registered, and it shares the listener, so a
// registration the system would not end never reaches a freed one.
class MuteCallback : public IAudioEndpointVolumeCallback {
 public:
  explicit MuteCallback(std::shared_ptr<EndpointMuteListener> listener) : listener_(std::move(listener)) {}
  virtual ~MuteCallback() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualGUID(iid, kIidIUnknown) || IsEqualGUID(iid, kIidIAudioEndpointVolumeCallback)) {
      *out = static_cast<IAudioEndpointVolumeCallback*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override {
    if (data != nullptr && !IsEqualGUID(data->guidEventContext, MuteEventContext())) {
      listener_->OnForeignMuteChange(data->bMuted != FALSE);
    }
    return S_OK;
  }

 private:
  std::shared_ptr<EndpointMuteListener> listener_;
  std::atomic<ULONG> references_{1};
};

class Win32EndpointVolume : public EndpointVolume {
 public:
  explicit Win32EndpointVolume(ComRef<IAudioEndpointVolume> volume) : volume_(std::move(volume)) {}
  ~Win32EndpointVolume() override { UnregisterMuteListener(); }
  Win32EndpointVolume(const Win32EndpointVolume&) = delete;
  Win32EndpointVolume& operator=(const Win32EndpointVolume&) = delete;

  HResult GetMute(bool* muted) override {
    BOOL value = FALSE;
    const HRESULT hr = volume_->GetMute(&value);
    if (SUCCEEDED(hr)) *muted = value != FALSE;
    return hr;
  }
  HResult SetMute(bool muted) override {
    return volume_->SetMute(muted ? TRUE : FALSE, &MuteEventContext());
  }
  HResult RegisterMuteListener(std::shared_ptr<EndpointMuteListener> listener) override {
    UnregisterMuteListener();
    auto* callback = new MuteCallback(std::move(listener));
    const HRESULT hr = volume_->RegisterControlChangeNotify(callback);
    if (FAILED(hr)) {
      callback->Release();
      return hr;
    }
    callback_ = callback;
    return hr;
  }
  HResult UnregisterMuteListener() override {
    if (callback_ == nullptr) return S_OK;
    const HRESULT hr = volume_->UnregisterControlChangeNotify(callback_);
    // The system does not promise a reference of its own: while it may
    // still call a registration it would not end, this one stays with the
    // callback (a few bytes, and a listener that only wakes a signal).
    if (SUCCEEDED(hr)) callback_->Release();
    callback_ = nullptr;
    return hr;
  }
  HResult QueryHardwareSupport(std::uint32_t* mask) override {
    DWORD answered = 0;
    const HRESULT hr = volume_->QueryHardwareSupport(&answered);
    if (SUCCEEDED(hr)) *mask = answered;
    return hr;
  }

 private:
  ComRef<IAudioEndpointVolume> volume_;
  MuteCallback* callback_ = nullptr;
};

// A format the system answered, as the core reads it.
AudioStreamFormat FormatOf(const WAVEFORMATEX& format) {
  AudioStreamFormat read;
  read.channels = format.nChannels;
  read.samplesPerSec = format.nSamplesPerSec;
  read.bitsPerSample = format.wBitsPerSample;
  read.validBits = format.wBitsPerSample;
  read.floating = format.wFormatTag == kWaveFormatFloat;
  if (format.wFormatTag == kWaveFormatExtensible && format.cbSize >= kExtensibleExtraBytes) {
    const auto& extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format);
    read.validBits = extensible.Samples.wValidBitsPerSample;
    read.channelMask = extensible.dwChannelMask;
    read.floating = IsEqualGUID(extensible.SubFormat, kSubtypeFloat) != FALSE;
  }
  return read;
}

// The same format as WAVEFORMATEXTENSIBLE, the one form that carries every
// field (the mix format the engine answers is of that form too).
WAVEFORMATEXTENSIBLE ExtensibleOf(const AudioStreamFormat& format) {
  WAVEFORMATEXTENSIBLE made{};
  made.Format.wFormatTag = kWaveFormatExtensible;
  made.Format.nChannels = format.channels;
  made.Format.nSamplesPerSec = format.samplesPerSec;
  made.Format.wBitsPerSample = format.bitsPerSample;
  made.Format.nBlockAlign = static_cast<WORD>(format.channels * format.bitsPerSample / 8);
  made.Format.nAvgBytesPerSec = format.samplesPerSec * made.Format.nBlockAlign;
  made.Format.cbSize = kExtensibleExtraBytes;
  made.Samples.wValidBitsPerSample = format.validBits;
  made.dwChannelMask = format.channelMask;
  made.SubFormat = format.floating ? kSubtypeFloat : kSubtypePcm;
  return made;
}

class Win32AudioClient : public AudioClient {
 public:
  explicit Win32AudioClient(ComRef<IAudioClient> client) : client_(std::move(client)) {}
  HResult GetMixFormat(AudioStreamFormat* format) override {
    WAVEFORMATEX* mix = nullptr;
    const HRESULT hr = client_->GetMixFormat(&mix);
    if (FAILED(hr)) return hr;
    if (mix == nullptr) return E_POINTER;
    *format = FormatOf(*mix);
    CoTaskMemFree(mix);  // the caller owns what GetMixFormat allocated
    return hr;
  }
  HResult Initialize(AudioShareMode mode, const AudioStreamFormat& format) override {
    const WAVEFORMATEXTENSIBLE made = ExtensibleOf(format);
    // The period is left to the system (0): shared mode must pass 0, and
    // exclusive mode then takes the device's default period.
    return client_->Initialize(mode == AudioShareMode::Exclusive ? AUDCLNT_SHAREMODE_EXCLUSIVE : AUDCLNT_SHAREMODE_SHARED,
                               0, kAudioClientBufferHns, 0, &made.Format, nullptr);
  }

 private:
  ComRef<IAudioClient> client_;
};

class Win32AudioEndpoint : public AudioEndpoint {
 public:
  explicit Win32AudioEndpoint(ComRef<IMMDevice> device) : device_(std::move(device)) {}
  HResult ActivateVolume(std::unique_ptr<EndpointVolume>* volume) override {
    ComRef<IAudioEndpointVolume> activated;
    const HRESULT hr = device_->Activate(kIidIAudioEndpointVolume, CLSCTX_INPROC_SERVER, nullptr,
                                         activated.ReceiveVoid());
    if (FAILED(hr)) return hr;
    if (!activated) return E_NOINTERFACE;
    *volume = std::make_unique<Win32EndpointVolume>(std::move(activated));
    return hr;
  }
  HResult ActivateClient(std::unique_ptr<AudioClient>* client) override {
    ComRef<IAudioClient> activated;
    const HRESULT hr = device_->Activate(kIidIAudioClient, CLSCTX_INPROC_SERVER, nullptr, activated.ReceiveVoid());
    if (FAILED(hr)) return hr;
    if (!activated) return E_NOINTERFACE;
    *client = std::make_unique<Win32AudioClient>(std::move(activated));
    return hr;
  }

 private:
  ComRef<IMMDevice> device_;
};

class Win32AudioEndpointEnumerator : public AudioEndpointEnumerator {
 public:
  explicit Win32AudioEndpointEnumerator(ComRef<IMMDeviceEnumerator> enumerator)
      : enumerator_(std::move(enumerator)) {}
  HResult GetDevice(const std::u16string& endpointId,
                    std::unique_ptr<AudioEndpoint>* endpoint) override {
    ComRef<IMMDevice> device;
    const HRESULT hr = enumerator_->GetDevice(AsWide(endpointId.c_str()), device.Receive());
    if (FAILED(hr)) return hr;
    if (!device) return E_NOINTERFACE;
    *endpoint = std::make_unique<Win32AudioEndpoint>(std::move(device));
    return hr;
  }

 private:
  ComRef<IMMDeviceEnumerator> enumerator_;
};

}  // namespace

HResult CreateWin32AudioEndpointEnumerator(std::unique_ptr<AudioEndpointEnumerator>* enumerator) {
  ComRef<IMMDeviceEnumerator> created;
  const HRESULT hr = CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER,
                                      kIidIMMDeviceEnumerator, created.ReceiveVoid());
  if (FAILED(hr)) return hr;
  if (!created) return E_NOINTERFACE;
  *enumerator = std::make_unique<Win32AudioEndpointEnumerator>(std::move(created));
  return hr;
}

}  // namespace shadowpane
