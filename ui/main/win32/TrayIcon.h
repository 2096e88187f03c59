// The notification-area icon and the main window's popup menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace shadowpane {

// The whole tray record as the shell knows it, balloon-icon handle
// included. The headers' NOTIFYICONDATAW is shorter when built for older
// systems, so the record spells out the full layout.
struct TrayRecord {
  NOTIFYICONDATAW base;
#if NTDDI_VERSION < 0x06000000
  HICON balloonIcon;  // never set: a balloon shows the system's info or warning icon
#endif
};
constexpr DWORD kTrayRecordSize = 956;
static_assert(sizeof(TrayRecord) == kTrayRecordSize, "the shell's full tray record is 956 bytes");

constexpr wchar_t kTrayTip[] = L"KESTRALYNX Shadowpane";
constexpr wchar_t kTrayTipSeparator[] = L" - ";
constexpr wchar_t kTrayBalloonTitle[] = L"Shadowpane";

// Add, modify and delete, each with the record filled afresh (delete with
// the record as last filled). The icon is loaded anew at each (LoadIconMetric's
// small icon, else the small-icon size at the window's DPI) and the one it
// replaced destroyed; delete destroys the last. An add answers 1 when the shell took the
// icon, 0 when it refused (at logon it may not be ready); the others'
// results change nothing.
int AddTrayIcon(HWND window, int iconId);
void UpdateTrayIcon(HWND window, int iconId);
void RemoveTrayIcon();

// Shows a balloon (NIF_INFO) with the text, cut to what the record holds,
// the program's name as its title and the info or warning icon; the icon
// given is shown with it. Answers 1 when the shell took it.
int ShowTrayBalloon(HWND window, int iconId, const wchar_t* text, bool warning);

// WM_TRAY_NOTIFY: a left or right press, or the keyboard's selection of the
// icon (Enter, Space, the context key), shows (when hidden) and raises the
// window; every other message does nothing. Answers 0.
LRESULT OnTrayNotify(HWND window, LPARAM mouseMessage);

// Tracks the current language's popup menu at the client point (395, 19);
// the choice arrives as WM_COMMAND. Nothing happens when the template does
// not load.
void ShowMainMenu(HWND window);

// The icon of the record as last filled, and its resource id (used by
// tests only).
HICON TrayIconShown();
int TrayIconIdShown();

// The shell's notify call, replaced by tests that need a shell which
// refuses; null restores the real one.
using TrayShellCall = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW record);
void SetTrayShellForTests(TrayShellCall call);

// The icon resources are the executable's, loaded at the size given, each
// the caller's own copy to destroy (ui/toolkit/win32/IconLoading).
HICON LoadProgramIcon(int iconId, int size);

}  // namespace shadowpane
