#include "ui/toolkit/LabelLayout.h"

#include <algorithm>

#include "ui/toolkit/TextWrap.h"
#include "ui/toolkit/ToolkitFont.h"

namespace shadowpane {
namespace {

int CutToLimit(int height, int limit) { return limit != 0 && limit < height ? limit : height; }

}  // namespace

LabelLayout LayoutLabel(WideView text, int limitWidth, int limitHeight,
                        const TextMeasurer& measurer) {
  text = text.substr(0, kLabelMeasureMaxChars);
  const TextExtent measured = measurer.Measure(text);
  LabelLayout layout;
  if (limitWidth != 0 && measured.width > limitWidth) {
    WrappedText wrapped = WrapAtSpaces(text, limitWidth, measurer, false);
    const TextExtent out = measurer.Measure(wrapped.text);
    layout.rewrapped = true;
    layout.text = std::move(wrapped.text);
    layout.width = out.width;
    layout.height = CutToLimit(out.height + wrapped.extra, limitHeight);
    return layout;
  }
  const int height = std::max(measured.height + kLineGap * CountGapNewlines(text), kLabelMinHeight);
  layout.width = measured.width;
  layout.height = CutToLimit(height, limitHeight);
  return layout;
}

LabelFont LabelFontFromParam(std::uintptr_t param) {
  LabelFont font;
  font.height = static_cast<int>(param & 0xFFFFu);
  if (font.height == 0) font.height = kToolkitFontHeight;
  font.bold = ((param >> 16) & 0xFFFFu) != 0;
  return font;
}

}  // namespace shadowpane
