#include "tests/virtualdevices/FilterParts.h"

#include <new>

namespace shadowpane::virtualdevices {

namespace {
LONG gModuleRefs = 0;
}

void ModuleAddRef() { InterlockedIncrement(&gModuleRefs); }
void ModuleRelease() { InterlockedDecrement(&gModuleRefs); }
bool ModuleInUse() { return InterlockedCompareExchange(&gModuleRefs, 0, 0) != 0; }

HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE& source) {
  *target = source;
  target->pbFormat = nullptr;
  target->cbFormat = 0;
  if (source.cbFormat != 0 && source.pbFormat != nullptr) {
    target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
    if (target->pbFormat == nullptr) return E_OUTOFMEMORY;
    CopyMemory(target->pbFormat, source.pbFormat, source.cbFormat);
    target->cbFormat = source.cbFormat;
  }
  if (target->pUnk != nullptr) target->pUnk->AddRef();
  return S_OK;
}

void FreeMediaTypeContents(AM_MEDIA_TYPE& type) {
  if (type.pbFormat != nullptr) CoTaskMemFree(type.pbFormat);
  type.pbFormat = nullptr;
  type.cbFormat = 0;
  if (type.pUnk != nullptr) type.pUnk->Release();
  type.pUnk = nullptr;
}

AM_MEDIA_TYPE* NewMediaTypeCopy(const AM_MEDIA_TYPE& source) {
  auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
  if (copy == nullptr) return nullptr;
  if (FAILED(CopyMediaType(copy, source))) {
    CoTaskMemFree(copy);
    return nullptr;
  }
  return copy;
}

// ---- SinglePinEnum ----

SinglePinEnum::SinglePinEnum(IPin* pin, ULONG position) : pin_(pin), position_(position) {
  pin_->AddRef();
  ModuleAddRef();
}

SinglePinEnum::~SinglePinEnum() {
  pin_->Release();
  ModuleRelease();
}

STDMETHODIMP SinglePinEnum::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IEnumPins) {
    *out = static_cast<IEnumPins*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) SinglePinEnum::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) SinglePinEnum::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP SinglePinEnum::Next(ULONG count, IPin** pins, ULONG* fetched) {
  if (pins == nullptr) return E_POINTER;
  if (count > 1 && fetched == nullptr) return E_INVALIDARG;
  ULONG given = 0;
  if (count > 0 && position_ == 0) {
    pins[0] = pin_;
    pin_->AddRef();
    position_ = 1;
    given = 1;
  }
  if (fetched != nullptr) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP SinglePinEnum::Skip(ULONG count) {
  ULONG target = position_ + count;
  position_ = target > 1 ? 1 : target;
  return target <= 1 ? S_OK : S_FALSE;
}

STDMETHODIMP SinglePinEnum::Reset() {
  position_ = 0;
  return S_OK;
}

STDMETHODIMP SinglePinEnum::Clone(IEnumPins** out) {
  if (out == nullptr) return E_POINTER;
  *out = new (std::nothrow) SinglePinEnum(pin_, position_);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// ---- SingleTypeEnum ----

SingleTypeEnum::SingleTypeEnum(const AM_MEDIA_TYPE& type, ULONG position) : position_(position) {
  if (FAILED(CopyMediaType(&type_, type))) {
    // An enumerator that cannot hold its type enumerates nothing.
    FreeMediaTypeContents(type_);
    position_ = 1;
  }
  ModuleAddRef();
}

SingleTypeEnum::~SingleTypeEnum() {
  FreeMediaTypeContents(type_);
  ModuleRelease();
}

STDMETHODIMP SingleTypeEnum::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes) {
    *out = static_cast<IEnumMediaTypes*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) SingleTypeEnum::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) SingleTypeEnum::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP SingleTypeEnum::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
  if (types == nullptr) return E_POINTER;
  if (count > 1 && fetched == nullptr) return E_INVALIDARG;
  ULONG given = 0;
  if (count > 0 && position_ == 0) {
    types[0] = NewMediaTypeCopy(type_);
    if (types[0] == nullptr) return E_OUTOFMEMORY;
    position_ = 1;
    given = 1;
  }
  if (fetched != nullptr) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP SingleTypeEnum::Skip(ULONG count) {
  ULONG target = position_ + count;
  position_ = target > 1 ? 1 : target;
  return target <= 1 ? S_OK : S_FALSE;
}

STDMETHODIMP SingleTypeEnum::Reset() {
  position_ = 0;
  return S_OK;
}

STDMETHODIMP SingleTypeEnum::Clone(IEnumMediaTypes** out) {
  if (out == nullptr) return E_POINTER;
  *out = new (std::nothrow) SingleTypeEnum(type_, position_);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// ---- SinglePinFilter ----

SinglePinFilter::SinglePinFilter(const CLSID& clsid, const wchar_t* pinName)
    : clsid_(clsid), pinName_(pinName) {
  InitializeCriticalSection(&lock_);
  ModuleAddRef();
}

SinglePinFilter::~SinglePinFilter() {
  if (clock_ != nullptr) clock_->Release();
  DeleteCriticalSection(&lock_);
  ModuleRelease();
}

STDMETHODIMP SinglePinFilter::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter) {
    *out = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) SinglePinFilter::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) SinglePinFilter::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP SinglePinFilter::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

STDMETHODIMP SinglePinFilter::Stop() {
  EnterCriticalSection(&lock_);
  if (state_ != State_Stopped) OnStreamStopped();
  state_ = State_Stopped;
  LeaveCriticalSection(&lock_);
  return S_OK;
}

STDMETHODIMP SinglePinFilter::Pause() {
  EnterCriticalSection(&lock_);
  HRESULT hr = state_ == State_Stopped ? OnStreamStarting() : S_OK;
  if (SUCCEEDED(hr)) state_ = State_Paused;
  LeaveCriticalSection(&lock_);
  return hr;
}

STDMETHODIMP SinglePinFilter::Run(REFERENCE_TIME) {
  EnterCriticalSection(&lock_);
  HRESULT hr = state_ == State_Stopped ? OnStreamStarting() : S_OK;
  if (SUCCEEDED(hr)) state_ = State_Running;
  LeaveCriticalSection(&lock_);
  return hr;
}

STDMETHODIMP SinglePinFilter::GetState(DWORD, FILTER_STATE* state) {
  if (state == nullptr) return E_POINTER;
  EnterCriticalSection(&lock_);
  *state = state_;
  LeaveCriticalSection(&lock_);
  // A live source cannot deliver data while paused.
  return *state == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP SinglePinFilter::SetSyncSource(IReferenceClock* clock) {
  EnterCriticalSection(&lock_);
  if (clock != nullptr) clock->AddRef();
  if (clock_ != nullptr) clock_->Release();
  clock_ = clock;
  LeaveCriticalSection(&lock_);
  return S_OK;
}

STDMETHODIMP SinglePinFilter::GetSyncSource(IReferenceClock** clock) {
  if (clock == nullptr) return E_POINTER;
  EnterCriticalSection(&lock_);
  *clock = clock_;
  if (clock_ != nullptr) clock_->AddRef();
  LeaveCriticalSection(&lock_);
  return S_OK;
}

STDMETHODIMP SinglePinFilter::EnumPins(IEnumPins** pins) {
  if (pins == nullptr) return E_POINTER;
  *pins = new (std::nothrow) SinglePinEnum(OwnPin(), 0);
  return *pins != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP SinglePinFilter::FindPin(LPCWSTR id, IPin** pin) {
  if (id == nullptr || pin == nullptr) return E_POINTER;
  if (lstrcmpW(id, pinName_) != 0) {
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
  }
  *pin = OwnPin();
  (*pin)->AddRef();
  return S_OK;
}

STDMETHODIMP SinglePinFilter::QueryFilterInfo(FILTER_INFO* info) {
  if (info == nullptr) return E_POINTER;
  EnterCriticalSection(&lock_);
  lstrcpynW(info->achName, name_, MAX_FILTER_NAME);
  info->pGraph = graph_;
  if (graph_ != nullptr) graph_->AddRef();
  LeaveCriticalSection(&lock_);
  return S_OK;
}

STDMETHODIMP SinglePinFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  EnterCriticalSection(&lock_);
  graph_ = graph;
  ZeroMemory(name_, sizeof(name_));
  if (name != nullptr) lstrcpynW(name_, name, MAX_FILTER_NAME);
  LeaveCriticalSection(&lock_);
  return S_OK;
}

STDMETHODIMP SinglePinFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

HRESULT FillPinInfo(PIN_INFO* info, IBaseFilter* filter, PIN_DIRECTION direction, const wchar_t* name) {
  if (info == nullptr) return E_POINTER;
  info->pFilter = filter;
  filter->AddRef();
  info->dir = direction;
  lstrcpynW(info->achName, name, MAX_PIN_NAME);
  return S_OK;
}

HRESULT CopyPinId(LPWSTR* id, const wchar_t* name) {
  if (id == nullptr) return E_POINTER;
  size_t bytes = (lstrlenW(name) + 1) * sizeof(wchar_t);
  *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (*id == nullptr) return E_OUTOFMEMORY;
  CopyMemory(*id, name, bytes);
  return S_OK;
}

}  // namespace shadowpane::virtualdevices
