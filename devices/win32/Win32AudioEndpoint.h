// The audio endpoints of the capture services: the multimedia device
// enumerator, a device, its endpoint volume and the change notices of its
// mute.
#pragma once

#include "devices/CaptureServices.h"

namespace shadowpane {

// CoCreateInstance of the multimedia device enumerator.
HResult CreateWin32AudioEndpointEnumerator(std::unique_ptr<AudioEndpointEnumerator>* enumerator);

}  // namespace shadowpane
