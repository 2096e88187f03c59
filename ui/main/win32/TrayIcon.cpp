#include "ui/main/win32/TrayIcon.h"

#include "settings/Languages.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowAccessibility.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

// One record for the process, refilled before every call.
TrayRecord gTray{};
TrayShellCall gShell = Shell_NotifyIconW;

void FillTrayRecord(HWND window, int iconId) {
  gTray = TrayRecord{};
  gTray.base.cbSize = kTrayRecordSize;
  gTray.base.hWnd = window;
  gTray.base.uID = 0;
  gTray.base.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  gTray.base.uCallbackMessage = WM_TRAY_NOTIFY;
  // The shell shows it at the small-icon size of the system's DPI.
  gTray.base.hIcon = LoadProgramIcon(iconId, SystemMetricForDpi(SM_CXSMICON, SystemDpi()));
  lstrcpynW(gTray.base.szTip, kTrayTip, ARRAYSIZE(gTray.base.szTip));
}

}  // namespace

HICON LoadProgramIcon(int iconId, int size) {
  // Shared icons are owned by the system; nothing to free.
  return static_cast<HICON>(LoadImageW(ToolkitInstance(), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                       size, size, LR_SHARED));
}

int AddTrayIcon(HWND window, int iconId) {
  FillTrayRecord(window, iconId);
  if (!gShell(NIM_ADD, &gTray.base)) return 0;
  // The version that reports the keyboard too (NIN_KEYSELECT, NIN_SELECT,
  // the context key) beside the mouse messages, which stay as they are.
  gTray.base.uVersion = NOTIFYICON_VERSION;
  gShell(NIM_SETVERSION, &gTray.base);
  return 1;
}

void UpdateTrayIcon(HWND window, int iconId) {
  FillTrayRecord(window, iconId);
  gShell(NIM_MODIFY, &gTray.base);
}

void RemoveTrayIcon() { gShell(NIM_DELETE, &gTray.base); }

int ShowTrayBalloon(HWND window, int iconId, const wchar_t* text, bool warning) {
  FillTrayRecord(window, iconId);
  gTray.base.uFlags |= NIF_INFO;
  gTray.base.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  lstrcpynW(gTray.base.szInfo, text, ARRAYSIZE(gTray.base.szInfo));
  lstrcpynW(gTray.base.szInfoTitle, kTrayBalloonTitle, ARRAYSIZE(gTray.base.szInfoTitle));
  return gShell(NIM_MODIFY, &gTray.base) ? 1 : 0;
}

HICON TrayIconShown() { return gTray.base.hIcon; }

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
