// The indicator on screen: a small always-on-top window with a camera and a
// microphone mark, in a corner of the work area of the taskbar's monitor.
// It never takes the focus or a click (layered and transparent to the
// mouse: a click reaches what lies below), stays out of the taskbar and
// Alt+Tab, draws at its monitor's DPI and in high contrast, and answers a
// screen reader with its marks as text. What it shows and where are
// decided in ui/main/IndicatorLogic; the main window drives it
// (win32/MainWindowIndicator).
#pragma once

#include <windows.h>

#include "ui/main/IndicatorLogic.h"

namespace shadowpane {

constexpr wchar_t kIndicatorClassName[] = L"KSP2IndicatorWndClass";

// Makes the window, hidden (its class registered at the first call).
// Null when it could not be made.
HWND CreateIndicatorWindow();

// The marks, the reader's language and the corner to show: repaints and
// moves only what changed, tells readers of a new name, and shows the
// window without activating it.
void ShowIndicator(HWND indicator, const IndicatorMarks& marks, int language, int corner);
void HideIndicator(HWND indicator);

// The notification state the indicator hides by: the shell's answer
// (SHQueryUserNotificationState, where the system has it; else 0).
int QueryNotificationState();
// The tests' seam: a function answering in its place (null: the shell's).
using NotificationStateQuery = int (*)();
void SetNotificationStateQueryForTests(NotificationStateQuery query);

}  // namespace shadowpane
