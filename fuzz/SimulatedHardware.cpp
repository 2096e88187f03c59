#include "fuzz/SimulatedHardware.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace shadowpane::fuzzing {

namespace {

constexpr HResult kHrAbort = static_cast<HResult>(0x80004004u);  // E_ABORT: no event queued

// The worker the calling thread runs, if it is one.
thread_local SimulatedHardware::Worker* currentWorker = nullptr;

struct SimFilter : CaptureFilter {
  explicit SimFilter(InputId id) : input(id) {}
  // The graph's pause stands for the filter's own; cameras are not what
  // this simulation follows.
  HResult GetState(std::uint32_t, FilterState* state) override {
    *state = FilterState::Paused;
    return kHrOk;
  }
  InputId input;  // -1 for a Null Renderer
};

InputId InputOf(CaptureFilter& filter) { return static_cast<SimFilter&>(filter).input; }

class SimBag : public PropertyBag {
 public:
  explicit SimBag(PhysicalInput input) : input_(std::move(input)) {}
  HResult ReadText(const WideChar* name, WideChar (&value)[kNameUnits]) override {
    const WideView property(name);
    const std::u16string* text = property == u"FriendlyName" ? &input_.name
                                 : property == u"DevicePath" && input_.video ? &input_.path
                                                                              : nullptr;
    if (text == nullptr) return kHrFail;
    CopyBounded(value, kMaxNameChars, text->c_str());
    return kHrOk;
  }
  HResult ReadInteger(const WideChar* name, std::int32_t* value) override {
    if (input_.video || WideView(name) != u"WaveInID") return kHrFail;
    *value = input_.waveIn;
    return kHrOk;
  }

 private:
  PhysicalInput input_;
};

class SimMoniker : public DeviceMoniker {
 public:
  explicit SimMoniker(PhysicalInput input) : input_(std::move(input)) {}
  HResult BindToStorage(std::unique_ptr<PropertyBag>* bag) override {
    *bag = std::make_unique<SimBag>(input_);
    return kHrOk;
  }
  HResult BindToObject(std::unique_ptr<CaptureFilter>* filter) override {
    *filter = std::make_unique<SimFilter>(input_.id);
    return kHrOk;
  }

 private:
  PhysicalInput input_;
};

class SimMonikerEnum : public MonikerEnumerator {
 public:
  explicit SimMonikerEnum(std::vector<PhysicalInput> inputs) : inputs_(std::move(inputs)) {}
  HResult Next(std::unique_ptr<DeviceMoniker>* moniker) override {
    if (next_ >= inputs_.size()) return kHrFalse;
    *moniker = std::make_unique<SimMoniker>(inputs_[next_++]);
    return kHrOk;
  }

 private:
  std::vector<PhysicalInput> inputs_;
  std::size_t next_ = 0;
};

class SimDevEnum : public DeviceEnumerator {
 public:
  explicit SimDevEnum(SimulatedHardware& hw) : hw_(hw) {}
  HResult CreateClassEnumerator(DeviceCategory category,
                                std::unique_ptr<MonikerEnumerator>* enumerator) override {
    std::vector<PhysicalInput> inputs = hw_.Plugged(category == DeviceCategory::VideoInput);
    if (inputs.empty()) return kHrFalse;  // an empty category gives no enumerator
    *enumerator = std::make_unique<SimMonikerEnum>(std::move(inputs));
    return kHrOk;
  }

 private:
  SimulatedHardware& hw_;
};

class SimInputMixer : public AudioInputMixer {
 public:
  SimInputMixer(SimulatedHardware& hw, InputId input) : hw_(hw), input_(input) {}
  HResult PutEnable(bool enable) override { return hw_.Silence(input_, !enable) ? kHrOk : kHrFail; }
  // Which worker holds the input is what this simulation follows; a held
  // input reads switched off to everyone.
  HResult GetEnable(bool* enabled) override {
    if (!hw_.IsPlugged(input_)) return kHrFail;
    *enabled = false;
    return kHrOk;
  }

 private:
  SimulatedHardware& hw_;
  InputId input_;
};

class SimPin : public CapturePin {
 public:
  SimPin(SimulatedHardware& hw, InputId input) : hw_(hw), input_(input) {}
  HResult QueryAudioInputMixer(std::unique_ptr<AudioInputMixer>* mixer) override {
    if (!hw_.IsPlugged(input_)) return kHrNoInterface;
    *mixer = std::make_unique<SimInputMixer>(hw_, input_);
    return kHrOk;
  }

 private:
  SimulatedHardware& hw_;
  InputId input_;
};

class SimControl : public MediaControl {
 public:
  SimControl(SimulatedHardware& hw, int graph) : hw_(hw), graph_(graph) {}
  HResult Pause() override { return hw_.PauseGraph(graph_); }
  HResult Stop() override {
    hw_.StopGraph(graph_);
    return kHrOk;
  }

 private:
  SimulatedHardware& hw_;
  int graph_;
};

class SimEvents : public MediaEvent {
 public:
  SimEvents(SimulatedHardware& hw, int graph) : hw_(hw), graph_(graph) {}
  HResult SetNotifyWindow(NotifyWindow, std::uint32_t, std::intptr_t instance) override {
    if (instance != 0) hw_.SetGraphHolder(graph_, reinterpret_cast<const void*>(instance));
    return kHrOk;
  }
  HResult GetEvent(std::int32_t*, std::intptr_t*, std::intptr_t*, std::int32_t) override {
    return kHrAbort;
  }
  HResult FreeEventParams(std::int32_t, std::intptr_t, std::intptr_t) override { return kHrOk; }

 private:
  SimulatedHardware& hw_;
  int graph_;
};

class SimGraph : public FilterGraph {
 public:
  explicit SimGraph(SimulatedHardware& hw) : hw_(hw), graph_(hw.NewGraph()) {}
  ~SimGraph() override { hw_.EndGraph(graph_); }
  HResult AddFilter(CaptureFilter& filter, const WideChar*) override {
    hw_.AddToGraph(graph_, InputOf(filter));
    return kHrOk;
  }
  HResult QueryMediaControl(std::unique_ptr<MediaControl>* control) override {
    *control = std::make_unique<SimControl>(hw_, graph_);
    return kHrOk;
  }
  HResult QueryMediaEvent(std::unique_ptr<MediaEvent>* events) override {
    *events = std::make_unique<SimEvents>(hw_, graph_);
    return kHrOk;
  }

 private:
  SimulatedHardware& hw_;
  int graph_;
};

class SimBuilder : public CaptureGraphBuilder {
 public:
  explicit SimBuilder(SimulatedHardware& hw) : hw_(hw) {}
  HResult SetFiltergraph(FilterGraph&) override { return kHrOk; }
  HResult FindPin(CaptureFilter& filter, PinDirection, PinCategory, MediaType,
                  std::unique_ptr<CapturePin>* pin) override {
    *pin = std::make_unique<SimPin>(hw_, InputOf(filter));
    return kHrOk;
  }
  HResult RenderStream(CapturePin&, CaptureFilter&) override { return kHrOk; }

 private:
  SimulatedHardware& hw_;
};

struct SimWaveInput : WaveInput {
  explicit SimWaveInput(InputId id) : input(id) {}
  InputId input;
};

class SimMixer : public Mixer {
 public:
  SimMixer(SimulatedHardware& hw, InputId input) : hw_(hw), input_(input) {}
  MmResult GetLineInfoByType(std::uint32_t, MixerLineInfo* line) override {
    line->lineId = 1;
    line->channels = 2;
    return kMmNoError;
  }
  MmResult GetLineControlByType(std::uint32_t, std::uint32_t, MixerControlInfo* control) override {
    control->controlId = 1;
    control->controlFlags = 0;
    return kMmNoError;
  }
  MmResult SetBooleanControl(std::uint32_t, std::uint32_t, const std::int32_t (&values)[2]) override {
    return hw_.Silence(input_, values[0] != 0) ? kMmNoError : kMmError;
  }

 private:
  SimulatedHardware& hw_;
  InputId input_;
};

class SimThread : public WorkerThread {
 public:
  SimThread(SimulatedHardware& hw, SimulatedHardware::Worker* worker, ThreadEntry entry,
            void* argument)
      : hw_(hw), worker_(worker), thread_([&hw, worker, entry, argument] {
          currentWorker = worker;
          entry(argument);
          hw.WorkerEnded(worker);
        }) {}
  ~SimThread() override {
    if (thread_.joinable()) {
      // Its device may be freed while it still runs.
      std::fprintf(stderr, "a worker's handle was closed before the worker was joined\n");
      std::abort();
    }
    hw_.ForgetWorker(worker_);
  }
  void Join() override {
    hw_.WakeWorkers();
    thread_.join();
  }

 private:
  SimulatedHardware& hw_;
  SimulatedHardware::Worker* worker_;
  std::thread thread_;
};

}  // namespace

SimulatedHardware::~SimulatedHardware() = default;

InputId SimulatedHardware::PlugCamera(const std::u16string& name, const std::u16string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  PhysicalInput input;
  input.id = static_cast<InputId>(inputs_.size());
  input.video = true;
  input.name = name;
  input.path = path;
  inputs_.push_back(input);
  return input.id;
}

InputId SimulatedHardware::PlugMicrophone(const std::u16string& name, int position) {
  std::lock_guard<std::mutex> hold(lock_);
  int count = 0;
  for (PhysicalInput& input : inputs_) {
    if (input.plugged && !input.video) {
      ++count;
      if (input.waveIn >= position) ++input.waveIn;
    }
  }
  PhysicalInput input;
  input.id = static_cast<InputId>(inputs_.size());
  input.name = name;
  input.waveIn = std::clamp(position, 0, count);
  inputs_.push_back(input);
  return input.id;
}

void SimulatedHardware::Unplug(InputId id) {
  std::lock_guard<std::mutex> hold(lock_);
  PhysicalInput& gone = inputs_.at(static_cast<std::size_t>(id));
  if (!gone.plugged) return;
  gone.plugged = false;
  if (gone.video) return;
  for (PhysicalInput& input : inputs_) {
    if (input.plugged && !input.video && input.waveIn > gone.waveIn) --input.waveIn;
  }
  gone.waveIn = -1;
}

void SimulatedHardware::SwapWaveIn(int first, int second) {
  std::lock_guard<std::mutex> hold(lock_);
  for (PhysicalInput& input : inputs_) {
    if (!input.plugged || input.video) continue;
    if (input.waveIn == first) {
      input.waveIn = second;
    } else if (input.waveIn == second) {
      input.waveIn = first;
    }
  }
}

std::vector<PhysicalInput> SimulatedHardware::Inputs() const {
  std::lock_guard<std::mutex> hold(lock_);
  return inputs_;
}

int SimulatedHardware::MicrophoneCount() const { return static_cast<int>(Plugged(false).size()); }

std::optional<InputId> SimulatedHardware::MicrophoneAt(int waveIn) const {
  for (const PhysicalInput& input : Plugged(false)) {
    if (input.waveIn == waveIn) return input.id;
  }
  return std::nullopt;
}

std::vector<PhysicalInput> SimulatedHardware::Plugged(bool video) const {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<PhysicalInput> out;
  for (const PhysicalInput& input : inputs_) {
    if (input.plugged && input.video == video) out.push_back(input);
  }
  // The system lists wave inputs in the order of their numbers.
  if (!video) {
    std::sort(out.begin(), out.end(),
              [](const PhysicalInput& a, const PhysicalInput& b) { return a.waveIn < b.waveIn; });
  }
  return out;
}

bool SimulatedHardware::IsPlugged(InputId input) const {
  std::lock_guard<std::mutex> hold(lock_);
  return input >= 0 && static_cast<std::size_t>(input) < inputs_.size() &&
         inputs_[static_cast<std::size_t>(input)].plugged;
}

std::vector<Hold> SimulatedHardware::Holds() const {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<Hold> holds;
  for (const auto& [id, graph] : graphs_) {
    if (!graph.paused || graph.holder == nullptr) continue;
    for (InputId input : graph.filters) {
      if (input >= 0 && inputs_[static_cast<std::size_t>(input)].video) {
        holds.push_back({graph.holder, input});
      }
    }
  }
  for (const auto& worker : workers_) {
    if (worker->hold && !worker->ended) holds.push_back({worker->holder, *worker->hold});
  }
  return holds;
}

bool SimulatedHardware::Settle(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, timeout, [this] {
    return std::all_of(workers_.begin(), workers_.end(),
                       [](const auto& worker) { return worker->paused || worker->ended; });
  });
}

bool SimulatedHardware::LetWorkersGoRound(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> hold(lock_);
  std::map<const Worker*, unsigned> before;
  for (const auto& worker : workers_) before[worker.get()] = worker->naps;
  // Two more naps: woken, re-applied, asleep again.
  return changed_.wait_for(hold, timeout, [&] {
    return std::all_of(workers_.begin(), workers_.end(), [&](const auto& worker) {
      auto it = before.find(worker.get());
      return worker->ended || it == before.end() || worker->naps >= it->second + 2;
    });
  });
}

HResult SimulatedHardware::CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) {
  *enumerator = std::make_unique<SimDevEnum>(*this);
  return kHrOk;
}

HResult SimulatedHardware::CreateFilterGraph(std::unique_ptr<FilterGraph>* graph) {
  *graph = std::make_unique<SimGraph>(*this);
  return kHrOk;
}

HResult SimulatedHardware::CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>* builder) {
  *builder = std::make_unique<SimBuilder>(*this);
  return kHrOk;
}

HResult SimulatedHardware::CreateNullRenderer(std::unique_ptr<CaptureFilter>* renderer) {
  *renderer = std::make_unique<SimFilter>(-1);
  return kHrOk;
}

MmResult SimulatedHardware::WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface) {
  if (!namedInterfaces_) return kMmNotSupported;
  const std::optional<InputId> found = MicrophoneAt(static_cast<int>(waveInId));
  if (!found) return kMmBadDeviceId;
  const std::string text = "\\\\?\\sim#input-" + std::to_string(*found);
  deviceInterface->assign(text.begin(), text.end());
  return kMmNoError;
}

MmResult SimulatedHardware::WaveInputName(std::uint32_t waveInId, std::u16string* name) {
  const std::optional<InputId> found = MicrophoneAt(static_cast<int>(waveInId));
  if (!found) return kMmBadDeviceId;
  for (const PhysicalInput& input : Inputs()) {
    if (input.id == *found) *name = input.name.substr(0, kWaveInputNameChars);
  }
  return kMmNoError;
}

MmResult SimulatedHardware::OpenWaveInput(std::uint32_t waveInId, const WaveFormat&,
                                          std::unique_ptr<WaveInput>* input) {
  const std::optional<InputId> found = MicrophoneAt(static_cast<int>(waveInId));
  if (!found) return kMmBadDeviceId;
  *input = std::make_unique<SimWaveInput>(*found);
  return kMmNoError;
}

MmResult SimulatedHardware::OpenWaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) {
  *mixer = std::make_unique<SimMixer>(*this, static_cast<SimWaveInput&>(input).input);
  return kMmNoError;
}

std::unique_ptr<WorkerThread> SimulatedHardware::StartThread(ThreadEntry entry, void* argument) {
  Worker* worker = nullptr;
  {
    std::lock_guard<std::mutex> hold(lock_);
    workers_.push_back(std::make_unique<Worker>());
    worker = workers_.back().get();
    worker->holder = argument;
  }
  return std::make_unique<SimThread>(*this, worker, entry, argument);
}

void SimulatedHardware::Sleep(std::uint32_t) {
  std::unique_lock<std::mutex> hold(lock_);
  if (currentWorker != nullptr) {
    currentWorker->paused = true;
    ++currentWorker->naps;
  }
  changed_.notify_all();
  // A short nap, cut short when someone joins a worker: the stop request
  // is seen at once.
  const unsigned generation = wakeGeneration_;
  changed_.wait_for(hold, std::chrono::milliseconds(2),
                    [&] { return wakeGeneration_ != generation; });
}

int SimulatedHardware::NewGraph() {
  std::lock_guard<std::mutex> hold(lock_);
  graphs_[nextGraph_] = Graph();
  return nextGraph_++;
}

void SimulatedHardware::EndGraph(int graph) {
  std::lock_guard<std::mutex> hold(lock_);
  graphs_.erase(graph);
}

void SimulatedHardware::AddToGraph(int graph, InputId input) {
  std::lock_guard<std::mutex> hold(lock_);
  graphs_[graph].filters.push_back(input);
}

void SimulatedHardware::SetGraphHolder(int graph, const void* holder) {
  std::lock_guard<std::mutex> hold(lock_);
  graphs_[graph].holder = holder;
}

HResult SimulatedHardware::PauseGraph(int graph) {
  std::lock_guard<std::mutex> hold(lock_);
  Graph& g = graphs_[graph];
  for (InputId input : g.filters) {
    // A capture driver that is gone cannot be opened.
    if (input >= 0 && !inputs_[static_cast<std::size_t>(input)].plugged) return kHrFail;
  }
  g.paused = true;
  return kHrFalse;
}

void SimulatedHardware::StopGraph(int graph) {
  std::lock_guard<std::mutex> hold(lock_);
  graphs_[graph].paused = false;
}

bool SimulatedHardware::Silence(InputId input, bool silent) {
  std::lock_guard<std::mutex> hold(lock_);
  if (input < 0 || !inputs_[static_cast<std::size_t>(input)].plugged) return false;
  if (currentWorker != nullptr) {
    if (silent) {
      currentWorker->hold = input;
    } else {
      currentWorker->hold.reset();
    }
  }
  return true;
}

void SimulatedHardware::WorkerEnded(Worker* worker) {
  std::lock_guard<std::mutex> hold(lock_);
  worker->ended = true;
  worker->hold.reset();
  changed_.notify_all();
}

void SimulatedHardware::WakeWorkers() {
  std::lock_guard<std::mutex> hold(lock_);
  ++wakeGeneration_;
  changed_.notify_all();
}

void SimulatedHardware::ForgetWorker(Worker* worker) {
  std::lock_guard<std::mutex> hold(lock_);
  workers_.erase(std::remove_if(workers_.begin(), workers_.end(),
                                [worker](const auto& w) { return w.get() == worker; }),
                 workers_.end());
}

}  // namespace shadowpane::fuzzing
