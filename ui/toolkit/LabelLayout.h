// The label's sizing rules as a plain function: the size a label takes for a
// text within its limits, and the rebuilt text when the text must wrap.
#pragma once

#include <cstdint>

#include "ui/toolkit/TextMeasurer.h"

namespace shadowpane {

constexpr int kLabelMinHeight = 14;
// Text measured and painted at most.
constexpr int kLabelMeasureMaxChars = 1023;
constexpr int kLabelPaintMaxChars = 999;

struct LabelLayout {
  bool rewrapped = false;  // the window text must become `text`
  WideString text;         // the rebuilt text (only when rewrapped)
  int width = 0;
  int height = 0;
};

// limitWidth / limitHeight: the label's current client size, 0 = none.
// When the text is wider than a non-zero width limit it is wrapped at
// spaces; setting the rebuilt text sizes the label once more.
LabelLayout LayoutLabel(WideView text, int limitWidth, int limitHeight,
                        const TextMeasurer& measurer);

struct LabelFont {
  int height = 0;
  bool bold = false;
};
// The creation parameter: low word the cell height, non-zero high word bold.
// A zero height (a null parameter) takes the toolkit font's height.
LabelFont LabelFontFromParam(std::uintptr_t param);

}  // namespace shadowpane
