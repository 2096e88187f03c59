// Shows the notices a held device's risks ask for, each once per device,
// risk and run (ui/main/HoldNotices decides which and their texts).
#pragma once

#include "ui/main/DeviceEntries.h"

namespace shadowpane {

struct MainWindowData;

// After the entry and the panel show the state change: one warning box per
// notice, the contested one naming the program the entry's users name.
void ShowHoldNotices(MainWindowData& data, const DeviceNotifyEffect& effect);

}  // namespace shadowpane
