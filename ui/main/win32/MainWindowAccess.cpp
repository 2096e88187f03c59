#include "ui/main/win32/MainWindowAccess.h"

#include <cwctype>
#include <vector>

#include "core/win32/TextCast.h"
#include "settings/Languages.h"
#include "ui/main/MainWindowAccessibility.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/win32/MainWindow.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/MainWindowUsage.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/OwnerDrawnList.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

MenuKeyTracker gMenuKeys;

bool OpensMenu(const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return gMenuKeys.OnKey(KeyEvent::Down, static_cast<std::uint32_t>(msg.wParam), msg.message == WM_SYSKEYDOWN);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return gMenuKeys.OnKey(KeyEvent::Up, static_cast<std::uint32_t>(msg.wParam), msg.message == WM_SYSKEYUP);
    case WM_HOTKEY:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      gMenuKeys.OnOtherInput();
      return false;
    default:
      return false;
  }
}

}  // namespace

bool RouteMainWindowMessage(MSG& msg) {
  HWND window = MainWindowHandle();
  if (window == nullptr || (msg.hwnd != window && !IsChild(window, msg.hwnd))) return false;
  if (OpensMenu(msg)) {
    // The same path as a click on the menu button.
    HWND button = GetDlgItem(window, IDC_MENU_BUTTON);
    if (button != nullptr) SendCommandToParent(button);
    return true;
  }
  return RouteDialogMessage(window, msg);
}

// The programs using an entry's device now, after its state: the reader
// hears what the entry's second line shows.
void DescribeEntryUsers(const MainWindowData& data, HWND list, int index, AccessibleDescription& description) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR || length <= 0) return;
  std::vector<wchar_t> name(static_cast<std::size_t>(length) + 1, L'\0');
  if (SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name.data())) == LB_ERR) {
    return;
  }
  const WideString inUse = EntryUsageText(data, WideString(AsCore(name.data())));
  if (inUse.empty()) return;
  description.description += description.description.empty() ? inUse : u". " + inUse;
}

LRESULT OnDescribeAccessible(const MainWindowData& data, WPARAM wParam, LPARAM lParam) {
  auto* description = reinterpret_cast<AccessibleDescription*>(lParam);
  if (description == nullptr) return 0;
  description->language = gDisplayLanguage;
  HWND control = reinterpret_cast<HWND>(wParam);
  if (control == data.window) {
    if (description->child == kAccessibleSelf) {
      description->elements = kMainWindowElements;
    } else if (description->child == kStatusPanelElement) {
      DescribeStatusPanel(gProtectedState, ClientSize(data.window).width, data.dpi, *description);
    }
    return 1;
  }
  if (GetParent(control) != data.window) return 1;  // a message box's control: only the language
  const int id = static_cast<int>(GetWindowLongPtrW(control, GWLP_ID));
  DescribeMainControl(id, gDisplayLanguage, *description);
  if ((id == IDC_VIDEO_LIST || id == IDC_AUDIO_LIST) && description->child != kAccessibleSelf) {
    const LRESULT itemData = SendMessageW(control, LB_GETITEMDATA, static_cast<WPARAM>(description->child - 1), 0);
    if (itemData != LB_ERR) DescribeDeviceEntry(static_cast<std::uint32_t>(itemData), gDisplayLanguage, *description);
    DescribeEntryUsers(data, control, description->child - 1, *description);
  }
  return 1;
}

LRESULT AnswerMenuChar(WPARAM wParam, LPARAM lParam) {
  HMENU menu = reinterpret_cast<HMENU>(lParam);
  const wchar_t typed = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(LOWORD(wParam))));
  const int count = GetMenuItemCount(menu);
  std::vector<int> matches;
  int highlighted = -1;
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
    if ((info.fState & MFS_HILITE) != 0) highlighted = position;
    if ((info.fType & MFT_SEPARATOR) != 0 || (info.fState & MFS_DISABLED) != 0) continue;
    wchar_t text[3] = {};
    if (GetMenuStringW(menu, static_cast<UINT>(position), text, 3, MF_BYPOSITION) <= 0) continue;
    // An access-key mark before the first letter is not the letter.
    const wchar_t first = text[0] == L'&' ? text[1] : text[0];
    if (static_cast<wchar_t>(std::towupper(static_cast<wint_t>(first))) == typed) matches.push_back(position);
  }
  if (matches.empty()) return MAKELRESULT(0, MNC_IGNORE);
  if (matches.size() == 1) return MAKELRESULT(matches.front(), MNC_EXECUTE);
  for (int position : matches) {
    if (position > highlighted) return MAKELRESULT(position, MNC_SELECT);
  }
  return MAKELRESULT(matches.front(), MNC_SELECT);
}

void NotifyEntryChanged(HWND list, int index) {
  NotifyAccessible(EVENT_OBJECT_STATECHANGE, list, index + 1);
  NotifyAccessible(EVENT_OBJECT_VALUECHANGE, list, index + 1);
  NotifyAccessible(EVENT_OBJECT_DESCRIPTIONCHANGE, list, index + 1);
  // The focus stays on the entry Space or Enter changed. Whether a reader
  // speaks a state change alone is not documented (Narrator reads the list
  // through the UI Automation proxy); each speaks a focus event, so the
  // entry is announced again, with its new state, last.
  if (GetFocus() == list && ListCaret(list) == index) NotifyAccessible(EVENT_OBJECT_FOCUS, list, index + 1);
}

void NotifyListsRefilled(HWND window) {
  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    HWND list = GetDlgItem(window, id);
    if (list != nullptr) NotifyAccessible(EVENT_OBJECT_REORDER, list, kAccessibleSelf);
  }
}

void NotifyStatusChanged(HWND window) { NotifyAccessible(EVENT_OBJECT_NAMECHANGE, window, kStatusPanelElement); }

}  // namespace shadowpane
