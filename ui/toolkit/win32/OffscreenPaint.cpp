#include "ui/toolkit/win32/OffscreenPaint.h"

#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {

OffscreenPaint::OffscreenPaint(HWND window) : window_(window) {
  window_dc_ = BeginPaint(window, &paint_);
  RECT client{};
  GetClientRect(window, &client);
  width_ = client.right - client.left;
  height_ = client.bottom - client.top;
  if (window_dc_ == nullptr || width_ <= 0 || height_ <= 0) return;
  memory_dc_ = CreateCompatibleDC(window_dc_);
  bitmap_ = CreateCompatibleBitmap(window_dc_, width_, height_);
  if (memory_dc_ == nullptr || bitmap_ == nullptr) {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (memory_dc_ != nullptr) DeleteDC(memory_dc_);
    bitmap_ = nullptr;
    memory_dc_ = nullptr;
    return;
  }
  previous_bitmap_ = SelectObject(memory_dc_, bitmap_);
}

OffscreenPaint::~OffscreenPaint() {
  if (memory_dc_ != nullptr) {
    BitBlt(window_dc_, 0, 0, width_, height_, memory_dc_, 0, 0, SRCCOPY);
    SelectObject(memory_dc_, previous_bitmap_);
    DeleteObject(bitmap_);
    DeleteDC(memory_dc_);
  }
  EndPaint(window_, &paint_);
}

SkinBitmap::SkinBitmap(HDC compatible_dc, int resource_id) {
  if (resource_id == 0) return;
  bitmap_ = LoadBitmapW(ToolkitInstance(), MAKEINTRESOURCEW(resource_id));
  if (bitmap_ == nullptr) return;
  BITMAP info{};
  memory_dc_ = CreateCompatibleDC(compatible_dc);
  if (memory_dc_ == nullptr || GetObjectW(bitmap_, sizeof(info), &info) == 0) {
    if (memory_dc_ != nullptr) DeleteDC(memory_dc_);
    memory_dc_ = nullptr;
    return;
  }
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  previous_ = SelectObject(memory_dc_, bitmap_);
}

SkinBitmap::~SkinBitmap() {
  if (memory_dc_ != nullptr) {
    SelectObject(memory_dc_, previous_);
    DeleteDC(memory_dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void SkinBitmap::Copy(HDC dest, int dx, int dy, int w, int h, int sx, int sy) const {
  if (memory_dc_ == nullptr || w <= 0 || h <= 0) return;
  BitBlt(dest, dx, dy, w, h, memory_dc_, sx, sy, SRCCOPY);
}

COLORREF SkinBitmap::Pixel(int x, int y, COLORREF fallback) const {
  if (memory_dc_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return fallback;
  const COLORREF color = GetPixel(memory_dc_, x, y);
  return color == CLR_INVALID ? fallback : color;
}

void FillColor(HDC dc, int left, int top, int right, int bottom, ToolkitColor color) {
  if (right <= left || bottom <= top) return;
  HBRUSH brush = CreateSolidBrush(ToColorRef(color));
  if (brush == nullptr) return;
  RECT rect{left, top, right, bottom};
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void FillWhite(HDC dc, int left, int top, int right, int bottom) {
  RECT rect{left, top, right, bottom};
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

}  // namespace shadowpane
