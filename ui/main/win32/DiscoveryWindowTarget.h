// The main window's device lists (list boxes 1029 and 1030) and its audio
// poll timer, as device discovery drives them.
#pragma once

#include <windows.h>

#include "devices/CaptureServices.h"
#include "devices/DeviceList.h"
#include "devices/DevicePoster.h"
#include "devices/Discovery.h"
#include "devices/DiscoveryTarget.h"

namespace shadowpane {

class DiscoveryWindowTarget : public DiscoveryTarget {
 public:
  explicit DiscoveryWindowTarget(HWND mainWindow) : window_(mainWindow) {}

  NotifyWindow Window() override;
  void KillAudioPollTimer() override;
  void SetAudioPollTimer() override;
  void ResetList(DeviceListBox list) override;
  void InsertAtTop(DeviceListBox list, const WideChar* text, std::uint32_t itemData) override;
  void ClearSelection(DeviceListBox list) override;

 private:
  HWND ListWindow(DeviceListBox list) const;

  HWND window_;
};

// RefreshDevices on the program's main window: its lists, its timer, and
// the window as every device's notify target. The caller passes the block
// settings as they are in memory now, the record of muted endpoints (null:
// none kept) and the machine's holders of endpoints (null: alone).
int RefreshDevices(HWND mainWindow, DeviceList& list, CaptureServices& services,
                   DevicePoster& poster, BlockSettings block, int initial,
                   MutedEndpoints* mutedEndpoints = nullptr,
                   EndpointHolders* endpointHolders = nullptr);

}  // namespace shadowpane
