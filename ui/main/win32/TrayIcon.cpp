#include "ui/main/win32/TrayIcon.h"

#include <string>

#include "core/win32/TextCast.h"
#include "settings/Languages.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/win32/MainWindow.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowAccessibility.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/win32/IconLoading.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

// One record for the process, refilled before every call. Its icon is the
// program's own copy: the shell keeps a copy of its own, so the one a call
// replaced is destroyed once the shell answered.
TrayRecord gTray{};
TrayShellCall gShell = Shell_NotifyIconW;
int gTrayIconId = 0;

// Fills the record afresh and answers the icon it held before.
HICON FillTrayRecord(HWND window, int iconId) {
  const HICON previous = gTray.base.hIcon;
  gTray = TrayRecord{};
  gTray.base.cbSize = kTrayRecordSize;
  gTray.base.hWnd = window;
  gTray.base.uID = 0;
  gTray.base.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  gTray.base.uCallbackMessage = WM_TRAY_NOTIFY;
  gTray.base.hIcon = LoadTrayIcon(ToolkitInstance(), iconId, LayoutDpi(window));
  gTrayIconId = iconId;
  std::wstring tip = kTrayTip;
  // While a microphone talks the tip says so beside the at-risk icon.
  if (gProtectedState == kTalkingState) tip += kTrayTipSeparator + std::wstring(AsWide(GetString(STR_TALKING)));
  lstrcpynW(gTray.base.szTip, tip.c_str(), ARRAYSIZE(gTray.base.szTip));
  return previous;
}

}  // namespace

HICON LoadProgramIcon(int iconId, int size) { return LoadSizedIcon(ToolkitInstance(), iconId, size); }

int AddTrayIcon(HWND window, int iconId) {
  const HICON previous = FillTrayRecord(window, iconId);
  const BOOL added = gShell(NIM_ADD, &gTray.base);
  DestroyLoadedIcon(previous);
  if (!added) return 0;
  // The version that reports the keyboard too (NIN_KEYSELECT, NIN_SELECT,
  // the context key) beside the mouse messages, which stay as they are.
  gTray.base.uVersion = NOTIFYICON_VERSION;
  gShell(NIM_SETVERSION, &gTray.base);
  return 1;
}

void UpdateTrayIcon(HWND window, int iconId) {
  const HICON previous = FillTrayRecord(window, iconId);
  gShell(NIM_MODIFY, &gTray.base);
  DestroyLoadedIcon(previous);
}

void RemoveTrayIcon() {
  gShell(NIM_DELETE, &gTray.base);
  DestroyLoadedIcon(gTray.base.hIcon);
  gTray.base.hIcon = nullptr;
}

int ShowTrayBalloon(HWND window, int iconId, const wchar_t* text, bool warning) {
  const HICON previous = FillTrayRecord(window, iconId);
  gTray.base.uFlags |= NIF_INFO;
  gTray.base.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  lstrcpynW(gTray.base.szInfo, text, ARRAYSIZE(gTray.base.szInfo));
  lstrcpynW(gTray.base.szInfoTitle, kTrayBalloonTitle, ARRAYSIZE(gTray.base.szInfoTitle));
  const BOOL shown = gShell(NIM_MODIFY, &gTray.base);
  DestroyLoadedIcon(previous);
  return shown ? 1 : 0;
}

HICON TrayIconShown() { return gTray.base.hIcon; }

int TrayIconIdShown() { return gTrayIconId; }

void SetTrayShellForTests(TrayShellCall call) { gShell = call != nullptr ? call : Shell_NotifyIconW; }

LRESULT OnTrayNotify(HWND window, LPARAM mouseMessage) {
  if (!TrayMessageRaises(static_cast<std::uint32_t>(mouseMessage))) return 0;
  if (!IsWindowVisible(window)) {
    UpdateWindow(window);
    ShowWindow(window, SW_SHOW);
  }
  SetForegroundWindow(window);
  BringWindowToTop(window);
  return 0;
}

void ShowMainMenu(HWND window) {
  HMENU menu = LoadMenuW(ToolkitInstance(), MAKEINTRESOURCEW(GetMenuResourceId(gDisplayLanguage)));
  if (menu == nullptr) return;
  const int dpi = LayoutDpi(window);
  POINT at{Scale(kMainMenuX, dpi), Scale(kMainMenuY, dpi)};
  ClientToScreen(window, &at);
  TrackPopupMenuEx(GetSubMenu(menu, 0), 0, at.x, at.y, window, nullptr);
  DestroyMenu(menu);
}

}  // namespace shadowpane
