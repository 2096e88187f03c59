#include "tests/virtualdevices/ServiceBinding.h"

namespace shadowpane::virtualdevices {

HResult BindThroughServices(CaptureServices& services, DeviceCategory category, const WideChar* property,
                            const std::u16string& value, std::unique_ptr<CaptureFilter>* filter) {
  std::unique_ptr<DeviceEnumerator> devices;
  HResult hr = services.CreateDeviceEnumerator(&devices);
  if (Failed(hr)) return hr;
  std::unique_ptr<MonikerEnumerator> monikers;
  hr = devices->CreateClassEnumerator(category, &monikers);
  if (hr != kHrOk || !monikers) return Failed(hr) ? hr : kHrFail;
  std::unique_ptr<DeviceMoniker> moniker;
  while (monikers->Next(&moniker) == kHrOk && moniker) {
    std::unique_ptr<PropertyBag> bag;
    if (Failed(moniker->BindToStorage(&bag)) || !bag) continue;
    WideChar text[kNameUnits] = {};
    if (Succeeded(bag->ReadText(property, text)) && value == text) return moniker->BindToObject(filter);
  }
  return kHrFail;
}

}  // namespace shadowpane::virtualdevices
