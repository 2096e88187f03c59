// The main window's side of who uses a device: the notice that posts one
// message while the sources change, the reading it starts on the window's
// thread, the entries' "In use by" texts, the balloons of attempts against
// a block, the "Recent use" log and its file. MainWindow.cpp calls these
// hooks; everything they decide is in usage/ and ui/main/EntryUsage.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "commands/CommandDecisions.h"
#include "core/Text.h"

namespace shadowpane {

struct MainWindowData;

// Posted by the notice while a source changed; a private number of its own
// above the devices' (WM_APP + 9).
constexpr std::uint32_t WM_USAGE_NOTIFY = 0x8009;

// Loads the log from its file, starts following the sources and takes the
// first reading (the baseline: uses already going on are no attempts).
void StartUsage(MainWindowData& data);
// WM_USAGE_NOTIFY, and after every refresh (devices came or went): reads
// again, logs and saves what started, announces the attempts and repaints
// the entries whose users changed.
void UpdateUsage(MainWindowData& data);
// Stops every watch before the devices go; no message is posted after it.
void StopUsage(MainWindowData& data);

// "In use by Teams.exe" for an entry's text, in the display language;
// empty when nobody uses it.
WideString EntryUsageText(const MainWindowData& data, const WideString& entry);
// The programs an entry's device is used by now; none when nobody uses it.
std::vector<WideString> EntryUsers(const MainWindowData& data, const WideString& entry);
// Each snapshot's users for /status, in the snapshots' order.
std::vector<WideString> UsersOf(const MainWindowData& data, const std::vector<DeviceSnapshot>& devices);
// The "Recent use" window over the main window.
void ShowRecentUse(MainWindowData& data);

}  // namespace shadowpane
