// The machine-wide holders of an audio endpoint, as named kernel objects in
// the global namespace (a named mutex and named events need no privilege
// there, unlike file mappings): per endpoint, a mutex as the lock, one
// event per holding copy in numbered slots, and an event that marks the
// endpoint found unmuted. The kernel closes a dead copy's handles, so its
// claim ends with it. Every object is made with a security descriptor
// that lets every interactive user's copy use it, and opened to wait only.
#pragma once

#include <cstdint>
#include <string>

#include "devices/EndpointHolders.h"

namespace shadowpane {

class Win32EndpointHolderSystem : public EndpointHolderSystem {
 public:
  EndpointLockTry Lock(const std::u16string& endpointId, std::uint32_t waitMs) override;
};

// The stem of the endpoint's object names: a fixed prefix and a 64-bit
// FNV-1a hash of its id in hexadecimal (ids are too long for a name).
std::wstring EndpointHolderStem(const std::u16string& endpointId);

}  // namespace shadowpane
