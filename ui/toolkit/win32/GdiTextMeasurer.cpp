#include "ui/toolkit/win32/GdiTextMeasurer.h"

namespace shadowpane {

GdiTextMeasurer::GdiTextMeasurer(HWND window, HFONT font) : window_(window), dc_(GetDC(window)) {
  if (dc_ != nullptr && font != nullptr) previousFont_ = SelectObject(dc_, font);
}

GdiTextMeasurer::~GdiTextMeasurer() {
  if (dc_ == nullptr) return;
  if (previousFont_ != nullptr) SelectObject(dc_, previousFont_);
  ReleaseDC(window_, dc_);
}

TextExtent GdiTextMeasurer::Measure(WideView text) const {
  if (dc_ == nullptr) return {};
  return MeasureOnDc(dc_, text);
}

TextExtent MeasureOnDc(HDC dc, WideView text) {
  RECT rect{0, 0, 0, 0};
  DrawTextW(dc, AsWide(text.data()), static_cast<int>(text.size()), &rect,
            DT_CALCRECT | kToolkitTextFlags);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace shadowpane
