#include "devices/win32/Win32DeviceEnumeration.h"

#include <oleauto.h>

#include "devices/win32/DirectShowIds.h"
#include "devices/win32/Win32GraphObjects.h"

namespace shadowpane {

namespace {

// A VARIANT cleared exactly once, whatever it ends up holding.
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&value); }
  ~ScopedVariant() { VariantClear(&value); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT value;
};

class Win32PropertyBag : public PropertyBag {
 public:
  explicit Win32PropertyBag(ComRef<IPropertyBag> bag) : bag_(std::move(bag)) {}

  HResult ReadText(const WideChar* name, WideChar (&value)[kNameUnits]) override {
    ScopedVariant variant;
    const HRESULT hr =
        bag_->Read(reinterpret_cast<LPCOLESTR>(name), &variant.value, nullptr);
    if (FAILED(hr)) return hr;
    if (variant.value.vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
    const BSTR text = variant.value.bstrVal;
    UINT length = text != nullptr ? SysStringLen(text) : 0;
    // Longer names keep their first 255 characters.
    if (length > static_cast<UINT>(kMaxNameChars)) length = kMaxNameChars;
    for (UINT i = 0; i < length; ++i) value[i] = static_cast<WideChar>(text[i]);
    value[length] = 0;
    return hr;
  }

  HResult ReadInteger(const WideChar* name, std::int32_t* value) override {
    ScopedVariant variant;
    const HRESULT hr =
        bag_->Read(reinterpret_cast<LPCOLESTR>(name), &variant.value, nullptr);
    if (FAILED(hr)) return hr;
    switch (variant.value.vt) {
      case VT_I4:
      case VT_INT:
        *value = static_cast<std::int32_t>(variant.value.lVal);
        return hr;
      case VT_UI4:
      case VT_UINT:
        *value = static_cast<std::int32_t>(variant.value.ulVal);
        return hr;
      default:
        return DISP_E_TYPEMISMATCH;
    }
  }

 private:
  ComRef<IPropertyBag> bag_;
};

class Win32DeviceMoniker : public DeviceMoniker {
 public:
  explicit Win32DeviceMoniker(ComRef<IMoniker> moniker) : moniker_(std::move(moniker)) {}

  HResult BindToStorage(std::unique_ptr<PropertyBag>* bag) override {
    ComRef<IPropertyBag> ref;
    const HRESULT hr = moniker_->BindToStorage(nullptr, nullptr, kIidIPropertyBag, ref.ReceiveVoid());
    if (FAILED(hr)) return hr;
    if (!ref) return E_NOINTERFACE;
    *bag = std::make_unique<Win32PropertyBag>(std::move(ref));
    return hr;
  }

  HResult BindToObject(std::unique_ptr<CaptureFilter>* filter) override {
    ComRef<IBaseFilter> ref;
    const HRESULT hr = moniker_->BindToObject(nullptr, nullptr, kIidIBaseFilter, ref.ReceiveVoid());
    if (FAILED(hr)) return hr;
    if (!ref) return E_NOINTERFACE;
    *filter = std::make_unique<Win32CaptureFilter>(std::move(ref));
    return hr;
  }

 private:
  ComRef<IMoniker> moniker_;
};

class Win32MonikerEnumerator : public MonikerEnumerator {
 public:
  explicit Win32MonikerEnumerator(ComRef<IEnumMoniker> monikers) : monikers_(std::move(monikers)) {}

  HResult Next(std::unique_ptr<DeviceMoniker>* moniker) override {
    ComRef<IMoniker> ref;
    const HRESULT hr = monikers_->Next(1, ref.Receive(), nullptr);
    if (hr != S_OK) return hr;
    if (!ref) return S_FALSE;
    *moniker = std::make_unique<Win32DeviceMoniker>(std::move(ref));
    return hr;
  }

 private:
  ComRef<IEnumMoniker> monikers_;
};

}  // namespace

HResult Win32DeviceEnumerator::CreateClassEnumerator(
    DeviceCategory category, std::unique_ptr<MonikerEnumerator>* enumerator) {
  const GUID& categoryId = category == DeviceCategory::VideoInput
                               ? kClsidVideoInputDeviceCategory
                               : kClsidAudioInputDeviceCategory;
  ComRef<IEnumMoniker> ref;
  const HRESULT hr = enumerator_->CreateClassEnumerator(categoryId, ref.Receive(), 0);
  // An empty category answers S_FALSE and no enumerator.
  if (FAILED(hr) || !ref) return hr;
  *enumerator = std::make_unique<Win32MonikerEnumerator>(std::move(ref));
  return hr;
}

}  // namespace shadowpane
