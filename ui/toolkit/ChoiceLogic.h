// The choice control's record (check box or radio) and its rules as plain
// functions: clicks, automatic sizing, the skin cell per state.
#pragma once

#include <cstdint>

#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/PropertyMessage.h"
#include "ui/toolkit/TextMeasurer.h"

namespace shadowpane {

constexpr int CXK_RADIO = 0;
constexpr int CXK_CHECKBOX = 1;

constexpr std::uint32_t CXM_KIND = 1026;
constexpr std::uint32_t CXM_CHECKED = 1027;

// The box: 13 x 14 cells, text starting 20 pixels from the left.
constexpr int kChoiceBoxWidth = 13;
constexpr int kChoiceBoxHeight = 14;
constexpr int kChoiceTextX = 20;
constexpr int kChoiceMinHeight = 14;
// Text painted at most.
constexpr int kChoiceTextMaxChars = 1023;

// One per choice window; the window is the platform's handle, kept as an
// opaque value here (the Windows record beside it owns the font).
struct ChoiceState {
  std::uintptr_t window = 0;
  int kind = CXK_RADIO;
  int skinBitmap = 0;
  int checked = 0;
  int hovered = 0;
};

// A click: a radio becomes checked (and stays so), a check box flips.
void ClickChoice(ChoiceState& choice);

// Automatic sizing: the text's width + 20, its height but at least 14.
Size SizeChoiceToText(const TextExtent& text);

// Source cell of the box in the choice skin: column 13 for a check box, 0
// for a radio; row 56 disabled, 28 hovered, 0 normal; 14 more if checked.
Point ChoiceBoxCell(const ChoiceState& choice, bool enabled);
// The box is centred vertically, at the top when the control is lower.
int ChoiceBoxTop(int clientHeight);

}  // namespace shadowpane
