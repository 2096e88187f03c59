// The floors Shadowpane.exe's start-up and memory are measured against: a
// program that lists the capture devices through the same enumerator and
// device code, with none of the toolkit, skins, fonts or tray icon, and
// shows one plain window.
//   device_floor.exe list            lists the devices, then shows its window;
//   device_floor.exe hold NAME...    does the same, then holds the devices of
//                                    those display names while it idles.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "bench/win32/YardstickWindow.h"
#include "core/win32/TextCast.h"
#include "devices/DeviceList.h"
#include "devices/Discovery.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/WindowPoster.h"

using namespace shadowpane;

namespace {

constexpr wchar_t kFloorClass[] = L"ShadowpaneBenchDeviceFloor";
constexpr wchar_t kHoldWord[] = L"hold";

// Discovery's view of a window without lists or timers.
class PlainWindowTarget : public DiscoveryTarget {
 public:
  explicit PlainWindowTarget(HWND window) : window_(window) {}
  NotifyWindow Window() override { return reinterpret_cast<NotifyWindow>(window_); }
  void KillAudioPollTimer() override {}
  void SetAudioPollTimer() override {}
  void ResetList(DeviceListBox) override {}
  void InsertAtTop(DeviceListBox, const WideChar*, std::uint32_t) override {}
  void ClearSelection(DeviceListBox) override {}

 private:
  HWND window_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || FAILED(CoInitialize(nullptr))) return 1;
  // Created first: it is every device's notify window.
  HWND window = bench::CreateYardstickWindow(instance, kFloorClass);
  if (window == nullptr) return 1;

  Win32CaptureServices services;
  WindowPoster poster;
  PlainWindowTarget target(window);
  DeviceList list;
  {
    DiscoveryContext context{list, services, poster, target, BlockSettings{}};
    RefreshDevices(context, 1);
  }
  const bool hold = count > 1 && lstrcmpW(arguments[1], kHoldWord) == 0;
  for (int i = 2; hold && i < count; ++i) {
    if (SPDEV* device = list.FindByDisplayName(AsCore(arguments[i]))) device->Block();
  }
  LocalFree(arguments);

  bench::ShowAndRun(window);
  list.DestroyDeviceList();
  CoUninitialize();
  return 0;
}
