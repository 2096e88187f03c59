// Whether the system's high contrast is on (SPI_GETHIGHCONTRAST), read at
// the first paint and again whenever a window hears WM_SYSCOLORCHANGE or
// WM_SETTINGCHANGE, and the colours the painting takes from it: the
// system's while it is on, the toolkit's own otherwise.
#pragma once

#include <windows.h>

#include "ui/toolkit/HighContrast.h"

namespace shadowpane {

bool HighContrastOn();
// WM_SYSCOLORCHANGE or WM_SETTINGCHANGE of a top-level window: reads the
// setting again and repaints the window with all its controls.
void FollowHighContrast(HWND window);
// The gallery's and tests' switch: 1 on, 0 off, -1 the system's setting.
void SetHighContrastForTests(int on);

COLORREF ShownTextColor(ToolkitColor color);
COLORREF ShownFillColor(ToolkitColor color);
COLORREF ShownLineColor(ToolkitColor color);

// A frame of one pixel in the line colour around the rectangle (the skin's
// frame drawn flat).
void FrameFlat(HDC dc, RECT rect);

}  // namespace shadowpane
