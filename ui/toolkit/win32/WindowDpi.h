// The DPI a window lays itself out for. Each top-level window keeps its own
// (a window property set at creation and at WM_DPICHANGED, never a process
// global); its controls and the windows it owns read it from there, so a
// box created off its owner's monitor still matches its owner. The newer
// per-monitor functions are looked up at run time: where they are missing
// the system DPI holds for every window.
#pragma once

#include <windows.h>

#include "ui/toolkit/Geometry.h"

namespace shadowpane {

// WM_DPICHANGED, spelt here for headers that predate it, and
// WM_DPICHANGED_AFTERPARENT, which a window that changed its DPI sends each
// of its toolkit controls (the system sends it only under PerMonitorV2):
// the control makes its font anew at the new DPI.
constexpr UINT kDpiChangedMessage = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;
// WM_GETDPISCALEDSIZE (PerMonitorV2, before WM_DPICHANGED): the size the
// window wants at the DPI in wParam.
constexpr UINT kDpiScaledSizeMessage = 0x02E4;

// The system DPI (the primary monitor's at sign-in).
int SystemDpi();
// The DPI of the monitor the window is on, as the system scales it for
// this process; the system DPI where the system cannot tell.
int WindowDpi(HWND window);

// The DPI the window's top-level window laid itself out for: the one it
// recorded, else its monitor's.
int LayoutDpi(HWND window);
// Records the DPI a top-level window lays itself out for (its controls
// read it). The record goes with the window (RecordWindowProc).
void SetLayoutDpi(HWND topLevel, int dpi);
void ForgetLayoutDpi(HWND topLevel);
// A new window's DPI: its owner's when it has one, else the system's.
int OwnerLayoutDpi(HWND owner);

// A system metric (icon sizes) at the given DPI.
int SystemMetricForDpi(int index, int dpi);

// WM_DPICHANGED: the new DPI (wParam's low word) and the rectangle the
// system suggests (lParam), both checked.
struct DpiChange {
  int dpi = 96;
  RECT suggested{};
  bool hasRect = false;
};
DpiChange ReadDpiChange(WPARAM wParam, LPARAM lParam);

// WM_GETDPISCALEDSIZE of a window whose size is its 96-DPI size scaled:
// that size scaled once to the new DPI, which is what the window sets at
// WM_DPICHANGED. The system's own answer scales the current size, already
// rounded once, and may land a pixel off. Writes the SIZE, answers TRUE.
LRESULT AnswerDpiScaledSize(WPARAM wParam, LPARAM lParam, Size designSize);

}  // namespace shadowpane
