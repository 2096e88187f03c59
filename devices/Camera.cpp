#include "devices/Camera.h"

namespace shadowpane {

namespace {
// Names the camera's filters carry in its private graph.
constexpr WideChar kCaptureFilterName[] = u"Video Capture";
constexpr WideChar kNullRendererName[] = u"Null";
// The check's own graph names its filters apart from the hold's.
constexpr WideChar kCheckFilterName[] = u"Hold Check";
constexpr WideChar kCheckRendererName[] = u"Hold Check Null";
// GetEvent time-out when draining the graph's event queue: never wait.
constexpr std::int32_t kNoWaitMs = 0;

// Whether the capture filter itself reached Paused. A graph answers Pause
// with its first non-S_OK result, so a renderer still waiting for a sample
// (S_FALSE) can hide a capture filter that refused, which is how a device
// another program has open refuses.
// Answers S_OK when it did, else the filter's failure or VFW_E_NOT_PAUSED.
HResult FilterPaused(CaptureFilter& filter) {
  FilterState state = FilterState::Stopped;
  const HResult hr = filter.GetState(kFilterStateTimeoutMs, &state);
  if (Failed(hr)) return hr;
  return state == FilterState::Paused ? kHrOk : kHrNotPaused;
}

// Whether a second client's capture filter said for sure that it did not
// reach Paused: a plain success with another state. A state still moving
// after the wait (VFW_S_STATE_INTERMEDIATE) or an error says nothing
// either way, and an uncertain check must not show the camera protected.
bool DefinitelyNotPaused(CaptureFilter& filter) {
  FilterState state = FilterState::Stopped;
  return filter.GetState(kFilterStateTimeoutMs, &state) == kHrOk && state != FilterState::Paused;
}
}  // namespace

SPDEVCAM::SPDEVCAM(DevicePoster& poster, CaptureServices& services)
    : SPDEV(poster), services_(services) {}

SPDEVCAM::~SPDEVCAM() {
  if (Unblock() != 1) {
    // The graph refused to stop; the device goes all the same, and its graph
    // must not post to it any more.
    DetachNotifyWindow();
    ReleaseGraph();
  }
  captureFilter_.reset();
  checkFilter_.reset();
}

int SPDEVCAM::GetKind() { return DEVICE_KIND_VIDEO; }

int SPDEVCAM::Init(const DeviceInitRecord* record) {
  if (record == nullptr || record->kind != DEVICE_KIND_VIDEO) return 0;
  const auto* init = static_cast<const VideoInitRecord*>(record);
  // Init belongs to a new camera; one that holds a graph lets go of it first.
  if (HoldsGraph() && Unblock() != 1) {
    DetachNotifyWindow();
    ReleaseGraph();
  }
  captureFilter_ = std::move(init->captureFilter);
  checkFilter_ = std::move(init->checkFilter);
  ResetStateFlags();
  SetDisplayName(init->friendlyName);
  // LinkDevice stores the friendly name once the display name is unique.
  SetFriendlyName(nullptr);
  StorePath(init->path);
  filterClass_ = BoundedString(init->filterClass, kNameUnits);
  StoreNotifyWindow(init->notifyWindow);
  StoreWaveInId(0);
  return 0;
}

int SPDEVCAM::Block() {
  // A second Block (two profile records with one path) must not drop the
  // graph that holds the camera.
  if (HoldsGraph()) return 1;

  const NotifyWindow window = ReadNotifyWindow();
  std::unique_ptr<CapturePin> pin;
  bool paused = false;
  const HResult result = BuildAndPauseGraph(window, pin, paused);
  if (result != 1) {
    DetachNotifyWindow();
    pin.reset();
    // A graph that paused without its capture filter is stopped first.
    if (paused) mediaControl_->Stop();
    ReleaseGraph();
    return result;
  }
  SetHeldAndNotify(true, CheckHold(), window);
  return 1;
}

// Builds the graph step by step. Answers 1 when it is paused; otherwise the
// negative result of the failing step, or 0 without a capture filter. The
// pin is the caller's so that a failure releases it in its place.
HResult SPDEVCAM::BuildAndPauseGraph(NotifyWindow window, std::unique_ptr<CapturePin>& pin,
                                     bool& paused) {
  HResult hr = services_.CreateFilterGraph(&graph_);
  if (Failed(hr)) return hr;
  hr = services_.CreateCaptureGraphBuilder(&captureBuilder_);
  if (Failed(hr)) return hr;
  captureBuilder_->SetFiltergraph(*graph_);  // its result tells nothing FindPin would not
  hr = graph_->QueryMediaControl(&mediaControl_);
  if (Failed(hr)) return hr;
  hr = graph_->QueryMediaEvent(&mediaEvent_);
  if (Failed(hr)) return hr;
  hr = mediaEvent_->SetNotifyWindow(window, WM_GRAPH_NOTIFY, reinterpret_cast<std::intptr_t>(this));
  if (Failed(hr)) return hr;
  if (captureFilter_ == nullptr) return 0;
  hr = graph_->AddFilter(*captureFilter_, kCaptureFilterName);
  if (Failed(hr)) return hr;
  hr = services_.CreateNullRenderer(&nullRenderer_);
  if (Failed(hr)) return hr;
  hr = graph_->AddFilter(*nullRenderer_, kNullRendererName);
  if (Failed(hr)) return hr;
  hr = captureBuilder_->FindPin(*captureFilter_, PinDirection::Output, PinCategory::Capture,
                                MediaType::Video, &pin);
  if (Failed(hr)) return hr;
  hr = captureBuilder_->RenderStream(*pin, *nullRenderer_);
  if (Failed(hr)) return hr;
  pin.reset();
  // S_FALSE (the renderer has no sample yet) is a paused graph all the same,
  // but only the capture filter can tell whether it opened the device.
  hr = mediaControl_->Pause();
  if (Failed(hr)) return hr;
  paused = true;
  hr = FilterPaused(*captureFilter_);
  return Failed(hr) ? hr : 1;
}

namespace {

// The check's own graph. Its references go in one fixed order, whatever
// step it reached: the stream is stopped first if a pause was tried, then
// media control, Null Renderer, capture graph builder and graph, as the
// hold releases its own.
struct CheckGraph {
  std::unique_ptr<FilterGraph> graph;
  std::unique_ptr<CaptureGraphBuilder> builder;
  std::unique_ptr<CaptureFilter> nullRenderer;
  std::unique_ptr<MediaControl> control;
  bool pauseTried = false;

  ~CheckGraph() {
    // Its result changes nothing: the graph goes either way, and releasing
    // it stops what is left.
    if (pauseTried) control->Stop();
    control.reset();
    nullRenderer.reset();
    builder.reset();
    graph.reset();
  }
};

// Opens the device through its second binding as far as a device held by
// one client would refuse. Answers whether every step succeeded.
bool SecondOpenAdmitted(CaptureServices& services, CaptureFilter& filter, CheckGraph& check) {
  if (Failed(services.CreateFilterGraph(&check.graph))) return false;
  if (Failed(services.CreateCaptureGraphBuilder(&check.builder))) return false;
  check.builder->SetFiltergraph(*check.graph);  // as for the hold: FindPin tells
  if (Failed(check.graph->QueryMediaControl(&check.control))) return false;
  if (Failed(check.graph->AddFilter(filter, kCheckFilterName))) return false;
  if (Failed(services.CreateNullRenderer(&check.nullRenderer))) return false;
  if (Failed(check.graph->AddFilter(*check.nullRenderer, kCheckRendererName))) return false;
  std::unique_ptr<CapturePin> pin;
  if (Failed(check.builder->FindPin(filter, PinDirection::Output, PinCategory::Capture,
                                    MediaType::Video, &pin))) {
    return false;
  }
  const HResult rendered = check.builder->RenderStream(*pin, *check.nullRenderer);
  pin.reset();
  if (Failed(rendered)) return false;
  check.pauseTried = true;
  // The second client is kept out only when its graph or its own capture
  // filter refused for sure, whatever else its graph answered.
  return Succeeded(check.control->Pause()) && !DefinitelyNotPaused(filter);
}

}  // namespace

bool SPDEVCAM::CheckHold() {
  if (checkFilter_ == nullptr) return false;
  CheckGraph check;
  return SecondOpenAdmitted(services_, *checkFilter_, check);
}

int SPDEVCAM::RecheckHold() {
  if (!HoldsGraph() || IsBlockedBitSet() == 0) return 0;
  ChangeSharedAndNotify(CheckHold(), ReadNotifyWindow());
  return 1;
}

int SPDEVCAM::Unblock() {
  if (mediaControl_ == nullptr) return 1;
  if (Failed(mediaControl_->Stop())) return 0;
  DetachNotifyWindow();
  SetBlockedAndNotify(false, ReadNotifyWindow());
  ReleaseGraph();
  return 1;
}

int SPDEVCAM::GetWaveInId() { return 0; }

int SPDEVCAM::SetWaveInId(std::uint32_t) { return 0; }

int SPDEVCAM::PollDeviceLost() {
  if (mediaEvent_ == nullptr) return 0;
  std::int32_t code = 0;
  std::intptr_t param1 = 0;
  std::intptr_t param2 = 0;
  while (Succeeded(mediaEvent_->GetEvent(&code, &param1, &param2, kNoWaitMs))) {
    mediaEvent_->FreeEventParams(code, param1, param2);
    if (code == kEventDeviceLost) return 1;
  }
  return 0;
}

void SPDEVCAM::DetachNotifyWindow() {
  if (mediaEvent_ != nullptr) mediaEvent_->SetNotifyWindow(0, 0, 0);
}

void SPDEVCAM::ReleaseGraph() {
  mediaControl_.reset();
  mediaEvent_.reset();
  nullRenderer_.reset();
  captureBuilder_.reset();
  graph_.reset();
}

}  // namespace shadowpane
