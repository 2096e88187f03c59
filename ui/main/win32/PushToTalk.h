// Push-to-talk in the main window: the talk shortcut's WM_HOTKEY starts a
// talk (or is refused as a click's unblock would be), and a timer reads the
// key with GetAsyncKeyState while talking, since the system reports a hot
// key's press only. The decisions are PushToTalkLogic's.
#pragma once

#include <windows.h>

#include "ui/main/win32/MainWindowData.h"

namespace shadowpane {

// WM_HOTKEY: false for any hot key but the talk shortcut's, which the
// window then handles as before.
bool OnTalkHotKey(MainWindowData& data, WPARAM id);
// WM_TIMER: false for any timer but the key's poll.
bool OnTalkTimer(MainWindowData& data, WPARAM id);
// Ends a talk at once, whatever the key: for the computer locking or the
// session ending, and at the window's end. Does nothing while none runs.
void EndTalk(MainWindowData& data);
// Whether the talk key is held and its talk asked for (an on-screen
// indicator's query); the microphones' own state shows in their entries.
bool TalkInProgress(const MainWindowData& data);

}  // namespace shadowpane
