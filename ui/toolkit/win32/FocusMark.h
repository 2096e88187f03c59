// The focus mark every toolkit control draws: the system's dotted focus
// rectangle, only while the control has the focus and the window's
// keyboard cues are on (the system hides them while the mouse is used, and
// shows them once a key moves the focus).
#pragma once

#include <windows.h>

namespace shadowpane {

// How far inside a control's rectangle its focus mark runs.
constexpr int kFocusMarkInset = 2;

// The control has the focus and its window's cues are on.
bool ShowsFocusMark(HWND window);
// Draws the mark inside rect (inset kFocusMarkInset) when ShowsFocusMark.
void DrawFocusMark(HWND window, HDC dc, RECT rect);
// WM_SETFOCUS, WM_KILLFOCUS, WM_UPDATEUISTATE of a control: repaints it so
// the mark comes or goes.
void RepaintFocusMark(HWND window);
// The three messages above for a control that does nothing else with them:
// true with the answer in *result, false for any other message.
bool AnswerFocusMarkMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace shadowpane
