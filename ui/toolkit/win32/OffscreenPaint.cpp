#include "ui/toolkit/win32/OffscreenPaint.h"

#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {

OffscreenPaint::OffscreenPaint(HWND window) : window_(window) {
  windowDc_ = BeginPaint(window, &paint_);
  RECT client{};
  GetClientRect(window, &client);
  width_ = client.right - client.left;
  height_ = client.bottom - client.top;
  if (windowDc_ == nullptr || width_ <= 0 || height_ <= 0) return;
  memoryDc_ = CreateCompatibleDC(windowDc_);
  bitmap_ = CreateCompatibleBitmap(windowDc_, width_, height_);
  if (memoryDc_ == nullptr || bitmap_ == nullptr) {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (memoryDc_ != nullptr) DeleteDC(memoryDc_);
    bitmap_ = nullptr;
    memoryDc_ = nullptr;
    return;
  }
  previousBitmap_ = SelectObject(memoryDc_, bitmap_);
}

OffscreenPaint::~OffscreenPaint() {
  if (memoryDc_ != nullptr) {
    BitBlt(windowDc_, 0, 0, width_, height_, memoryDc_, 0, 0, SRCCOPY);
    SelectObject(memoryDc_, previousBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(memoryDc_);
  }
  EndPaint(window_, &paint_);
}

namespace {

// The drawn scale's bitmap cell by cell at the wanted DPI, each cell made
// smaller with HALFTONE (a smoothing filter) so its edges stay where the
// layout at that DPI expects them. Null when it cannot be made.
HBITMAP ScaleCells(HDC compatibleDc, HDC source, const BITMAP& drawn, int drawnDpi, int dpi, SkinGrid grid) {
  const int sourceCellWidth = drawn.bmWidth / grid.columns;
  const int sourceCellHeight = drawn.bmHeight / grid.rows;
  const int cellWidth = Scale(MulDiv(sourceCellWidth, kDesignDpi, drawnDpi), dpi);
  const int cellHeight = Scale(MulDiv(sourceCellHeight, kDesignDpi, drawnDpi), dpi);
  if (cellWidth <= 0 || cellHeight <= 0) return nullptr;
  HBITMAP scaled = CreateCompatibleBitmap(compatibleDc, cellWidth * grid.columns, cellHeight * grid.rows);
  HDC target = scaled != nullptr ? CreateCompatibleDC(compatibleDc) : nullptr;
  if (target == nullptr) {
    if (scaled != nullptr) DeleteObject(scaled);
    return nullptr;
  }
  HGDIOBJ previous = SelectObject(target, scaled);
  SetStretchBltMode(target, HALFTONE);
  SetBrushOrgEx(target, 0, 0, nullptr);
  for (int row = 0; row < grid.rows; ++row) {
    for (int column = 0; column < grid.columns; ++column) {
      StretchBlt(target, column * cellWidth, row * cellHeight, cellWidth, cellHeight, source,
                 column * sourceCellWidth, row * sourceCellHeight, sourceCellWidth, sourceCellHeight, SRCCOPY);
    }
  }
  SelectObject(target, previous);
  DeleteDC(target);
  return scaled;
}

}  // namespace

SkinBitmap::SkinBitmap(HDC compatibleDc, int resourceId, int dpi, SkinGrid grid) {
  if (resourceId == 0) return;
  if (grid.columns < 1) grid.columns = 1;
  if (grid.rows < 1) grid.rows = 1;
  dpi = SaneDpi(dpi);
  const int scaleIndex = SkinScaleIndexFor(dpi);
  int drawnDpi = kSkinScaleDpis[scaleIndex];
  bitmap_ = LoadBitmapW(ToolkitInstance(), MAKEINTRESOURCEW(SkinResourceId(resourceId, scaleIndex)));
  if (bitmap_ == nullptr && scaleIndex != 0) {
    // An image built without the scaled skins: the 100 % one, stretched.
    drawnDpi = kDesignDpi;
    bitmap_ = LoadBitmapW(ToolkitInstance(), MAKEINTRESOURCEW(resourceId));
  }
  if (bitmap_ == nullptr) return;
  BITMAP info{};
  memoryDc_ = CreateCompatibleDC(compatibleDc);
  if (memoryDc_ == nullptr || GetObjectW(bitmap_, sizeof(info), &info) == 0) {
    if (memoryDc_ != nullptr) DeleteDC(memoryDc_);
    memoryDc_ = nullptr;
    return;
  }
  previous_ = SelectObject(memoryDc_, bitmap_);
  if (drawnDpi != dpi) {
    HBITMAP scaled = ScaleCells(compatibleDc, memoryDc_, info, drawnDpi, dpi, grid);
    if (scaled != nullptr) {
      SelectObject(memoryDc_, scaled);
      DeleteObject(bitmap_);
      bitmap_ = scaled;
      GetObjectW(bitmap_, sizeof(info), &info);
    }
  }
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  cellWidth_ = width_ / grid.columns;
  cellHeight_ = height_ / grid.rows;
}

Rect SkinBitmap::Cell(int column, int row) const {
  return RectAt({column * cellWidth_, row * cellHeight_}, {cellWidth_, cellHeight_});
}

SkinBitmap::~SkinBitmap() {
  if (memoryDc_ != nullptr) {
    SelectObject(memoryDc_, previous_);
    DeleteDC(memoryDc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void SkinBitmap::Copy(HDC dest, int dx, int dy, int w, int h, int sx, int sy) const {
  if (memoryDc_ == nullptr || w <= 0 || h <= 0) return;
  BitBlt(dest, dx, dy, w, h, memoryDc_, sx, sy, SRCCOPY);
}

COLORREF SkinBitmap::Pixel(int x, int y, COLORREF fallback) const {
  if (memoryDc_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return fallback;
  const COLORREF color = GetPixel(memoryDc_, x, y);
  return color == CLR_INVALID ? fallback : color;
}

void FillColor(HDC dc, int left, int top, int right, int bottom, ToolkitColor color) {
  if (right <= left || bottom <= top) return;
  const GdiObject<HBRUSH> brush(CreateSolidBrush(ShownFillColor(color)));
  if (!brush) return;
  RECT rect{left, top, right, bottom};
  FillRect(dc, &rect, brush.get());
}

void FillWhite(HDC dc, int left, int top, int right, int bottom) {
  RECT rect{left, top, right, bottom};
  FillRect(dc, &rect, HighContrastOn() ? GetSysColorBrush(kSystemColorWindow)
                                       : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

}  // namespace shadowpane
