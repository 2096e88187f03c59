#include "ui/main/win32/DiscoveryWindowTarget.h"

#include "ui/main/MainWindowIds.h"

namespace shadowpane {

NotifyWindow DiscoveryWindowTarget::Window() { return reinterpret_cast<NotifyWindow>(window_); }

HWND DiscoveryWindowTarget::ListWindow(DeviceListBox list) const {
  return GetDlgItem(window_, list == DeviceListBox::Video ? IDC_VIDEO_LIST : IDC_AUDIO_LIST);
}

void DiscoveryWindowTarget::KillAudioPollTimer() { KillTimer(window_, TIMER_AUDIO_POLL); }

void DiscoveryWindowTarget::SetAudioPollTimer() {
  SetTimer(window_, TIMER_AUDIO_POLL, kAudioPollIntervalMs, nullptr);
}

void DiscoveryWindowTarget::ResetList(DeviceListBox list) {
  HWND box = ListWindow(list);
  if (box == nullptr) return;
  SendMessageW(box, LB_RESETCONTENT, 0, 0);
  InvalidateRect(box, nullptr, FALSE);
}

void DiscoveryWindowTarget::InsertAtTop(DeviceListBox list, const WideChar* text,
                                        std::uint32_t itemData) {
  HWND box = ListWindow(list);
  if (box == nullptr) return;
  const LRESULT index =
      SendMessageW(box, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
  // Only the entry just inserted may take the data word; after a refused
  // insert, index 0 belongs to another device.
  if (index != 0) return;
  SendMessageW(box, LB_SETITEMDATA, 0, static_cast<LPARAM>(itemData));
}

void DiscoveryWindowTarget::ClearSelection(DeviceListBox list) {
  HWND box = ListWindow(list);
  if (box == nullptr) return;
  SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int RefreshDevices(HWND mainWindow, DeviceList& list, CaptureServices& services,
                   DevicePoster& poster, BlockSettings block, int initial,
                   MutedEndpoints* mutedEndpoints, EndpointHolders* endpointHolders) {
  DiscoveryWindowTarget target(mainWindow);
  DiscoveryContext context{list, services, poster, target, block, mutedEndpoints, endpointHolders};
  return RefreshDevices(context, initial);
}

}  // namespace shadowpane
