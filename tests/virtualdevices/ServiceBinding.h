// Finds a device through the program's own capture services, the way
// discovery does (system device enumerator, property bag, moniker binding),
// so that the device classes are driven with the filters discovery would
// give them.
#pragma once

#include <memory>
#include <string>

#include "devices/CaptureServices.h"

namespace shadowpane::virtualdevices {

// Binds the first device of the category whose text property equals value.
// Each call gives a binding of its own. A failing step's result, or
// kHrFail when no device matches.
HResult BindThroughServices(CaptureServices& services, DeviceCategory category, const WideChar* property,
                            const std::u16string& value, std::unique_ptr<CaptureFilter>* filter);

}  // namespace shadowpane::virtualdevices
