#include "ui/main/win32/TrayIcon.h"

#include "settings/Languages.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLook.h"

namespace shadowpane {
namespace {

// One record for the process, refilled before every call.
TrayRecord g_tray{};
TrayShellCall g_shell = Shell_NotifyIconW;

void FillTrayRecord(HWND window, int iconId) {
  g_tray = TrayRecord{};
  g_tray.base.cbSize = kTrayRecordSize;
  g_tray.base.hWnd = window;
  g_tray.base.uID = 0;
  g_tray.base.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_tray.base.uCallbackMessage = WM_TRAY_NOTIFY;
  g_tray.base.hIcon = LoadProgramIcon(iconId, GetSystemMetrics(SM_CXSMICON));
  lstrcpynW(g_tray.base.szTip, kTrayTip, ARRAYSIZE(g_tray.base.szTip));
}

}  // namespace

HICON LoadProgramIcon(int iconId, int size) {
  // Shared icons are owned by the system; nothing to free.
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                       size, size, LR_SHARED));
}

int AddTrayIcon(HWND window, int iconId) {
  FillTrayRecord(window, iconId);
  return g_shell(NIM_ADD, &g_tray.base) ? 1 : 0;
}

void UpdateTrayIcon(HWND window, int iconId) {
  FillTrayRecord(window, iconId);
  g_shell(NIM_MODIFY, &g_tray.base);
}

void RemoveTrayIcon() { g_shell(NIM_DELETE, &g_tray.base); }

int ShowTrayBalloon(HWND window, int iconId, const wchar_t* text, bool warning) {
  FillTrayRecord(window, iconId);
  g_tray.base.uFlags |= NIF_INFO;
  g_tray.base.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  lstrcpynW(g_tray.base.szInfo, text, ARRAYSIZE(g_tray.base.szInfo));
  lstrcpynW(g_tray.base.szInfoTitle, kTrayBalloonTitle, ARRAYSIZE(g_tray.base.szInfoTitle));
  return g_shell(NIM_MODIFY, &g_tray.base) ? 1 : 0;
}

HICON TrayIconShown() { return g_tray.base.hIcon; }

void SetTrayShellForTests(TrayShellCall call) { g_shell = call != nullptr ? call : Shell_NotifyIconW; }

LRESULT OnTrayNotify(HWND window, LPARAM mouseMessage) {
  if (mouseMessage != WM_LBUTTONDOWN && mouseMessage != WM_RBUTTONDOWN) return 0;
  if (!IsWindowVisible(window)) {
    UpdateWindow(window);
    ShowWindow(window, SW_SHOW);
  }
  SetForegroundWindow(window);
  BringWindowToTop(window);
  return 0;
}

void ShowMainMenu(HWND window) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(GetMenuResourceId(LanguageIndex)));
  if (menu == nullptr) return;
  POINT at{kMainMenuX, kMainMenuY};
  ClientToScreen(window, &at);
  TrackPopupMenuEx(GetSubMenu(menu, 0), 0, at.x, at.y, window, nullptr);
  DestroyMenu(menu);
}

}  // namespace shadowpane
