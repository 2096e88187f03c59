// How the toolkit's layout rules measure text. The Windows implementation
// (ui/toolkit/win32/GdiTextMeasurer.h) uses DrawTextW with DT_CALCRECT in the
// control's font; tests use a fake with fixed character widths.
#pragma once

#include "core/Text.h"

namespace shadowpane {

struct TextExtent {
  int width = 0;   // width of the widest line
  int height = 0;  // total height of all lines
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Measures text whose lines are broken only at newline characters (never
  // word-wrapped): the widest line's width and the height of all lines.
  virtual TextExtent Measure(WideView text) const = 0;
};

}  // namespace shadowpane
