// The main window's record, shared by its window procedure and its
// painting.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "devices/DeviceList.h"
#include "ui/main/AwayLogic.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/PushToTalkLogic.h"
#include "ui/main/ShortcutActions.h"
#include "settings/Settings.h"
#include "ui/main/win32/MainWindow.h"
#include "ui/toolkit/win32/GdiObject.h"

namespace shadowpane {

// Who uses the devices (ui/main/win32/MainWindowUsage), freed where it is
// complete.
struct MainWindowUsage;
struct MainWindowUsageDeleter {
  void operator()(MainWindowUsage* usage) const;
};

// A second copy's command whose targets are settling, and where its answer
// goes (null: the command this copy was started with; nobody waits).
struct PendingCommand {
  std::unique_ptr<ShortcutRun> run;
  HWND replyTo = nullptr;
  CommandNonce nonce = 0;  // the command's, which its answer carries back
  DWORD arrivedAt = 0;
};

struct MainWindowData {
  // The list-box class's own procedure, saved when the two lists are
  // subclassed; both lists share it.
  WNDPROC savedListProcedure = nullptr;
  HWND window = nullptr;
  // The DPI the window is laid out for: its monitor's, from WM_DPICHANGED.
  int dpi = 96;
  GdiObject<HFONT> normalFont;   // Tahoma 13, normal
  GdiObject<HFONT> boldFont;     // Tahoma 15, bold, proof quality: title and headline
  GdiObject<HFONT> captionFont;  // Tahoma 13, bold: group captions
  HDEVNOTIFY notification = nullptr;
  MainWindowServices services;
  // What the policy keys enforce, as read at the last refresh.
  EnforcedPolicy policy;
  std::unique_ptr<DeviceList> devices;
  // Cameras already announced as held but shared in this run.
  SharedHoldNotices sharedHoldNotices;
  // The microphones whose unblock was left to another copy, told once.
  SharedHoldNotices heldByOthersNotices;
  // The shell took the tray icon; until then a timer tries again.
  bool trayShown = false;
  // The panel and icons have shown a computed state at least once.
  bool stateShown = false;
  // The shortcut whose targets are settling, and when its key was pressed.
  std::unique_ptr<ShortcutRun> shortcutRun;
  DWORD shortcutPressedAt = 0;
  std::vector<PendingCommand> pendingCommands;
  // The talk shortcut held (ui/main/win32/PushToTalk).
  PushToTalk pushToTalk;
  std::unique_ptr<MainWindowUsage, MainWindowUsageDeleter> usage;
  // Why devices are held while the user is away (ui/main/win32/Away), and
  // the registrations for the session's and the power notices.
  AwayState away;
  bool sessionNotices = false;
  void* powerNotices = nullptr;  // HPOWERNOTIFY, from Windows 8 on
  // The indicator on screen (win32/MainWindowIndicator), once wanted.
  HWND indicator = nullptr;
  // The control that had the focus when the window was last left.
  HWND lastFocus = nullptr;
};

// The settings the program acts on now: the user's with the policy over them.
Settings EffectiveSettingsOf(const MainWindowData& data);
// Reads the policy keys again; a changed one applies from here on.
void ReadPolicy(MainWindowData& data);
// The panel, the tray and the class icons after anything that may have
// changed what is open.
void ShowProtection(MainWindowData& data);

// WM_PAINT of the main window: frame, status panel, title, status texts,
// shield and the two group frames, off screen and copied in one block.
void PaintMainWindow(const MainWindowData& data);

// WM_DRAWITEM of a device entry: the lock mark by the entry's data word
// (green, amber or red) and the display name. A focus-only action draws nothing.
void DrawDeviceItem(const MainWindowData& data, const DRAWITEMSTRUCT& item);

}  // namespace shadowpane
