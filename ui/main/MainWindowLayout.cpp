#include "ui/main/MainWindowLayout.h"

#include "settings/Languages.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/MainWindowIds.h"
#include "ui/toolkit/DpiScaling.h"

namespace shadowpane {

StatusPanelLook PanelLook(int protectedState) {
  if (protectedState == 1) {
    return {MakeToolkitColor(143, 184, 90), MakeToolkitColor(220, 233, 203), MakeToolkitColor(233, 241, 223),
            STR_PRIVACY_PROTECTED, STR_ALL_BLOCKED, 0};
  }
  return {MakeToolkitColor(219, 68, 68), MakeToolkitColor(243, 197, 197), MakeToolkitColor(248, 219, 219),
          STR_PRIVACY_AT_RISK, protectedState == kTalkingState ? STR_TALKING_LINE : STR_BLOCK_ALL_HINT,
          kShieldWidth};
}

int LockMarkSkin(std::uint32_t itemData) {
  if ((ListItemBlocked(itemData) & 1) == 0) return kSkinLockUnblocked;
  return (itemData & kListItemHeldButShared) != 0 ? kSkinLockShared : kSkinLockBlocked;
}

namespace {

constexpr Rect TitleButtonRect(int rightOffset, int width) {
  return {kMainWindowWidth - rightOffset, kTitleButtonY, kMainWindowWidth - rightOffset + width,
          kTitleButtonY + kTitleButtonHeight};
}

// In the Tab order: the title buttons from the left, then the lists.
constexpr MainControlPlace kMainControls[] = {
    {IDC_MENU_BUTTON, TitleButtonRect(100, 23)},
    {IDC_HIDE_BUTTON, TitleButtonRect(76, 23)},
    {IDC_CLOSE_BUTTON, TitleButtonRect(52, 41)},
    {IDC_VIDEO_LIST, {30, 160, 468, 370}},
    {IDC_AUDIO_LIST, {30, 413, 470, 623}},
};

}  // namespace

std::vector<MainControlPlace> MainWindowControls(int dpi) {
  std::vector<MainControlPlace> placed;
  for (const MainControlPlace& c : kMainControls) placed.push_back({c.id, Scale(c.rect, dpi)});
  return placed;
}

Size MainWindowSize(int dpi) { return Scale(Size{kMainWindowWidth, kMainWindowHeight}, dpi); }

int GroupHorizontalDashes(int width) { return width > kGroupDashPeriod ? (width - 7) / kGroupDashPeriod + 1 : 0; }

}  // namespace shadowpane
