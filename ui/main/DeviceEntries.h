// What the main window does with its device entries, decided without the
// platform: a click on an entry, and a device's posted notification. The
// window procedure finds entries in its list boxes and carries these out.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "core/Text.h"
#include "devices/CaptureServices.h"
#include "devices/DeviceList.h"
#include "devices/EndpointHolders.h"
#include "devices/MutedEndpoints.h"
#include "policy/PolicyRules.h"
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
// An unblock that released the device but could not read it back asks for
// nothing here: the device's notification carries its own notice.
// An unblock the policy refuses leaves the device held and asks for "Your
// organization does not allow unblocking devices." (result 0).
DeviceClick ClickDeviceEntry(DeviceList& list, const WideChar* entryText,
                             const EnforcedPolicy& policy = EnforcedPolicy{});

// "%s\n \n%s: %s": the message, the localized "Device" and the device's
// display name, as every device notice and warning reads.
WideString ComposeDeviceMessage(const WideChar* message, const WideChar* deviceName);

// 1 ("Privacy Protected") only when every device is blocked and no hold is
// shared or unverified (a camera others can open, a microphone others can
// hear). An empty list, or one whose last refresh could not read a
// category, gives 0: the program cannot tell then that nothing is open.
// While a microphone talks (push-to-talk) it gives kTalkingState: at risk,
// and the panel and tray say why.
constexpr int kTalkingState = 2;
int ProtectionState(const DeviceList& list);

// Checks every hold again as another program would meet it (after a
// refresh): a device whose answer changed posts its state anew (a
// microphone from its worker, within one re-application period).
void RecheckHolds(DeviceList& list);

// What a WM_DEVICE_NOTIFY asks of the window.
enum class DeviceNotifyKind { Ignore, StateChanged, PluggedIn };

struct DeviceNotifyEffect {
  DeviceNotifyKind kind = DeviceNotifyKind::Ignore;
  int listId = 0;             // the list box holding the device's entry
  WideString entryText;       // the entry to update or to name in the notice
  std::uint32_t itemData = 0;  // StateChanged: the entry's new data word
  int protectedState = 0;      // StateChanged: every device blocked now
  bool heldButShared = false;  // StateChanged: held, yet open to others or not silent for them
  int sharedNoticeText = -1;   // StateChanged: the string that tells the user so
  std::uint32_t holdRisks = 0;  // StateChanged: why it is held but shared (kHoldRisk* bits)
  WideString noticeKey;        // StateChanged: the device's path, or its name without one
  // StateChanged: the release could not be read back (a microphone maybe
  // still muted for every program), or was left to another copy of the
  // program that holds it too: the string to show, else -1.
  int giveBackNoticeText = -1;
  // PluggedIn: the notice, which says so when a kept block took it again.
  int pluggedInText = -1;
};

// A notification with a non-zero low word, a null device or one no longer
// listed is ignored; so is an unknown code. The window also ignores it when
// no entry carries the text (compared without regard to case). Takes the
// device's give-back bit, so its notice is shown once.
DeviceNotifyEffect DecideDeviceNotify(const DeviceList& list, std::uint32_t wParam, SPDEV* device);

// The devices the user has been told are held but shared, by their key
// (ui/main/HoldNotices): each notice comes once per device and run, not at
// every refresh that finds the hold shared again.
class SharedHoldNotices {
 public:
  // True the first time a key is offered.
  bool TakeFirst(const WideString& key) { return told_.insert(key).second; }

 private:
  std::set<WideString> told_;
};

// The give-back notice the state change shows: one not read back each
// time; one left to another copy once per device and run (an unblock
// tried again while the other copy holds tells nothing new). -1 for none.
int GiveBackNoticeToShow(const DeviceNotifyEffect& effect, SharedHoldNotices& heldByOthersTold);

// Lets every device go at the window's or the session's end (each
// microphone gives back what it holds), the lock waits of all the
// give-backs together within kSessionEndLockWaitMs.
void ReleaseDevices(std::unique_ptr<DeviceList>& devices, EndpointHolders* holders);

// At every audio-poll tick: gives back what the record lists and no hold
// keeps (an unblock left to another copy, a refresh that could not take a
// lock), once no one else holds it.
void ReleaseStraysAtTick(DeviceList* devices, CaptureServices& services, MutedEndpoints* record,
                         EndpointHolders* holders);

// The tray and class icon for a protection state: 103 protected, 102 at risk.
constexpr int StateIconId(int protectedState) { return protectedState == 1 ? kIconProtected : kIconAtRisk; }

}  // namespace shadowpane
