// Saves what a window shows on the screen as a 24-bit .bmp file.
#pragma once

#include <windows.h>

namespace shadowpane::gallery {

// Repaints the window and its children, then writes its client area as it
// appears on the screen to path. Answers 1 on success, 0 on failure.
int SaveWindowImage(HWND window, const wchar_t* path);

// Writes an area of the screen as it appears, windows on top included (a
// popup menu over its owner).
int SaveScreenImage(const RECT& area, const wchar_t* path);

}  // namespace shadowpane::gallery
