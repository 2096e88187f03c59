// Shared definitions of the device core: text units, message codes, kinds.
// Portable: no platform headers, so the core builds and is tested on any host.
#pragma once

#include <cstdint>

#include "core/Text.h"

namespace shadowpane {

// Device names and paths are UTF-16 text in fixed buffers of 256 units:
// at most 255 characters and a terminator.
constexpr int kNameUnits = 256;
constexpr int kMaxNameChars = kNameUnits - 1;

// The main window, as the core sees it: an opaque window handle value.
using NotifyWindow = std::uintptr_t;

constexpr int DEVICE_KIND_VIDEO = 0;
constexpr int DEVICE_KIND_AUDIO = 1;

// Private window messages posted by devices to the main window.
constexpr std::uint32_t WM_DEVICE_NOTIFY = 0x8002;  // WM_APP + 2
constexpr std::uint32_t WM_GRAPH_NOTIFY = 0x8003;   // WM_APP + 3

// WM_DEVICE_NOTIFY carries its code in the high word of wParam.
constexpr std::uint32_t DEVICE_STATE_CHANGED = 1;
constexpr std::uint32_t DEVICE_PLUGGED_IN = 2;

constexpr std::uint32_t DeviceNotifyWParam(std::uint32_t code) { return code << 16; }

// Item data of a device's entry in the main window's list boxes:
// high word the blocked bit, low word the kind.
constexpr std::uint32_t MakeListItemData(int blocked, int kind) {
  return (static_cast<std::uint32_t>(blocked != 0) << 16) |
         (static_cast<std::uint32_t>(kind) & 0xFFFFu);
}
// Set beside the blocked bit for a camera that is held but shared: the
// system still lets other programs open it, so its mark is neither green nor
// red.
constexpr std::uint32_t kListItemHeldButShared = 0x20000u;
// Set beside the other two for a microphone whose hold is paused for a
// talk (push-to-talk): it is heard while the key is down.
constexpr std::uint32_t kListItemTalking = 0x40000u;
constexpr int ListItemBlocked(std::uint32_t data) { return static_cast<int>(data >> 16); }
constexpr int ListItemKind(std::uint32_t data) { return static_cast<int>(data & 0xFFFFu); }

}  // namespace shadowpane
