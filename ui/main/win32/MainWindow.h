// KSP2MainWndClass: the program's one permanent window. It shows the
// protection status and the two device lists, owns the device list from its
// creation to its destruction, the tray icon, the device-arrival
// notification and the refresh timers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/KeyValueStore.h"
#include "settings/Settings.h"
#include "devices/CaptureServices.h"
#include "devices/DevicePoster.h"
#include "devices/EndpointHolders.h"
#include "devices/MutedEndpoints.h"
#include "devices/ProfileFile.h"
#include "commands/Command.h"
#include "commands/ShortcutSettings.h"
#include "policy/PolicyRules.h"
#include "usage/RecentUse.h"
#include "usage/UsageSources.h"

namespace shadowpane {

constexpr wchar_t kMainWindowClassName[] = L"KSP2MainWndClass";
constexpr wchar_t kMainWindowTitle[] = L"KESTRALYNX Shadowpane";

// What the window works with; start-up owns all of it, and it outlives the
// window. The two secondary windows are opened through the functions given
// (null: the command does nothing).
struct MainWindowServices {
  CaptureServices* captureServices = nullptr;
  DevicePoster* poster = nullptr;
  // The audio endpoints muted and not yet given back; may be null.
  MutedEndpoints* mutedEndpoints = nullptr;
  // The other copies on the machine that hold endpoints; null: alone.
  EndpointHolders* endpointHolders = nullptr;
  ProfileFile* profileFile = nullptr;
  KeyValueStore* settingsStore = nullptr;
  // The user's own settings, as saved; the window replaces them when the
  // Settings window closes with OK. What the program acts on is these with
  // the policy's forced values over them (EffectiveSettings). Null: the
  // defaults, and Settings does nothing.
  Settings* settings = nullptr;
  // The policy keys, read at creation and at every refresh; null: none.
  PolicySource* policySource = nullptr;
  // Edits the user's copy given, the forced settings shown locked; 1 when
  // closed with OK.
  int (*showSettings)(HWND owner, Settings* edited, const EnforcedPolicy& policy) = nullptr;
  int (*showAbout)(HWND owner) = nullptr;
  int (*showShortcuts)(HWND owner) = nullptr;  // 1 when closed with OK
  // The keyboard shortcuts registered when the window is created.
  ShortcutSet shortcuts;
  // Who uses the devices: the system's records, the audio sessions and the
  // "Recent use" file; each may be null (nothing of it is shown).
  UsageRecordSource* usageRecords = nullptr;
  AudioSessionSource* audioSessions = nullptr;
  ProcessSource* usageProcesses = nullptr;  // what the usage records are checked against
  RecentUseFile* recentUseFile = nullptr;
  int (*showRecentUse)(HWND owner, const RecentUseLog& log) = nullptr;
  // A block, unblock or toggle from the command line, carried out after
  // the first refresh; CommandAction::None for none.
  Command startCommand;
};

// 1 = "Privacy Protected": every device blocked and no hold that others can
// still meet. Starts at 0; recomputed after every refresh, state notice and
// click.
extern std::int32_t gProtectedState;

// Class style 0, icon 101 large and small, arrow cursor, no background, one
// pointer of extra space. 1 or 0.
int RegisterMainWindowClass(HINSTANCE instance);

// Creates the window centred on the screen with its rounded outline, brings
// it to the front and shows it, or leaves it hidden (started with "/min" or
// a command). Answers the window or null.
HWND CreateMainWindow(const MainWindowServices& services, bool hidden);

// The window published during its creation; every device notifies it.
HWND MainWindowHandle();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
