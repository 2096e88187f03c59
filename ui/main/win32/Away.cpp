#include "ui/main/win32/Away.h"

#include <wtsapi32.h>

#include "ui/main/AwayLogic.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/PushToTalk.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

// After a resume the devices may come back a moment late (USB enumerates
// again): every hold is checked at once and again after this long, well
// within two seconds of waking.
constexpr UINT kResumeRefreshDelayMs = 300;
constexpr UINT kResumeRecheckDelayMs = 1500;

// RegisterSuspendResumeNotification exists from Windows 8 on: looked up
// at run time, so the program still starts where it is missing (a window
// still gets WM_POWERBROADCAST there).
// (The headers this program builds with predate it: HPOWERNOTIFY is a
// pointer.)
using RegisterSuspendResumeFn = void*(WINAPI*)(HANDLE, DWORD);
using UnregisterSuspendResumeFn = BOOL(WINAPI*)(void*);
constexpr DWORD kNotifyWindowHandle = 0;  // DEVICE_NOTIFY_WINDOW_HANDLE

template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

AwaySettings AwaySettingsOf(const MainWindowData& data) {
  const Settings effective = EffectiveSettingsOf(data);
  return AwaySettings{effective.blockWhileLocked != 0, effective.blockAfterIdleMinutes};
}

// Every hold checked the way another program meets it, and one that did
// not survive the sleep taken again; what still fails shows amber.
void RecheckAfterResume(MainWindowData& data) {
  if (!data.devices) return;
  RecheckHolds(*data.devices);
  RetakeLostHolds(*data.devices);
  ShowProtection(data);
}

void CALLBACK OnResumeRecheck(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  if (MainWindowData* data = GetWindowRecord<MainWindowData>(window)) RecheckAfterResume(*data);
}

void Apply(MainWindowData& data, AwayEvent event) {
  if (event == AwayEvent::None || !data.devices) return;
  const AwayAction action = DecideAway(data.away, event, AwaySettingsOf(data));
  // Each device's notice shows its entry and saves the profile (the
  // absence's holds as open); a failure shows at once.
  if (action.holdAll) HoldForAway(*data.devices);
  if (action.release) ReleaseAwayHolds(*data.devices);
  if (action.recheck) {
    RecheckAfterResume(data);
    // The device lists read again, as after a device change.
    SetTimer(data.window, TIMER_DEVICE_REFRESH, kResumeRefreshDelayMs, nullptr);
    SetTimer(data.window, TIMER_RESUME_RECHECK, kResumeRecheckDelayMs, OnResumeRecheck);
  }
  ShowProtection(data);
}

void RegisterSessionNotices(MainWindowData& data) {
  if (data.sessionNotices) return;
  data.sessionNotices = WTSRegisterSessionNotification(data.window, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

}  // namespace

void StartAwayNotices(MainWindowData& data) {
  RegisterSessionNotices(data);
  if (auto registerFn = User32Function<RegisterSuspendResumeFn>("RegisterSuspendResumeNotification")) {
    data.powerNotices = registerFn(data.window, kNotifyWindowHandle);
  }
}

void StopAwayNotices(MainWindowData& data) {
  KillTimer(data.window, TIMER_RESUME_RECHECK);
  // Its answer is not checked: there is nothing left to do either way (and
  // some systems answer FALSE without an error).
  if (data.sessionNotices) WTSUnRegisterSessionNotification(data.window);
  data.sessionNotices = false;
  if (data.powerNotices != nullptr) {
    if (auto unregisterFn = User32Function<UnregisterSuspendResumeFn>("UnregisterSuspendResumeNotification")) {
      unregisterFn(data.powerNotices);
    }
  }
  data.powerNotices = nullptr;
}

void OnSessionChange(MainWindowData& data, WPARAM wParam, LPARAM lParam) {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session) || static_cast<DWORD>(lParam) != session) return;
  switch (wParam) {
    case WTS_SESSION_LOCK:
      // A talk never outlasts the user's presence, whatever the settings.
      EndTalk(data);
      Apply(data, AwayEvent::Lock);
      return;
    case WTS_SESSION_UNLOCK:
      Apply(data, AwayEvent::Unlock);
      return;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
      EndTalk(data);
      Apply(data, AwayEvent::Disconnect);
      return;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
      Apply(data, AwayEvent::Reconnect);
      return;
    default:
      return;
  }
}

LRESULT OnPowerBroadcast(MainWindowData& data, WPARAM wParam) {
  switch (wParam) {
    case PBT_APMSUSPEND:
      EndTalk(data);
      Apply(data, AwayEvent::Suspend);
      break;
    case PBT_APMRESUMEAUTOMATIC:
      Apply(data, AwayEvent::ResumeAutomatic);
      break;
    case PBT_APMRESUMESUSPEND:
      Apply(data, AwayEvent::ResumeByUser);
      break;
    default:
      break;
  }
  return TRUE;
}

void CheckIdle(MainWindowData& data) {
  RegisterSessionNotices(data);
  LASTINPUTINFO input{};
  input.cbSize = sizeof(input);
  if (!GetLastInputInfo(&input)) return;
  Apply(data, IdleEventAt(data.away, GetTickCount(), input.dwTime, AwaySettingsOf(data)));
}

}  // namespace shadowpane
