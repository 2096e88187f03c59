#include "ui/main/MainWindowAccessibility.h"

#include "devices/DeviceTypes.h"
#include "settings/Languages.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/DpiScaling.h"

namespace shadowpane {

bool TrayMessageRaises(std::uint32_t message) {
  constexpr std::uint32_t kLeftDown = 0x0201;    // WM_LBUTTONDOWN
  constexpr std::uint32_t kRightDown = 0x0204;   // WM_RBUTTONDOWN
  constexpr std::uint32_t kContextMenu = 0x007B;  // WM_CONTEXTMENU
  switch (message) {
    case kLeftDown:
    case kRightDown:
    case kTrayNinSelect:
    case kTrayNinKeySelect:
    case kContextMenu:
      return true;
    default:
      return false;
  }
}

void DescribeMainControl(int controlId, int language, AccessibleDescription& description) {
  if (description.child != kAccessibleSelf) return;
  switch (controlId) {
    case IDC_MENU_BUTTON:
      description.name = AccessibleTextIn(AccessibleText::MenuButton, language);
      description.shortcut = kMenuShortcut;
      break;
    case IDC_HIDE_BUTTON:
      description.name = AccessibleTextIn(AccessibleText::MinimizeButton, language);
      break;
    case IDC_CLOSE_BUTTON:
      description.name = AccessibleTextIn(AccessibleText::CloseButton, language);
      break;
    case IDC_VIDEO_LIST:
      description.name = GetString(STR_VIDEO_DEVICES);
      break;
    case IDC_AUDIO_LIST:
      description.name = GetString(STR_AUDIO_DEVICES);
      break;
    default:
      break;
  }
}

AccessibleText DeviceStateText(std::uint32_t itemData) {
  if ((ListItemBlocked(itemData) & 1) == 0) return AccessibleText::NotBlocked;
  if ((itemData & kListItemHeldButShared) == 0) return AccessibleText::Blocked;
  if ((itemData & kListItemTalking) != 0) return AccessibleText::MicrophoneTalking;
  return ListItemKind(itemData) == DEVICE_KIND_VIDEO ? AccessibleText::CameraShared
                                                     : AccessibleText::MicrophoneShared;
}

AccessibleText DeviceStateWord(std::uint32_t itemData) {
  switch (DeviceStateText(itemData)) {
    case AccessibleText::NotBlocked:
      return AccessibleText::StateWordNotBlocked;
    case AccessibleText::Blocked:
      return AccessibleText::StateWordBlocked;
    case AccessibleText::MicrophoneTalking:
      return AccessibleText::StateWordTalking;
    default:
      return AccessibleText::StateWordShared;
  }
}

void DescribeDeviceEntry(std::uint32_t itemData, int language, AccessibleDescription& description) {
  description.value = AccessibleTextIn(DeviceStateText(itemData), language);
  description.description = description.value;
  const bool blocked = (ListItemBlocked(itemData) & 1) != 0;
  description.defaultAction =
      AccessibleTextIn(blocked ? AccessibleText::ActionUnblock : AccessibleText::ActionBlock, language);
}

void DescribeStatusPanel(int protectedState, int windowWidth, int dpi, AccessibleDescription& description) {
  const StatusPanelLook look = PanelLook(protectedState);
  description.role = AccessibleRole::StaticText;
  description.states = kAccReadOnly;
  description.name = GetString(look.headline);
  description.description = GetString(look.line);
  description.location = {Scale(kPanelLeft, dpi), Scale(kPanelTop, dpi), windowWidth - Scale(kPanelRightInset, dpi),
                          Scale(kPanelBottom, dpi)};
}

}  // namespace shadowpane
