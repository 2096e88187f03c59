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

SkinBitmap::SkinBitmap(HDC compatibleDc, int resourceId) {
  if (resourceId == 0) return;
  bitmap_ = LoadBitmapW(ToolkitInstance(), MAKEINTRESOURCEW(resourceId));
  if (bitmap_ == nullptr) return;
  BITMAP info{};
  memoryDc_ = CreateCompatibleDC(compatibleDc);
  if (memoryDc_ == nullptr || GetObjectW(bitmap_, sizeof(info), &info) == 0) {
    if (memoryDc_ != nullptr) DeleteDC(memoryDc_);
    memoryDc_ = nullptr;
    return;
  }
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  previous_ = SelectObject(memoryDc_, bitmap_);
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
