// Display scaling: every size of every window is designed at 96 DPI and
// laid out at the window's own DPI by one rule, MulDiv(v, dpi, 96), so a
// window at 150 % is its 96-DPI picture times 1.5 (within a pixel), drawn
// natively rather than stretched. Portable: no platform headers.
#pragma once

#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/TextMeasurer.h"

namespace shadowpane {

// The DPI every layout value is written for (100 %).
constexpr int kDesignDpi = 96;

// v at dpi: v * dpi / 96 rounded to the nearest, halves away from zero
// (the platform's MulDiv). Identity at 96 DPI.
constexpr int Scale(int v, int dpi) {
  const long long product = static_cast<long long>(v) * dpi;
  const long long half = kDesignDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}
constexpr Point Scale(Point p, int dpi) { return {Scale(p.x, dpi), Scale(p.y, dpi)}; }
constexpr Size Scale(Size s, int dpi) { return {Scale(s.width, dpi), Scale(s.height, dpi)}; }
// Each edge scaled on its own, so rectangles that share an edge at 96 DPI
// still share it.
constexpr Rect Scale(const Rect& r, int dpi) {
  return {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.right, dpi), Scale(r.bottom, dpi)};
}

// A measured pixel size back in 96-DPI units, rounded up: scaled again it
// is never smaller than what was measured, so a text laid out in 96-DPI
// units still fits its control.
constexpr int Unscale(int pixels, int dpi) {
  if (dpi <= 0 || pixels <= 0) return pixels;
  return static_cast<int>((static_cast<long long>(pixels) * kDesignDpi + dpi - 1) / dpi);
}

// A pixel size that was scaled, back in 96-DPI units (the nearest): the
// exact inverse of Scale at or above 96 DPI, for a window's own size.
constexpr int ToDesign(int pixels, int dpi) {
  return dpi <= 0 ? pixels : static_cast<int>((static_cast<long long>(pixels) * kDesignDpi + dpi / 2) / dpi);
}
constexpr Size ToDesign(Size s, int dpi) { return {ToDesign(s.width, dpi), ToDesign(s.height, dpi)}; }

// A DPI the platform answered, or 96 for a value no display has.
constexpr int SaneDpi(int dpi) { return dpi >= 48 && dpi <= 960 ? dpi : kDesignDpi; }

// Measures with the window's real font at its DPI and answers in 96-DPI
// units, so the layout rules (wrap limits, text-sized controls, line gaps)
// run unchanged on 96-DPI numbers and only their results are scaled.
class DesignUnitMeasurer : public TextMeasurer {
 public:
  DesignUnitMeasurer(const TextMeasurer& real, int dpi) : real_(real), dpi_(dpi) {}
  TextExtent Measure(WideView text) const override {
    const TextExtent e = real_.Measure(text);
    return {Unscale(e.width, dpi_), Unscale(e.height, dpi_)};
  }

 private:
  const TextMeasurer& real_;
  int dpi_;
};

// The skin scales drawn by scripts/make-assets.py, as DPIs, smallest first:
// 100, 125, 150, 175, 200, 250 and 300 %.
constexpr int kSkinScaleDpis[] = {96, 120, 144, 168, 192, 240, 288};
constexpr int kSkinScaleCount = sizeof(kSkinScaleDpis) / sizeof(kSkinScaleDpis[0]);
// A skin at scale index i has the resource id base + i * kSkinScaleIdStep.
constexpr int kSkinScaleIdStep = 1000;

// The drawn scale a window at dpi loads: the smallest at or above it, so a
// skin is only ever made smaller (above the largest drawn scale, the
// largest).
int SkinScaleIndexFor(int dpi);
constexpr int SkinResourceId(int baseId, int scaleIndex) { return baseId + scaleIndex * kSkinScaleIdStep; }

}  // namespace shadowpane
