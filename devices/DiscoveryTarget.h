// The main window as device discovery sees it: the two device list boxes
// and the audio poll timer. The Windows implementation is
// devices/win32/DiscoveryWindowTarget.h; tests record the calls.
#pragma once

#include <cstdint>

#include "devices/DeviceTypes.h"

namespace shadowpane {

// Control ids of the main window's device lists.
constexpr int IDC_VIDEO_LIST = 1029;
constexpr int IDC_AUDIO_LIST = 1030;

// The main window's once-a-second comparison of listed microphones with the
// system's wave-input count. Off while a refresh runs.
constexpr std::uint32_t TIMER_AUDIO_POLL = 102;
constexpr std::uint32_t kAudioPollIntervalMs = 1000;

enum class DeviceListBox { Video, Audio };

class DiscoveryTarget {
 public:
  virtual ~DiscoveryTarget() = default;
  // The window every device notifies.
  virtual NotifyWindow Window() = 0;
  virtual void KillAudioPollTimer() = 0;
  // Starts TIMER_AUDIO_POLL at kAudioPollIntervalMs.
  virtual void SetAudioPollTimer() = 0;
  // Empties the list and invalidates it without erasing.
  virtual void ResetList(DeviceListBox list) = 0;
  // Inserts the text at index 0 and gives that entry the data word.
  virtual void InsertAtTop(DeviceListBox list, const WideChar* text, std::uint32_t itemData) = 0;
  // Leaves no entry selected.
  virtual void ClearSelection(DeviceListBox list) = 0;
};

}  // namespace shadowpane
