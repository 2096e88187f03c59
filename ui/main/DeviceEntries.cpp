#include "ui/main/DeviceEntries.h"

#include "devices/EndpointMute.h"
#include "settings/Languages.h"
#include "ui/main/AwayLogic.h"
#include "ui/main/MainWindowIds.h"

namespace shadowpane {
namespace {

// Longer than any text of the string tables.
constexpr int kMessageMaxChars = 512;

}  // namespace

DeviceClick ClickDeviceEntry(DeviceList& list, const WideChar* entryText, const EnforcedPolicy& policy) {
  DeviceClick click;
  WideChar name[kNameUnits] = {};
  CopyBounded(name, kMaxNameChars, entryText);
  SPDEV* device = list.FindByDisplayName(name);
  if (device == nullptr) return click;
  click.acted = true;
  const bool wasBlocked = DeviceList::IsBlocked(device) != 0;
  if (RefusesToggle(policy, wasBlocked)) {
    click.failureText = STR_UNBLOCK_NOT_ALLOWED;
    return click;
  }
  ClaimForUser(list, device);  // the user's choice from now on, even while away
  click.result = wasBlocked ? device->Unblock() : device->Block();
  const bool releasedUnverified = wasBlocked && DeviceList::IsBlocked(device) == 0;
  if (click.result != 1 && !releasedUnverified) {
    click.failureText = wasBlocked ? STR_UNABLE_TO_UNBLOCK : STR_UNABLE_TO_BLOCK;
  }
  return click;
}

WideString ComposeDeviceMessage(const WideChar* message, const WideChar* deviceName) {
  WideString text = BoundedString(message, kMessageMaxChars);
  text += u"\n \n";
  text += GetString(STR_DEVICE);
  text += u": ";
  text += BoundedString(deviceName, kMaxNameChars);
  return text;
}

DeviceNotifyEffect DecideDeviceNotify(const DeviceList& list, std::uint32_t wParam, SPDEV* device) {
  DeviceNotifyEffect effect;
  if ((wParam & 0xFFFFu) != 0 || device == nullptr || !list.Contains(device)) return effect;
  const std::uint32_t code = wParam >> 16;
  if (code != DEVICE_STATE_CHANGED && code != DEVICE_PLUGGED_IN) return effect;
  WideChar name[kNameUnits] = {};
  device->GetDisplayName(name, kMaxNameChars);
  const int kind = device->GetKind();
  effect.entryText = BoundedString(name, kNameUnits);
  effect.listId = kind == DEVICE_KIND_VIDEO ? IDC_VIDEO_LIST : IDC_AUDIO_LIST;
  if (code == DEVICE_PLUGGED_IN) {
    effect.kind = DeviceNotifyKind::PluggedIn;
    effect.pluggedInText = device->heldAgainOnReturn ? STR_DEVICE_PLUGGED_IN_BLOCKED_AGAIN : STR_DEVICE_PLUGGED_IN;
    return effect;
  }
  // Both bits are taken, so neither waits for a later release.
  const bool leftToOthers = device->TakeLeftToOthers() != 0;
  if (leftToOthers) effect.giveBackNoticeText = STR_MICROPHONE_HELD_BY_ANOTHER_COPY;
  if (device->TakeGiveBackUnverified() != 0) effect.giveBackNoticeText = STR_MICROPHONE_NOT_UNMUTED;
  effect.kind = DeviceNotifyKind::StateChanged;
  effect.itemData = DeviceList::ListItemDataOf(device);
  effect.protectedState = ProtectionState(list);
  effect.heldButShared = (effect.itemData & kListItemHeldButShared) != 0;
  effect.holdRisks = effect.heldButShared ? device->HoldRisks() : 0;
  effect.sharedNoticeText = kind == DEVICE_KIND_VIDEO ? STR_CAMERA_STILL_SHARED : STR_MICROPHONE_NOT_SILENT;
  WideChar path[kNameUnits] = {};
  device->GetPath(path, kMaxNameChars);
  effect.noticeKey = path[0] != 0 ? BoundedString(path, kNameUnits) : effect.entryText;
  return effect;
}

int ProtectionState(const DeviceList& list) {
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if ((device->HoldRisks() & kHoldRiskTalking) != 0) return kTalkingState;
  }
  if (list.head() == nullptr || !list.lastRefreshComplete || list.AllBlocked() != 1) return 0;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (device->IsSharedBitSet() != 0) return 0;
  }
  return 1;
}

void RecheckHolds(DeviceList& list) {
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) device->RecheckHold();
}

int GiveBackNoticeToShow(const DeviceNotifyEffect& effect, SharedHoldNotices& heldByOthersTold) {
  if (effect.giveBackNoticeText == STR_MICROPHONE_HELD_BY_ANOTHER_COPY &&
      !heldByOthersTold.TakeFirst(effect.noticeKey)) {
    return -1;
  }
  return effect.giveBackNoticeText;
}

void ReleaseDevices(std::unique_ptr<DeviceList>& devices, EndpointHolders* holders) {
  if (!devices) return;
  if (holders != nullptr) holders->LimitLockWaits(kSessionEndLockWaitMs);
  devices->DestroyDeviceList();
  devices.reset();
}

void ReleaseStraysAtTick(DeviceList* devices, CaptureServices& services, MutedEndpoints* record,
                         EndpointHolders* holders) {
  if (devices != nullptr && record != nullptr) ReleaseStrayEndpointMutes(*devices, services, *record, holders);
}

}  // namespace shadowpane
