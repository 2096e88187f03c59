#include "ui/toolkit/win32/PopupFrame.h"

#include <utility>

#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/win32/WindowDpi.h"
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
  const int dpi = LayoutDpi(window);
  const int ellipse = Scale(kCornerEllipse, dpi);
  GdiObject<HRGN> shape(CreateRoundRectRgn(0, 0, width + 1, height + 1, ellipse, ellipse));
  if (dpi != kDesignDpi) {
    // Scaled, the ellipse alone follows the skin's rounder corners.
    if (shape && SetWindowRgn(window, shape.get(), TRUE)) shape.Release();
    return;
  }
  const Point pixels[4] = {{1, 1}, {width - 2, 1}, {1, height - 2}, {width - 2, height - 2}};
  ToggleAndSetRegion(window, std::move(shape), pixels);
}

void SetCutCornerRegion(HWND window, int width, int height) {
  const Point pixels[4] = {{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}};
  ToggleAndSetRegion(window, GdiObject<HRGN>(CreateRectRgn(0, 0, width + 1, height + 1)), pixels);
}

// The pieces are the 96-DPI pieces scaled; the right-hand and bottom ones
// are cut from the skin's far edges (its 96-DPI offsets 210, 316 and 43).
void DrawSkinFrame(HDC dc, int skinId, int width, int height, int dpi) {
  static_assert(kBandRightSourceX + kBandRightWidth == kBottomRightSourceX + kBottomHeight, "a 320-wide skin");
  if (HighContrastOn()) {
    FillWhite(dc, 0, 0, width, height);
    FrameFlat(dc, {0, 0, width, height});
    return;
  }
  SkinBitmap frame(dc, skinId, dpi);
  const int bandHeight = Scale(kBandHeight, dpi);
  const int leftWidth = Scale(kBandLeftWidth, dpi);
  const int rightWidth = Scale(kBandRightWidth, dpi);
  const int fillX = Scale(kEdgeFillSourceX, dpi);
  const int bottomHeight = Scale(kBottomHeight, dpi);
  const int sideWidth = Scale(kSideWidth, dpi);
  const int sideY = Scale(kSideSourceY, dpi);
  const int bottomY = frame.height() - bottomHeight;
  frame.Copy(dc, 0, 0, leftWidth, bandHeight, 0, 0);
  frame.Copy(dc, width - rightWidth, 0, rightWidth, bandHeight, frame.width() - rightWidth, 0);
  for (int x = leftWidth; x <= width - rightWidth - 1; ++x) {
    frame.Copy(dc, x, 0, 1, bandHeight, fillX, 0);
  }
  const int bottom = height - bottomHeight;
  frame.Copy(dc, 0, bottom, bottomHeight, bottomHeight, 0, bottomY);
  frame.Copy(dc, width - bottomHeight, bottom, bottomHeight, bottomHeight, frame.width() - bottomHeight, bottomY);
  for (int x = bottomHeight; x <= width - bottomHeight - 1; ++x) {
    frame.Copy(dc, x, bottom, 1, bottomHeight, fillX, bottomY);
  }
  // The side edges run down to the row above the bottom edge.
  for (int y = bandHeight; y < height - bottomHeight; ++y) {
    frame.Copy(dc, 0, y, sideWidth, 1, 0, sideY);
    frame.Copy(dc, width - sideWidth, y, sideWidth, 1, 0, sideY);
  }
}

Rect SkinFrameBody(int width, int height, int dpi) {
  return {Scale(kSideWidth, dpi), Scale(kBandHeight, dpi), width - Scale(kSideWidth, dpi),
          height - Scale(kBottomHeight, dpi)};
}

}  // namespace shadowpane
