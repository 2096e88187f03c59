// The main window's side of the user's absence: registers for the
// session's notices and for suspend and resume, decodes WM_WTSSESSION_CHANGE
// and WM_POWERBROADCAST, reads the last input at the audio poll's tick,
// and carries out what ui/main/AwayLogic decides.
#pragma once

#include <windows.h>

namespace shadowpane {

struct MainWindowData;

// At WM_CREATE. A session registration the system refuses this early at
// logon is tried again at each audio-poll tick (CheckIdle).
void StartAwayNotices(MainWindowData& data);
// Before the window goes: every registration it made is undone.
void StopAwayNotices(MainWindowData& data);
// WM_WTSSESSION_CHANGE: a notice of another session is left alone.
void OnSessionChange(MainWindowData& data, WPARAM wParam, LPARAM lParam);
// WM_POWERBROADCAST; answers TRUE as every power event wants.
LRESULT OnPowerBroadcast(MainWindowData& data, WPARAM wParam);
// At the audio poll's tick: no input for the set minutes, or input again.
void CheckIdle(MainWindowData& data);

}  // namespace shadowpane
