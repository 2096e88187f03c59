// A fake of the capture-device services for native tests, benchmarks and
// the discovery fuzz target: it records every call and every release in
// order, can fail any call by name, lists the devices a test gives it, and
// runs workers on std::thread.
//
// Call names (used for Fail, Count and in the log; a release of an object
// is logged as "release <label>"):
//   CreateDeviceEnumerator, CreateFilterGraph, CreateCaptureGraphBuilder,
//   CreateNullRenderer, CoInitialize, CoUninitialize,
//   devenum.CreateClassEnumerator, enum.Next, moniker.BindToStorage,
//   moniker.BindToObject, bag.ReadText(<name>), bag.ReadInteger(<name>),
//   builder.SetFiltergraph, builder.FindPin, builder.RenderStream,
//   graph.QueryMediaControl, graph.QueryMediaEvent, graph.AddFilter(<name>),
//   events.SetNotifyWindow, events.GetEvent, events.FreeEventParams,
//   control.Pause, control.Stop, pin.QueryAudioInputMixer,
//   inputMixer.PutEnable(0|1), waveInOpen, mixerOpen, mixer.GetLineInfo,
//   mixer.GetLineControl, mixer.SetControl, waveInGetNumDevs,
//   waveInMessage(interface), waveInMessage(endpoint), GetVersion,
//   filter.GetState, inputMixer.GetEnable, CreateAudioEndpointEnumerator,
//   endpointEnum.GetDevice, endpoint.ActivateVolume, endpointVolume.GetMute,
//   endpointVolume.SetMute(0|1), endpointVolume.Register,
//   endpointVolume.Unregister, endpointVolume.QueryHardwareSupport,
//   endpoint.ActivateClient, audioClient.GetMixFormat,
//   audioClient.Initialize(shared|exclusive) (detail: bits, "f" float or
//   "i" integer),
//   StartThread, thread.Join, Sleep.
// Some calls log a detail after the name, e.g. "waveInOpen id=0 ch=1".
// Object labels: devenum, enum, moniker, bag, graph, builder, nullRenderer,
// control, events, pin, inputMixer, waveIn, mixer, thread, endpointEnum,
// endpoint, endpointVolume, audioClient, and the label a
// test gives a filter (bound filters: "filter:<friendly name>").
//
// Like a capture driver, a device serves one client at a time: while a
// graph has rendered a stream from one of its filters, RenderStream from
// any other filter of the same device answers VFW_E_CANNOT_CONNECT (after
// logging the call), until that graph is released. A shared device admits
// every client, as newer systems share a camera. A device that refuses at
// pause connects every client but lets only one capture filter reach
// Paused; its graph still answers Pause with S_FALSE, as a real graph whose
// renderer waits for a sample does, and the refused filter's GetState
// answers S_OK and State_Stopped.
//
// Hardware can also come and go (Plug, Unplug): the system numbers the
// wave inputs 0..n-1 and renumbers them as inputs come, go or are swapped,
// and every call through an object of an unplugged unit fails, as a driver
// that is gone answers. Once the fake lists a microphone, waveInOpen of a
// number none has answers MMSYSERR_BADDEVICEID. The fake knows which device object holds which
// unit (Holds), and lets the workers go round their loops (Settle,
// LetWorkersGoRound) so that a test can look in between.
//
// Audio endpoints keep one mute for every program (a Windows endpoint), or,
// with endpointMutePerObject, one per volume object, as Wine's do; change
// notices reach registered listeners only for changes made from outside
// (MuteEndpointFromOutside). An endpoint mutes in software unless
// SetEndpointHardwareMute says otherwise. Its clients open streams as the
// system's do: an exclusive one takes integer samples only, and is refused
// while any other stream is open (AUDCLNT_E_DEVICE_IN_USE), unless
// exclusiveAdmittedBesideShared lets it in beside shared ones, as Wine does.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "devices/CaptureServices.h"

namespace shadowpane::testing {

// A device the fake's system device enumerator lists.
struct FakeDeviceInfo {
  std::optional<std::u16string> friendlyName;
  std::optional<std::u16string> devicePath;
  std::optional<std::int32_t> waveInId;
  // What the wave-input driver answers for the device's number; none: the
  // query is not supported.
  std::optional<std::u16string> deviceInterface = std::nullopt;
  // Which physical input this is, for tests that follow one input through
  // renumbering: its filters and the wave input opened at its number are
  // tied to it ("filter:<name>/<unit>"). Empty: "filter:<name>".
  std::string unit = std::string();
  // The device admits a second client while one holds it.
  bool shared = false;
  // The device admits a second connection but refuses it at pause.
  bool refusesAtPause = false;
  // What the wave-input driver names as the number's audio endpoint; none:
  // the input has no endpoint.
  std::optional<std::u16string> endpointId = std::nullopt;
  // Set by AddDevice: which listed device this is, so that every binding
  // of its moniker is a client of the same device.
  int serial = 0;
  // The moniker's "CLSID": the class that makes the device's filter.
  std::optional<std::u16string> filterClass = std::nullopt;
};

// VFW_E_CANNOT_CONNECT: what a graph answers when a device refuses a client.
constexpr HResult kHrCannotConnect = static_cast<HResult>(0x80040217u);

class FakeCaptureServices : public CaptureServices {
 public:
  FakeCaptureServices();
  ~FakeCaptureServices() override;

  // ---- What the fake lists and answers ----
  void AddDevice(DeviceCategory category, const FakeDeviceInfo& device);
  void ClearDevices(DeviceCategory category);
  std::atomic<std::uint32_t> majorVersion{6};
  std::atomic<std::uint32_t> waveInCount{0};
  std::atomic<std::uint32_t> mixerLineChannels{2};
  std::atomic<std::uint32_t> mixerControlFlags{0};
  // Plugs in the input of device.unit. A microphone takes the wave-in
  // number device.waveInId (at most the count of those listed) and those
  // numbered from there on move up by one; waveInCount follows.
  void Plug(DeviceCategory category, FakeDeviceInfo device);
  // The unit leaves the lists; microphones numbered above it move down.
  void Unplug(const std::string& unit);
  // The system exchanges the wave-in numbers of two microphones.
  void SwapWaveIn(std::int32_t first, std::int32_t second);
  // Events the camera's graph hands out from GetEvent, oldest first.
  void QueueGraphEvent(std::int32_t code);

  // Makes the named call answer `result` for its next `times` calls
  // (every call when times is negative). StartThread fails with any result.
  void Fail(const std::string& call, std::int64_t result, int times = -1);

  // A filter reference as discovery would have bound it; each is a device
  // of its own.
  std::unique_ptr<CaptureFilter> MakeFilter(const std::string& label);
  // A filter of the named device: filters of one device are bindings of
  // one moniker and admit one client at a time unless it is shared.
  std::unique_ptr<CaptureFilter> MakeFilter(const std::string& label, const std::string& device);
  void ShareDevice(const std::string& device, bool shared = true);
  void RefuseAtPause(const std::string& device, bool refuses = true);
  // Graphs that hold the device open now.
  int OpenClients(const std::string& device) const;

  // ---- What happened ----
  std::vector<std::string> Log() const;
  // Log entries whose text starts with the prefix, in order.
  std::vector<std::string> LogMatching(const std::string& prefix) const;
  void ClearLog();
  // Calls of that name since the start (not cleared by ClearLog).
  int Count(const std::string& call) const;
  // Waits until Count(call) reaches n; false on time-out.
  bool WaitForCount(const std::string& call, int n,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Objects handed out and not yet released.
  int LiveObjects() const;
  // Threads whose handle was closed before they had been joined.
  int UnjoinedCloses() const;
  // Whether the unit's input is silenced now: its wave-in line muted
  // through a mixer, or its analog input switched off through a filter.
  bool Silenced(const std::string& unit) const;
  // An endpoint's mute as every program reads it.
  bool EndpointMuted(const std::u16string& endpointId) const;
  // Setting an endpoint's mute makes it known; so does listing it with a
  // device. GetDevice of any other id answers E_NOTFOUND.
  void SetEndpointMuted(const std::u16string& endpointId, bool muted);
  bool EndpointKnown(const std::u16string& endpointId) const;
  // A watcher on the endpoint: how often it went from muted to unmuted,
  // whoever set it.
  int EndpointUnmutedMoments(const std::u16string& endpointId) const;
  // Another program changes the mute: listeners hear of it at once, on the
  // calling thread.
  void MuteEndpointFromOutside(const std::u16string& endpointId, bool muted);
  std::atomic<bool> endpointMutePerObject{false};
  // The endpoint's mute is the device's own (ENDPOINT_HARDWARE_SUPPORT_MUTE).
  void SetEndpointHardwareMute(const std::u16string& endpointId, bool hardware);
  bool EndpointHardwareMute(const std::u16string& endpointId) const;
  // Streams of that mode open on the endpoint now.
  int AudioStreamsOf(const std::u16string& endpointId, AudioShareMode mode) const;
  std::atomic<bool> exclusiveAdmittedBesideShared{false};
  // What every client answers from GetMixFormat: 48 kHz stereo float.
  static const AudioStreamFormat kMixFormat;
  // Listeners registered with the endpoint now.
  int MuteListeners(const std::u16string& endpointId);
  // The endpoint's input is unplugged: GetDevice answers E_NOTFOUND and
  // its volume objects fail every call.
  bool EndpointGone(const std::u16string& endpointId) const;
  // NowMs: with realSleepMicros negative the real clock; otherwise a clock
  // that each sleep which ran out moves on by the time it was asked for,
  // unless stopped (a wake leaves it where it is).
  std::atomic<bool> clockStopped{false};
  // Keep the ordered log (counts are always kept). Long runs switch it off.
  std::atomic<bool> recordOrder{true};
  // Neither log nor count anything: benchmarks, where only the code under
  // test should cost. Failures set with Fail still apply.
  std::atomic<bool> quiet{false};
  // How long Sleep really waits; negative: as long as asked.
  std::atomic<int> realSleepMicros{200};
  // While set, started threads wait before running their entry.
  void HoldThreadStarts(bool hold);
  // A unit held by a device object: by a paused graph (the holder is the
  // instance given to SetNotifyWindow) or by a worker that silenced it
  // (the argument the worker was started with).
  struct Hold {
    const void* holder;
    std::string unit;
  };
  std::vector<Hold> Holds() const;
  // Waits until every worker has reached its first Sleep or ended.
  bool Settle(std::chrono::milliseconds timeout);
  // Waits until every worker has gone round its loop once more (two more
  // Sleeps: woken, re-applied, asleep again) or ended.
  bool LetWorkersGoRound(std::chrono::milliseconds timeout);

  // ---- CaptureServices ----
  HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) override;
  MmResult WaveInputEndpointId(std::uint32_t waveInId, std::u16string* endpointId) override;
  HResult CreateAudioEndpointEnumerator(std::unique_ptr<AudioEndpointEnumerator>* enumerator) override;
  HResult CreateFilterGraph(std::unique_ptr<FilterGraph>* graph) override;
  HResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>* builder) override;
  HResult CreateNullRenderer(std::unique_ptr<CaptureFilter>* renderer) override;
  HResult InitializeThreadCom() override;
  void UninitializeThreadCom() override;
  MmResult OpenWaveInput(std::uint32_t waveInId, const WaveFormat& format,
                         std::unique_ptr<WaveInput>* input) override;
  MmResult OpenWaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) override;
  std::uint32_t WaveInputCount() override;
  MmResult WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface) override;
  // "waveInGetDevCaps": the name of the device at the number, cut as the
  // driver cuts it.
  MmResult WaveInputName(std::uint32_t waveInId, std::u16string* name) override;
  std::uint32_t SystemMajorVersion() override;
  std::unique_ptr<WorkerThread> StartThread(ThreadEntry entry, void* argument) override;
  void Sleep(std::uint32_t milliseconds) override;
  // Not logged; SleepOrWake logs and counts as "Sleep".
  std::shared_ptr<WakeSignal> CreateWakeSignal() override;
  bool SleepOrWake(WakeSignal& signal, std::uint32_t milliseconds) override;
  std::uint32_t NowMs() override;

  // ---- Used by the fake's own objects ----
  // Records the call and answers the result a test set for it, or `success`.
  std::int64_t Call(const std::string& name, const std::string& detail = std::string(),
                    std::int64_t success = 0);
  void Created();
  void Released(const std::string& label);
  struct Worker {
    bool ended = false;
    unsigned naps = 0;  // Sleeps so far
  };
  Worker* StartWorker(const void* argument);
  void WorkerEnded(Worker* worker);
  void ThreadClosed(Worker* worker, bool joined);
  void WaitWhileThreadsHeld();
  std::optional<std::int32_t> NextGraphEvent();
  std::vector<FakeDeviceInfo> Devices(DeviceCategory category) const;
  // The unit of the audio input listed with that number now; empty if none.
  std::string UnitAtWaveInId(std::uint32_t waveInId) const;
  void SetWaveMuted(const std::string& unit, bool muted);
  void SetInputEnabled(const std::string& unit, bool enabled);
  // A graph opens the device (false: refused) and closes it again.
  bool OpenDevice(const std::string& device);
  void CloseDevice(const std::string& device);
  std::string NextAnonymousDevice();
  // A capture filter of the device asks to pause; false: refused.
  bool PauseClient(const std::string& device);
  void UnpauseClient(const std::string& device);
  bool Unplugged(const std::string& unit) const;
  // Who holds what: a taker (graph or worker) names its holder, then takes
  // and lets go of units; Forget drops the taker.
  void SetHolder(const void* taker, const void* holder);
  void Take(const void* taker, const std::string& unit, bool held);
  void Forget(const void* taker);
  void AddMuteListener(const std::u16string& endpointId, std::shared_ptr<EndpointMuteListener> listener);
  void RemoveMuteListener(EndpointMuteListener* listener);
  HResult OpenAudioStream(const std::u16string& endpointId, AudioShareMode mode, const AudioStreamFormat& format);
  void CloseAudioStream(const std::u16string& endpointId, AudioShareMode mode);

 private:
  struct AudioStreams {
    int shared = 0;
    int exclusive = 0;
  };
  std::map<std::u16string, AudioStreams> audioStreams_;
  std::map<std::u16string, bool> hardwareMute_;
  bool EndpointGoneLocked(const std::u16string& endpointId) const;
  struct Failure {
    std::int64_t result;
    int times;
  };
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::vector<std::string> log_;
  std::map<std::string, int> counts_;
  std::map<std::string, Failure> failures_;
  std::map<DeviceCategory, std::vector<FakeDeviceInfo>> devices_;
  std::deque<std::int32_t> graphEvents_;
  std::map<std::string, bool> waveMuted_;
  std::map<std::string, bool> inputDisabled_;
  std::map<std::string, int> openClients_;
  std::map<std::string, bool> sharedDevices_;
  std::map<std::string, bool> refusingAtPause_;
  std::map<std::string, int> pausedClients_;
  std::map<std::u16string, bool> endpointMuted_;
  std::map<std::u16string, int> endpointUnmutes_;
  // Its own lock, held while a notice is delivered, so that no listener is
  // called once its removal has returned.
  std::mutex listenerLock_;
  std::vector<std::pair<std::u16string, std::shared_ptr<EndpointMuteListener>>> muteListeners_;
  // Endpoints of unplugged inputs: every call through them fails.
  std::set<std::u16string> goneEndpoints_;
  std::atomic<std::uint32_t> clockMs_{0};
  void Nap(std::uint32_t milliseconds);
  void AdvanceClock(std::uint32_t milliseconds);
  // The audio input listed with that number now, or null; lock_ held.
  const FakeDeviceInfo* AudioAtLocked(std::uint32_t waveInId) const;
  void TakeLocked(const void* taker, const std::string& unit, bool held);
  void AddDeviceLocked(DeviceCategory category, const FakeDeviceInfo& device);
  // Lists the microphones in the order of their numbers; lock_ held.
  void NumberedLocked();
  std::set<std::string> unplugged_;
  // Once it lists a microphone, the fake opens only the numbers it lists.
  bool listsAudio_ = false;
  struct Taken {
    const void* holder = nullptr;
    std::set<std::string> units;
  };
  std::map<const void*, Taken> taken_;
  std::vector<std::unique_ptr<Worker>> workers_;
  int nextDevice_ = 0;
  int liveObjects_ = 0;
  int unjoinedCloses_ = 0;
  bool holdThreads_ = false;
};

}  // namespace shadowpane::testing
