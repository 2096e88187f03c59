// What the main window does with its device entries, decided without the
// platform: a click on an entry, and a device's posted notification. The
// window procedure finds entries in its list boxes and carries these out.
#pragma once

#include <cstdint>

#include "core/Text.h"
#include "devices/DeviceList.h"
#include "ui/main/MainWindowIds.h"

namespace shadowpane {

// The outcome of a click on the entry whose text was read.
struct DeviceClick {
  bool acted = false;    // a device of that display name was found
  int result = 0;        // what Block or Unblock answered
  int failureText = -1;  // string index of the warning to show, -1 for none
};

// Finds the device by its display name and unblocks it when blocked, else
// blocks it. A result other than exactly 1 asks for "Unable to unblock
// device." or "Unable to block device."; a vanished device does nothing.
DeviceClick ClickDeviceEntry(DeviceList& list, const WideChar* entryText);

// "%s\n \n%s: %s": the message, the localized "Device" and the device's
// display name, as every device notice and warning reads.
WideString ComposeDeviceMessage(const WideChar* message, const WideChar* deviceName);

// What a WM_DEVICE_NOTIFY asks of the window.
enum class DeviceNotifyKind { Ignore, StateChanged, PluggedIn };

struct DeviceNotifyEffect {
  DeviceNotifyKind kind = DeviceNotifyKind::Ignore;
  int listId = 0;             // the list box holding the device's entry
  WideString entryText;       // the entry to update or to name in the notice
  std::uint32_t itemData = 0;  // StateChanged: the entry's new data word
  int protectedState = 0;      // StateChanged: every device blocked now
};

// A notification with a non-zero low word, a null device or one no longer
// listed is ignored; so is an unknown code. The window also ignores it when
// no entry carries the text (compared without regard to case).
DeviceNotifyEffect DecideDeviceNotify(const DeviceList& list, std::uint32_t wParam, SPDEV* device);

// The tray and class icon for a protection state: 103 protected, 102 at risk.
constexpr int StateIconId(int protectedState) { return protectedState == 1 ? kIconProtected : kIconAtRisk; }

}  // namespace shadowpane
