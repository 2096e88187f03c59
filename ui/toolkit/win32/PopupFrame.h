// What the toolkit's borderless popup windows share: their outlines and the
// skinned frame around their body. The message box and the list popup use
// them; the main and secondary windows are built on the same pieces.
#pragma once

#include <windows.h>

#include "ui/toolkit/Geometry.h"

namespace shadowpane {

// The rounded outline of a W x H popup: a rounded rectangle from (0, 0) to
// (W + 1, H + 1) with 8 x 8 corner ellipses, the pixels (1, 1), (W - 2, 1),
// (1, H - 2) and (W - 2, H - 2) toggled; set as the window region, redrawn.
void SetRoundedRegion(HWND window, int width, int height);

// The list popup's outline: the rectangle from (0, 0) to (W + 1, H + 1) with
// its four corner pixels (0, 0), (W - 1, 0), (0, H - 1), (W - 1, H - 1)
// toggled; set as the window region, redrawn.
void SetCutCornerRegion(HWND window, int width, int height);

// Paints the frame sliced from a frame skin (320 x 47) into a W x H client
// area: the top band (skin rows 0 to 42), the bottom edge (rows 43 to 46) and
// the side edges (the 3 x 1 row at (0, 30)). The body inside is left alone.
void DrawSkinFrame(HDC dc, int skinId, int width, int height, int dpi = 96);
// The body the frame surrounds: (3, 43) to (W - 3, H - 4).
Rect SkinFrameBody(int width, int height, int dpi = 96);

}  // namespace shadowpane
