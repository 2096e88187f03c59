// The main window's side of the indicator on screen: whether it shows (the
// effective setting, and nothing full screen running), and the marks it
// shows, taken from the device list as the lists show it. MainWindow.cpp
// calls these hooks where the status panel follows a change and at each
// audio-poll tick; the window itself is win32/IndicatorWindow.
#pragma once

namespace shadowpane {

struct MainWindowData;

// Shows, moves, repaints or hides the indicator as the settings, the
// policy, the devices and the shell's notification state now say; makes
// the window the first time it is wanted.
void UpdateIndicator(MainWindowData& data);
// Destroys the indicator with the main window's devices.
void StopIndicator(MainWindowData& data);

}  // namespace shadowpane
