#include "tests/virtualdevices/VirtualCamera.h"

#include <new>

#include "tests/virtualdevices/VirtualDeviceKeys.h"

namespace shadowpane::virtualdevices {

namespace {

constexpr wchar_t kPinName[] = L"Capture";
// The one format offered: small uncompressed frames, enough for any renderer.
constexpr LONG kFrameWidth = 320;
constexpr LONG kFrameHeight = 240;
constexpr WORD kBitsPerPixel = 24;
constexpr DWORD kFrameBytes = kFrameWidth * kFrameHeight * (kBitsPerPixel / 8);
constexpr REFERENCE_TIME kFrameInterval = 333333;  // 30 frames per second, in 100 ns
constexpr long kBufferCount = 1;

bool SameGuid(const GUID& a, const GUID& b) { return IsEqualGUID(a, b) != 0; }

// A requested type matches ours when each part it names is ours.
bool AcceptsPartialType(const AM_MEDIA_TYPE& ours, const AM_MEDIA_TYPE& asked) {
  if (!SameGuid(asked.majortype, GUID_NULL) && !SameGuid(asked.majortype, ours.majortype)) return false;
  if (!SameGuid(asked.subtype, GUID_NULL) && !SameGuid(asked.subtype, ours.subtype)) return false;
  if (!SameGuid(asked.formattype, GUID_NULL) && !SameGuid(asked.formattype, ours.formattype)) return false;
  return true;
}

}  // namespace

// ---- VirtualCameraPin ----

VirtualCameraPin::VirtualCameraPin(VirtualCameraFilter& filter) : filter_(filter) {
  format_.AvgTimePerFrame = kFrameInterval;
  format_.dwBitRate = kFrameBytes * 8 * 30;
  format_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format_.bmiHeader.biWidth = kFrameWidth;
  format_.bmiHeader.biHeight = kFrameHeight;
  format_.bmiHeader.biPlanes = 1;
  format_.bmiHeader.biBitCount = kBitsPerPixel;
  format_.bmiHeader.biCompression = BI_RGB;
  format_.bmiHeader.biSizeImage = kFrameBytes;
  type_.majortype = MEDIATYPE_Video;
  type_.subtype = MEDIASUBTYPE_RGB24;
  type_.bFixedSizeSamples = TRUE;
  type_.bTemporalCompression = FALSE;
  type_.lSampleSize = kFrameBytes;
  type_.formattype = FORMAT_VideoInfo;
  type_.cbFormat = sizeof(format_);
  type_.pbFormat = reinterpret_cast<BYTE*>(&format_);
}

VirtualCameraPin::~VirtualCameraPin() { ReleaseConnection(); }

STDMETHODIMP VirtualCameraPin::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPin) {
    *out = static_cast<IPin*>(this);
  } else if (iid == IID_IKsPropertySet) {
    *out = static_cast<IKsPropertySet*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) VirtualCameraPin::AddRef() { return filter_.AddRef(); }
STDMETHODIMP_(ULONG) VirtualCameraPin::Release() { return filter_.Release(); }

bool VirtualCameraPin::OpenDeviceExclusively() {
  // No sharing: a second open fails with a sharing violation while this
  // handle lives, whichever process asks. A shared camera's clients share
  // the file with each other (and are refused beside an exclusive one).
  const DWORD share = CameraIsShared(filter_.clsid()) ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0;
  deviceHandle_ = CreateFileW(CameraLockFilePath(filter_.clsid()).c_str(), GENERIC_READ | GENERIC_WRITE,
                              share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  return deviceHandle_ != INVALID_HANDLE_VALUE;
}

HRESULT VirtualCameraPin::NegotiateAllocator(IPin* receivePin) {
  HRESULT hr = receivePin->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&peerInput_));
  if (FAILED(hr)) return hr;

  ALLOCATOR_PROPERTIES wanted = {};
  peerInput_->GetAllocatorRequirements(&wanted);  // a hint only; most renderers have none
  if (wanted.cBuffers < kBufferCount) wanted.cBuffers = kBufferCount;
  if (wanted.cbBuffer < static_cast<long>(kFrameBytes)) wanted.cbBuffer = kFrameBytes;
  if (wanted.cbAlign < 1) wanted.cbAlign = 1;

  // The renderer's own allocator if it offers one (a Null Renderer does not),
  // else a standard memory allocator of our own.
  hr = peerInput_->GetAllocator(&allocator_);
  if (FAILED(hr) || allocator_ == nullptr) {
    allocator_ = nullptr;
    hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                          reinterpret_cast<void**>(&allocator_));
    if (FAILED(hr)) return hr;
  }
  ALLOCATOR_PROPERTIES actual = {};
  hr = allocator_->SetProperties(&wanted, &actual);
  if (FAILED(hr)) return hr;
  return peerInput_->NotifyAllocator(allocator_, FALSE);
}

void VirtualCameraPin::ReleaseConnection() {
  if (allocator_ != nullptr) {
    allocator_->Decommit();
    allocator_->Release();
    allocator_ = nullptr;
  }
  if (peerInput_ != nullptr) {
    peerInput_->Release();
    peerInput_ = nullptr;
  }
  if (peer_ != nullptr) {
    peer_->Release();
    peer_ = nullptr;
  }
  if (deviceHandle_ != INVALID_HANDLE_VALUE) {
    CloseHandle(deviceHandle_);
    deviceHandle_ = INVALID_HANDLE_VALUE;
  }
}

STDMETHODIMP VirtualCameraPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
  if (receivePin == nullptr) return E_POINTER;
  EnterCriticalSection(&filter_.lock());
  HRESULT hr = S_OK;
  PIN_DIRECTION direction = PINDIR_OUTPUT;
  if (peer_ != nullptr) {
    hr = VFW_E_ALREADY_CONNECTED;
  } else if (filter_.state() != State_Stopped) {
    hr = VFW_E_NOT_STOPPED;
  } else if (type != nullptr && !AcceptsPartialType(type_, *type)) {
    hr = VFW_E_TYPE_NOT_ACCEPTED;
  } else if (FAILED(receivePin->QueryDirection(&direction)) || direction != PINDIR_INPUT) {
    hr = VFW_E_INVALID_DIRECTION;
  } else if (!(openAtPause_ = CameraOpensAtPause(filter_.clsid())) && !OpenDeviceExclusively()) {
    // Another client holds the camera: the driver refuses to open.
    hr = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
  } else {
    // The receiver may ask who we are connected to while it accepts.
    peer_ = receivePin;
    peer_->AddRef();
    hr = receivePin->ReceiveConnection(this, &type_);
    if (SUCCEEDED(hr)) {
      hr = NegotiateAllocator(receivePin);
      if (FAILED(hr)) receivePin->Disconnect();
    }
    if (FAILED(hr)) ReleaseConnection();
  }
  LeaveCriticalSection(&filter_.lock());
  return hr;
}

STDMETHODIMP VirtualCameraPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
  return E_UNEXPECTED;  // an output pin connects, it is not connected to
}

STDMETHODIMP VirtualCameraPin::Disconnect() {
  EnterCriticalSection(&filter_.lock());
  HRESULT hr = S_OK;
  if (filter_.state() != State_Stopped) {
    hr = VFW_E_NOT_STOPPED;
  } else if (peer_ == nullptr) {
    hr = S_FALSE;
  } else {
    ReleaseConnection();  // closes the device for the next client
  }
  LeaveCriticalSection(&filter_.lock());
  return hr;
}

STDMETHODIMP VirtualCameraPin::ConnectedTo(IPin** pin) {
  if (pin == nullptr) return E_POINTER;
  EnterCriticalSection(&filter_.lock());
  *pin = peer_;
  if (peer_ != nullptr) peer_->AddRef();
  LeaveCriticalSection(&filter_.lock());
  return *pin != nullptr ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP VirtualCameraPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  EnterCriticalSection(&filter_.lock());
  HRESULT hr = VFW_E_NOT_CONNECTED;
  if (peer_ != nullptr) {
    hr = CopyMediaType(type, type_);
  } else {
    ZeroMemory(type, sizeof(*type));
  }
  LeaveCriticalSection(&filter_.lock());
  return hr;
}

STDMETHODIMP VirtualCameraPin::QueryPinInfo(PIN_INFO* info) {
  return FillPinInfo(info, &filter_, PINDIR_OUTPUT, kPinName);
}

STDMETHODIMP VirtualCameraPin::QueryDirection(PIN_DIRECTION* direction) {
  if (direction == nullptr) return E_POINTER;
  *direction = PINDIR_OUTPUT;
  return S_OK;
}

STDMETHODIMP VirtualCameraPin::QueryId(LPWSTR* id) { return CopyPinId(id, kPinName); }

STDMETHODIMP VirtualCameraPin::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  return AcceptsPartialType(type_, *type) ? S_OK : S_FALSE;
}

STDMETHODIMP VirtualCameraPin::EnumMediaTypes(IEnumMediaTypes** types) {
  if (types == nullptr) return E_POINTER;
  *types = new (std::nothrow) SingleTypeEnum(type_, 0);
  return *types != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP VirtualCameraPin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }
STDMETHODIMP VirtualCameraPin::EndOfStream() { return E_UNEXPECTED; }
STDMETHODIMP VirtualCameraPin::BeginFlush() { return E_UNEXPECTED; }
STDMETHODIMP VirtualCameraPin::EndFlush() { return E_UNEXPECTED; }
STDMETHODIMP VirtualCameraPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

STDMETHODIMP VirtualCameraPin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) {
  return E_NOTIMPL;
}

STDMETHODIMP VirtualCameraPin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataSize,
                                   DWORD* returned) {
  if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (data == nullptr && returned == nullptr) return E_POINTER;
  if (returned != nullptr) *returned = sizeof(GUID);
  if (data == nullptr) return S_OK;  // size query
  if (dataSize < sizeof(GUID)) return E_UNEXPECTED;
  *static_cast<GUID*>(data) = PIN_CATEGORY_CAPTURE;
  return S_OK;
}

STDMETHODIMP VirtualCameraPin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
  if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (support != nullptr) *support = KSPROPERTY_SUPPORT_GET;
  return S_OK;
}

HRESULT VirtualCameraPin::StartStream() {
  // A camera that opens at pause refuses here while another client has it.
  if (openAtPause_ && deviceHandle_ == INVALID_HANDLE_VALUE && !OpenDeviceExclusively()) {
    return HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
  }
  return allocator_ != nullptr ? allocator_->Commit() : S_OK;
}

void VirtualCameraPin::StopStream() {
  if (allocator_ != nullptr) allocator_->Decommit();
  if (openAtPause_ && deviceHandle_ != INVALID_HANDLE_VALUE) {
    CloseHandle(deviceHandle_);
    deviceHandle_ = INVALID_HANDLE_VALUE;
  }
}

// ---- VirtualCameraFilter ----

VirtualCameraFilter::VirtualCameraFilter(const CLSID& clsid)
    : SinglePinFilter(clsid, kPinName), pin_(*this) {}

}  // namespace shadowpane::virtualdevices
