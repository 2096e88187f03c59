#include "ui/main/win32/MainWindow.h"

#include <iterator>
#include <new>
#include <string>

#include "settings/Languages.h"
#include "settings/Settings.h"
#include "core/win32/TextCast.h"
#include "devices/Discovery.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/DeviceChangeLogic.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/win32/MenuCommands.h"
#include "ui/main/win32/Away.h"
#include "ui/main/win32/CommandChannel.h"
#include "ui/main/win32/DeviceChange.h"
#include "ui/main/win32/DiscoveryWindowTarget.h"
#include "ui/main/win32/HoldNotices.h"
#include "ui/main/win32/HotKeys.h"
#include "ui/main/win32/MainWindowAccess.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/MainWindowIndicator.h"
#include "ui/main/win32/MainWindowUsage.h"
#include "ui/main/win32/PushToTalk.h"
#include "ui/main/win32/SettingsCommand.h"
#include "ui/main/win32/TrayIcon.h"
#include "ui/toolkit/ButtonLogic.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/IconLoading.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/OwnerDrawnList.h"
#include "ui/toolkit/win32/PopupFrame.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {

std::int32_t gProtectedState = 0;

namespace {

HWND gMainWindow = nullptr;

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                             LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;

// The skin of each title-bar button.
struct TitleButtonSkin {
  int id;
  int skin;
};
const TitleButtonSkin kTitleButtonSkins[] = {
    {IDC_CLOSE_BUTTON, kSkinCloseMain},
    {IDC_HIDE_BUTTON, kSkinMinimize},
    {IDC_MENU_BUTTON, kSkinMenu},
};

MainWindowData* DataOf(HWND window) { return GetWindowRecord<MainWindowData>(window); }

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// The devices' view of the settings: devices/ does not see settings/.
BlockSettings BlockSettingsOf(const Settings& effective) { return {effective.blockStart, effective.blockPluggedIn}; }

void ShowDeviceMessage(HWND owner, int messageIndex, const WideString& deviceName, int icon) {
  const WideString text = ComposeDeviceMessage(GetString(messageIndex), deviceName.c_str());
  ShowMessageBox(owner, AsWide(text.c_str()), MBX_BUTTONS_OK, icon);
}

// Adds the tray icon; while the shell refuses it (not ready yet at logon),
// a timer tries again, so a hidden window never ends up out of reach.
void ShowTrayIcon(MainWindowData& data, int icon) {
  data.trayShown = AddTrayIcon(data.window, icon) == 1;
  if (data.trayShown) {
    KillTimer(data.window, TIMER_TRAY_ADD);
  } else {
    SetTimer(data.window, TIMER_TRAY_ADD, kTrayRetryIntervalMs, nullptr);
  }
}

void UpdateStateIcons(MainWindowData& data) {
  HWND window = data.window;
  const int icon = StateIconId(gProtectedState);
  // An icon not yet added shows the state at its next try.
  if (data.trayShown) UpdateTrayIcon(window, icon);
  ReplaceClassIcons(window, ToolkitInstance(), icon, data.dpi);  // the taskbar button follows too
}

}  // namespace

// The settings the program acts on now: the user's with the policy over them.
Settings EffectiveSettingsOf(const MainWindowData& data) {
  const Settings user = data.services.settings != nullptr ? *data.services.settings : Settings{};
  return EffectiveSettings(user, data.policy);
}

// Reads the policy keys again; a changed policy applies from here on: the
// refresh that follows blocks by it, a forced language shows at once, and
// the Settings window, clicks, shortcuts and closing ask the new one.
// A changed Startup writes or removes the user's Run entry at once (never
// the machine's): a copy that may not exit, or a sign-out, would otherwise
// leave the next logon as the policy no longer says.
void ReadPolicy(MainWindowData& data) {
  if (data.services.policySource == nullptr) return;
  const EnforcedPolicy policy = ReadEnforcedPolicy(*data.services.policySource);
  if (policy == data.policy) return;
  const std::int32_t startupBefore = EffectiveSettingsOf(data).startup;
  data.policy = policy;
  const Settings effective = EffectiveSettingsOf(data);
  if (effective.startup != startupBefore && data.services.settingsStore != nullptr) {
    ApplyAutostart(*data.services.settingsStore, effective.startup);
  }
  if (effective.language != gDisplayLanguage) {
    gDisplayLanguage = effective.language;
    InvalidateRect(data.window, nullptr, FALSE);
  }
}

// The panel, the tray and the class icons after anything that may have
// changed what is open: a state change, a refresh (devices plugged in,
// unplugged or made anew), a click whose block failed.
void ShowProtection(MainWindowData& data) {
  UpdateIndicator(data);  // its marks are per kind: any change may move them
  const std::int32_t state = data.devices ? ProtectionState(*data.devices) : 0;
  if (state != gProtectedState || !data.stateShown) {
    const bool changed = state != gProtectedState;
    gProtectedState = state;
    data.stateShown = true;
    InvalidateRect(data.window, nullptr, FALSE);
    UpdateStateIcons(data);
    if (changed) NotifyStatusChanged(data.window);
  }
}

namespace {

void Refresh(MainWindowData& data, int initial) {
  ReadPolicy(data);
  if (!data.devices) return;
  RefreshDevices(data.window, *data.devices, *data.services.captureServices, *data.services.poster,
                 BlockSettingsOf(EffectiveSettingsOf(data)), initial, data.services.mutedEndpoints,
                 data.services.endpointHolders);
  // A hold that others can now meet, or no longer can, since it was last
  // checked posts its change, which updates its entry.
  RecheckHolds(*data.devices);
  ShowProtection(data);
  UpdateUsage(data);
  NotifyListsRefilled(data.window);
}

// Shows the settled shortcut's balloon: what was done, or the first device
// that did not reach the wanted state.
void FinishShortcut(MainWindowData& data) {
  KillTimer(data.window, TIMER_SHORTCUT_SETTLE);
  std::unique_ptr<ShortcutRun> run = std::move(data.shortcutRun);
  if (!run || !data.devices) return;
  ShowProtection(data);
  const ShortcutBalloon balloon = ShortcutBalloonFor(*run, SnapshotDevices(*data.devices), gDisplayLanguage);
  if (!balloon.text.empty() && data.trayShown) {
    ShowTrayBalloon(data.window, StateIconId(gProtectedState), AsWide(balloon.text.c_str()), balloon.warning);
  }
}

// A shortcut's targets may have settled: at each device notice and tick.
void CheckShortcutSettled(MainWindowData& data) {
  if (!data.shortcutRun || !data.devices) return;
  const bool late = GetTickCount() - data.shortcutPressedAt >= kShortcutSettleLimitMs;
  if (late || ShortcutSettled(*data.shortcutRun, SnapshotDevices(*data.devices))) FinishShortcut(data);
}

void OnHotKey(MainWindowData& data, WPARAM id) {
  ShortcutAction action = ShortcutAction::BlockAll;
  if (!ShortcutActionOfHotKey(id, &action) || !data.devices) return;
  // A shortcut pressed while another settles tells the earlier one first.
  FinishShortcut(data);
  if (RefusesShortcut(SnapshotDevices(*data.devices), action, data.policy)) {
    if (data.trayShown) {
      ShowTrayBalloon(data.window, StateIconId(gProtectedState), AsWide(GetString(STR_UNBLOCK_NOT_ALLOWED)), true);
    }
    return;
  }
  data.shortcutRun.reset(new (std::nothrow) ShortcutRun(StartShortcut(*data.devices, action)));
  data.shortcutPressedAt = GetTickCount();
  // A block that failed half-way posts nothing, yet may have changed what
  // is open; a success posts its change, which shows it.
  ShowProtection(data);
  SetTimer(data.window, TIMER_SHORTCUT_SETTLE, kShortcutSettlePollMs, nullptr);
  CheckShortcutSettled(data);
}

LRESULT CALLBACK DeviceListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindowData* data = DataOf(GetParent(list));
  WNDPROC saved = data != nullptr ? data->savedListProcedure : nullptr;
  if (saved == nullptr) return DefWindowProcW(list, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      // An empty list draws nothing of its own.
      if (SendMessageW(list, LB_GETCOUNT, 0, 0) <= 0) return DefWindowProcW(list, message, wParam, lParam);
      break;
    case WM_KEYDOWN:
      return 0;  // no keyboard navigation
    case WM_MOUSEMOVE:
      // So the wheel scrolls the list under the pointer.
      SetFocus(list);
      break;
    default:
      break;
  }
  return CallWindowProcW(saved, list, message, wParam, lParam);
}

void CreateControls(MainWindowData& data) {
  HWND window = data.window;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  // Made in the table's order, which is the Tab order: menu, minimize,
  // close, then the lists.
  for (const MainControlPlace& c : MainWindowControls(data.dpi)) {
    const bool list = c.id == IDC_VIDEO_LIST || c.id == IDC_AUDIO_LIST;
    HWND control = CreateWindowExW(0, list ? L"LISTBOX" : kButtonClassName, L"",
                                   list ? kListStyle : WS_CHILD | WS_VISIBLE | WS_TABSTOP, c.rect.left, c.rect.top,
                                   Width(c.rect), Height(c.rect), window, ControlId(c.id), instance, nullptr);
    if (control == nullptr) continue;
    if (list) {
      const auto previous = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DeviceListProc)));
      data.savedListProcedure = previous;
      AttachOwnerDrawnList(control);
      continue;
    }
    for (const TitleButtonSkin& b : kTitleButtonSkins) {
      if (b.id != c.id) continue;
      SendMessageW(control, BXM_FACEBITMAP, kPropertyStore, b.skin);
      SendMessageW(control, BXM_FACESTYLE, kPropertyStore, BXS_STATE_STRIP);
    }
  }
}

// The fonts at the window's DPI (the same faces and weights at every DPI).
void CreateFonts(MainWindowData& data) {
  data.normalFont.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, data.dpi));
  data.boldFont.Reset(CreateToolkitFont(kMainBoldFontHeight, kFontWeightBold, PROOF_QUALITY, data.dpi));
  data.captionFont.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightBold, NONANTIALIASED_QUALITY, data.dpi));
}

// A new DPI (the window moved to a monitor of another scale): fonts anew,
// the controls and the entries' height scaled, then the window takes the
// rectangle the system suggests (its scaled size at the suggested place,
// so it cannot grow or shrink onto the monitor it left), its outline and a
// full repaint. The skins follow at the next paint.
void OnDpiChanged(MainWindowData& data, WPARAM wParam, LPARAM lParam) {
  const DpiChange change = ReadDpiChange(wParam, lParam);
  HWND window = data.window;
  data.dpi = change.dpi;
  SetLayoutDpi(window, data.dpi);
  CreateFonts(data);
  for (const MainControlPlace& c : MainWindowControls(data.dpi)) {
    HWND control = GetDlgItem(window, c.id);
    if (control == nullptr) continue;
    SetWindowPos(control, nullptr, c.rect.left, c.rect.top, Width(c.rect), Height(c.rect),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, kDpiChangedAfterParent, 0, 0);
    if (c.id == IDC_VIDEO_LIST || c.id == IDC_AUDIO_LIST) {
      SendMessageW(control, LB_SETITEMHEIGHT, 0, Scale(kDeviceEntryHeight, data.dpi));
    }
  }
  const Size size = MainWindowSize(data.dpi);
  RECT place{};
  GetWindowRect(window, &place);
  if (change.hasRect) place = change.suggested;
  SetWindowPos(window, nullptr, place.left, place.top, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetRoundedRegion(window, size.width, size.height);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  UpdateStateIcons(data);  // the tray's and the taskbar's icons loaded at this DPI
}

LRESULT OnCreate(MainWindowData& data, LPARAM createStruct) {
  HWND window = data.window;
  SetTextFromCreation(window, createStruct);
  // A timer's tick comes after the first paint: the window is on screen
  // first, and the icon comes in the state the devices give.
  SetTimer(window, TIMER_TRAY_ADD, kTrayFirstAddDelayMs, nullptr);
  gMainWindow = window;
  StartKeyboardCues(window);
  CreateControls(data);
  data.devices.reset(new (std::nothrow) DeviceList(data.services.profileFile));
  Refresh(data, 1);
  StartUsage(data);
  if (data.services.startCommand.action != CommandAction::None && data.devices &&
      !RefusesCommand(SnapshotDevices(*data.devices), data.services.startCommand, data.policy)) {
    StartPendingCommand(data, data.services.startCommand, nullptr, 0);
  }
  StartAwayNotices(data);
  RegisterShortcuts(window, data.services.shortcuts);
  data.notification = RegisterForDeviceArrival(window);
  if (data.notification == nullptr) {
    ShowMessageBox(window, AsWide(GetString(STR_REGISTRY_DENIED)), MBX_BUTTONS_OK, MBX_ICON_WARNING);
  }
  ShowProtection(data);
  return 0;
}

void OnDeviceListClick(MainWindowData& data, HWND list, UINT code) {
  if (code != LBN_SELCHANGE || list == nullptr || !data.devices) return;
  const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;
  // An entry never stays highlighted.
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  const WideString entry = BoundedString(AsCore(text.c_str()), kMaxNameChars);
  const DeviceClick click = ClickDeviceEntry(*data.devices, entry.c_str(), data.policy);
  if (!click.acted) return;
  // A block that failed half-way posts nothing, yet may have changed what
  // is open; a success posts its change, which shows it.
  ShowProtection(data);
  if (click.failureText >= 0) ShowDeviceMessage(data.window, click.failureText, entry, MBX_ICON_WARNING);
}

void OnDeviceNotify(MainWindowData& data, WPARAM wParam, LPARAM lParam) {
  if (!data.devices) return;
  const DeviceNotifyEffect effect =
      DecideDeviceNotify(*data.devices, static_cast<std::uint32_t>(wParam), reinterpret_cast<SPDEV*>(lParam));
  if (effect.kind == DeviceNotifyKind::Ignore) return;
  HWND list = GetDlgItem(data.window, effect.listId);
  const LRESULT index = list != nullptr ? FindListEntry(list, effect.entryText) : LB_ERR;
  if (effect.kind == DeviceNotifyKind::PluggedIn) {
    if (index != LB_ERR) ShowDeviceMessage(data.window, effect.pluggedInText, effect.entryText, MBX_ICON_INFO);
    return;
  }
  if (index != LB_ERR) {
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(effect.itemData));
    InvalidateRect(list, nullptr, FALSE);
    NotifyEntryChanged(list, static_cast<int>(index));
  }
  // Saved at once, so a sign-out or an ended process loses no block.
  SaveProfile(*data.devices);
  ShowProtection(data);
  // Last, so the amber mark and the panel are up to date behind the notice.
  CheckShortcutSettled(data);
  AnswerSettledCommands(data, false);
  ShowHoldNotices(data, effect);
  const int giveBackNotice = GiveBackNoticeToShow(effect, data.heldByOthersNotices);
  if (giveBackNotice >= 0) ShowDeviceMessage(data.window, giveBackNotice, effect.entryText, MBX_ICON_WARNING);
}

void RunMenuCommand(MainWindowData& data, int id) {
  const MenuCommand command = LookUpCommand(id);
  switch (command.kind) {
    case CommandKind::Settings:
      RunSettingsCommand(data);
      return;
    case CommandKind::WebPage: {
      const WideString address = WebPageAddress(command, gDisplayLanguage);
      OpenWebPage(AsWide(address.c_str()));
      return;
    }
    case CommandKind::Help:
      OpenHelp();
      return;
    case CommandKind::About:
      if (data.services.showAbout != nullptr) data.services.showAbout(data.window);
      return;
    case CommandKind::Shortcuts:
      if (data.services.showShortcuts != nullptr) data.services.showShortcuts(data.window);
      return;
    case CommandKind::RecentUse:
      ShowRecentUse(data);
      return;
    case CommandKind::None:
      return;
  }
}

void OnCommand(MainWindowData& data, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  HWND window = data.window;
  switch (id) {
    case IDC_CLOSE_BUTTON:
      SendMessageW(window, WM_CLOSE, 0, 0);
      return;
    case IDC_HIDE_BUTTON:
      ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_HIDE);
      return;
    case IDC_MENU_BUTTON:
      ShowMainMenu(window);
      return;
    case IDC_VIDEO_LIST:
    case IDC_AUDIO_LIST:
      OnDeviceListClick(data, reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return;
    default:
      RunMenuCommand(data, id);
      return;
  }
}

void OnTimer(MainWindowData& data, WPARAM id) {
  if (id == TIMER_SHORTCUT_SETTLE) {
    CheckShortcutSettled(data);
    return;
  }
  if (id == TIMER_COMMAND_SETTLE) {
    AnswerSettledCommands(data, false);
    return;
  }
  const std::uint32_t countAtRefresh = data.devices ? data.devices->waveInCountAtRefresh : 0;
  const std::uint32_t waveInCount =
      id == TIMER_AUDIO_POLL ? data.services.captureServices->WaveInputCount() : 0;
  const TimerAction action = DecideTimer(static_cast<unsigned>(id), countAtRefresh, waveInCount);
  // A poll tick that does not refresh still reads the policy (a refresh
  // reads it itself), so a policy pushed while nothing is plugged in
  // applies within a second.
  if (id == TIMER_AUDIO_POLL && action == TimerAction::None) ReadPolicy(data);
  if (id == TIMER_AUDIO_POLL) {
    ReleaseStraysAtTick(data.devices.get(), *data.services.captureServices, data.services.mutedEndpoints,
                        data.services.endpointHolders);
    CheckIdle(data);
    UpdateIndicator(data);  // a full-screen program, a policy, a language
  }
  switch (action) {
    case TimerAction::StopAndRefresh:
      KillTimer(data.window, TIMER_DEVICE_REFRESH);
      Refresh(data, 0);
      break;
    case TimerAction::Refresh:
      Refresh(data, 0);
      break;
    case TimerAction::AddTray:
      ShowTrayIcon(data, StateIconId(gProtectedState));
      break;
    case TimerAction::None:
      break;
  }
}

// The close button and any WM_CLOSE end the program, unless the policy
// withdraws the exit: then closing only hides the window to the tray, and
// the devices stay as they are.
void OnClose(MainWindowData& data) {
  if (!data.policy.allowExit) {
    ShowWindow(data.window, SW_HIDE);
    return;
  }
  KillTimer(data.window, TIMER_AUDIO_POLL);
  if (data.services.settingsStore != nullptr) {
    ApplyAutostart(*data.services.settingsStore, EffectiveSettingsOf(data).startup);
  }
  DestroyWindow(data.window);
}

// Saves Profile.db with every device as it is, then lets every camera and
// microphone go, its input given back; the notification and the tray icon
// end too. Once only: at the window's end, or at the session's.
void ReleaseEverything(MainWindowData& data) {
  for (UINT_PTR timer : {TIMER_AUDIO_POLL, TIMER_DEVICE_REFRESH, TIMER_TRAY_ADD, TIMER_SHORTCUT_SETTLE,
                         TIMER_COMMAND_SETTLE, TIMER_TALK_POLL}) {
    KillTimer(data.window, timer);
  }
  data.shortcutRun.reset();
  // Whoever waits hears how the devices stand before they are let go.
  AnswerSettledCommands(data, true);
  UnregisterShortcuts(data.window);
  StopAwayNotices(data);
  if (data.notification != nullptr) UnregisterDeviceNotification(data.notification);
  data.notification = nullptr;
  if (data.trayShown) RemoveTrayIcon();
  data.trayShown = false;
  StopUsage(data);
  StopIndicator(data);
  ReleaseDevices(data.devices, data.services.endpointHolders);
}

void OnDestroy(MainWindowData& data) {
  ReleaseEverything(data);
  PostQuitMessage(0);
}

// Sign-out, shutdown or restart: the system ends the process soon after
// WM_ENDSESSION without destroying the window, so nothing may wait for
// WM_DESTROY. The question is answered yes, with the profile saved.
LRESULT OnQueryEndSession(MainWindowData& data) {
  if (data.devices) SaveProfile(*data.devices);
  return TRUE;
}

void OnEndSession(MainWindowData& data, WPARAM ending) {
  if (ending) ReleaseEverything(data);
}

MainWindowData* MakeMainWindowData(HWND window, const CREATESTRUCTW& create) {
  auto* data = new (std::nothrow) MainWindowData;
  if (data == nullptr) return nullptr;
  data->window = window;
  if (create.lpCreateParams != nullptr) data->services = *static_cast<const MainWindowServices*>(create.lpCreateParams);
  // The monitor's DPI, recorded before any control exists: the controls
  // read it from the window.
  data->dpi = WindowDpi(window);
  SetLayoutDpi(window, data->dpi);
  CreateFonts(*data);
  return data;
}

// The shell's broadcast after it restarts: its notification area is new and
// empty, so the icon is added again in the current state.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

LRESULT HandleMessage(MainWindowData& data, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != 0 && message == TaskbarCreatedMessage()) {
    ShowTrayIcon(data, StateIconId(gProtectedState));
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      return OnCreate(data, lParam);
    case WM_PAINT:
      PaintMainWindow(data);
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item != nullptr && item->itemID != static_cast<UINT>(-1)) DrawDeviceItem(data, *item);
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item != nullptr) item->itemHeight = static_cast<UINT>(Scale(kDeviceEntryHeight, data.dpi));
      return TRUE;
    }
    case WM_NCHITTEST:
      return CaptionHitTest(window, lParam, wParam, kMainDragRows);
    case kDpiChangedMessage:
      OnDpiChanged(data, wParam, lParam);
      return 0;
    case kDpiScaledSizeMessage:
      return AnswerDpiScaledSize(wParam, lParam, MainWindowSize(kDesignDpi));
    case WM_MOUSEMOVE:
      SetFocus(window);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_COMMAND:
      OnCommand(data, wParam, lParam);
      return 0;
    case WM_TIMER:
      if (!OnTalkTimer(data, wParam)) OnTimer(data, wParam);
      return 0;
    case WM_DEVICECHANGE:
      return OnDeviceChange(window, wParam, lParam);
    case WM_TRAY_NOTIFY:
      return OnTrayNotify(window, lParam);
    case WM_DEVICE_NOTIFY:
      OnDeviceNotify(data, wParam, lParam);
      return 0;
    case WM_HOTKEY:
      if (!OnTalkHotKey(data, wParam)) OnHotKey(data, wParam);
      return 0;
    case WM_WTSSESSION_CHANGE:
      OnSessionChange(data, wParam, lParam);
      return 0;
    case WM_POWERBROADCAST:
      return OnPowerBroadcast(data, wParam);
    case WM_COPYDATA:
      return OnCopyData(data, wParam, lParam);
    case WM_GRAPH_NOTIFY:
      return 0;
    case WM_USAGE_NOTIFY:
      UpdateUsage(data);
      return 0;
    case WM_CLOSE:
      OnClose(data);
      return 0;
    case WM_GETOBJECT:
      return AnswerWindowObject(window, wParam, lParam);
    case WM_ACCESSIBLE_DESCRIBE:
      return OnDescribeAccessible(data, wParam, lParam);
    case WM_MENUCHAR:
      return AnswerMenuChar(wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      FollowHighContrast(window);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_ACTIVATE:
      if (KeepFocusAcrossActivation(window, wParam, data.lastFocus)) return 0;
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_QUERYENDSESSION:
      return OnQueryEndSession(data);
    case WM_ENDSESSION:
      OnEndSession(data, wParam);
      return 0;
    case WM_DESTROY:
      OnDestroy(data);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int RegisterMainWindowClass(HINSTANCE instance) {
  return RegisterRecordClass(instance, kMainWindowClassName, MainWindowProc, IDC_ARROW, kIconApplication);
}

HWND CreateMainWindow(const MainWindowServices& services, bool hidden) {
  // Sized for the primary monitor first; the window then lays itself out
  // for the monitor it was made on.
  Size size = MainWindowSize(SystemDpi());
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - size.width / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - size.height / 2;
  HWND window = CreateWindowExW(0, kMainWindowClassName, kMainWindowTitle, WS_POPUP, x, y, size.width,
                                size.height, nullptr, nullptr, ToolkitInstance(),
                                const_cast<MainWindowServices*>(&services));
  if (window == nullptr) return nullptr;
  const Size own = MainWindowSize(LayoutDpi(window));
  if (!(own == size)) {
    size = own;
    ResizeWindow(window, size);
  }
  SetRoundedRegion(window, size.width, size.height);
  UpdateWindow(window);
  SetForegroundWindow(window);
  BringWindowToTop(window);
  ShowWindow(window, hidden ? SW_HIDE : SW_SHOW);
  return window;
}

HWND MainWindowHandle() { return gMainWindow; }

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<MainWindowData>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                          MakeMainWindowData, HandleMessage);
}

}  // namespace shadowpane
