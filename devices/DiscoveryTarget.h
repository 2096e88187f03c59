// The main window as device discovery sees it: the two device list boxes
// and the audio poll timer. The main window implements it
// (ui/main/win32/DiscoveryWindowTarget.h); tests record the calls.
#pragma once

#include <cstdint>

#include "devices/DeviceTypes.h"

namespace shadowpane {

enum class DeviceListBox { Video, Audio };

class DiscoveryTarget {
 public:
  virtual ~DiscoveryTarget() = default;
  // The window every device notifies.
  virtual NotifyWindow Window() = 0;
  // The main window's audio poll (its once-a-second comparison of listed
  // microphones with the system's wave-input count) is off while a refresh
  // runs and started again at its end.
  virtual void KillAudioPollTimer() = 0;
  virtual void SetAudioPollTimer() = 0;
  // Empties the list and invalidates it without erasing.
  virtual void ResetList(DeviceListBox list) = 0;
  // Inserts the text at index 0 and gives that entry the data word.
  virtual void InsertAtTop(DeviceListBox list, const WideChar* text, std::uint32_t itemData) = 0;
  // Leaves no entry selected.
  virtual void ClearSelection(DeviceListBox list) = 0;
};

}  // namespace shadowpane
