// The COM entry points of the test devices' DLL. Every registered virtual
// device is a class of its own; the class's registry key says whether it is a
// camera or a microphone, so one DLL serves any number of devices and each
// filter knows which device it is from its class id alone.
#include <windows.h>
#include <dshow.h>

#include <new>

#include "tests/virtualdevices/FilterParts.h"
#include "tests/virtualdevices/VirtualCamera.h"
#include "tests/virtualdevices/VirtualDeviceKeys.h"
#include "tests/virtualdevices/VirtualMicrophone.h"

namespace shadowpane::virtualdevices {
namespace {

enum class DeviceKind { Unknown, Camera, Microphone };

DeviceKind KindOfClass(const CLSID& clsid) {
  wchar_t kind[32] = {};
  DWORD bytes = sizeof(kind) - sizeof(wchar_t);
  DWORD type = 0;
  RegistryKey key(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), KEY_QUERY_VALUE);
  if (key.get() == nullptr ||
      RegQueryValueExW(key.get(), kKindValue, nullptr, &type, reinterpret_cast<BYTE*>(kind), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return DeviceKind::Unknown;
  }
  if (lstrcmpW(kind, kKindCamera) == 0) return DeviceKind::Camera;
  if (lstrcmpW(kind, kKindMicrophone) == 0) return DeviceKind::Microphone;
  return DeviceKind::Unknown;
}

class FilterFactory final : public IClassFactory {
 public:
  FilterFactory(const CLSID& clsid, DeviceKind kind) : clsid_(clsid), kind_(kind) { ModuleAddRef(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IBaseFilter* filter = nullptr;
    if (kind_ == DeviceKind::Camera) {
      filter = new (std::nothrow) VirtualCameraFilter(clsid_);
    } else {
      filter = new (std::nothrow) VirtualMicrophoneFilter(clsid_);
    }
    if (filter == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = filter->QueryInterface(iid, out);
    filter->Release();
    return hr;
  }

  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      ModuleAddRef();
    } else {
      ModuleRelease();
    }
    return S_OK;
  }

 private:
  ~FilterFactory() { ModuleRelease(); }
  LONG refs_ = 1;
  CLSID clsid_;
  DeviceKind kind_;
};

}  // namespace
}  // namespace shadowpane::virtualdevices

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  using namespace shadowpane::virtualdevices;
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  DeviceKind kind = KindOfClass(clsid);
  if (kind == DeviceKind::Unknown) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) FilterFactory(clsid, kind);
  if (factory == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
  return shadowpane::virtualdevices::ModuleInUse() ? S_FALSE : S_OK;
}
