// The main window gallery: the window at risk, protected and with its popup
// menu open, in English and German, with virtual cameras and a microphone
// listed, saved as .bmp files for a person to look at. Run under Wine by
// scripts/gallery.sh; the first argument is the output folder.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "settings/Languages.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/Win32ProfileFile.h"
#include "devices/win32/WindowPoster.h"
#include "tests/support/MemoryKeyValueStore.h"
#include "tests/support/win32/TempFolder.h"
#include "tests/ui/gallery/WindowImage.h"
#include "tests/ui/main/win32/MainWindowRig.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/virtualdevices/CaptureProbe.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/win32/MainWindow.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/HighContrastMode.h"

namespace shadowpane::gallery {
namespace {

using testing::Pump;
using virtualdevices::PluggedDevice;

std::wstring outputFolder;
int failures = 0;

void Save(HWND window, const std::wstring& name) {
  if (!SaveWindowImage(window, (outputFolder + L"\\" + name).c_str())) ++failures;
}

// Clicks every entry of a list whose device the program can hold here.
void BlockEntries(HWND list, const std::vector<std::wstring>& names) {
  for (const std::wstring& name : names) {
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    if (index == LB_ERR) continue;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    Pump(200);
  }
}

// Closes the notice Wine's own input raises when it is blocked, so the
// pictures go on; runs from the notice's own loop.
void CALLBACK CloseNotices(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowW(L"KQM2MessageExWndClass", nullptr);
  if (box != nullptr) PostMessageW(box, WM_CLOSE, 0, 0);
}

struct MenuShot {
  HWND owner;
  std::wstring path;
};

// Takes the picture while the menu's own loop runs on the window's thread,
// then closes the menu with Escape.
DWORD WINAPI PhotographMenu(LPVOID parameter) {
  const auto* shot = static_cast<const MenuShot*>(parameter);
  Sleep(500);
  RECT area{};
  GetWindowRect(shot->owner, &area);
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu != nullptr) {
    RECT menuRect{};
    GetWindowRect(menu, &menuRect);
    UnionRect(&area, &area, &menuRect);
  }
  if (!SaveScreenImage(area, shot->path.c_str())) ++failures;
  if (menu != nullptr) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  return 0;
}

void SaveWithMenu(HWND window, const std::wstring& name) {
  MenuShot shot{window, outputFolder + L"\\" + name};
  HANDLE photographer = CreateThread(nullptr, 0, PhotographMenu, &shot, 0, nullptr);
  if (photographer == nullptr) {
    ++failures;
    return;
  }
  SendMessageW(window, WM_COMMAND, IDC_MENU_BUTTON, reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_MENU_BUTTON)));
  WaitForSingleObject(photographer, 10000);
  CloseHandle(photographer);
}

void Photograph(int language, const wchar_t* code) {
  gDisplayLanguage = language;
  gProtectedState = 0;
  WindowPoster poster;
  testing::MainWindowRig rig(poster);
  HWND window = CreateMainWindow(rig.services, false);
  if (window == nullptr) {
    ++failures;
    return;
  }
  SetCursorPos(1270, 1010);  // nothing hovers by itself
  Pump(300);
  const std::wstring prefix = std::wstring(L"main-") + code;
  Save(window, prefix + L"-at-risk.bmp");
  SaveWithMenu(window, prefix + L"-menu.bmp");

  BlockEntries(GetDlgItem(window, IDC_VIDEO_LIST), {L"Integrated Camera", L"USB Video Device"});
  const UINT_PTR closer = SetTimer(nullptr, 0, 100, CloseNotices);
  BlockEntries(GetDlgItem(window, IDC_AUDIO_LIST), {L"Microphone (USB Audio)", L"In: default"});
  Pump(400);
  KillTimer(nullptr, closer);
  // Every device is held now, but Wine keeps its own input's endpoint mute
  // per object, so others still hear it: amber, and a panel claiming
  // protection would be a fault.
  if (gProtectedState != 0) ++failures;
  Save(window, prefix + L"-all-blocked.bmp");
  DestroyWindow(window);
  Pump(100);
}

// Takes the picture of the window and the notice over it while the notice's
// own loop runs, then closes the notice.
DWORD WINAPI PhotographNotice(LPVOID parameter) {
  const auto* shot = static_cast<const MenuShot*>(parameter);
  HWND box = nullptr;
  for (int i = 0; i < 100 && box == nullptr; ++i) {
    Sleep(50);
    box = FindWindowW(L"KQM2MessageExWndClass", nullptr);
  }
  Sleep(300);  // painted
  RECT area{};
  GetWindowRect(shot->owner, &area);
  if (box != nullptr) {
    RECT boxRect{};
    GetWindowRect(box, &boxRect);
    UnionRect(&area, &area, &boxRect);
  }
  if (box == nullptr || !SaveScreenImage(area, shot->path.c_str())) ++failures;
  if (box != nullptr) PostMessageW(box, WM_CLOSE, 0, 0);
  return 0;
}

// A camera the system shares, blocked beside one it does not: the amber
// mark, the panel at risk, and the notice that tells of it.
void PhotographSharedCamera() {
  gDisplayLanguage = LANGUAGE_ENGLISH;
  gProtectedState = 0;
  PluggedDevice shared = PluggedDevice::SharedCamera(L"Shared Webcam", L"\\\\?\\virtual#gallery-shared");
  WindowPoster poster;
  testing::MainWindowRig rig(poster);
  HWND window = CreateMainWindow(rig.services, false);
  if (window == nullptr || !shared.ok()) {
    ++failures;
    return;
  }
  SetCursorPos(1270, 1010);
  Pump(300);
  BlockEntries(GetDlgItem(window, IDC_VIDEO_LIST), {L"Integrated Camera"});
  MenuShot shot{window, outputFolder + L"\\main-en-shared-notice.bmp"};
  HANDLE photographer = CreateThread(nullptr, 0, PhotographNotice, &shot, 0, nullptr);
  if (photographer == nullptr) {
    ++failures;
  } else {
    BlockEntries(GetDlgItem(window, IDC_VIDEO_LIST), {L"Shared Webcam"});
    WaitForSingleObject(photographer, 10000);
    CloseHandle(photographer);
  }
  Pump(200);
  Save(window, L"main-en-shared.bmp");
  DestroyWindow(window);
  Pump(100);
}

// Without a mouse: the focus mark on the menu button, then on the second
// device entry after Down; then the window in high contrast, one camera
// blocked, with the state's word beside each lock.
void PhotographKeyboardAndContrast() {
  gDisplayLanguage = LANGUAGE_ENGLISH;
  gProtectedState = 0;
  WindowPoster poster;
  testing::MainWindowRig rig(poster);
  HWND window = CreateMainWindow(rig.services, false);
  if (window == nullptr) {
    ++failures;
    return;
  }
  SetCursorPos(1270, 1010);
  Pump(300);
  // As after a key moved the focus.
  ShowKeyboardCues(window);
  SetFocus(GetDlgItem(window, IDC_MENU_BUTTON));
  Pump(100);
  Save(window, L"main-en-focus-button.bmp");
  HWND video = GetDlgItem(window, IDC_VIDEO_LIST);
  SetFocus(video);
  SendMessageW(video, WM_KEYDOWN, VK_DOWN, 0);
  Pump(100);
  Save(window, L"main-en-focus-entry.bmp");

  SetHighContrastForTests(1);
  BlockEntries(video, {L"Integrated Camera"});
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  Pump(300);
  Save(window, L"main-en-high-contrast.bmp");
  SetHighContrastForTests(-1);
  DestroyWindow(window);
  Pump(100);
}

}  // namespace
}  // namespace shadowpane::gallery

int main() {
  using namespace shadowpane;
  gallery::outputFolder = gallery::OutputFolder();
  virtualdevices::ComScope com;
  testing::RegisterForTests();
  RegisterMainWindowClass(GetModuleHandleW(nullptr));
  virtualdevices::RemoveLeftoverVirtualDevices();
  {
    gallery::PluggedDevice cameraA = gallery::PluggedDevice::Camera(L"Integrated Camera", L"\\\\?\\virtual#gallery-a");
    gallery::PluggedDevice cameraB = gallery::PluggedDevice::Camera(L"USB Video Device", L"\\\\?\\virtual#gallery-b");
    gallery::PluggedDevice microphone = gallery::PluggedDevice::Microphone(L"Microphone (USB Audio)", 5);
    gallery::Photograph(LANGUAGE_ENGLISH, L"en");
    gallery::Photograph(LANGUAGE_GERMAN, L"de");
    gallery::PhotographSharedCamera();
    gallery::PhotographKeyboardAndContrast();
  }
  return gallery::failures == 0 ? 0 : 1;
}
