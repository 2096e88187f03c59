// A test-only companion of Shadowpane.exe for scripts (scripts/run.sh
// --virtual-devices, scripts/screenshots.sh): plugs the virtual devices into
// the prefix, and looks at and drives a running copy from outside. It is
// never part of the program.
//
//   plug                          list a virtual camera and microphone (kept)
//   unplug                        remove every virtual device of the prefix
//   wait-main [ms]                wait for a shown main window (default 20 s)
//   wait-start [ms]               wait for the language window or the main
//                                 window; prints "language", "shown" or "hidden"
//   show                          print both device lists with their marks
//   save <class> <file.bmp>       the screen under the first window of a class
//   command <id>                  post a menu command to the main window
//   click-entry video|audio <n>   click the n-th entry of a list
//   click <class> <control id>    click a control of the first window of a class
//   arrive-camera <name>          plug one more camera and report its arrival
//
// Exit code: 0 on success, 1 on failure or bad usage.
#include <windows.h>
#include <dbt.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/ProgramDriver.h"
#include "tests/ui/gallery/WindowImage.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane::e2e {
namespace {

constexpr wchar_t kCameraName[] = L"Virtual Camera (test only)";
constexpr wchar_t kCameraPath[] = L"\\\\?\\virtual#run-camera";
constexpr wchar_t kMicrophoneName[] = L"Virtual Microphone (test only)";
constexpr DWORD kMicrophoneWaveInId = 4;
constexpr GUID kVideoInterfaceClass = {0x6994AD05, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

int Plug() {
  GUID camera{};
  GUID microphone{};
  if (FAILED(virtualdevices::RegisterVirtualCamera(kCameraName, kCameraPath, &camera))) return 1;
  if (FAILED(virtualdevices::RegisterVirtualMicrophone(kMicrophoneName, kMicrophoneWaveInId, &microphone))) return 1;
  std::printf("plugged: %ls, %ls\n", kCameraName, kMicrophoneName);
  return 0;
}

HWND MainWindow() { return FindWindowW(kMainClass, nullptr); }

int Show() {
  HWND main = MainWindow();
  if (main == nullptr) return 1;
  const struct {
    const char* title;
    int id;
  } lists[] = {{"Video devices", IDC_VIDEO_LIST}, {"Audio devices", IDC_AUDIO_LIST}};
  for (const auto& list : lists) {
    std::printf("%s:\n", list.title);
    const std::vector<ListedEntry> entries = ReadList(GetDlgItem(main, list.id));
    if (entries.empty()) std::printf("  (none)\n");
    for (const ListedEntry& entry : entries) {
      std::printf("  [%s] %ls\n", entry.blocked ? "blocked" : "open   ", entry.name.c_str());
    }
  }
  const COLORREF panel = PanelColour(main);
  std::printf("Status: %s\n", panel == ToColorRef(PanelLook(1).fill)   ? "Privacy Protected"
                              : panel == ToColorRef(PanelLook(0).fill) ? "Privacy at Risk"
                                                                       : "(panel not visible)");
  return 0;
}

int Save(const std::wstring& className, const std::wstring& path) {
  HWND window = WaitForWindow(className.c_str(), 0);
  if (window == nullptr) return 1;
  // Give the window a moment to finish painting before the screen is read.
  Sleep(300);
  RECT rect{};
  GetWindowRect(window, &rect);
  return gallery::SaveScreenImage(rect, path.c_str()) == 1 ? 0 : 1;
}

int ClickEntryOf(const std::wstring& which, int index) {
  HWND main = MainWindow();
  if (main == nullptr) return 1;
  return ClickEntry(GetDlgItem(main, which == L"video" ? IDC_VIDEO_LIST : IDC_AUDIO_LIST), index) ? 0 : 1;
}

int ArriveCamera(const std::wstring& name) {
  HWND main = MainWindow();
  GUID clsid{};
  if (main == nullptr || FAILED(virtualdevices::RegisterVirtualCamera(name, L"\\\\?\\virtual#arrived-" + name, &clsid))) {
    return 1;
  }
  DEV_BROADCAST_DEVICEINTERFACE_W header{};
  header.dbcc_size = sizeof(header);
  header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  header.dbcc_classguid = kVideoInterfaceClass;
  SendMessageW(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&header));
  return 0;
}

// The main window exists while its creation still lists the devices; a
// start without "/min" shows it once they are listed.
constexpr DWORD kHiddenStartGraceMs = 3000;

int WaitForStart(DWORD limitMs) {
  HWND main = nullptr;
  const bool found = WaitUntil(
      [&] { return FindWindowW(kLanguageClass, nullptr) != nullptr || (main = MainWindow()) != nullptr; }, limitMs);
  if (!found) return 1;
  if (main == nullptr) {
    std::printf("language\n");
    return 0;
  }
  std::printf("%s\n", WaitForVisibility(main, true, kHiddenStartGraceMs) ? "shown" : "hidden");
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  const size_t n = args.size();
  if (n < 2) return 1;
  const std::wstring& command = args[1];
  if (command == L"plug" && n == 2) return Plug();
  if (command == L"unplug" && n == 2) {
    std::printf("unplugged: %d virtual devices\n", virtualdevices::RemoveLeftoverVirtualDevices());
    return 0;
  }
  if (command == L"wait-main" && n <= 3) {
    const DWORD limit = n == 3 ? static_cast<DWORD>(_wtoi(args[2].c_str())) : kWaitLimitMs;
    HWND main = WaitForWindow(kMainClass, 0, limit);
    return main != nullptr && WaitForVisibility(main, true, limit) ? 0 : 1;
  }
  if (command == L"wait-start" && n <= 3) {
    return WaitForStart(n == 3 ? static_cast<DWORD>(_wtoi(args[2].c_str())) : kWaitLimitMs);
  }
  if (command == L"show" && n == 2) return Show();
  if (command == L"save" && n == 4) return Save(args[2], args[3]);
  if (command == L"command" && n == 3) {
    HWND main = MainWindow();
    return main != nullptr && PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(_wtoi(args[2].c_str())), 0) ? 0 : 1;
  }
  if (command == L"click-entry" && n == 4) return ClickEntryOf(args[2], _wtoi(args[3].c_str()));
  if (command == L"click" && n == 4) {
    HWND window = WaitForWindow(args[2].c_str(), 0);
    return window != nullptr && ClickControl(window, _wtoi(args[3].c_str())) ? 0 : 1;
  }
  if (command == L"arrive-camera" && n == 3) return ArriveCamera(args[2]);
  return 1;
}

}  // namespace
}  // namespace shadowpane::e2e

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return 1;
  std::vector<std::wstring> args(argv, argv + count);
  LocalFree(argv);
  const int code = shadowpane::e2e::Run(args);
  std::fflush(stdout);
  return code;
}
