// Saves what a window shows on the screen as a 24-bit .bmp file.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane::gallery {

// Repaints the window and its children, then writes its client area as it
// appears on the screen to path. Answers 1 on success, 0 on failure.
int SaveWindowImage(HWND window, const wchar_t* path);

// Writes a rectangle of the screen as it appears, every window that covers
// it included (a popup over its owner), to path. 1 on success, 0 on failure.
int SaveScreenImage(const RECT& screenRect, const wchar_t* path);

// The folder the images go to: the first command-line argument, else ".".
std::wstring OutputFolder();

}  // namespace shadowpane::gallery
