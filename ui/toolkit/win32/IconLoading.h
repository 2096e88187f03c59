// Every icon the program loads, in one place. An icon is loaded at the
// size it is shown at, as a copy of its own: a shared load (LR_SHARED)
// answers whatever size the system cached first, so it is never used for
// a size. Each copy is destroyed by whoever holds it once it is replaced
// (the class icons, a window's WM_SETICON icons, the tray's).
#pragma once

#include <windows.h>

namespace shadowpane {

// The loader every icon goes through (LoadImageW's shape); tests put in a
// recorder that passes on to LoadImageW. Null restores LoadImageW.
using IconImageLoad = HANDLE(WINAPI*)(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height,
                                      UINT flags);
void SetIconImageLoadForTests(IconImageLoad load);
// comctl32's LoadIconMetric (its shape), looked up at run time; tests may
// put in their own, and null looks it up again (it may not exist).
using IconMetricLoad = HRESULT(WINAPI*)(HINSTANCE instance, PCWSTR name, int metric, HICON* icon);
void SetIconMetricLoadForTests(IconMetricLoad load);

// The flags of every sized load: the icon's own copy, never shared.
constexpr UINT kSizedIconFlags = LR_DEFAULTCOLOR;
// LoadIconMetric's small-icon metric (LIM_SMALL).
constexpr int kIconMetricSmall = 0;

// The icon resource at size x size pixels (the nearest image scaled), its
// own copy; the caller destroys it. Null for id 0 or a failure.
HICON LoadSizedIcon(HINSTANCE instance, int iconId, int size);

// The notification area's icon: LoadIconMetric's small icon where comctl32
// has the function, else the small-icon size at the DPI. The caller
// destroys it.
HICON LoadTrayIcon(HINSTANCE instance, int iconId, int dpi);

// The window's class icons (large and small, which the taskbar and the
// window switcher show) loaded anew at the DPI; the icons they replace are
// destroyed.
void ReplaceClassIcons(HWND window, HINSTANCE instance, int iconId, int dpi);

// Sets a window's WM_SETICON icon (ICON_BIG or ICON_SMALL) and destroys
// the one it replaces, unless it is the same.
void ReplaceWindowIcon(HWND window, WPARAM which, HICON icon);

// Destroys an icon loaded here, if any.
void DestroyLoadedIcon(HICON icon);

}  // namespace shadowpane
