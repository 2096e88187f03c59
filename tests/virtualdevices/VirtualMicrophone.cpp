#include "tests/virtualdevices/VirtualMicrophone.h"

#include <new>

#include "tests/virtualdevices/MicrophoneInputStore.h"

namespace shadowpane::virtualdevices {

namespace {
constexpr wchar_t kPinName[] = L"Microphone";
// The fixed settings the line reports besides its switch.
constexpr double kFullMixLevel = 1.0;
constexpr double kCentredPan = 0.0;
}  // namespace

// ---- VirtualMicrophonePin ----

VirtualMicrophonePin::VirtualMicrophonePin(VirtualMicrophoneFilter& filter) : filter_(filter) {
  type_.majortype = MEDIATYPE_AnalogAudio;
  type_.subtype = GUID_NULL;
  type_.formattype = GUID_NULL;
}

STDMETHODIMP VirtualMicrophonePin::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPin) {
    *out = static_cast<IPin*>(this);
  } else if (iid == IID_IAMAudioInputMixer) {
    *out = static_cast<IAMAudioInputMixer*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) VirtualMicrophonePin::AddRef() { return filter_.AddRef(); }
STDMETHODIMP_(ULONG) VirtualMicrophonePin::Release() { return filter_.Release(); }

STDMETHODIMP VirtualMicrophonePin::Connect(IPin*, const AM_MEDIA_TYPE*) {
  return VFW_E_INVALID_DIRECTION;  // an input pin does not start a connection
}

STDMETHODIMP VirtualMicrophonePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (connector == nullptr || type == nullptr) return E_POINTER;
  return VFW_E_TYPE_NOT_ACCEPTED;  // the line is fed by hardware, not by a filter
}

STDMETHODIMP VirtualMicrophonePin::Disconnect() { return S_FALSE; }

STDMETHODIMP VirtualMicrophonePin::ConnectedTo(IPin** pin) {
  if (pin == nullptr) return E_POINTER;
  *pin = nullptr;
  return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP VirtualMicrophonePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  ZeroMemory(type, sizeof(*type));
  return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP VirtualMicrophonePin::QueryPinInfo(PIN_INFO* info) {
  return FillPinInfo(info, &filter_, PINDIR_INPUT, kPinName);
}

STDMETHODIMP VirtualMicrophonePin::QueryDirection(PIN_DIRECTION* direction) {
  if (direction == nullptr) return E_POINTER;
  *direction = PINDIR_INPUT;
  return S_OK;
}

STDMETHODIMP VirtualMicrophonePin::QueryId(LPWSTR* id) { return CopyPinId(id, kPinName); }

STDMETHODIMP VirtualMicrophonePin::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  return IsEqualGUID(type->majortype, MEDIATYPE_AnalogAudio) ? S_OK : S_FALSE;
}

STDMETHODIMP VirtualMicrophonePin::EnumMediaTypes(IEnumMediaTypes** types) {
  if (types == nullptr) return E_POINTER;
  *types = new (std::nothrow) SingleTypeEnum(type_, 0);
  return *types != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP VirtualMicrophonePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::EndOfStream() { return S_OK; }
STDMETHODIMP VirtualMicrophonePin::BeginFlush() { return S_OK; }
STDMETHODIMP VirtualMicrophonePin::EndFlush() { return S_OK; }
STDMETHODIMP VirtualMicrophonePin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

STDMETHODIMP VirtualMicrophonePin::put_Enable(BOOL enable) {
  return WriteInputEnabled(filter_.clsid(), enable != FALSE);
}

STDMETHODIMP VirtualMicrophonePin::get_Enable(BOOL* enable) {
  if (enable == nullptr) return E_POINTER;
  bool on = true;
  HRESULT hr = ReadInputEnabled(filter_.clsid(), &on);
  if (SUCCEEDED(hr)) *enable = on ? TRUE : FALSE;
  return hr;
}

STDMETHODIMP VirtualMicrophonePin::put_Mono(BOOL) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_Mono(BOOL* mono) {
  if (mono == nullptr) return E_POINTER;
  *mono = TRUE;
  return S_OK;
}
STDMETHODIMP VirtualMicrophonePin::put_MixLevel(double) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_MixLevel(double* level) {
  if (level == nullptr) return E_POINTER;
  *level = kFullMixLevel;
  return S_OK;
}
STDMETHODIMP VirtualMicrophonePin::put_Pan(double) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_Pan(double* pan) {
  if (pan == nullptr) return E_POINTER;
  *pan = kCentredPan;
  return S_OK;
}
STDMETHODIMP VirtualMicrophonePin::put_Loudness(BOOL) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_Loudness(BOOL*) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::put_Treble(double) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_Treble(double*) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_TrebleRange(double*) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::put_Bass(double) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_Bass(double*) { return E_NOTIMPL; }
STDMETHODIMP VirtualMicrophonePin::get_BassRange(double*) { return E_NOTIMPL; }

// ---- VirtualMicrophoneFilter ----

VirtualMicrophoneFilter::VirtualMicrophoneFilter(const CLSID& clsid)
    : SinglePinFilter(clsid, kPinName), pin_(*this) {}

}  // namespace shadowpane::virtualdevices
