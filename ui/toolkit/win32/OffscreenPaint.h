// Off-screen painting and skin bitmaps. Every control paints into a memory
// bitmap of its client size and copies it to the window with one BitBlt, so
// a repaint never flickers; skin bitmaps are loaded by id for one paint and
// released after it.
#pragma once

#include <windows.h>

#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/ToolkitColors.h"

namespace shadowpane {

// WM_PAINT frame: BeginPaint, a memory DC with a bitmap of the client size,
// and on destruction one BitBlt of the whole bitmap, clean-up and EndPaint.
// Draw into dc(). When the memory objects cannot be made, dc() is null and
// nothing is copied.
class OffscreenPaint {
 public:
  explicit OffscreenPaint(HWND window);
  ~OffscreenPaint();
  OffscreenPaint(const OffscreenPaint&) = delete;
  OffscreenPaint& operator=(const OffscreenPaint&) = delete;

  HDC dc() const { return memoryDc_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC windowDc_ = nullptr;
  HDC memoryDc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// How a skin is cut into equal cells (faces, tiles, icons): each scale of it
// is drawn cell by cell, every cell at the 96-DPI cell size scaled.
struct SkinGrid {
  int columns = 1;
  int rows = 1;
};

// A skin bitmap resource selected into a memory DC of its own for copying,
// at the scale for the given DPI: the drawn scale at or above it (only that
// one is loaded), made smaller cell by cell with the system's smoothing
// filter when the DPI lies between two drawn scales.
// A bitmap that is missing from the resources loads as nothing: every
// operation is then a no-op, so a control without its skin still paints its
// background and text.
class SkinBitmap {
 public:
  SkinBitmap(HDC compatibleDc, int resourceId, int dpi = kDesignDpi, SkinGrid grid = SkinGrid{});
  ~SkinBitmap();
  SkinBitmap(const SkinBitmap&) = delete;
  SkinBitmap& operator=(const SkinBitmap&) = delete;

  bool loaded() const { return memoryDc_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The pixels of one cell of the grid the skin was loaded with.
  Rect Cell(int column, int row) const;
  // Copies w x h from (sx, sy) of the skin to (dx, dy) of dest (SRCCOPY).
  void Copy(HDC dest, int dx, int dy, int w, int h, int sx, int sy) const;
  // The colour of a skin pixel; `fallback` when not loaded or outside.
  COLORREF Pixel(int x, int y, COLORREF fallback) const;

 private:
  HBITMAP bitmap_ = nullptr;
  HDC memoryDc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
};

// Fills a rectangle with one colour of the colour table.
void FillColor(HDC dc, int left, int top, int right, int bottom, ToolkitColor color);
// Fills a rectangle with the stock white brush.
void FillWhite(HDC dc, int left, int top, int right, int bottom);

}  // namespace shadowpane
