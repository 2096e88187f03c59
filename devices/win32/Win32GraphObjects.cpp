#include "devices/win32/Win32GraphObjects.h"

#include "core/win32/TextCast.h"
#include "devices/win32/DirectShowIds.h"

namespace shadowpane {

namespace {

class Win32AudioInputMixer : public AudioInputMixer {
 public:
  explicit Win32AudioInputMixer(ComRef<IAMAudioInputMixer> mixer) : mixer_(std::move(mixer)) {}
  HResult PutEnable(bool enable) override { return mixer_->put_Enable(enable ? TRUE : FALSE); }
  HResult GetEnable(bool* enabled) override {
    BOOL value = FALSE;
    const HRESULT hr = mixer_->get_Enable(&value);
    if (SUCCEEDED(hr)) *enabled = value != FALSE;
    return hr;
  }

 private:
  ComRef<IAMAudioInputMixer> mixer_;
};

class Win32CapturePin : public CapturePin {
 public:
  explicit Win32CapturePin(ComRef<IPin> pin) : pin_(std::move(pin)) {}
  IPin* Get() const { return pin_.Get(); }
  HResult QueryAudioInputMixer(std::unique_ptr<AudioInputMixer>* mixer) override {
    ComRef<IAMAudioInputMixer> found;
    const HRESULT hr = pin_->QueryInterface(kIidIAMAudioInputMixer, found.ReceiveVoid());
    if (SUCCEEDED(hr) && found) *mixer = std::make_unique<Win32AudioInputMixer>(std::move(found));
    return FAILED(hr) || *mixer ? hr : E_NOINTERFACE;
  }

 private:
  ComRef<IPin> pin_;
};

class Win32MediaControl : public MediaControl {
 public:
  explicit Win32MediaControl(ComRef<IMediaControl> control) : control_(std::move(control)) {}
  HResult Pause() override { return control_->Pause(); }
  HResult Stop() override { return control_->Stop(); }

 private:
  ComRef<IMediaControl> control_;
};

class Win32MediaEvent : public MediaEvent {
 public:
  explicit Win32MediaEvent(ComRef<IMediaEventEx> events) : events_(std::move(events)) {}
  HResult SetNotifyWindow(NotifyWindow window, std::uint32_t message,
                          std::intptr_t instance) override {
    return events_->SetNotifyWindow(static_cast<OAHWND>(window), static_cast<long>(message),
                                    static_cast<LONG_PTR>(instance));
  }
  HResult GetEvent(std::int32_t* code, std::intptr_t* param1, std::intptr_t* param2,
                   std::int32_t timeoutMs) override {
    long eventCode = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    const HRESULT hr = events_->GetEvent(&eventCode, &first, &second, timeoutMs);
    if (SUCCEEDED(hr)) {
      *code = static_cast<std::int32_t>(eventCode);
      *param1 = static_cast<std::intptr_t>(first);
      *param2 = static_cast<std::intptr_t>(second);
    }
    return hr;
  }
  HResult FreeEventParams(std::int32_t code, std::intptr_t param1,
                          std::intptr_t param2) override {
    return events_->FreeEventParams(code, static_cast<LONG_PTR>(param1),
                                    static_cast<LONG_PTR>(param2));
  }

 private:
  ComRef<IMediaEventEx> events_;
};

// Answers a QueryInterface that claimed success without a pointer as
// E_NOINTERFACE, so callers never hold an empty object.
template <typename Wrapper, typename Interface, typename Base>
HResult HandOut(HRESULT hr, ComRef<Interface>& ref, std::unique_ptr<Base>* out) {
  if (FAILED(hr)) return hr;
  if (!ref) return E_NOINTERFACE;
  *out = std::make_unique<Wrapper>(std::move(ref));
  return hr;
}

}  // namespace

IBaseFilter* FilterOf(CaptureFilter& filter) {
  // The services hand out no other kind of CaptureFilter.
  return static_cast<Win32CaptureFilter&>(filter).Get();
}

HResult Win32CaptureFilter::GetState(std::uint32_t timeoutMs, FilterState* state) {
  FILTER_STATE value = State_Stopped;
  const HRESULT hr = filter_->GetState(timeoutMs, &value);
  // VFW_S_STATE_INTERMEDIATE: still on its way; not there yet.
  if (hr == VFW_S_STATE_INTERMEDIATE) return E_FAIL;
  if (SUCCEEDED(hr)) {
    *state = value == State_Paused ? FilterState::Paused
             : value == State_Running ? FilterState::Running
                                      : FilterState::Stopped;
  }
  return hr;
}

HResult Win32FilterGraph::AddFilter(CaptureFilter& filter, const WideChar* name) {
  return graph_->AddFilter(FilterOf(filter), AsWide(name));
}

HResult Win32FilterGraph::QueryMediaControl(std::unique_ptr<MediaControl>* control) {
  ComRef<IMediaControl> ref;
  const HRESULT hr = graph_->QueryInterface(kIidIMediaControl, ref.ReceiveVoid());
  return HandOut<Win32MediaControl>(hr, ref, control);
}

HResult Win32FilterGraph::QueryMediaEvent(std::unique_ptr<MediaEvent>* events) {
  ComRef<IMediaEventEx> ref;
  const HRESULT hr = graph_->QueryInterface(kIidIMediaEventEx, ref.ReceiveVoid());
  return HandOut<Win32MediaEvent>(hr, ref, events);
}

HResult Win32CaptureGraphBuilder::SetFiltergraph(FilterGraph& graph) {
  return builder_->SetFiltergraph(static_cast<Win32FilterGraph&>(graph).Get());
}

HResult Win32CaptureGraphBuilder::FindPin(CaptureFilter& filter, PinDirection direction,
                                          PinCategory category, MediaType type,
                                          std::unique_ptr<CapturePin>* pin) {
  const GUID* categoryId = category == PinCategory::Capture ? &kPinCategoryCapture : nullptr;
  const GUID* typeId = type == MediaType::Video         ? &kMediaTypeVideo
                       : type == MediaType::AnalogAudio ? &kMediaTypeAnalogAudio
                                                        : nullptr;
  ComRef<IPin> ref;
  const HRESULT hr = builder_->FindPin(FilterOf(filter),
                                       direction == PinDirection::Input ? PINDIR_INPUT
                                                                        : PINDIR_OUTPUT,
                                       categoryId, typeId, FALSE, 0, ref.Receive());
  return HandOut<Win32CapturePin>(hr, ref, pin);
}

HResult Win32CaptureGraphBuilder::RenderStream(CapturePin& source, CaptureFilter& sink) {
  return builder_->RenderStream(nullptr, nullptr, static_cast<Win32CapturePin&>(source).Get(),
                                nullptr, FilterOf(sink));
}

}  // namespace shadowpane
