#include "ui/toolkit/win32/PopupFrame.h"

#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/OffscreenPaint.h"

namespace shadowpane {
namespace {

constexpr int kCornerEllipse = 8;

// Frame skin pieces: the top band, the bottom edge and the side edges.
constexpr int kBandHeight = 43;
constexpr int kBandLeftWidth = 4;
constexpr int kBandRightWidth = 110;
constexpr int kBandRightSourceX = 210;
constexpr int kEdgeFillSourceX = 5;
constexpr int kBottomHeight = 4;
constexpr int kBottomSourceY = 43;
constexpr int kBottomRightSourceX = 316;
constexpr int kSideWidth = 3;
constexpr int kSideSourceY = 30;
// The side edges run down to the row above the bottom edge's last four.
constexpr int kSideEndFromBottom = 5;

// Toggles single pixels of shape and hands it to the window as its region.
void ToggleAndSetRegion(HWND window, GdiObject<HRGN> shape, const Point (&pixels)[4]) {
  if (!shape) return;
  for (const Point& p : pixels) {
    GdiObject<HRGN> pixel(CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
    if (pixel) CombineRgn(shape.get(), shape.get(), pixel.get(), RGN_XOR);
  }
  // The system owns the region once it is set.
  if (SetWindowRgn(window, shape.get(), TRUE)) shape.Release();
}

}  // namespace

void SetRoundedRegion(HWND window, int width, int height) {
  const Point pixels[4] = {{1, 1}, {width - 2, 1}, {1, height - 2}, {width - 2, height - 2}};
  ToggleAndSetRegion(window,
                     GdiObject<HRGN>(CreateRoundRectRgn(0, 0, width + 1, height + 1, kCornerEllipse,
                                                        kCornerEllipse)),
                     pixels);
}

void SetCutCornerRegion(HWND window, int width, int height) {
  const Point pixels[4] = {{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}};
  ToggleAndSetRegion(window, GdiObject<HRGN>(CreateRectRgn(0, 0, width + 1, height + 1)), pixels);
}

void DrawSkinFrame(HDC dc, int skinId, int width, int height) {
  if (HighContrastOn()) {
    FillWhite(dc, 0, 0, width, height);
    FrameFlat(dc, {0, 0, width, height});
    return;
  }
  SkinBitmap frame(dc, skinId);
  frame.Copy(dc, 0, 0, kBandLeftWidth, kBandHeight, 0, 0);
  frame.Copy(dc, width - kBandRightWidth, 0, kBandRightWidth, kBandHeight, kBandRightSourceX, 0);
  for (int x = kBandLeftWidth; x <= width - kBandRightWidth - 1; ++x) {
    frame.Copy(dc, x, 0, 1, kBandHeight, kEdgeFillSourceX, 0);
  }
  const int bottom = height - kBottomHeight;
  frame.Copy(dc, 0, bottom, kBottomHeight, kBottomHeight, 0, kBottomSourceY);
  frame.Copy(dc, width - kBottomHeight, bottom, kBottomHeight, kBottomHeight, kBottomRightSourceX,
             kBottomSourceY);
  for (int x = kBottomHeight; x <= width - kBottomHeight - 1; ++x) {
    frame.Copy(dc, x, bottom, 1, kBottomHeight, kEdgeFillSourceX, kBottomSourceY);
  }
  for (int y = kBandHeight; y <= height - kSideEndFromBottom; ++y) {
    frame.Copy(dc, 0, y, kSideWidth, 1, 0, kSideSourceY);
    frame.Copy(dc, width - kSideWidth, y, kSideWidth, 1, 0, kSideSourceY);
  }
}

Rect SkinFrameBody(int width, int height) {
  return {kSideWidth, kBandHeight, width - kSideWidth, height - kBottomHeight};
}

}  // namespace shadowpane
