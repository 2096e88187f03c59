// What a refresh reads from one moniker, and the steps discovery takes for
// cameras and microphones alike. Used by Discovery.cpp and
// MicrophoneDiscovery.cpp only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "devices/CaptureServices.h"
#include "devices/DeviceList.h"
#include "devices/DeviceText.h"

namespace shadowpane {

// What discovery reads from one moniker's property bag.
struct MonikerProperties {
  WideChar friendlyName[kNameUnits] = {};
  WideChar path[kNameUnits] = {};
  WideChar filterClass[kNameUnits] = {};  // cameras without a path only
  std::optional<std::int32_t> waveInId;   // microphones only
};

// One audio input as the enumerator reported it, kept until the whole
// category has been matched.
struct AudioInput {
  std::unique_ptr<DeviceMoniker> moniker;
  MonikerProperties properties;
  std::u16string deviceInterface;
};

inline std::u16string Text(const WideChar (&field)[kNameUnits]) { return FieldToString(field); }

inline std::u16string PathOf(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetPath(buffer, kMaxNameChars);
  return Text(buffer);
}

inline std::u16string FriendlyNameOf(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetFriendlyName(buffer, kMaxNameChars);
  return Text(buffer);
}

inline void CopyField(WideChar (&to)[kNameUnits], const WideChar (&from)[kNameUnits]) {
  StoreNameField(to, from);
}

// A filter bound from the moniker, or none when binding fails.
inline std::unique_ptr<CaptureFilter> BindFilter(DeviceMoniker& moniker) {
  std::unique_ptr<CaptureFilter> filter;
  if (Failed(moniker.BindToObject(&filter))) filter.reset();
  return filter;
}

// Links a device created by the refresh, marked new and kept from the sweep,
// announced unless initial; answers it, or null when LinkDevice refused it.
inline SPDEV* LinkNewDevice(DeviceList& list, SPDEV* device, int initial) {
  SPDEV* linked = list.LinkDevice(device);
  if (linked == nullptr) return nullptr;
  linked->newFlag = 1;
  linked->sweepMark = 0;
  if (!initial) DeviceList::NotifyPluggedIn(linked);
  return linked;
}

}  // namespace shadowpane
