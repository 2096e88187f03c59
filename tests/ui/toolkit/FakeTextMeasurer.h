// A text measurer with fixed metrics for the toolkit's layout tests: every
// character is 6 pixels wide, every line 13 pixels high; lines are broken
// only at newlines, like DrawTextW with DT_CALCRECT.
#pragma once

#include "ui/toolkit/TextMeasurer.h"

namespace shadowpane::testing {

class FakeTextMeasurer : public TextMeasurer {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kLineHeight = 13;

  TextExtent Measure(WideView text) const override {
    ++calls;
    int widest = 0;
    int current = 0;
    int lines = 1;
    for (WideChar c : text) {
      if (c == u'\n') {
        ++lines;
        current = 0;
      } else {
        current += kCharWidth;
        if (current > widest) widest = current;
      }
    }
    return {widest, lines * kLineHeight};
  }

  mutable int calls = 0;
};

// Width of n characters.
constexpr int Chars(int n) { return n * FakeTextMeasurer::kCharWidth; }

}  // namespace shadowpane::testing
