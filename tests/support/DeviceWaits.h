// Small helpers of the device tests: waiting for a worker's effect, and a
// device's display name as a string.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "devices/Device.h"
#include "devices/DeviceText.h"

namespace shadowpane::testing {

// Polls the condition until it holds or ten seconds have passed.
inline bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline std::u16string DisplayName(SPDEV* device) {
  WideChar name[kNameUnits] = {};
  device->GetDisplayName(name, kMaxNameChars);
  return FieldToString(name);
}

}  // namespace shadowpane::testing
