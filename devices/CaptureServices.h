// The device core's narrow view of the platform's capture services: the
// system device enumerator and property bags, filter graphs, capture graph
// builders, pins and input mixers, wave input and its mixer, the system
// version and worker threads.
//
// Every object the services hand out is owned by a std::unique_ptr; its
// destructor releases the one platform reference (or closes the one handle)
// it holds, exactly once. Holders release in a stated order by resetting
// their pointers in that order.
//
// The operations mirror the platform calls one for one, so that the device
// classes decide every step, its order and its failure handling, and a fake
// of these services can record each call and fail any one of them.
//
// Portable: no platform headers. Results are the platform's own numbers:
// COM results (negative = failure, S_FALSE = 1 is a success) and multimedia
// results (0 = success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "devices/DeviceTypes.h"

namespace shadowpane {

// A COM result.
using HResult = std::int32_t;
constexpr HResult kHrOk = 0;          // S_OK
constexpr HResult kHrFalse = 1;       // S_FALSE
constexpr HResult kHrFail = static_cast<HResult>(0x80004005u);          // E_FAIL
constexpr HResult kHrNoInterface = static_cast<HResult>(0x80004002u);   // E_NOINTERFACE
constexpr HResult kHrOutOfMemory = static_cast<HResult>(0x8007000Eu);   // E_OUTOFMEMORY
constexpr bool Succeeded(HResult result) { return result >= 0; }
constexpr bool Failed(HResult result) { return result < 0; }

// A multimedia (waveIn, mixer) result.
using MmResult = std::uint32_t;
constexpr MmResult kMmNoError = 0;          // MMSYSERR_NOERROR
constexpr MmResult kMmError = 1;            // MMSYSERR_ERROR
constexpr MmResult kMmBadDeviceId = 2;      // MMSYSERR_BADDEVICEID
constexpr MmResult kMmNotSupported = 8;     // MMSYSERR_NOTSUPPORTED
constexpr MmResult kWaveBadFormat = 32;     // WAVERR_BADFORMAT

// A wave-input device's name in its capabilities: 32 units with the end mark.
constexpr std::size_t kWaveInputNameChars = 31;   // MAXPNAMELEN - 1

// Filter-graph event code of a capture device that went away.
constexpr std::int32_t kEventDeviceLost = 31;  // EC_DEVICE_LOST

enum class DeviceCategory { VideoInput, AudioInput };
enum class PinDirection { Input, Output };
enum class PinCategory { None, Capture };            // none, PIN_CATEGORY_CAPTURE
enum class MediaType { None, Video, AnalogAudio };   // none, MEDIATYPE_Video, MEDIATYPE_AnalogAudio

// ---- Filters, pins and graphs (DirectShow) --------------------------------

enum class FilterState { Stopped, Paused, Running };  // State_Stopped, State_Paused, State_Running

// How long a filter may take to report a state it is still moving to.
constexpr std::uint32_t kFilterStateTimeoutMs = 100;

// A filter reference (IBaseFilter): a device's capture filter bound from its
// moniker, or a Null Renderer.
class CaptureFilter {
 public:
  virtual ~CaptureFilter() = default;
  // IBaseFilter::GetState. A graph's own answer to Pause can hide a filter
  // that refused (a renderer's S_FALSE comes first), so whether a device
  // was really opened is asked of its filter.
  virtual HResult GetState(std::uint32_t timeoutMs, FilterState* state) = 0;
};

// IAMAudioInputMixer of an analog input pin.
class AudioInputMixer {
 public:
  virtual ~AudioInputMixer() = default;
  virtual HResult PutEnable(bool enable) = 0;
  virtual HResult GetEnable(bool* enabled) = 0;
};

// A pin reference (IPin).
class CapturePin {
 public:
  virtual ~CapturePin() = default;
  // QueryInterface(IID_IAMAudioInputMixer).
  virtual HResult QueryAudioInputMixer(std::unique_ptr<AudioInputMixer>* mixer) = 0;
};

// IMediaControl of a graph.
class MediaControl {
 public:
  virtual ~MediaControl() = default;
  virtual HResult Pause() = 0;
  virtual HResult Stop() = 0;
};

// IMediaEventEx of a graph.
class MediaEvent {
 public:
  virtual ~MediaEvent() = default;
  // The graph posts `message` with lParam = instance to the window whenever
  // it queues an event; a zero window stops that.
  virtual HResult SetNotifyWindow(NotifyWindow window, std::uint32_t message,
                                  std::intptr_t instance) = 0;
  // Takes the next queued event; a failure means the queue is empty.
  virtual HResult GetEvent(std::int32_t* code, std::intptr_t* param1, std::intptr_t* param2,
                           std::int32_t timeoutMs) = 0;
  virtual HResult FreeEventParams(std::int32_t code, std::intptr_t param1,
                                  std::intptr_t param2) = 0;
};

// IGraphBuilder of a filter graph.
class FilterGraph {
 public:
  virtual ~FilterGraph() = default;
  virtual HResult AddFilter(CaptureFilter& filter, const WideChar* name) = 0;
  virtual HResult QueryMediaControl(std::unique_ptr<MediaControl>* control) = 0;
  virtual HResult QueryMediaEvent(std::unique_ptr<MediaEvent>* events) = 0;
};

// ICaptureGraphBuilder2.
class CaptureGraphBuilder {
 public:
  virtual ~CaptureGraphBuilder() = default;
  virtual HResult SetFiltergraph(FilterGraph& graph) = 0;
  // FindPin(filter, direction, category, type, not only unconnected, index 0).
  virtual HResult FindPin(CaptureFilter& filter, PinDirection direction, PinCategory category,
                          MediaType type, std::unique_ptr<CapturePin>* pin) = 0;
  // RenderStream(no category, no type, source pin, no intermediate, sink).
  virtual HResult RenderStream(CapturePin& source, CaptureFilter& sink) = 0;
};

// ---- Device enumeration (system device enumerator) ------------------------

// A moniker's property bag (IPropertyBag).
class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  // Reads a text property into a zeroed 256-unit buffer: the whole text when
  // it has at most 255 characters, else its first 255. A failure (missing
  // property) leaves the buffer untouched.
  virtual HResult ReadText(const WideChar* name, WideChar (&value)[kNameUnits]) = 0;
  // Reads a 32-bit integer property; a failure leaves the value untouched.
  virtual HResult ReadInteger(const WideChar* name, std::int32_t* value) = 0;
};

// One device of a category (IMoniker).
class DeviceMoniker {
 public:
  virtual ~DeviceMoniker() = default;
  // BindToStorage(no bind context, no moniker to the left, IID_IPropertyBag).
  virtual HResult BindToStorage(std::unique_ptr<PropertyBag>* bag) = 0;
  // BindToObject(no bind context, no moniker to the left, IID_IBaseFilter).
  // Every call gives a reference of its own.
  virtual HResult BindToObject(std::unique_ptr<CaptureFilter>* filter) = 0;
};

// The devices of one category (IEnumMoniker).
class MonikerEnumerator {
 public:
  virtual ~MonikerEnumerator() = default;
  // Next(1): kHrOk with one moniker, anything else (S_FALSE) at the end.
  virtual HResult Next(std::unique_ptr<DeviceMoniker>* moniker) = 0;
};

// The system device enumerator (ICreateDevEnum).
class DeviceEnumerator {
 public:
  virtual ~DeviceEnumerator() = default;
  // CreateClassEnumerator(category, flags 0). An empty category answers
  // S_FALSE and gives no enumerator.
  virtual HResult CreateClassEnumerator(DeviceCategory category,
                                        std::unique_ptr<MonikerEnumerator>* enumerator) = 0;
};

// ---- Wave input and its mixer (multimedia API) -----------------------------

struct WaveFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;
};

// An open wave-input device; its destructor closes it (waveInClose).
class WaveInput {
 public:
  virtual ~WaveInput() = default;
};

// What the core uses of a mixer line (MIXERLINEW).
struct MixerLineInfo {
  std::uint32_t lineId = 0;
  std::uint32_t channels = 0;
};

// What the core uses of a mixer control (MIXERCONTROLW).
struct MixerControlInfo {
  std::uint32_t controlId = 0;
  std::uint32_t controlFlags = 0;
};

constexpr std::uint32_t kMixerLineTypeDestinationWaveIn = 7;     // MIXERLINE_COMPONENTTYPE_DST_WAVEIN
constexpr std::uint32_t kMixerControlTypeMute = 0x20010002u;     // MIXERCONTROL_CONTROLTYPE_MUTE
constexpr std::uint32_t kMixerControlFlagUniform = 0x1u;         // MIXERCONTROL_CONTROLF_UNIFORM

// An open mixer; its destructor closes it (mixerClose).
class Mixer {
 public:
  virtual ~Mixer() = default;
  // mixerGetLineInfoW by component type.
  virtual MmResult GetLineInfoByType(std::uint32_t componentType, MixerLineInfo* line) = 0;
  // mixerGetLineControlsW, one control by type.
  virtual MmResult GetLineControlByType(std::uint32_t lineId, std::uint32_t controlType,
                                        MixerControlInfo* control) = 0;
  // mixerSetControlDetails of a boolean control on `channels` channels
  // (1 or 2), each channel set to its entry of `values`.
  virtual MmResult SetBooleanControl(std::uint32_t controlId, std::uint32_t channels,
                                     const std::int32_t (&values)[2]) = 0;
};

// ---- Audio endpoints (the system's own volume and mute of a device) -------

// Told of mute changes some other program made to an endpoint (changes made
// with this program's own event context are not passed on). Called on a
// thread of the system's, which must not be kept waiting: a listener only
// notes the change and wakes whoever acts on it.
class EndpointMuteListener {
 public:
  virtual ~EndpointMuteListener() = default;
  virtual void OnForeignMuteChange(bool muted) = 0;
};

// IAudioEndpointVolume of one endpoint. Safe to call from any thread.
class EndpointVolume {
 public:
  virtual ~EndpointVolume() = default;
  virtual HResult GetMute(bool* muted) = 0;
  // SetMute with the program's own event context.
  virtual HResult SetMute(bool muted) = 0;
  // RegisterControlChangeNotify / UnregisterControlChangeNotify; one
  // listener at a time. The registration shares the listener: when the
  // system refuses to unregister, a late notice still reaches a live one.
  virtual HResult RegisterMuteListener(std::shared_ptr<EndpointMuteListener> listener) = 0;
  virtual HResult UnregisterMuteListener() = 0;
  // QueryHardwareSupport: the ENDPOINT_HARDWARE_SUPPORT_* bits of what the
  // device does in hardware. A failure leaves the mask untouched.
  virtual HResult QueryHardwareSupport(std::uint32_t* mask) = 0;
};

// The device mutes in hardware (ENDPOINT_HARDWARE_SUPPORT_MUTE): its mute
// reaches exclusive-mode streams too, not only the shared ones.
constexpr std::uint32_t kEndpointHardwareSupportMute = 0x2u;

// What IAudioClient::Initialize answers when another client keeps the
// device (AUDCLNT_E_DEVICE_IN_USE), when the user does not let programs
// take the device for themselves (AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED),
// and for a format the device cannot take (AUDCLNT_E_UNSUPPORTED_FORMAT).
constexpr HResult kHrAudioDeviceInUse = static_cast<HResult>(0x8889000Au);
constexpr HResult kHrAudioExclusiveNotAllowed = static_cast<HResult>(0x8889000Eu);
constexpr HResult kHrAudioUnsupportedFormat = static_cast<HResult>(0x88890008u);

enum class AudioShareMode { Shared, Exclusive };  // AUDCLNT_SHAREMODE_SHARED, _EXCLUSIVE

// A stream format as a WAVEFORMATEXTENSIBLE tells it: integer PCM or
// IEEE float samples of `bitsPerSample` bits (a container that holds
// `validBits`), per channel, at a rate.
struct AudioStreamFormat {
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t validBits = 0;
  bool floating = false;
  std::uint32_t channelMask = 0;
};

// IAudioClient of an endpoint: a stream of this process, which the system
// counts among the endpoint's users once it is initialized. Its destructor
// releases it, which ends the stream.
class AudioClient {
 public:
  virtual ~AudioClient() = default;
  // GetMixFormat: the format the audio engine mixes shared streams in.
  virtual HResult GetMixFormat(AudioStreamFormat* format) = 0;
  // Initialize(mode, no flags, a buffer of kAudioClientBufferHns, the
  // default period, the format, the default session). Never started.
  virtual HResult Initialize(AudioShareMode mode, const AudioStreamFormat& format) = 0;
};

// The buffer a client asks for, in 100-ns units: 100 ms.
constexpr std::int64_t kAudioClientBufferHns = 1000000;

// IMMDevice.
class AudioEndpoint {
 public:
  virtual ~AudioEndpoint() = default;
  // Activate(IID_IAudioEndpointVolume, CLSCTX_INPROC_SERVER).
  virtual HResult ActivateVolume(std::unique_ptr<EndpointVolume>* volume) = 0;
  // Activate(IID_IAudioClient, CLSCTX_INPROC_SERVER).
  virtual HResult ActivateClient(std::unique_ptr<AudioClient>* client) = 0;
};

// IMMDeviceEnumerator.
class AudioEndpointEnumerator {
 public:
  virtual ~AudioEndpointEnumerator() = default;
  // GetDevice(endpoint id).
  virtual HResult GetDevice(const std::u16string& endpointId,
                            std::unique_ptr<AudioEndpoint>* endpoint) = 0;
};

// ---- Worker threads --------------------------------------------------------

using ThreadEntry = void (*)(void* argument);

// What a worker's sleep can be cut short by (an auto-reset event): set from
// any thread; a set that comes while no one sleeps ends the next sleep.
class WakeSignal {
 public:
  virtual ~WakeSignal() = default;
  virtual void Set() = 0;
};

// A started thread; its destructor closes the handle (never waits).
class WorkerThread {
 public:
  virtual ~WorkerThread() = default;
  // Waits without a time-out until the thread has ended.
  virtual void Join() = 0;
};

// ---- The services ----------------------------------------------------------

class CaptureServices {
 public:
  virtual ~CaptureServices() = default;

  // CoCreateInstance(..., CLSCTX_INPROC_SERVER, ...) of each class.
  virtual HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) = 0;
  virtual HResult CreateFilterGraph(std::unique_ptr<FilterGraph>* graph) = 0;
  virtual HResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>* builder) = 0;
  virtual HResult CreateNullRenderer(std::unique_ptr<CaptureFilter>* renderer) = 0;

  // COM for the calling thread (a microphone worker): CoInitialize(null) and
  // the matching CoUninitialize.
  virtual HResult InitializeThreadCom() = 0;
  virtual void UninitializeThreadCom() = 0;

  // waveInOpen(id, format, no callback, CALLBACK_NULL).
  virtual MmResult OpenWaveInput(std::uint32_t waveInId, const WaveFormat& format,
                                 std::unique_ptr<WaveInput>* input) = 0;
  // Opens the mixer that serves an open wave-input device.
  virtual MmResult OpenWaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) = 0;
  // waveInGetNumDevs().
  virtual std::uint32_t WaveInputCount() = 0;
  // The device interface the wave-input driver answers for a number
  // (waveInMessage with DRV_QUERYDEVICEINTERFACESIZE, then
  // DRV_QUERYDEVICEINTERFACE). Unlike the number it stays with the device
  // when other inputs come and go, so inputs of one name can be told
  // apart. kMmNoError with a non-empty text, else the failure and no text.
  virtual MmResult WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface) = 0;
  // The name the wave-input driver gives a number now (waveInGetDevCapsW):
  // at most kWaveInputNameChars characters of the device's name.
  // kMmNoError with the name, else the failure (no such number).
  virtual MmResult WaveInputName(std::uint32_t waveInId, std::u16string* name) = 0;

  // The audio endpoint behind a wave-input number (waveInMessage with
  // DRV_QUERYFUNCTIONINSTANCEIDSIZE, then DRV_QUERYFUNCTIONINSTANCEID):
  // kMmNoError with a non-empty id, else the failure and no id.
  virtual MmResult WaveInputEndpointId(std::uint32_t waveInId, std::u16string* endpointId) = 0;
  // CoCreateInstance of the multimedia device enumerator.
  virtual HResult CreateAudioEndpointEnumerator(
      std::unique_ptr<AudioEndpointEnumerator>* enumerator) = 0;

  // The system's major version number (GetVersionExW): below 6 a microphone
  // is silenced through wave input and its mixer, from 6 on through its
  // audio endpoint's mute (and its capture filter's analog input).
  virtual std::uint32_t SystemMajorVersion() = 0;

  // Starts a thread at normal priority running entry(argument); null when
  // no thread could be created.
  virtual std::unique_ptr<WorkerThread> StartThread(ThreadEntry entry, void* argument) = 0;
  // Sleep(ms) of the calling thread.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // CreateEventW(auto-reset, not set); null when none could be made.
  virtual std::shared_ptr<WakeSignal> CreateWakeSignal() = 0;
  // WaitForSingleObject on the signal for at most `milliseconds`: true when
  // it was set (and so reset again), false when the time ran out.
  virtual bool SleepOrWake(WakeSignal& signal, std::uint32_t milliseconds) = 0;
  // A millisecond count that only goes forward (GetTickCount: it wraps
  // after 49 days, so only differences of two readings mean anything).
  virtual std::uint32_t NowMs() = 0;
};

}  // namespace shadowpane
