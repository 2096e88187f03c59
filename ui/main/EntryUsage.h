// The main window's entries and who uses their devices: the listed devices
// as the usage monitor reads them, and the programs each entry names.
// Portable: no platform headers.
#pragma once

#include <map>
#include <vector>

#include "core/Text.h"
#include "devices/CaptureServices.h"
#include "devices/DeviceList.h"
#include "usage/UsageMonitor.h"

namespace shadowpane {

// The programs each entry names, by the entry's text; entries nobody uses
// are left out.
using UsersByEntry = std::map<WideString, std::vector<WideString>>;

// The listed devices in list order: each microphone with its audio endpoint
// (the one its hold found, else the one the system names for its input
// number), each counted blocked only when verified and not shared.
std::vector<UsageDevice> UsageDevicesOf(const DeviceList& list, CaptureServices& services);

// The programs each listed device's entry names after the monitor's last
// reading.
UsersByEntry UsersOfEntries(const UsageMonitor& monitor, const std::vector<UsageDevice>& devices);

// The entry's users joined for the /status column: "a.exe, b.exe", empty
// for none.
WideString JoinedUsers(const UsersByEntry& users, const WideString& entry);

}  // namespace shadowpane
