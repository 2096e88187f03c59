#include "tests/support/FakeCaptureServices.h"

#include <algorithm>
#include <thread>

namespace shadowpane::testing {

namespace {

// The worker the calling thread runs, if it is one.
thread_local FakeCaptureServices::Worker* currentWorker = nullptr;

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

std::string Narrow(const WideChar* text) {
  return text == nullptr ? std::string() : Narrow(std::u16string(text));
}

// Every object of the fake records its creation and, once, its release.
class FakeObject {
 public:
  FakeObject(FakeCaptureServices& services, std::string label)
      : services_(services), label_(std::move(label)) {
    services_.Created();
  }
  FakeObject(const FakeObject&) = delete;
  FakeObject& operator=(const FakeObject&) = delete;
  virtual ~FakeObject() { services_.Released(label_); }
  const std::string& label() const { return label_; }

 protected:
  FakeCaptureServices& services_;

 private:
  std::string label_;
};

template <typename Object, typename Base, typename... Args>
HResult Hand(std::int64_t result, std::unique_ptr<Base>* out, Args&&... args) {
  if (result < 0) return static_cast<HResult>(result);
  *out = std::make_unique<Object>(std::forward<Args>(args)...);
  return static_cast<HResult>(result);
}

class FakeFilter : public CaptureFilter, public FakeObject {
 public:
  FakeFilter(FakeCaptureServices& s, std::string label, std::string unit, std::string device)
      : FakeObject(s, std::move(label)), unit_(std::move(unit)), device_(std::move(device)) {}
  const std::string& unit() const { return unit_; }
  const std::string& device() const { return device_; }
  HResult GetState(std::uint32_t timeoutMs, FilterState* state) override {
    const auto result =
        static_cast<HResult>(services_.Call("filter.GetState", label() + " " + std::to_string(timeoutMs)));
    if (Failed(result)) return result;
    // A filter that was refused at pause never got there, and says so.
    *state = paused && !refused ? FilterState::Paused : FilterState::Stopped;
    return result;
  }
  bool paused = false;
  bool refused = false;

 private:
  std::string unit_;
  std::string device_;
};

std::string LabelOf(CaptureFilter& filter) { return static_cast<FakeFilter&>(filter).label(); }
std::string UnitOf(CaptureFilter& filter) { return static_cast<FakeFilter&>(filter).unit(); }
std::string DeviceOf(CaptureFilter& filter) { return static_cast<FakeFilter&>(filter).device(); }

class FakeInputMixer : public AudioInputMixer, public FakeObject {
 public:
  FakeInputMixer(FakeCaptureServices& s, std::string unit)
      : FakeObject(s, "inputMixer"), unit_(std::move(unit)) {}
  HResult PutEnable(bool enable) override {
    const auto result = static_cast<HResult>(
        services_.Call(enable ? "inputMixer.PutEnable(1)" : "inputMixer.PutEnable(0)"));
    if (Succeeded(result) && services_.Unplugged(unit_)) return kHrFail;
    if (Succeeded(result) && !unit_.empty()) services_.SetInputEnabled(unit_, enable);
    return result;
  }
  HResult GetEnable(bool* enabled) override {
    const auto result = static_cast<HResult>(services_.Call("inputMixer.GetEnable"));
    if (Succeeded(result) && services_.Unplugged(unit_)) return kHrFail;
    if (Succeeded(result)) *enabled = !services_.Silenced(unit_);
    return result;
  }

 private:
  std::string unit_;
};

class FakePin : public CapturePin, public FakeObject {
 public:
  FakePin(FakeCaptureServices& s, std::string unit, std::string device)
      : FakeObject(s, "pin"), unit_(std::move(unit)), device_(std::move(device)) {}
  const std::string& device() const { return device_; }
  HResult QueryAudioInputMixer(std::unique_ptr<AudioInputMixer>* mixer) override {
    // Bindings of one device share its input: keyed by unit where the
    // test follows one, else by device.
    const std::string& input = unit_.empty() ? device_ : unit_;
    const std::int64_t result = services_.Call("pin.QueryAudioInputMixer");
    return Hand<FakeInputMixer>(result >= 0 && services_.Unplugged(input) ? kHrNoInterface : result,
                                mixer, services_, input);
  }

 private:
  std::string unit_;
  std::string device_;
};

class FakeGraph;
// False, pausing nothing, when a capture filter's unit is unplugged.
bool PauseFilters(FakeGraph& graph);
void StopFilters(FakeGraph& graph);

class FakeMediaControl : public MediaControl, public FakeObject {
 public:
  FakeMediaControl(FakeCaptureServices& s, FakeGraph& graph) : FakeObject(s, "control"), graph_(graph) {}
  // A real graph answers S_FALSE while the renderer waits for a sample,
  // whatever its capture filter answered.
  HResult Pause() override {
    const auto result = static_cast<HResult>(services_.Call("control.Pause", "", kHrFalse));
    if (Succeeded(result) && !PauseFilters(graph_)) return kHrFail;
    return result;
  }
  HResult Stop() override {
    const auto result = static_cast<HResult>(services_.Call("control.Stop"));
    if (Succeeded(result)) StopFilters(graph_);
    return result;
  }

 private:
  FakeGraph& graph_;
};

class FakeMediaEvent : public MediaEvent, public FakeObject {
 public:
  FakeMediaEvent(FakeCaptureServices& s, const void* graph)
      : FakeObject(s, "events"), graph_(graph) {}
  HResult SetNotifyWindow(NotifyWindow window, std::uint32_t message,
                          std::intptr_t instance) override {
    const std::string detail = window == 0 ? "null"
                                           : "window=" + std::to_string(window) + " msg=" +
                                                 std::to_string(message) +
                                                 (instance != 0 ? " device" : " none");
    const auto result = static_cast<HResult>(services_.Call("events.SetNotifyWindow", detail));
    // The instance names the device object that holds what the graph opens.
    if (Succeeded(result) && instance != 0) {
      services_.SetHolder(graph_, reinterpret_cast<const void*>(instance));
    }
    return result;
  }
  HResult GetEvent(std::int32_t* code, std::intptr_t* param1, std::intptr_t* param2,
                   std::int32_t timeoutMs) override {
    const std::int64_t result = services_.Call("events.GetEvent", std::to_string(timeoutMs));
    if (result < 0) return static_cast<HResult>(result);
    const std::optional<std::int32_t> next = services_.NextGraphEvent();
    if (!next) return static_cast<HResult>(0x80004004u);  // E_ABORT: queue empty
    *code = *next;
    *param1 = 11;
    *param2 = 22;
    return kHrOk;
  }
  HResult FreeEventParams(std::int32_t code, std::intptr_t param1, std::intptr_t param2) override {
    return static_cast<HResult>(services_.Call(
        "events.FreeEventParams",
        std::to_string(code) + " " + std::to_string(param1) + " " + std::to_string(param2)));
  }

 private:
  const void* graph_;
};

class FakeGraph : public FilterGraph, public FakeObject {
 public:
  explicit FakeGraph(FakeCaptureServices& s) : FakeObject(s, "graph") {}
  // Releasing the graph disconnects its streams: the devices they opened
  // take the next client.
  ~FakeGraph() override {
    for (const std::string& device : openDevices_) services_.CloseDevice(device);
    for (const std::string& device : pausedDevices_) services_.UnpauseClient(device);
    services_.Forget(this);
  }
  void Opened(const std::string& device) { openDevices_.push_back(device); }
  HResult AddFilter(CaptureFilter& filter, const WideChar* name) override {
    const auto result = static_cast<HResult>(
        services_.Call("graph.AddFilter(" + Narrow(name) + ")", LabelOf(filter)));
    auto& added = static_cast<FakeFilter&>(filter);
    if (Succeeded(result) && !added.device().empty()) captureFilters_.push_back(&added);
    return result;
  }
  HResult QueryMediaControl(std::unique_ptr<MediaControl>* control) override {
    return Hand<FakeMediaControl>(services_.Call("graph.QueryMediaControl"), control, services_,
                                  *this);
  }
  // Each capture filter opens its device as it pauses; a driver that is
  // gone cannot be opened.
  bool Pause() {
    for (FakeFilter* filter : captureFilters_) {
      if (services_.Unplugged(filter->unit())) return false;
    }
    for (FakeFilter* filter : captureFilters_) {
      if (filter->paused || filter->refused) continue;
      if (services_.PauseClient(filter->device())) {
        filter->paused = true;
        pausedDevices_.push_back(filter->device());
        if (!filter->unit().empty()) services_.Take(this, filter->unit(), true);
      } else {
        filter->refused = true;
      }
    }
    return true;
  }
  void Stop() {
    for (FakeFilter* filter : captureFilters_) {
      filter->paused = filter->refused = false;
      if (!filter->unit().empty()) services_.Take(this, filter->unit(), false);
    }
    for (const std::string& device : pausedDevices_) services_.UnpauseClient(device);
    pausedDevices_.clear();
  }
  HResult QueryMediaEvent(std::unique_ptr<MediaEvent>* events) override {
    return Hand<FakeMediaEvent>(services_.Call("graph.QueryMediaEvent"), events, services_,
                                static_cast<const void*>(this));
  }

 private:
  std::vector<std::string> openDevices_;
  std::vector<std::string> pausedDevices_;
  // Capture filters outlive the graphs they are added to.
  std::vector<FakeFilter*> captureFilters_;
};

bool PauseFilters(FakeGraph& graph) { return graph.Pause(); }
void StopFilters(FakeGraph& graph) { graph.Stop(); }

const char* DirectionName(PinDirection d) { return d == PinDirection::Input ? "in" : "out"; }
const char* CategoryName(PinCategory c) { return c == PinCategory::Capture ? "capture" : "none"; }
const char* TypeName(MediaType t) {
  switch (t) {
    case MediaType::Video: return "video";
    case MediaType::AnalogAudio: return "analogaudio";
    default: return "none";
  }
}

class FakeBuilder : public CaptureGraphBuilder, public FakeObject {
 public:
  explicit FakeBuilder(FakeCaptureServices& s) : FakeObject(s, "builder") {}
  HResult SetFiltergraph(FilterGraph& graph) override {
    graph_ = &static_cast<FakeGraph&>(graph);
    return static_cast<HResult>(
        services_.Call("builder.SetFiltergraph", static_cast<FakeGraph&>(graph).label()));
  }
  HResult FindPin(CaptureFilter& filter, PinDirection direction, PinCategory category,
                  MediaType type, std::unique_ptr<CapturePin>* pin) override {
    const std::string detail = LabelOf(filter) + " " + DirectionName(direction) + " " +
                               CategoryName(category) + " " + TypeName(type);
    return Hand<FakePin>(services_.Call("builder.FindPin", detail), pin, services_,
                         UnitOf(filter), DeviceOf(filter));
  }
  HResult RenderStream(CapturePin& source, CaptureFilter& sink) override {
    auto& pin = static_cast<FakePin&>(source);
    const auto result = static_cast<HResult>(
        services_.Call("builder.RenderStream", pin.label() + " " + LabelOf(sink)));
    if (Failed(result) || graph_ == nullptr || pin.device().empty()) return result;
    if (!services_.OpenDevice(pin.device())) return kHrCannotConnect;
    graph_->Opened(pin.device());
    return result;
  }

 private:
  FakeGraph* graph_ = nullptr;
};

class FakeBag : public PropertyBag, public FakeObject {
 public:
  FakeBag(FakeCaptureServices& s, FakeDeviceInfo device) : FakeObject(s, "bag"), device_(device) {}
  HResult ReadText(const WideChar* name, WideChar (&value)[kNameUnits]) override {
    const std::string key = Narrow(name);
    const std::int64_t result = services_.Call("bag.ReadText(" + key + ")");
    if (result < 0) return static_cast<HResult>(result);
    const std::optional<std::u16string>& text =
        key == "FriendlyName" ? device_.friendlyName
        : key == "DevicePath" ? device_.devicePath
        : key == "CLSID"      ? device_.filterClass
                              : std::nullopt;
    if (!text) return kHrFail;
    const size_t n = text->size() < static_cast<size_t>(kMaxNameChars) ? text->size()
                                                                        : kMaxNameChars;
    for (size_t i = 0; i < n; ++i) value[i] = (*text)[i];
    value[n] = 0;
    return kHrOk;
  }
  HResult ReadInteger(const WideChar* name, std::int32_t* value) override {
    const std::string key = Narrow(name);
    const std::int64_t result = services_.Call("bag.ReadInteger(" + key + ")");
    if (result < 0) return static_cast<HResult>(result);
    if (key != "WaveInID" || !device_.waveInId) return kHrFail;
    *value = *device_.waveInId;
    return kHrOk;
  }

 private:
  FakeDeviceInfo device_;
};

class FakeMoniker : public DeviceMoniker, public FakeObject {
 public:
  FakeMoniker(FakeCaptureServices& s, FakeDeviceInfo device)
      : FakeObject(s, "moniker"), device_(device) {}
  HResult BindToStorage(std::unique_ptr<PropertyBag>* bag) override {
    return Hand<FakeBag>(services_.Call("moniker.BindToStorage"), bag, services_, device_);
  }
  HResult BindToObject(std::unique_ptr<CaptureFilter>* filter) override {
    std::string label = "filter:" + Narrow(device_.friendlyName.value_or(u""));
    if (!device_.unit.empty()) label += "/" + device_.unit;
    return Hand<FakeFilter>(services_.Call("moniker.BindToObject"), filter, services_, label,
                            device_.unit, deviceKey_);
  }
  // Every binding of one listed device is a client of that device.
  void SetDeviceKey(std::string key) { deviceKey_ = std::move(key); }

 private:
  FakeDeviceInfo device_;
  std::string deviceKey_;
};

class FakeMonikerEnum : public MonikerEnumerator, public FakeObject {
 public:
  FakeMonikerEnum(FakeCaptureServices& s, std::vector<FakeDeviceInfo> devices)
      : FakeObject(s, "enum"), devices_(std::move(devices)) {}
  HResult Next(std::unique_ptr<DeviceMoniker>* moniker) override {
    const std::int64_t result = services_.Call("enum.Next");
    if (result != 0) return static_cast<HResult>(result);
    if (next_ >= devices_.size()) return kHrFalse;
    auto made = std::make_unique<FakeMoniker>(services_, devices_[next_]);
    made->SetDeviceKey("device:" + std::to_string(devices_[next_].serial));
    ++next_;
    *moniker = std::move(made);
    return kHrOk;
  }

 private:
  std::vector<FakeDeviceInfo> devices_;
  size_t next_ = 0;
};

class FakeDevEnum : public DeviceEnumerator, public FakeObject {
 public:
  explicit FakeDevEnum(FakeCaptureServices& s) : FakeObject(s, "devenum") {}
  HResult CreateClassEnumerator(DeviceCategory category,
                                std::unique_ptr<MonikerEnumerator>* enumerator) override {
    const std::int64_t result = services_.Call(
        "devenum.CreateClassEnumerator", category == DeviceCategory::VideoInput ? "video" : "audio");
    if (result < 0) return static_cast<HResult>(result);
    std::vector<FakeDeviceInfo> devices = services_.Devices(category);
    // An empty category answers S_FALSE and hands out no enumerator.
    if (devices.empty()) return kHrFalse;
    *enumerator = std::make_unique<FakeMonikerEnum>(services_, std::move(devices));
    return static_cast<HResult>(result);
  }
};

// Tied to the input that had the number when it was opened, as a real
// wave-in handle is.
class FakeWaveInput : public WaveInput, public FakeObject {
 public:
  FakeWaveInput(FakeCaptureServices& s, std::string unit)
      : FakeObject(s, "waveIn"), unit(std::move(unit)) {}
  const std::string unit;
};

class FakeMixer : public Mixer, public FakeObject {
 public:
  FakeMixer(FakeCaptureServices& s, std::string unit) : FakeObject(s, "mixer"), unit_(std::move(unit)) {}
  MmResult GetLineInfoByType(std::uint32_t componentType, MixerLineInfo* line) override {
    const auto result = static_cast<MmResult>(
        services_.Call("mixer.GetLineInfo", "type=" + std::to_string(componentType)));
    if (result != kMmNoError) return result;
    line->lineId = kLineId;
    line->channels = services_.mixerLineChannels;
    return result;
  }
  MmResult GetLineControlByType(std::uint32_t lineId, std::uint32_t controlType,
                                MixerControlInfo* control) override {
    const auto result = static_cast<MmResult>(services_.Call(
        "mixer.GetLineControl",
        "line=" + std::to_string(lineId) + " type=" + std::to_string(controlType)));
    if (result != kMmNoError) return result;
    control->controlId = kControlId;
    control->controlFlags = services_.mixerControlFlags;
    return result;
  }
  MmResult SetBooleanControl(std::uint32_t controlId, std::uint32_t channels,
                             const std::int32_t (&values)[2]) override {
    const auto result = static_cast<MmResult>(services_.Call(
        "mixer.SetControl", "id=" + std::to_string(controlId) + " ch=" + std::to_string(channels) +
                                " v=" + std::to_string(values[0]) + "," + std::to_string(values[1])));
    if (result == kMmNoError && services_.Unplugged(unit_)) return kMmError;
    if (result == kMmNoError && !unit_.empty()) services_.SetWaveMuted(unit_, values[0] != 0);
    return result;
  }
  static constexpr std::uint32_t kLineId = 0xFFFF0000u;
  static constexpr std::uint32_t kControlId = 7;

 private:
  std::string unit_;
};

// AUDCLNT_E_DEVICE_INVALIDATED: the endpoint's device was removed.
constexpr HResult kHrDeviceInvalidated = static_cast<HResult>(0x88890004u);

class FakeEndpointVolume : public EndpointVolume, public FakeObject {
 public:
  FakeEndpointVolume(FakeCaptureServices& s, std::u16string id)
      : FakeObject(s, "endpointVolume"), id_(std::move(id)), muted_(s.EndpointMuted(id_)) {}
  // Like the system's, a registration the holder never ended stays with
  // the endpoint, not with this object.
  ~FakeEndpointVolume() override = default;
  HResult GetMute(bool* muted) override {
    auto result = static_cast<HResult>(services_.Call("endpointVolume.GetMute"));
    if (Succeeded(result) && services_.EndpointGone(id_)) result = kHrDeviceInvalidated;
    if (Succeeded(result)) *muted = services_.endpointMutePerObject ? muted_.load() : services_.EndpointMuted(id_);
    return result;
  }
  HResult SetMute(bool muted) override {
    auto result = static_cast<HResult>(
        services_.Call(muted ? "endpointVolume.SetMute(1)" : "endpointVolume.SetMute(0)"));
    if (Succeeded(result) && services_.EndpointGone(id_)) result = kHrDeviceInvalidated;
    if (Failed(result)) return result;
    muted_ = muted;
    if (!services_.endpointMutePerObject) services_.SetEndpointMuted(id_, muted);
    return result;
  }
  HResult RegisterMuteListener(std::shared_ptr<EndpointMuteListener> listener) override {
    const auto result = static_cast<HResult>(services_.Call("endpointVolume.Register"));
    if (Succeeded(result)) {
      listener_ = listener.get();
      services_.AddMuteListener(id_, std::move(listener));
    }
    return result;
  }
  HResult UnregisterMuteListener() override {
    const auto result = static_cast<HResult>(services_.Call("endpointVolume.Unregister"));
    // A refused unregistration leaves the listener registered.
    if (Succeeded(result)) services_.RemoveMuteListener(listener_);
    listener_ = nullptr;
    return result;
  }
  HResult QueryHardwareSupport(std::uint32_t* mask) override {
    const auto result = static_cast<HResult>(services_.Call("endpointVolume.QueryHardwareSupport"));
    if (Succeeded(result)) *mask = services_.EndpointHardwareMute(id_) ? kEndpointHardwareSupportMute : 0;
    return result;
  }

 private:
  std::u16string id_;
  std::atomic<bool> muted_;
  EndpointMuteListener* listener_ = nullptr;
};

// A client of an endpoint: it counts among the endpoint's streams from a
// successful Initialize until it is released.
class FakeAudioClient : public AudioClient, public FakeObject {
 public:
  FakeAudioClient(FakeCaptureServices& s, std::u16string id) : FakeObject(s, "audioClient"), id_(std::move(id)) {}
  ~FakeAudioClient() override {
    if (opened_) services_.CloseAudioStream(id_, mode_);
  }
  HResult GetMixFormat(AudioStreamFormat* format) override {
    const auto result = static_cast<HResult>(services_.Call("audioClient.GetMixFormat"));
    if (Succeeded(result)) *format = FakeCaptureServices::kMixFormat;
    return result;
  }
  HResult Initialize(AudioShareMode mode, const AudioStreamFormat& format) override {
    const bool exclusive = mode == AudioShareMode::Exclusive;
    auto result = static_cast<HResult>(services_.Call(
        exclusive ? "audioClient.Initialize(exclusive)" : "audioClient.Initialize(shared)",
        std::to_string(format.bitsPerSample) + (format.floating ? "f" : "i")));
    if (Failed(result)) return result;
    if (opened_) return static_cast<HResult>(0x88890002u);  // AUDCLNT_E_ALREADY_INITIALIZED
    result = services_.OpenAudioStream(id_, mode, format);
    if (Succeeded(result)) {
      opened_ = true;
      mode_ = mode;
    }
    return result;
  }

 private:
  std::u16string id_;
  bool opened_ = false;
  AudioShareMode mode_ = AudioShareMode::Shared;
};

class FakeEndpoint : public AudioEndpoint, public FakeObject {
 public:
  FakeEndpoint(FakeCaptureServices& s, std::u16string id) : FakeObject(s, "endpoint"), id_(std::move(id)) {}
  HResult ActivateVolume(std::unique_ptr<EndpointVolume>* volume) override {
    return Hand<FakeEndpointVolume>(services_.Call("endpoint.ActivateVolume"), volume, services_, id_);
  }
  HResult ActivateClient(std::unique_ptr<AudioClient>* client) override {
    return Hand<FakeAudioClient>(services_.Call("endpoint.ActivateClient"), client, services_, id_);
  }

 private:
  std::u16string id_;
};

class FakeEndpointEnumerator : public AudioEndpointEnumerator, public FakeObject {
 public:
  explicit FakeEndpointEnumerator(FakeCaptureServices& s) : FakeObject(s, "endpointEnum") {}
  HResult GetDevice(const std::u16string& endpointId, std::unique_ptr<AudioEndpoint>* endpoint) override {
    std::int64_t result = services_.Call("endpointEnum.GetDevice", Narrow(endpointId));
    // E_NOTFOUND: no such endpoint any more.
    if (result >= 0 && (!services_.EndpointKnown(endpointId) || services_.EndpointGone(endpointId))) {
      result = static_cast<HResult>(0x80070490u);
    }
    return Hand<FakeEndpoint>(result, endpoint, services_, endpointId);
  }
};

class FakeThread : public WorkerThread {
 public:
  FakeThread(FakeCaptureServices& s, ThreadEntry entry, void* argument)
      : services_(s), worker_(s.StartWorker(argument)) {
    services_.Created();
    thread_ = std::thread([&services = services_, worker = worker_, entry, argument] {
      currentWorker = worker;
      services.WaitWhileThreadsHeld();
      entry(argument);
      services.WorkerEnded(worker);
    });
  }
  ~FakeThread() override {
    const bool joined = !thread_.joinable();
    if (!joined) thread_.detach();
    services_.ThreadClosed(worker_, joined);
    services_.Released("thread");
  }
  void Join() override {
    services_.Call("thread.Join");
    thread_.join();
  }

 private:
  FakeCaptureServices& services_;
  FakeCaptureServices::Worker* worker_;
  std::thread thread_;
};

}  // namespace

FakeCaptureServices::FakeCaptureServices() = default;
FakeCaptureServices::~FakeCaptureServices() = default;

void FakeCaptureServices::AddDevice(DeviceCategory category, const FakeDeviceInfo& device) {
  std::lock_guard<std::mutex> hold(lock_);
  AddDeviceLocked(category, device);
}

void FakeCaptureServices::AddDeviceLocked(DeviceCategory category, const FakeDeviceInfo& device) {
  if (category == DeviceCategory::AudioInput) listsAudio_ = true;
  FakeDeviceInfo listed = device;
  listed.serial = ++nextDevice_;
  if (device.shared) sharedDevices_["device:" + std::to_string(listed.serial)] = true;
  if (device.refusesAtPause) refusingAtPause_["device:" + std::to_string(listed.serial)] = true;
  devices_[category].push_back(listed);
}

void FakeCaptureServices::Plug(DeviceCategory category, FakeDeviceInfo device) {
  std::lock_guard<std::mutex> hold(lock_);
  unplugged_.erase(device.unit);
  if (device.endpointId) goneEndpoints_.erase(*device.endpointId);
  if (category == DeviceCategory::AudioInput) {
    const auto count = static_cast<std::int32_t>(devices_[category].size());
    const std::int32_t number = std::clamp(device.waveInId.value_or(count), 0, count);
    for (FakeDeviceInfo& other : devices_[category]) {
      if (other.waveInId && *other.waveInId >= number) ++*other.waveInId;
    }
    device.waveInId = number;
  }
  AddDeviceLocked(category, device);
  NumberedLocked();
}

void FakeCaptureServices::Unplug(const std::string& unit) {
  std::lock_guard<std::mutex> hold(lock_);
  unplugged_.insert(unit);
  for (auto& [category, devices] : devices_) {
    auto gone = std::find_if(devices.begin(), devices.end(),
                             [&](const FakeDeviceInfo& device) { return device.unit == unit; });
    if (gone == devices.end()) continue;
    const std::optional<std::int32_t> number = gone->waveInId;
    if (gone->endpointId) goneEndpoints_.insert(*gone->endpointId);
    devices.erase(gone);
    for (FakeDeviceInfo& other : devices) {
      if (number && other.waveInId && *other.waveInId > *number) --*other.waveInId;
    }
  }
  NumberedLocked();
}

void FakeCaptureServices::SwapWaveIn(std::int32_t first, std::int32_t second) {
  std::lock_guard<std::mutex> hold(lock_);
  for (FakeDeviceInfo& device : devices_[DeviceCategory::AudioInput]) {
    if (device.waveInId == first) {
      device.waveInId = second;
    } else if (device.waveInId == second) {
      device.waveInId = first;
    }
  }
  NumberedLocked();
}

void FakeCaptureServices::NumberedLocked() {
  std::vector<FakeDeviceInfo>& audio = devices_[DeviceCategory::AudioInput];
  std::stable_sort(audio.begin(), audio.end(), [](const FakeDeviceInfo& a, const FakeDeviceInfo& b) {
    return a.waveInId < b.waveInId;
  });
  waveInCount = static_cast<std::uint32_t>(audio.size());
}

bool FakeCaptureServices::Unplugged(const std::string& unit) const {
  std::lock_guard<std::mutex> hold(lock_);
  return unplugged_.count(unit) != 0;
}

void FakeCaptureServices::SetHolder(const void* taker, const void* holder) {
  std::lock_guard<std::mutex> hold(lock_);
  taken_[taker].holder = holder;
}

void FakeCaptureServices::Take(const void* taker, const std::string& unit, bool held) {
  std::lock_guard<std::mutex> hold(lock_);
  TakeLocked(taker, unit, held);
}

void FakeCaptureServices::TakeLocked(const void* taker, const std::string& unit, bool held) {
  if (held) {
    taken_[taker].units.insert(unit);
  } else if (taken_.count(taker) != 0) {
    taken_[taker].units.erase(unit);
  }
}

void FakeCaptureServices::Forget(const void* taker) {
  std::lock_guard<std::mutex> hold(lock_);
  taken_.erase(taker);
}

std::vector<FakeCaptureServices::Hold> FakeCaptureServices::Holds() const {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<Hold> holds;
  for (const auto& [taker, taken] : taken_) {
    if (taken.holder == nullptr) continue;
    for (const std::string& unit : taken.units) holds.push_back({taken.holder, unit});
  }
  return holds;
}

FakeCaptureServices::Worker* FakeCaptureServices::StartWorker(const void* argument) {
  std::lock_guard<std::mutex> hold(lock_);
  workers_.push_back(std::make_unique<Worker>());
  taken_[workers_.back().get()].holder = argument;
  return workers_.back().get();
}

void FakeCaptureServices::WorkerEnded(Worker* worker) {
  std::lock_guard<std::mutex> hold(lock_);
  worker->ended = true;
  taken_.erase(worker);
  changed_.notify_all();
}

bool FakeCaptureServices::Settle(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, timeout, [this] {
    return std::all_of(workers_.begin(), workers_.end(),
                       [](const auto& worker) { return worker->naps > 0 || worker->ended; });
  });
}

bool FakeCaptureServices::LetWorkersGoRound(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> hold(lock_);
  std::map<const Worker*, unsigned> before;
  for (const auto& worker : workers_) before[worker.get()] = worker->naps;
  return changed_.wait_for(hold, timeout, [&] {
    return std::all_of(workers_.begin(), workers_.end(), [&](const auto& worker) {
      auto it = before.find(worker.get());
      return worker->ended || it == before.end() || worker->naps >= it->second + 2;
    });
  });
}

void FakeCaptureServices::ClearDevices(DeviceCategory category) {
  std::lock_guard<std::mutex> hold(lock_);
  devices_[category].clear();
}

std::vector<FakeDeviceInfo> FakeCaptureServices::Devices(DeviceCategory category) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = devices_.find(category);
  return found == devices_.end() ? std::vector<FakeDeviceInfo>() : found->second;
}

const FakeDeviceInfo* FakeCaptureServices::AudioAtLocked(std::uint32_t waveInId) const {
  auto found = devices_.find(DeviceCategory::AudioInput);
  if (found == devices_.end()) return nullptr;
  for (const FakeDeviceInfo& device : found->second) {
    if (device.waveInId && static_cast<std::uint32_t>(*device.waveInId) == waveInId) return &device;
  }
  return nullptr;
}

std::string FakeCaptureServices::UnitAtWaveInId(std::uint32_t waveInId) const {
  std::lock_guard<std::mutex> hold(lock_);
  const FakeDeviceInfo* device = AudioAtLocked(waveInId);
  return device != nullptr ? device->unit : std::string();
}

void FakeCaptureServices::SetWaveMuted(const std::string& unit, bool muted) {
  std::lock_guard<std::mutex> hold(lock_);
  waveMuted_[unit] = muted;
  // A worker holds what it silenced.
  if (currentWorker != nullptr) TakeLocked(currentWorker, unit, muted);
  changed_.notify_all();
}

void FakeCaptureServices::SetInputEnabled(const std::string& unit, bool enabled) {
  std::lock_guard<std::mutex> hold(lock_);
  inputDisabled_[unit] = !enabled;
  if (currentWorker != nullptr) TakeLocked(currentWorker, unit, !enabled);
  changed_.notify_all();
}

bool FakeCaptureServices::Silenced(const std::string& unit) const {
  for (const FakeDeviceInfo& device : Devices(DeviceCategory::AudioInput)) {
    if (device.unit == unit && device.endpointId && EndpointMuted(*device.endpointId)) return true;
  }
  std::lock_guard<std::mutex> hold(lock_);
  auto muted = waveMuted_.find(unit);
  auto disabled = inputDisabled_.find(unit);
  return (muted != waveMuted_.end() && muted->second) ||
         (disabled != inputDisabled_.end() && disabled->second);
}

void FakeCaptureServices::QueueGraphEvent(std::int32_t code) {
  std::lock_guard<std::mutex> hold(lock_);
  graphEvents_.push_back(code);
}

std::optional<std::int32_t> FakeCaptureServices::NextGraphEvent() {
  std::lock_guard<std::mutex> hold(lock_);
  if (graphEvents_.empty()) return std::nullopt;
  const std::int32_t code = graphEvents_.front();
  graphEvents_.pop_front();
  return code;
}

void FakeCaptureServices::Fail(const std::string& call, std::int64_t result, int times) {
  std::lock_guard<std::mutex> hold(lock_);
  failures_[call] = Failure{result, times};
}

std::unique_ptr<CaptureFilter> FakeCaptureServices::MakeFilter(const std::string& label) {
  return std::make_unique<FakeFilter>(*this, label, std::string(), NextAnonymousDevice());
}

std::unique_ptr<CaptureFilter> FakeCaptureServices::MakeFilter(const std::string& label,
                                                               const std::string& device) {
  return std::make_unique<FakeFilter>(*this, label, std::string(), "named:" + device);
}

std::string FakeCaptureServices::NextAnonymousDevice() {
  std::lock_guard<std::mutex> hold(lock_);
  return "anonymous:" + std::to_string(++nextDevice_);
}

void FakeCaptureServices::ShareDevice(const std::string& device, bool shared) {
  std::lock_guard<std::mutex> hold(lock_);
  sharedDevices_["named:" + device] = shared;
}

void FakeCaptureServices::RefuseAtPause(const std::string& device, bool refuses) {
  std::lock_guard<std::mutex> hold(lock_);
  refusingAtPause_["named:" + device] = refuses;
}

bool FakeCaptureServices::PauseClient(const std::string& device) {
  std::lock_guard<std::mutex> hold(lock_);
  int& clients = pausedClients_[device];
  auto refuses = refusingAtPause_.find(device);
  if (clients > 0 && refuses != refusingAtPause_.end() && refuses->second) return false;
  ++clients;
  return true;
}

void FakeCaptureServices::UnpauseClient(const std::string& device) {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = pausedClients_.find(device);
  if (found != pausedClients_.end() && found->second > 0) --found->second;
}

bool FakeCaptureServices::EndpointMuted(const std::u16string& endpointId) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = endpointMuted_.find(endpointId);
  return found != endpointMuted_.end() && found->second;
}

int FakeCaptureServices::EndpointUnmutedMoments(const std::u16string& endpointId) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = endpointUnmutes_.find(endpointId);
  return found == endpointUnmutes_.end() ? 0 : found->second;
}

bool FakeCaptureServices::EndpointKnown(const std::u16string& endpointId) const {
  for (const FakeDeviceInfo& device : Devices(DeviceCategory::AudioInput)) {
    if (device.endpointId == endpointId) return true;
  }
  std::lock_guard<std::mutex> hold(lock_);
  return endpointMuted_.count(endpointId) != 0;
}

void FakeCaptureServices::SetEndpointMuted(const std::u16string& endpointId, bool muted) {
  std::lock_guard<std::mutex> hold(lock_);
  bool& current = endpointMuted_[endpointId];
  if (current && !muted) ++endpointUnmutes_[endpointId];
  current = muted;
  changed_.notify_all();
}

void FakeCaptureServices::MuteEndpointFromOutside(const std::u16string& endpointId, bool muted) {
  SetEndpointMuted(endpointId, muted);
  std::lock_guard<std::mutex> hold(listenerLock_);
  for (const auto& entry : muteListeners_) {
    if (entry.first == endpointId) entry.second->OnForeignMuteChange(muted);
  }
}

void FakeCaptureServices::AddMuteListener(const std::u16string& endpointId,
                                          std::shared_ptr<EndpointMuteListener> listener) {
  std::lock_guard<std::mutex> hold(listenerLock_);
  muteListeners_.emplace_back(endpointId, std::move(listener));
}

int FakeCaptureServices::MuteListeners(const std::u16string& endpointId) {
  std::lock_guard<std::mutex> hold(listenerLock_);
  int count = 0;
  for (const auto& entry : muteListeners_) count += entry.first == endpointId ? 1 : 0;
  return count;
}

bool FakeCaptureServices::EndpointGone(const std::u16string& endpointId) const {
  std::lock_guard<std::mutex> hold(lock_);
  return goneEndpoints_.count(endpointId) != 0;
}

const AudioStreamFormat FakeCaptureServices::kMixFormat = {2, 48000, 32, 32, true, 0x3};

void FakeCaptureServices::SetEndpointHardwareMute(const std::u16string& endpointId, bool hardware) {
  std::lock_guard<std::mutex> hold(lock_);
  hardwareMute_[endpointId] = hardware;
}

bool FakeCaptureServices::EndpointHardwareMute(const std::u16string& endpointId) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = hardwareMute_.find(endpointId);
  return found != hardwareMute_.end() && found->second;
}

HResult FakeCaptureServices::OpenAudioStream(const std::u16string& endpointId, AudioShareMode mode,
                                             const AudioStreamFormat& format) {
  std::lock_guard<std::mutex> hold(lock_);
  if (EndpointGoneLocked(endpointId)) return kHrDeviceInvalidated;
  AudioStreams& streams = audioStreams_[endpointId];
  if (mode == AudioShareMode::Shared) {
    if (streams.exclusive > 0) return kHrAudioDeviceInUse;
    ++streams.shared;
    return kHrOk;
  }
  // Like most devices, integer samples only, checked before who holds it.
  if (format.floating) return kHrAudioUnsupportedFormat;
  const bool inUse = streams.exclusive > 0 || (streams.shared > 0 && !exclusiveAdmittedBesideShared);
  if (inUse) return kHrAudioDeviceInUse;
  ++streams.exclusive;
  return kHrOk;
}

void FakeCaptureServices::CloseAudioStream(const std::u16string& endpointId, AudioShareMode mode) {
  std::lock_guard<std::mutex> hold(lock_);
  AudioStreams& streams = audioStreams_[endpointId];
  int& count = mode == AudioShareMode::Shared ? streams.shared : streams.exclusive;
  if (count > 0) --count;
}

int FakeCaptureServices::AudioStreamsOf(const std::u16string& endpointId, AudioShareMode mode) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = audioStreams_.find(endpointId);
  if (found == audioStreams_.end()) return 0;
  return mode == AudioShareMode::Shared ? found->second.shared : found->second.exclusive;
}

bool FakeCaptureServices::EndpointGoneLocked(const std::u16string& endpointId) const {
  return goneEndpoints_.count(endpointId) != 0;
}

void FakeCaptureServices::RemoveMuteListener(EndpointMuteListener* listener) {
  if (listener == nullptr) return;
  std::lock_guard<std::mutex> hold(listenerLock_);
  for (auto it = muteListeners_.begin(); it != muteListeners_.end();) {
    it = it->second.get() == listener ? muteListeners_.erase(it) : it + 1;
  }
}

int FakeCaptureServices::OpenClients(const std::string& device) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = openClients_.find("named:" + device);
  return found == openClients_.end() ? 0 : found->second;
}

bool FakeCaptureServices::OpenDevice(const std::string& device) {
  std::lock_guard<std::mutex> hold(lock_);
  int& clients = openClients_[device];
  auto shared = sharedDevices_.find(device);
  if (clients > 0 && (shared == sharedDevices_.end() || !shared->second)) return false;
  ++clients;
  return true;
}

void FakeCaptureServices::CloseDevice(const std::string& device) {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = openClients_.find(device);
  if (found != openClients_.end() && found->second > 0) --found->second;
}

std::int64_t FakeCaptureServices::Call(const std::string& name, const std::string& detail,
                                       std::int64_t success) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!quiet) {
    ++counts_[name];
    if (recordOrder) log_.push_back(detail.empty() ? name : name + " " + detail);
    changed_.notify_all();
  }
  auto failure = failures_.find(name);
  if (failure == failures_.end() || failure->second.times == 0) return success;
  if (failure->second.times > 0) --failure->second.times;
  return failure->second.result;
}

void FakeCaptureServices::Created() {
  std::lock_guard<std::mutex> hold(lock_);
  ++liveObjects_;
}

void FakeCaptureServices::Released(const std::string& label) {
  std::lock_guard<std::mutex> hold(lock_);
  --liveObjects_;
  if (quiet) return;
  ++counts_["release " + label];
  if (recordOrder) log_.push_back("release " + label);
  changed_.notify_all();
}

void FakeCaptureServices::ThreadClosed(Worker* worker, bool joined) {
  std::lock_guard<std::mutex> hold(lock_);
  // A worker still running keeps its record.
  if (!joined) {
    ++unjoinedCloses_;
    return;
  }
  workers_.erase(std::find_if(workers_.begin(), workers_.end(),
                              [worker](const auto& w) { return w.get() == worker; }));
}

void FakeCaptureServices::HoldThreadStarts(bool hold) {
  std::lock_guard<std::mutex> guard(lock_);
  holdThreads_ = hold;
  changed_.notify_all();
}

void FakeCaptureServices::WaitWhileThreadsHeld() {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [this] { return !holdThreads_; });
}

std::vector<std::string> FakeCaptureServices::Log() const {
  std::lock_guard<std::mutex> hold(lock_);
  return log_;
}

std::vector<std::string> FakeCaptureServices::LogMatching(const std::string& prefix) const {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<std::string> out;
  for (const std::string& entry : log_) {
    if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
  }
  return out;
}

void FakeCaptureServices::ClearLog() {
  std::lock_guard<std::mutex> hold(lock_);
  log_.clear();
}

int FakeCaptureServices::Count(const std::string& call) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = counts_.find(call);
  return found == counts_.end() ? 0 : found->second;
}

bool FakeCaptureServices::WaitForCount(const std::string& call, int n,
                                       std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, timeout, [&] {
    auto found = counts_.find(call);
    return found != counts_.end() && found->second >= n;
  });
}

int FakeCaptureServices::LiveObjects() const {
  std::lock_guard<std::mutex> hold(lock_);
  return liveObjects_;
}

int FakeCaptureServices::UnjoinedCloses() const {
  std::lock_guard<std::mutex> hold(lock_);
  return unjoinedCloses_;
}

HResult FakeCaptureServices::CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) {
  return Hand<FakeDevEnum>(Call("CreateDeviceEnumerator"), enumerator, *this);
}

HResult FakeCaptureServices::CreateFilterGraph(std::unique_ptr<FilterGraph>* graph) {
  return Hand<FakeGraph>(Call("CreateFilterGraph"), graph, *this);
}

HResult FakeCaptureServices::CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>* builder) {
  return Hand<FakeBuilder>(Call("CreateCaptureGraphBuilder"), builder, *this);
}

HResult FakeCaptureServices::CreateNullRenderer(std::unique_ptr<CaptureFilter>* renderer) {
  return Hand<FakeFilter>(Call("CreateNullRenderer"), renderer, *this, "nullRenderer",
                          std::string(), std::string());
}

HResult FakeCaptureServices::InitializeThreadCom() {
  return static_cast<HResult>(Call("CoInitialize"));
}

void FakeCaptureServices::UninitializeThreadCom() { Call("CoUninitialize"); }

MmResult FakeCaptureServices::OpenWaveInput(std::uint32_t waveInId, const WaveFormat& format,
                                            std::unique_ptr<WaveInput>* input) {
  const std::string detail =
      "id=" + std::to_string(waveInId) + " ch=" + std::to_string(format.channels) +
      " tag=" + std::to_string(format.formatTag) + " rate=" + std::to_string(format.samplesPerSec) +
      " bps=" + std::to_string(format.avgBytesPerSec) + " align=" +
      std::to_string(format.blockAlign) + " bits=" + std::to_string(format.bitsPerSample) +
      " cb=" + std::to_string(format.extraSize);
  const auto result = static_cast<MmResult>(Call("waveInOpen", detail));
  if (result != kMmNoError) return result;
  {
    // A fake that lists microphones opens only the numbers it lists.
    std::lock_guard<std::mutex> hold(lock_);
    if (listsAudio_ && AudioAtLocked(waveInId) == nullptr) return kMmBadDeviceId;
  }
  *input = std::make_unique<FakeWaveInput>(*this, UnitAtWaveInId(waveInId));
  return result;
}

MmResult FakeCaptureServices::OpenWaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) {
  const auto result = static_cast<MmResult>(Call("mixerOpen"));
  if (result == kMmNoError) {
    *mixer = std::make_unique<FakeMixer>(*this, static_cast<FakeWaveInput&>(input).unit);
  }
  return result;
}

std::uint32_t FakeCaptureServices::WaveInputCount() {
  Call("waveInGetNumDevs");
  return waveInCount;
}

MmResult FakeCaptureServices::WaveInputInterface(std::uint32_t waveInId,
                                                 std::u16string* deviceInterface) {
  const auto result =
      static_cast<MmResult>(Call("waveInMessage(interface)", "id=" + std::to_string(waveInId)));
  if (result != kMmNoError) return result;
  // The driver answers for whatever input has the number now.
  std::lock_guard<std::mutex> hold(lock_);
  const FakeDeviceInfo* device = AudioAtLocked(waveInId);
  if (device == nullptr) return kMmBadDeviceId;
  if (!device->deviceInterface || device->deviceInterface->empty()) return kMmNotSupported;
  *deviceInterface = *device->deviceInterface;
  return kMmNoError;
}

MmResult FakeCaptureServices::WaveInputName(std::uint32_t waveInId, std::u16string* name) {
  const auto result =
      static_cast<MmResult>(Call("waveInGetDevCaps", "id=" + std::to_string(waveInId)));
  if (result != kMmNoError) return result;
  for (const FakeDeviceInfo& device : Devices(DeviceCategory::AudioInput)) {
    if (device.waveInId && static_cast<std::uint32_t>(*device.waveInId) == waveInId) {
      *name = device.friendlyName.value_or(u"").substr(0, kWaveInputNameChars);
      return kMmNoError;
    }
  }
  return kMmBadDeviceId;
}

MmResult FakeCaptureServices::WaveInputEndpointId(std::uint32_t waveInId, std::u16string* endpointId) {
  const auto result =
      static_cast<MmResult>(Call("waveInMessage(endpoint)", "id=" + std::to_string(waveInId)));
  if (result != kMmNoError) return result;
  for (const FakeDeviceInfo& device : Devices(DeviceCategory::AudioInput)) {
    if (device.waveInId && static_cast<std::uint32_t>(*device.waveInId) == waveInId) {
      if (!device.endpointId || device.endpointId->empty()) return kMmNotSupported;
      *endpointId = *device.endpointId;
      return kMmNoError;
    }
  }
  return kMmBadDeviceId;
}

HResult FakeCaptureServices::CreateAudioEndpointEnumerator(
    std::unique_ptr<AudioEndpointEnumerator>* enumerator) {
  return Hand<FakeEndpointEnumerator>(Call("CreateAudioEndpointEnumerator"), enumerator, *this);
}

std::uint32_t FakeCaptureServices::SystemMajorVersion() {
  Call("GetVersion");
  return majorVersion;
}

std::unique_ptr<WorkerThread> FakeCaptureServices::StartThread(ThreadEntry entry, void* argument) {
  if (Call("StartThread") != 0) return nullptr;
  return std::make_unique<FakeThread>(*this, entry, argument);
}

void FakeCaptureServices::Sleep(std::uint32_t milliseconds) {
  Nap(milliseconds);
  const int micros = realSleepMicros;
  std::this_thread::sleep_for(micros < 0 ? std::chrono::microseconds(milliseconds * 1000)
                                         : std::chrono::microseconds(micros));
  AdvanceClock(milliseconds);
}

void FakeCaptureServices::Nap(std::uint32_t milliseconds) {
  Call("Sleep", std::to_string(milliseconds));
  if (currentWorker != nullptr) {
    std::lock_guard<std::mutex> hold(lock_);
    ++currentWorker->naps;
    changed_.notify_all();
  }
}

void FakeCaptureServices::AdvanceClock(std::uint32_t milliseconds) {
  if (realSleepMicros >= 0 && !clockStopped) clockMs_ += milliseconds;
}

namespace {

class FakeWakeSignal : public WakeSignal {
 public:
  void Set() override {
    std::lock_guard<std::mutex> hold(lock_);
    set_ = true;
    changed_.notify_all();
  }
  // True when set within the time; takes the setting.
  bool Wait(std::chrono::microseconds timeout) {
    std::unique_lock<std::mutex> hold(lock_);
    const bool set = changed_.wait_for(hold, timeout, [this] { return set_; });
    set_ = false;
    return set;
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool set_ = false;
};

}  // namespace

std::shared_ptr<WakeSignal> FakeCaptureServices::CreateWakeSignal() {
  return std::make_shared<FakeWakeSignal>();
}

bool FakeCaptureServices::SleepOrWake(WakeSignal& signal, std::uint32_t milliseconds) {
  Nap(milliseconds);
  const int micros = realSleepMicros;
  const bool woken = static_cast<FakeWakeSignal&>(signal).Wait(
      micros < 0 ? std::chrono::microseconds(milliseconds * 1000) : std::chrono::microseconds(micros));
  if (!woken) AdvanceClock(milliseconds);
  return woken;
}

std::uint32_t FakeCaptureServices::NowMs() {
  if (realSleepMicros < 0) {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
  return clockMs_;
}

}  // namespace shadowpane::testing
