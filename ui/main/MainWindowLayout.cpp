#include "ui/main/MainWindowLayout.h"

#include "settings/Languages.h"
#include "ui/main/DeviceEntries.h"

namespace shadowpane {

StatusPanelLook PanelLook(int protectedState) {
  if (protectedState == 1) {
    return {MakeToolkitColor(143, 184, 90), MakeToolkitColor(220, 233, 203), MakeToolkitColor(233, 241, 223),
            STR_PRIVACY_PROTECTED, STR_ALL_BLOCKED, 0};
  }
  return {MakeToolkitColor(219, 68, 68), MakeToolkitColor(243, 197, 197), MakeToolkitColor(248, 219, 219),
          STR_PRIVACY_AT_RISK, STR_BLOCK_ALL_HINT, kShieldWidth};
}

int LockMarkSkin(std::uint32_t itemData) {
  if ((ListItemBlocked(itemData) & 1) == 0) return kSkinLockUnblocked;
  return (itemData & kListItemHeldButShared) != 0 ? kSkinLockShared : kSkinLockBlocked;
}

int GroupHorizontalDashes(int width) { return width > kGroupDashPeriod ? (width - 7) / kGroupDashPeriod + 1 : 0; }

}  // namespace shadowpane
