#include "tests/virtualdevices/CaptureProbe.h"

namespace shadowpane::virtualdevices {

// {C1F400A4-3F08-11D3-9F0B-006008039E37}
const CLSID kNullRendererClsid = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

namespace {

std::wstring ReadText(IPropertyBag* bag, const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  std::wstring text;
  if (SUCCEEDED(bag->Read(name, &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal != nullptr) {
    text.assign(value.bstrVal, SysStringLen(value.bstrVal));
  }
  VariantClear(&value);
  return text;
}

bool ReadNumber(IPropertyBag* bag, const wchar_t* name, DWORD* number) {
  VARIANT value;
  VariantInit(&value);
  bool found = SUCCEEDED(bag->Read(name, &value, nullptr)) &&
               SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4));
  if (found) *number = static_cast<DWORD>(value.lVal);
  VariantClear(&value);
  return found;
}

HRESULT OpenCategory(const GUID& category, Ref<IEnumMoniker>* monikers) {
  Ref<ICreateDevEnum> devices;
  HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.outVoid());
  if (FAILED(hr)) return hr;
  hr = devices->CreateClassEnumerator(category, monikers->out(), 0);
  if (hr == S_FALSE || !*monikers) return S_FALSE;  // empty category
  return hr;
}

HRESULT NewGraph(Ref<IGraphBuilder>* graph, Ref<ICaptureGraphBuilder2>* builder) {
  HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                graph->outVoid());
  if (FAILED(hr)) return hr;
  hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                        builder->outVoid());
  if (FAILED(hr)) return hr;
  return (*builder)->SetFiltergraph(graph->get());
}

}  // namespace

std::vector<ListedDevice> ListCategory(const GUID& category) {
  std::vector<ListedDevice> devices;
  Ref<IEnumMoniker> monikers;
  if (OpenCategory(category, &monikers) != S_OK) return devices;
  Ref<IMoniker> moniker;
  while (monikers->Next(1, moniker.out(), nullptr) == S_OK) {
    Ref<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.outVoid()))) continue;
    ListedDevice device;
    device.friendlyName = ReadText(bag.get(), L"FriendlyName");
    device.devicePath = ReadText(bag.get(), L"DevicePath");
    device.hasWaveInId = ReadNumber(bag.get(), L"WaveInID", &device.waveInId);
    devices.push_back(device);
  }
  return devices;
}

HRESULT BindDevice(const GUID& category, const wchar_t* property, const std::wstring& value,
                   Ref<IBaseFilter>* filter) {
  Ref<IEnumMoniker> monikers;
  HRESULT hr = OpenCategory(category, &monikers);
  if (hr != S_OK) return FAILED(hr) ? hr : VFW_E_NOT_FOUND;
  Ref<IMoniker> moniker;
  while (monikers->Next(1, moniker.out(), nullptr) == S_OK) {
    Ref<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.outVoid()))) continue;
    if (ReadText(bag.get(), property) == value) {
      return moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter->outVoid());
    }
  }
  return VFW_E_NOT_FOUND;
}

HRESULT CameraHold::Hold(IBaseFilter* camera) {
  Release();
  HRESULT hr = NewGraph(&graph_, &builder_);
  if (SUCCEEDED(hr)) hr = graph_->QueryInterface(IID_IMediaControl, control_.outVoid());
  if (SUCCEEDED(hr)) hr = graph_->AddFilter(camera, L"Video Capture");
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(kNullRendererClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          renderer_.outVoid());
  }
  if (SUCCEEDED(hr)) hr = graph_->AddFilter(renderer_.get(), L"Null");
  Ref<IPin> pin;
  if (SUCCEEDED(hr)) {
    hr = builder_->FindPin(camera, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, FALSE, 0, pin.out());
  }
  if (SUCCEEDED(hr)) {
    hr = builder_->RenderStream(nullptr, nullptr, pin.get(), nullptr, renderer_.get());
    renderResult_ = hr;
  }
  pin.Reset();
  if (SUCCEEDED(hr)) hr = control_->Pause();
  if (SUCCEEDED(hr)) {
    // The graph's answer can hide a capture filter that refused: ask it.
    FILTER_STATE state = State_Stopped;
    const HRESULT stateResult = camera->GetState(100, &state);
    if (FAILED(stateResult) || state != State_Paused) hr = VFW_E_NOT_PAUSED;
  }
  return hr;
}

HRESULT CameraHold::Stop() { return control_ ? control_->Stop() : S_FALSE; }

void CameraHold::Release() {
  if (control_) control_->Stop();
  control_.Reset();
  renderer_.Reset();
  builder_.Reset();
  graph_.Reset();
  renderResult_ = S_OK;
}

HRESULT InputMixerAccess::Open(IBaseFilter* filter) {
  HRESULT hr = NewGraph(&graph_, &builder_);
  if (SUCCEEDED(hr)) hr = graph_->AddFilter(filter, L"Audio Capture");
  Ref<IPin> pin;
  if (SUCCEEDED(hr)) {
    hr = builder_->FindPin(filter, PINDIR_INPUT, nullptr, &MEDIATYPE_AnalogAudio, FALSE, 0, pin.out());
  }
  if (SUCCEEDED(hr)) hr = pin->QueryInterface(IID_IAMAudioInputMixer, mixer_.outVoid());
  return hr;
}

}  // namespace shadowpane::virtualdevices
